#include "library/completion/word_text.h"

#include <algorithm>

#include "platform/text.h"

namespace quorel {

namespace {

constexpr char16_t kApostrophe = u'\'';
constexpr char16_t kRightQuote = 0x2019;

bool IsApostrophe(char16_t c) { return c == kApostrophe || c == kRightQuote; }
// Digits of every script the word lists may meet, and the superscripts: "abc\uFF11" is a
// password as much as "abc1" is.
bool IsDigit(char16_t c) {
  static constexpr char16_t kZeros[] = {0x0030, 0x0660, 0x06F0, 0x07C0, 0x0966, 0x09E6, 0x0A66,
                                        0x0AE6, 0x0B66, 0x0BE6, 0x0C66, 0x0CE6, 0x0D66, 0x0E50,
                                        0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};
  for (char16_t zero : kZeros) {
    if (c >= zero && c <= zero + 9) return true;
  }
  return c == 0x00B2 || c == 0x00B3 || c == 0x00B9;
}

bool IsSmallLetter(char16_t c) { return UpperWordChar(c) != c; }

// Latin Extended-A pairs a capital with the small letter after it, in three runs whose
// capitals sit on even, odd and odd code points; the dotted and dotless I of Turkish
// (U+0130, U+0131) and the long s have no partner in a case-only fold.
bool IsExtendedACapital(char16_t c) {
  if (c >= 0x0100 && c <= 0x012F) return c % 2 == 0;
  if (c >= 0x0132 && c <= 0x0137) return c % 2 == 0;
  if (c >= 0x0139 && c <= 0x0148) return c % 2 == 1;
  if (c >= 0x014A && c <= 0x0177) return c % 2 == 0;
  if (c >= 0x0179 && c <= 0x017E) return c % 2 == 1;
  return false;
}

bool IsExtendedASmall(char16_t c) {
  return c >= 0x0101 && c <= 0x017E && IsExtendedACapital(static_cast<char16_t>(c - 1));
}

}  // namespace

char16_t FoldWideWordChar(char16_t c) {
  if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return static_cast<char16_t>(c + 0x20);
  if (c < 0x0100) return c;
  if (IsExtendedACapital(c)) return static_cast<char16_t>(c + 1);
  if (c == 0x0178) return 0x00FF;  // Ÿ
  if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 0x50);
  if (c == kRightQuote) return kApostrophe;
  return c;
}

char16_t UpperWordChar(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) return static_cast<char16_t>(c - 0x20);
  if (c == 0x00FF) return 0x0178;
  if (c < 0x0100) return c;
  if (IsExtendedASmall(c)) return static_cast<char16_t>(c - 1);
  if (c == 0x03C2) return 0x03A3;  // final sigma
  if (c >= 0x03B1 && c <= 0x03CB) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 0x50);
  return c;
}

bool IsCapitalLetter(char16_t c) { return c != kRightQuote && FoldWordChar(c) != c; }

int CompareFolded(std::u16string_view a, std::u16string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t x = FoldWordChar(a[i]);
    const char16_t y = FoldWordChar(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (FoldWordChar(text[i]) != FoldWordChar(prefix[i])) return false;
  }
  return true;
}

bool IsLearnableWord(std::u16string_view word) {
  if (word.size() < kMinWordLength || word.size() > kMaxWordLength) return false;
  if (IsApostrophe(word.front()) || IsApostrophe(word.back())) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char16_t c = word[i];
    if (IsApostrophe(c)) {
      if (IsApostrophe(word[i - 1])) return false;
      continue;
    }
    const bool ascii_letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (!ascii_letter && (c < 0x80 || IsDigit(c) || !platform::IsLetterOrDigit(c))) return false;
  }
  return true;
}

bool HasDigit(std::u16string_view word) {
  return std::any_of(word.begin(), word.end(), IsDigit);
}

std::u16string CaseLike(std::u16string_view typed, std::u16string_view word) {
  if (word.size() <= typed.size() || !StartsWithFolded(word, typed)) return {};
  int capitals = 0;
  bool small = false;
  for (char16_t c : typed) {
    if (IsCapitalLetter(c)) ++capitals;
    if (IsSmallLetter(c)) small = true;
  }
  const bool shouting = capitals >= 2 && !small;

  std::u16string result(word);
  for (std::size_t i = 0; i < result.size(); ++i) {
    if (i < typed.size()) {
      // A letter typed small where the word has a capital is the word's: "lon" is London.
      if (!IsCapitalLetter(word[i])) result[i] = typed[i];
    } else if (shouting) {
      result[i] = UpperWordChar(word[i]);
    }
  }
  return result;
}

std::size_t KeptLetters(std::u16string_view typed, std::u16string_view whole) {
  std::size_t kept = 0;
  while (kept < typed.size() && kept < whole.size() && typed[kept] == whole[kept]) ++kept;
  // The two halves of a pair go back together.
  if (kept > 0 && kept < typed.size() && typed[kept - 1] >= 0xD800 && typed[kept - 1] <= 0xDBFF) {
    --kept;
  }
  return kept;
}

}  // namespace quorel
