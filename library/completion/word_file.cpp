#include "library/completion/word_file.h"

#include <string>

#include "library/strings/utf8.h"

namespace quorel {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

int ForEachUtf16Line(std::string_view bytes, bool little,
                     const std::function<void(std::u16string_view)>& line) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<char16_t>(little ? first | (second << 8) : (first << 8) | second);
  }
  int too_long = 0;
  std::u16string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find(u'\n');
    std::u16string_view raw = rest.substr(0, end);
    rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
    if (!raw.empty() && raw.back() == u'\r') raw.remove_suffix(1);
    if (raw.size() * 2 > kMaxWordLineBytes) {
      ++too_long;
    } else {
      line(raw);
    }
  }
  return too_long;
}

// A line that stops inside a UTF-8 sequence is the end of a file that was cut off while it
// was written, not a line of an ANSI editor: read as Latin-1 it would be a word that never was.
bool EndsInCutSequence(std::string_view raw) {
  std::size_t continuations = 0;
  for (std::size_t i = raw.size(); i > 0 && continuations < 4; --i) {
    const auto byte = static_cast<unsigned char>(raw[i - 1]);
    if ((byte & 0xC0) == 0x80) {
      ++continuations;
      continue;
    }
    const std::size_t needed = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC2 ? 1 : 0;
    return continuations < needed;
  }
  return false;
}

}  // namespace

int ForEachWordFileLine(std::string_view bytes,
                        const std::function<void(std::u16string_view)>& line) {
  int left_out = 0;
  if (bytes.size() > kMaxWordFileBytes) {
    bytes = bytes.substr(0, kMaxWordFileBytes);
    ++left_out;
  }
  if (bytes.starts_with(kUtf16LittleMark)) {
    return left_out + ForEachUtf16Line(bytes.substr(2), true, line);
  }
  if (bytes.starts_with(kUtf16BigMark)) {
    return left_out + ForEachUtf16Line(bytes.substr(2), false, line);
  }
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());

  std::u16string text;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view raw = bytes.substr(0, end);
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (raw.size() > kMaxWordLineBytes) {
      ++left_out;
      continue;
    }
    if (!DecodeUtf8(raw, &text)) {
      if (EndsInCutSequence(raw)) {
        ++left_out;
        continue;
      }
      text.resize(raw.size());
      for (std::size_t i = 0; i < raw.size(); ++i) text[i] = static_cast<unsigned char>(raw[i]);
    }
    line(text);
  }
  return left_out;
}

int SplitFields(std::u16string_view line, std::u16string_view* fields, int max) {
  int count = 0;
  std::size_t at = 0;
  for (;;) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at == line.size()) return count;
    if (count == max) return -1;
    const std::size_t start = at;
    while (at < line.size() && !IsBlank(line[at])) ++at;
    fields[count++] = line.substr(start, at - start);
  }
}

}  // namespace quorel
