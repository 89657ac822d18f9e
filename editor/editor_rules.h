// The editor's decisions, apart from its windows: what a row shows, which commands are
// refused and with what message, what a dialog accepts, and where a new row goes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorel::editor {

// Which file the current tab edits: the slide file (tabs 0 to 2) or the glossary (tab 3).
enum class FileKind { kSlides, kGlossary };

inline constexpr int kGlossaryTab = 3;
inline FileKind FileOfTab(int tab) { return tab == kGlossaryTab ? FileKind::kGlossary : FileKind::kSlides; }

// The directions as the combo boxes list them (item index + 1 = direction).
inline constexpr std::u16string_view kDirectionNames[8] = {
    u"North", u"North East", u"East", u"South East",
    u"South", u"South West", u"West", u"North West"};

// The special keys that slides can be defined for, as both special key combos list them.
inline constexpr std::u16string_view kSpecialKeyNames[28] = {
    u"<acute>", u"<add>",     u"<back>",   u"<caps>",   u"<circum>", u"<close>",
    u"<control>", u"<enter>", u"<esc>",    u"<expand>", u"<quorel>", u"<grave>",
    u"<hide>",  u"<info>",    u"<left>",   u"<mini>",   u"<right>",  u"<shift>",
    u"<123>",   u"<abc>",     u"<accents>", u"<arrows>", u"<space>", u"<sysmenu>",
    u"<tab>",   u"<umlaut>",  u"<wideleft>", u"<wideright>"};

inline constexpr std::uint16_t kCharacterKey = 8;

// Its place in the special key lists; -1 for a name they do not hold.
int SpecialKeyIndex(std::u16string_view name);

// Short forms are one key when they differ only in the letters A-Z against a-z, as the
// glossary orders them.
bool SameShortForm(std::u16string_view a, std::u16string_view b);

// A message box the editor shows instead of doing what was asked.
struct Refusal {
  std::u16string text;
  std::u16string title;
  bool operator==(const Refusal&) const = default;
};

// Column 1 of a row: the text with its line breaks shown as a pilcrow, after the preview
// text in guillemets when there is one.
// The longest short form the add/edit dialog takes, and the Find box finds.
inline constexpr int kLongestShortForm = 256;

// A space typed where a letter is chosen: space is a special key.
extern const Refusal kSpaceRefusal;
// A character beyond U+FFFF typed where a letter is chosen: no key of the keyboard has one.
extern const Refusal kWideCharacterRefusal;

std::u16string ExpansionCell(std::u16string_view text, std::u16string_view preview);

// Column 0 of a row captioned with its key: the one character of a character key, else
// the special key's name.
std::u16string KeyCaption(std::uint16_t kind, std::uint16_t parameter,
                          std::u16string_view special_name);

// A memo that starts with a tab or a space starts with "<tab>" or "<space>" instead:
// the slide readers drop leading blanks.
std::u16string ConvertLeadingBlank(std::u16string_view memo);

// `text` is the text as it would be stored, escapes decoded; one that types nothing (empty,
// only blanks, or holding a NUL) is refused.
std::optional<Refusal> ValidateSlide(int direction, bool key_chosen, std::u16string_view text);
std::optional<Refusal> ValidateExpansion(std::u16string_view short_form,
                                         const std::function<bool(char16_t)>& valid_character,
                                         std::u16string_view text);

// Edit and Delete need a selection; Edit one row only.
std::optional<Refusal> CheckEdit(FileKind file, int selected);
std::optional<Refusal> CheckDelete(FileKind file, int selected);
std::u16string DeleteQuestion(FileKind file, int selected);

// Moving the selected row one place up (-1) or down (+1): only rows with equal captions
// change order. Captions are those of every row of the list, in order.
std::optional<Refusal> CheckMove(FileKind file, int step, const std::vector<int>& selected,
                                 const std::vector<std::u16string>& captions);

// Where a new slide definition's row goes: before the first row that sorts after it; the
// end when none does. sorts_before(row) tells whether the new definition sorts before it.
int RowForNewSlide(int rows, const std::function<bool(int row)>& sorts_before);

// The rows made visible, in order, to bring a row to the middle of a list showing
// `visible` rows of `count`.
std::vector<int> CentringRows(int row, int visible, int count);

}  // namespace quorel::editor
