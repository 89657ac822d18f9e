#include "editor/editor_rules.h"

#include <algorithm>
#include <iterator>

namespace quorel::editor {

namespace {

std::u16string NothingSelected(FileKind file) {
  return file == FileKind::kSlides ? u"No slide definition is selected"
                                   : u"No glossary entry is selected";
}

constexpr std::u16string_view kMultiple = u"Multiple selection not allowed.";

// A text with nothing to see in it (empty, or blanks alone) is a slip rather than a slide,
// and one holding a NUL would be cut there when it is written.
bool TypesNothing(std::u16string_view text) {
  return text.find(u'\0') != std::u16string_view::npos ||
         text.find_first_not_of(u" \t") == std::u16string_view::npos;
}

}  // namespace

const Refusal kSpaceRefusal = {
    u"Please goto 'Special key slides' to define slides for the space key.",
    u"Space is a special key"};

const Refusal kWideCharacterRefusal = {
    u"A character beyond U+FFFF is on no key of the keyboard, so it has no slides.",
    u"No key for this character"};

int SpecialKeyIndex(std::u16string_view name) {
  for (std::size_t i = 0; i < std::size(kSpecialKeyNames); ++i) {
    if (kSpecialKeyNames[i] == name) return static_cast<int>(i);
  }
  return -1;
}

std::u16string ExpansionCell(std::u16string_view text, std::u16string_view preview) {
  std::u16string cell;
  if (!preview.empty()) {
    cell += u'\u00AB';
    cell += preview;
    cell += u'\u00BB';
  }
  for (char16_t c : text) cell += c == u'\r' ? u'\u00B6' : c;
  return cell;
}

std::u16string KeyCaption(std::uint16_t kind, std::uint16_t parameter,
                          std::u16string_view special_name) {
  if (!special_name.empty()) return std::u16string(special_name);
  return kind == kCharacterKey ? std::u16string(1, static_cast<char16_t>(parameter))
                               : std::u16string();
}

std::u16string ConvertLeadingBlank(std::u16string_view memo) {
  if (memo.empty()) return {};
  if (memo[0] == u'\t') return u"<tab>" + std::u16string(memo.substr(1));
  if (memo[0] == u' ') return u"<space>" + std::u16string(memo.substr(1));
  return std::u16string(memo);
}

std::optional<Refusal> ValidateSlide(int direction, bool key_chosen, std::u16string_view text) {
  if (direction < 1 || direction > 8) return Refusal{u"No direction specified.", u"Cannot save"};
  if (!key_chosen) return Refusal{u"No key specified.", u"Cannot save"};
  if (TypesNothing(text)) return Refusal{u"Slide text to produce is empty.", u"Cannot save"};
  return std::nullopt;
}

std::optional<Refusal> ValidateExpansion(std::u16string_view short_form,
                                         const std::function<bool(char16_t)>& valid_character,
                                         std::u16string_view text) {
  if (short_form.empty()) return Refusal{u"Short form is empty.", u"Cannot save"};
  for (char16_t c : short_form) {
    if (!valid_character(c)) {
      return Refusal{std::u16string(1, c) + u" is not a valid short form character.",
                     u"Cannot save"};
    }
  }
  if (TypesNothing(text)) return Refusal{u"Expansion text to produce is empty.", u"Cannot save"};
  return std::nullopt;
}

std::optional<Refusal> CheckEdit(FileKind file, int selected) {
  if (selected == 0) return Refusal{NothingSelected(file), u"Cannot edit"};
  if (selected > 1) return Refusal{std::u16string(kMultiple), u"Cannot edit"};
  return std::nullopt;
}

std::optional<Refusal> CheckDelete(FileKind file, int selected) {
  if (selected == 0) return Refusal{NothingSelected(file), u"Cannot delete"};
  return std::nullopt;
}

std::u16string DeleteQuestion(FileKind file, int selected) {
  const bool slides = file == FileKind::kSlides;
  if (selected == 1) {
    return slides ? u"Are you sure you want to delete the selected slide definition?"
                  : u"Are you sure you want to delete the selected glossary entry?";
  }
  return std::u16string(slides ? u"You have selected several slide definitions."
                               : u"You have selected several glossary entries.") +
         u"\r\nAre you sure you want to delete them all?";
}

std::optional<Refusal> CheckMove(FileKind file, int step, const std::vector<int>& selected,
                                 const std::vector<std::u16string>& captions) {
  const bool up = step < 0;
  const std::u16string title = up ? u"Cannot move up" : u"Cannot move down";
  if (selected.empty()) return Refusal{NothingSelected(file), title};
  if (selected.size() > 1) return Refusal{std::u16string(kMultiple), title};
  const int row = selected[0];
  const int neighbour = row + (up ? -1 : 1);
  if (neighbour < 0) return Refusal{u"Already at top.", title};
  if (neighbour >= static_cast<int>(captions.size())) return Refusal{u"Already at bottom.", title};
  const std::u16string& mine = captions[static_cast<std::size_t>(row)];
  const std::u16string& theirs = captions[static_cast<std::size_t>(neighbour)];
  if (mine != theirs) return Refusal{mine + (up ? u" before " : u" after ") + theirs, title};
  return std::nullopt;
}

int RowForNewSlide(int rows, const std::function<bool(int row)>& sorts_before) {
  for (int row = 0; row < rows; ++row) {
    if (sorts_before(row)) return row;
  }
  return rows;
}

std::vector<int> CentringRows(int row, int visible, int count) {
  if (count <= 0) return {};
  const int half = std::max(0, visible) / 2;
  return {std::max(0, row - half), std::min(count - 1, row + half), row};
}

bool SameShortForm(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace quorel::editor
