// The options program's decisions, apart from its windows: the pages a user finds the
// options on, each option's control, meaning and accepted values, the refusal of a value
// out of range, and which changes make the keyboard rebuild. Names, defaults and the values
// kept on reading come from the options store itself (PARAMETERS_GetOptionInfo).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorel::options_program {

struct Choice {
  int value;
  std::u16string_view label;
};

// How an option is chosen: one of its values in words, or a number with its unit.
enum class Control { kChoice, kNumber };

struct Setting {
  int option;                  // its place in the options store, "Keyboard size" 0
  std::u16string_view caption;
  std::u16string_view meaning;  // one sentence
  Control control;
  std::span<const Choice> choices;  // kChoice
  std::u16string_view unit;         // kNumber
  int highest;      // kNumber: the largest a user may give, where the store sets no bound
  bool rebuild;     // the keyboard rebuilds its panels or reloads its slides for a change
};

struct Page {
  std::u16string_view title;
  std::span<const Setting> settings;
};

std::span<const Page> Pages();

// What the store keeps on reading an option (PARAMETERS_GetOptionInfo).
struct StoreRange {
  unsigned lowest = 0;
  unsigned highest = 0;
  bool zero_kept = false;  // 0 switches the feature off
};

// The numbers a user may give: the store's range, bounded by the setting's own highest.
struct Accepted {
  int lowest = 0;
  int highest = 0;
  bool zero_off = false;
};
Accepted AcceptedValues(const Setting& setting, const StoreRange& store);

// Nothing for a value the option takes; else the message naming the option and its range.
std::optional<std::u16string> CheckValue(const Setting& setting, const Accepted& accepted,
                                         std::u16string_view typed, int* value);

// What Apply does with a number field: a field left as it shows the stored value keeps it,
// even a value out of the program's range that the store accepted; a changed field gives
// its value when the option takes it, else the refusal.
struct NumberField {
  int value = 0;
  std::optional<std::u16string> refusal;
};
NumberField ReadNumberField(const Setting& setting, const Accepted& accepted, int stored,
                            std::u16string_view typed);

// The number the arrows beside a field step to from what it shows: by `delta`, kept within
// the values the option takes, over the gap between 0 ("off") and the lowest value.
int StepNumber(const Accepted& accepted, std::u16string_view shown, int delta);

// The options-changed message's parameter for these changed options: 0 when one of them
// needs a rebuild, 1 when the keyboard only reads them again; nothing when none changed.
std::optional<int> OptionsChangedParameter(const std::vector<const Setting*>& changed);

}  // namespace quorel::options_program
