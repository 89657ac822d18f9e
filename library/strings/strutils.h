// Text conversions between the three homes of a slide text: edit boxes (CR LF line
// breaks), memory (CR alone) and files (U+00B6 for a line break, "&#nnn;" escapes).
#pragma once

#include <string>
#include <string_view>

namespace quorel {

constexpr char16_t kCr = 0x000D;
constexpr char16_t kLf = 0x000A;
constexpr char16_t kPilcrow = 0x00B6;
constexpr char16_t kEndOfFile = 0x001A;

// Copies `source` to `destination`, putting an LF after every CR. The destination holds
// at least twice the source length plus one. Returns the length written.
int AddLinefeeds(char16_t* destination, const char16_t* source);
std::u16string AddLinefeeds(std::u16string_view source);

// In place; none of these makes the text longer.
void RemoveLinefeeds(char16_t* text);
void ReplaceReturnByPara(char16_t* text);
void ReplaceParaByReturn(char16_t* text);
// Decodes "&#" decimal ";" escapes. A code above U+FFFF and up to U+10FFFF becomes a
// surrogate pair; a larger one keeps only its low 16 bits. "&#0;" ends the text.
void HtmlToUnicode(char16_t* text);
void HtmlToUnicode(std::u16string* text);

// Writes every character at or above U+0100 as "&#" decimal ";". The destination holds
// eight times the source length plus one.
void UnicodeToHtml(char16_t* destination, const char16_t* source);

// A-Z as a-z; every other character as itself. The files and the glossary ignore case
// this way and no other.
inline char16_t FoldAz(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}
// Whether `text` begins with `prefix`, A-Z folded.
inline bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (FoldAz(text[i]) != FoldAz(prefix[i])) return false;
  }
  return true;
}

// Length of a zero-terminated UTF-16 string.
std::size_t Length(const char16_t* text);

}  // namespace quorel
