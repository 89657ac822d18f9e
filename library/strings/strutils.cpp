#include "library/strings/strutils.h"

namespace quorel {

std::size_t Length(const char16_t* text) {
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

int AddLinefeeds(char16_t* destination, const char16_t* source) {
  int written = 0;
  for (; *source != 0; ++source) {
    destination[written++] = *source;
    if (*source == kCr) destination[written++] = kLf;
  }
  destination[written] = 0;
  return written;
}

std::u16string AddLinefeeds(std::u16string_view source) {
  std::u16string result;
  result.reserve(source.size() + source.size() / 8);
  for (char16_t c : source) {
    result.push_back(c);
    if (c == kCr) result.push_back(kLf);
  }
  return result;
}

void RemoveLinefeeds(char16_t* text) {
  char16_t* out = text;
  for (; *text != 0; ++text) {
    if (*text != kLf) *out++ = *text;
  }
  *out = 0;
}

void ReplaceReturnByPara(char16_t* text) {
  for (; *text != 0; ++text) {
    if (*text == kCr) *text = kPilcrow;
  }
}

void ReplaceParaByReturn(char16_t* text) {
  for (; *text != 0; ++text) {
    if (*text == kPilcrow) *text = kCr;
  }
}

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Decodes from `read` into `write` over the same buffer; returns the new length. The
// buffer is terminated by `end` (exclusive). Every escape is at least as long as what it
// becomes, so writing never overtakes reading.
std::size_t Decode(char16_t* text, std::size_t length) {
  std::size_t read = 0;
  std::size_t write = 0;
  while (read < length) {
    if (text[read] == u'&' && read + 1 < length && text[read + 1] == u'#') {
      std::size_t digits_end = read + 2;
      while (digits_end < length && IsDigit(text[digits_end])) ++digits_end;
      std::size_t digit_count = digits_end - (read + 2);
      if (digit_count > 0 && digits_end < length && text[digits_end] == u';') {
        std::uint64_t value = 0;
        for (std::size_t i = read + 2; i < digits_end; ++i) {
          value = value * 10 + static_cast<std::uint64_t>(text[i] - u'0');
          if (value > 2147483647u) value = 2147483647u;
        }
        read = digits_end + 1;
        if (value >= 0x10000 && value <= 0x10FFFF) {
          std::uint32_t offset = static_cast<std::uint32_t>(value) - 0x10000;
          text[write++] = static_cast<char16_t>(0xD800 + (offset >> 10));
          text[write++] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
        } else {
          char16_t decoded = static_cast<char16_t>(value & 0xFFFF);
          if (decoded == 0) {
            text[write] = 0;
            return write;
          }
          text[write++] = decoded;
        }
        continue;
      }
      // Not an escape: keep "&#" and the digits as they are and search on after them.
      while (read < digits_end) text[write++] = text[read++];
      continue;
    }
    text[write++] = text[read++];
  }
  if (write < length) text[write] = 0;
  return write;
}

}  // namespace

void HtmlToUnicode(char16_t* text) {
  std::size_t length = Length(text);
  std::size_t decoded = Decode(text, length);
  text[decoded] = 0;
}

void HtmlToUnicode(std::u16string* text) {
  std::size_t decoded = Decode(text->data(), text->size());
  text->resize(decoded);
}

void UnicodeToHtml(char16_t* destination, const char16_t* source) {
  for (; *source != 0; ++source) {
    char16_t c = *source;
    if (c < 0x100) {
      *destination++ = c;
      continue;
    }
    *destination++ = u'&';
    *destination++ = u'#';
    char16_t digits[5];
    int count = 0;
    for (unsigned value = c; value != 0; value /= 10) {
      digits[count++] = static_cast<char16_t>(u'0' + value % 10);
    }
    while (count > 0) *destination++ = digits[--count];
    *destination++ = u';';
  }
  *destination = 0;
}

}  // namespace quorel
