#include "library/strings/file_text.h"

#include <algorithm>

#include "library/strings/strutils.h"
#include "platform/files.h"
#include "platform/message_box.h"

namespace quorel {

namespace {

constexpr std::u16string_view kPreviewOpen = u"<preview>";
constexpr std::u16string_view kPreviewClose = u"</preview>";
constexpr std::u16string_view kPreviewCloseUpper = u"</PREVIEW>";

bool IsSeparator(char16_t c) { return c == u' ' || c == u'\t' || c == kLf; }

void AppendEscape(unsigned value, std::string* out) {
  out->append("&#");
  out->append(std::to_string(value));
  out->push_back(';');
}

}  // namespace

void ForEachFileLine(std::string_view bytes,
                     const std::function<void(std::u16string_view)>& line) {
  if (std::size_t end = bytes.find('\x1a'); end != std::string_view::npos) {
    bytes = bytes.substr(0, end);
  }
  std::u16string current;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t newline = bytes.find('\n', start);
    std::size_t stop = newline == std::string_view::npos ? bytes.size() : newline;
    std::string_view raw = bytes.substr(start, stop - start);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    current.resize(raw.size());
    std::size_t length = 0;
    for (char byte : raw) {
      // A NUL cannot live in a zero-terminated text; it is dropped rather than cutting
      // the rest of the line away.
      if (byte != 0) current[length++] = static_cast<unsigned char>(byte);
    }
    current.resize(length);
    line(current);
    if (newline == std::string_view::npos) break;
    start = newline + 1;
  }
}

void DecodeFileField(std::u16string_view raw, std::u16string* field) {
  field->assign(raw);
  if (raw.find_first_of(u"\u00b6&") == std::u16string_view::npos) return;
  for (char16_t& c : *field) {
    if (c == kPilcrow) c = kCr;
  }
  HtmlToUnicode(field);
}

std::u16string DecodeFileField(std::u16string_view raw) {
  std::u16string field;
  DecodeFileField(raw, &field);
  return field;
}

void AppendEncodedField(std::u16string_view text, std::string* out) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == 0) break;
    if (c == kCr) {
      out->push_back(static_cast<char>(0xB6));
    } else if (c >= 0x100 || c == kPilcrow || c == kEndOfFile || c == kLf ||
               (c == u'&' && i + 1 < text.size() && text[i + 1] == u'#')) {
      AppendEscape(c, out);
    } else {
      out->push_back(static_cast<char>(c));
    }
  }
}

// A text ends at its first NUL, as the writer ends it; one that then types nothing is no
// entry, so that a file read and written back reads the same.
namespace {
bool KeepText(std::u16string* text) {
  text->resize(std::min(text->size(), text->find(u'\0')));
  return !text->empty();
}
}  // namespace

bool ParseEntryLine(std::u16string_view line, EntryLine* entry) {
  std::size_t start = 0;
  while (start < line.size() && IsSeparator(line[start])) ++start;
  std::size_t end = start;
  while (end < line.size() && !IsSeparator(line[end])) ++end;
  if (end == start) return false;
  std::u16string_view key = line.substr(start, end - start);
  // The character after the key belongs to it; what follows is the rest.
  std::size_t rest_start = end < line.size() ? end + 1 : end;
  std::u16string_view rest = line.substr(rest_start);
  if (rest.empty()) return false;
  std::size_t skip = 0;
  while (skip < rest.size() && (rest[skip] == u' ' || rest[skip] == u'\t')) ++skip;
  rest.remove_prefix(skip);
  // A line whose text is blanks alone types nothing: it is no entry, as an empty rest is.
  if (rest.empty()) return false;

  DecodeFileField(key, &entry->key);
  if (entry->key.empty()) return false;
  entry->has_preview = false;
  entry->preview.clear();
  if (StartsWithFolded(rest, kPreviewOpen)) {
    std::u16string_view inner = rest.substr(kPreviewOpen.size());
    std::size_t close = inner.find(kPreviewClose);
    if (close == std::u16string_view::npos) close = inner.find(kPreviewCloseUpper);
    if (close != std::u16string_view::npos) {
      entry->has_preview = true;
      DecodeFileField(inner.substr(0, close), &entry->preview);
      DecodeFileField(inner.substr(close + kPreviewClose.size()), &entry->text);
      return KeepText(&entry->text);
    }
  }
  DecodeFileField(rest, &entry->text);
  return KeepText(&entry->text);
}

