// Feeds arbitrary UTF-16 text to the escape decoder, which works in place on buffers the
// callers size for the text as it was. It must never write past the text, never make it
// longer, and give the same answer for a zero-terminated buffer and for a string. What
// UnicodeToHtml writes for a text without "&" must decode back to that text.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "library/strings/strutils.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "HtmlToUnicode: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t length = size / 2;
  std::u16string text(length, u'\0');
  for (std::size_t i = 0; i < length; ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }

  // The string form decodes through embedded zeros; the buffer form stops at the first.
  std::u16string decoded = text;
  quorel::HtmlToUnicode(&decoded);
  if (decoded.size() > text.size()) Fail("the string grew");

  // Exactly the text and its terminator, so that AddressSanitizer sees any write beyond.
  const std::size_t terminated = quorel::Length(text.c_str());
  auto buffer = std::make_unique<char16_t[]>(terminated + 1);
  text.copy(buffer.get(), terminated);
  buffer[terminated] = 0;
  quorel::HtmlToUnicode(buffer.get());
  const std::size_t buffer_length = quorel::Length(buffer.get());
  if (buffer_length > terminated) Fail("the buffer grew");

  std::u16string prefix = text.substr(0, terminated);
  quorel::HtmlToUnicode(&prefix);
  if (prefix != std::u16string(buffer.get(), buffer_length)) {
    Fail("buffer and string forms disagree");
  }

  // Decoding undoes encoding as long as the text holds nothing that reads as an escape.
  std::u16string plain = text.substr(0, terminated);
  for (char16_t& c : plain) {
    if (c == u'&') c = u'+';
  }
  auto encoded = std::make_unique<char16_t[]>(8 * plain.size() + 1);
  quorel::UnicodeToHtml(encoded.get(), plain.c_str());
  quorel::HtmlToUnicode(encoded.get());
  if (plain != encoded.get()) Fail("UnicodeToHtml does not decode back");
  return 0;
}
