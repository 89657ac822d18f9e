#include <string>

#include "library/keys/key_table.h"
#include "library/slides/slide_set.h"
#include "library/strings/file_text.h"
#include "library/strings/strutils.h"

namespace quorel {

namespace {

constexpr std::u16string_view kCantOpen = u"Can't open slide file %s.";

// The direction whose section header begins the line, A-Z folded, or 0.
int SectionHeader(std::u16string_view line) {
  if (line.empty() || line[0] != u'[') return 0;
  for (int code = 1; code <= kDirectionCount; ++code) {
    std::u16string_view header = FindDirection(code)->section_header;
    if (StartsWithFolded(line, header)) return code;
  }
  return 0;
}

}  // namespace

void ParseSlideFile(std::string_view bytes, SlideSet& set) {
  int direction = 0;
  EntryLine entry;
  ForEachFileLine(bytes, [&](std::u16string_view line) {
    if (int header = SectionHeader(line); header != 0) {
      direction = header;
      return;
    }
    if (direction == 0 || !ParseEntryLine(line, &entry)) return;
    std::uint16_t kind = kCharacterKind;
    std::uint16_t parameter = entry.key[0];
    if (entry.key.size() > 1 && !GetSpecialKey(entry.key.c_str(), &kind, &parameter)) return;
    set.Add(direction, kind, parameter, entry.has_preview ? entry.preview.c_str() : nullptr,
            entry.text.c_str());
  });
}

bool ReadSlideFile(SlideSet& set, std::u16string_view path) {
  std::string bytes;
  if (!LoadTextFile(path, kCantOpen, &bytes)) return false;
  ParseSlideFile(bytes, set);
  return true;
}

std::string FormatSlideFile(const SlideSet& set) {
  std::string out;
  int direction = 0;
  bool first = true;
  std::u16string character(1, u'\0');
  for (int index = set.head(); index != -1; index = set.Get(index)->next) {
    const SlideDefinition& slide = *set.Get(index);
    std::u16string_view key;
    if (slide.kind == kCharacterKind) {
      character[0] = static_cast<char16_t>(slide.parameter);
      key = character;
    } else if (const char16_t* name = GetSpecialKeyName(slide.kind, slide.parameter)) {
      key = name;
    } else {
      continue;  // an internal key of the keyboard: it has no written form
    }
    const Direction* section = FindDirection(slide.direction);
    if (section == nullptr) continue;  // no section could hold it
    if (first || slide.direction != direction) {
      first = false;
      out.append("\r\n");
      AppendEncodedField(section->section_header, &out);
      out.append("\r\n\r\n");
      direction = slide.direction;
    }
    AppendEntryLine(key, slide.preview.get(), slide.text, &out);
  }
  return out;
}

bool WriteSlideFile(const SlideSet& set, std::u16string_view path) {
  return SaveTextFile(path, kCantOpen, FormatSlideFile(set));
}

}  // namespace quorel
