// UTF-8, the encoding of the text files a user is meant to read and edit (the word lists),
// beside the one-byte-per-character files of slides and glossaries.
#pragma once

#include <string>
#include <string_view>

namespace quorel {

// Appends `text` as UTF-8. A surrogate pair becomes one four-byte sequence; a lone half is
// written as U+FFFD, since UTF-8 has no form for it.
void AppendUtf8(std::u16string_view text, std::string* out);

// Decodes `bytes` into `text` (replacing it). False, with `text` unspecified, for bytes that
// are not UTF-8: a bad lead or continuation byte, a cut sequence, an overlong form, a
// surrogate or a code point above U+10FFFF.
bool DecodeUtf8(std::string_view bytes, std::u16string* text);

}  // namespace quorel
