// What slide files and glossary files have in common: one byte per character, CR LF line
// ends, 0x1A as the end, U+00B6 for line breaks inside texts and "&#nnn;" escapes, and
// entry lines made of a key, two TABs, an optional "<preview>...</preview>" and a text.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quorel {

// Calls `line` for every line of a file's bytes, widened to UTF-16, without its line end.
// LF ends a line, a CR before it is dropped; 0x1A ends the file.
void ForEachFileLine(std::string_view bytes, const std::function<void(std::u16string_view)>& line);

// U+00B6 becomes CR, then escapes are decoded.
std::u16string DecodeFileField(std::u16string_view raw);
void DecodeFileField(std::u16string_view raw, std::u16string* field);

// Appends `text` as file bytes: CR as U+00B6, characters at or above U+0100 as escapes,
// and every character that would not read back as itself (a genuine U+00B6, "&" before
// "#", U+001A, LF) escaped too.
void AppendEncodedField(std::u16string_view text, std::string* out);

struct EntryLine {
  std::u16string key;
  bool has_preview = false;
  std::u16string preview;
  std::u16string text;
};

// Splits an entry line into key, preview and text, decoding each. False for a line that
// holds no entry (no key, or no text after it but blanks).
bool ParseEntryLine(std::u16string_view line, EntryLine* entry);

// Appends an entry line with its CR LF. The key is given already as it must appear
// (a name or a single character); preview may be null.
void AppendEntryLine(std::u16string_view key, const std::u16string* preview,
                     std::u16string_view text, std::string* out);

// Reads a whole file. On failure shows `message` with %s replaced by the path and the
// caption "Quorel", and returns false.
bool LoadTextFile(std::u16string_view path, std::u16string_view message, std::string* bytes);

// Writes the bytes to a file beside `path` and only then puts that file in its place, so a
// failed write leaves the old file whole; no temporary file stays behind. Reports nothing:
// for files saved while the user is busy elsewhere, where a message box would be in the way.
bool ReplaceFileContents(std::u16string_view path, std::string_view bytes);

// Copies the old file to its backup name, writes the bytes to a file beside it and only
// then puts that file in place of the old one, so a failed write leaves the old file whole.
// On failure shows `message` as LoadTextFile does.
bool SaveTextFile(std::u16string_view path, std::u16string_view message, std::string_view bytes);

// The path with ".bak" added: each file keeps its own backup.
std::u16string BackupName(std::u16string_view path);

// `format` with its first "%s" replaced by `argument`.
std::u16string FormatMessage(std::u16string_view format, std::u16string_view argument);

// The folder of the running program's executable, without the last backslash.
bool GetRunningExeDirectory(std::u16string* directory);

}  // namespace quorel
