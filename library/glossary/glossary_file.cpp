#include <memory>
#include <string>
#include <vector>

#include "library/glossary/glossary.h"
#include "library/strings/file_text.h"
#include "library/strings/strutils.h"

namespace quorel {

namespace {

constexpr std::u16string_view kCantOpen = u"Can't open glossary %s.";

// A short form as it is read: A-Z lowered, and letters and digits only. Section headers
// such as "[Words]" fail here, which is all the reader knows of sections.
bool MakeShortForm(std::u16string* token) {
  for (char16_t& c : *token) {
    c = FoldAz(c);
    if (!IsValidShortFormChar(c)) return false;
  }
  return true;
}

// A short form that would not come back as itself, because the reader would split the
// line elsewhere (an empty one, or one holding a blank or TAB), is left out of the file
// rather than written as a line that reads back as some other entry.
bool Writable(const GlossaryEntry& entry) {
  return !entry.short_form.empty() &&
         entry.short_form.find_first_of(u" \t") == std::u16string::npos;
}

}  // namespace

void ParseGlossaryFile(std::string_view bytes, Glossary& glossary) {
  std::vector<std::unique_ptr<GlossaryEntry>> parsed;
  EntryLine line;
  ForEachFileLine(bytes, [&](std::u16string_view text) {
    if (!ParseEntryLine(text, &line) || !MakeShortForm(&line.key)) return;
    auto entry = std::make_unique<GlossaryEntry>();
    entry->short_form = std::move(line.key);
    if (line.has_preview) entry->preview = std::make_unique<std::u16string>(line.preview);
    entry->long_form = std::move(line.text);
    parsed.push_back(std::move(entry));
  });
  glossary.AddAll(std::move(parsed));
}

bool ReadGlossaryFile(Glossary& glossary, std::u16string_view path) {
  std::string bytes;
  if (!LoadTextFile(path, kCantOpen, &bytes)) return false;
  ParseGlossaryFile(bytes, glossary);
  return true;
}

std::string FormatGlossaryFile(const Glossary& glossary) {
  // One walk fills both sections: a second one over a large glossary would fetch every
  // entry from memory again.
  std::string words;
  std::string phrases;
  for (int index = 0; index < glossary.Count(); ++index) {
    const GlossaryEntry& entry = *glossary.At(index);
    if (!Writable(entry)) continue;
    AppendEntryLine(entry.short_form, entry.preview.get(), entry.long_form,
                    entry.short_form.size() <= 1 ? &words : &phrases);
  }
  std::string out = "[Words]\r\n\r\n";
  out.reserve(out.size() + words.size() + phrases.size() + 16);
  out.append(words);
  out.append("\r\n\r\n[Phrases]\r\n\r\n");
  out.append(phrases);
  return out;
}

bool WriteGlossaryFile(const Glossary& glossary, std::u16string_view path) {
  return SaveTextFile(path, kCantOpen, FormatGlossaryFile(glossary));
}

}  // namespace quorel