void AppendEntryLine(std::u16string_view key, const std::u16string* preview,
                     std::u16string_view text, std::string* out) {
  // A blank or TAB in a key would end it early ("<numpad 0>", or the blank key itself):
  // they go as escapes, which the reader decodes only after taking the key apart.
  for (std::size_t at; (at = key.find_first_of(u" \t")) != std::u16string_view::npos;) {
    AppendEncodedField(key.substr(0, at), out);
    AppendEscape(key[at], out);
    key.remove_prefix(at + 1);
  }
  AppendEncodedField(key, out);
  out->append("\t\t");
  if (preview != nullptr) {
    out->append("<preview>");
    // A "</preview>" inside the preview would end it early: its "<" goes as an escape.
    std::u16string_view rest = *preview;
    for (std::size_t found; (found = rest.find(kPreviewClose)) != std::u16string_view::npos;) {
      AppendEncodedField(rest.substr(0, found), out);
      AppendEscape(u'<', out);
      rest.remove_prefix(found + 1);
    }
    AppendEncodedField(rest, out);
    out->append("</preview>");
    AppendEncodedField(text, out);
  } else {
    // The reader drops blanks before a text and takes a leading "<preview>" as markup;
    // escaping the first character keeps such a text as it is.
    if (!text.empty() &&
        (text[0] == u' ' || text[0] == u'\t' || StartsWithFolded(text, kPreviewOpen))) {
      AppendEscape(text[0], out);
      text.remove_prefix(1);
    }
    AppendEncodedField(text, out);
  }
  out->append("\r\n");
}

std::u16string FormatMessage(std::u16string_view format, std::u16string_view argument) {
  std::u16string message(format);
  std::size_t at = message.find(u"%s");
  if (at != std::u16string::npos) message.replace(at, 2, argument);
  return message;
}

bool LoadTextFile(std::u16string_view path, std::u16string_view message, std::string* bytes) {
  if (platform::ReadFileBytes(path, bytes)) return true;
  platform::ShowMessage(FormatMessage(message, path), u"Quorel");
  return false;
}

std::u16string BackupName(std::u16string_view path) {
  // The whole file name stays in it: "mine.txt" and "mine.glo" side by side keep a backup
  // each instead of overwriting one "mine.bak".
  std::u16string backup(path);
  backup.append(u".bak");
  return backup;
}

bool ReplaceFileContents(std::u16string_view path, std::string_view bytes) {
  std::u16string temporary = std::u16string(path) + u".saving";
  if (platform::WriteFileBytes(temporary, bytes) &&
      platform::ReplaceFileWith(temporary, path)) {
    return true;
  }
  platform::DeleteFileAt(temporary);
  return false;
}

bool SaveTextFile(std::u16string_view path, std::u16string_view message,
                  std::string_view bytes) {
  std::u16string backup = BackupName(path);
  if (backup != path) platform::CopyFileOver(path, backup);  // nothing to back up is fine
  if (ReplaceFileContents(path, bytes)) return true;
  platform::ShowMessage(FormatMessage(message, path), u"Quorel");
  return false;
}

bool GetRunningExeDirectory(std::u16string* directory) {
  std::u16string path;
  if (!platform::GetRunningExePath(&path)) return false;
  std::size_t slash = path.rfind(u'\\');
  if (slash == std::u16string::npos) return false;
  path.resize(slash);
  *directory = std::move(path);
  return true;
}

}  // namespace quorel
