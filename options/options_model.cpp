#include "options/options_model.h"

#include <algorithm>
#include <array>
#include <climits>

namespace quorel::options_program {

namespace {

constexpr Choice kSizes[] = {{1, u"Small"}, {2, u"Medium"}, {3, u"Large"}, {4, u"Finger size"}};
constexpr Choice kSides[] = {{1, u"Left"}, {2, u"Right"}};
constexpr Choice kNumbers[] = {{1, u"Phone: 1 2 3 on top"}, {2, u"Calculator: 7 8 9 on top"}};
constexpr Choice kShifting[] = {{1, u"Show capitals while Shift is on"},
                                {2, u"Keep showing small letters"}};
constexpr Choice kSideBlock[] = {{1, u"Accent keys"}, {0, u"Arrow keys"}};
constexpr Choice kSymbols[] = {{0, u"Punctuation with digits in the corners"},
                               {1, u"Digits only"}, {2, u"Punctuation only"}};
constexpr Choice kAtKey[] = {{1, u"Pen down"}, {2, u"Pen up"}};
constexpr Choice kSlideFiles[] = {{0, u"Custom slides file"},
                                  {1, u"Capitals only (CapsOnlySlides.txt)"},
                                  {2, u"Minimum slides (MinimumSlides.txt)"}};
constexpr Choice kPreviewPlaces[] = {{1, u"Left of the slide"}, {2, u"Right of the slide"},
                                     {3, u"Centred on the pen"}};
constexpr Choice kOnOff[] = {{1, u"On"}, {0, u"Off"}};
constexpr Choice kOneIsOn[] = {{1, u"On"}, {2, u"Off"}};
constexpr Choice kOrders[] = {{1, u"First suggestion nearest the keyboard"},
                              {2, u"First suggestion on the top row"}};
constexpr Choice kWordLanguages[] = {{0, u"The window's input language"}, {1, u"English"},
                                     {2, u"French"}, {3, u"German"}, {4, u"Spanish"},
                                     {5, u"Italian"}, {6, u"Portuguese"}, {7, u"Dutch"}};
constexpr Choice kSpaces[] = {{1, u"Add a space"}, {2, u"No space"}};

constexpr Setting Pick(int option, std::u16string_view caption, std::u16string_view meaning,
                       std::span<const Choice> choices, bool rebuild) {
  return {option, caption, meaning, Control::kChoice, choices, u"", 0, rebuild};
}
constexpr Setting Number(int option, std::u16string_view caption, std::u16string_view meaning,
                         std::u16string_view unit, int highest) {
  return {option, caption, meaning, Control::kNumber, {}, unit, highest, false};
}

constexpr Setting kKeyboard[] = {
    Pick(0, u"Size", u"How large the keyboard and its keys are.", kSizes, true),
    Pick(2, u"Side bar", u"The edge of the keyboard the side bar sits at.", kSides, true),
    Pick(3, u"Numbers layout", u"How the digits are laid out in number mode.", kNumbers, true),
    Pick(4, u"Shifting", u"What the letter keys show while Shift is latched.", kShifting, true),
    Pick(5, u"Side block", u"What the block beside the letters shows.", kSideBlock, true),
    Pick(6, u"Symbols", u"What the symbol strip beside the letters shows.", kSymbols, true),
    Pick(1, u"Produce key at", u"Whether letters, digits and space type when the pen touches or leaves them.",
         kAtKey, false),
};
constexpr Setting kSlides[] = {
    Pick(7, u"Slide file", u"Which slide file the keyboard types slides from.", kSlideFiles,
         true),
    Pick(8, u"Preview list", u"Where the list of a slide's texts shows while the pen is down.",
         kPreviewPlaces, false),
    Pick(9, u"Slide to choice", u"Whether a slide up may end on a row of the list above the keyboard.",
         kOnOff, false),
    Number(10, u"Slide distance", u"How far the pen moves before a touch counts as a slide.",
           u"pixels", 200),
    Number(11, u"Slide step", u"How much further the pen moves for each next text of a slide.",
           u"pixels", 100),
};
constexpr Setting kGlossary[] = {
    Pick(12, u"Expansion", u"Whether the glossary offers expansions of the word being typed.",
         kOneIsOn, false),
    Number(13, u"Suggest after", u"How many letters are typed before expansions are offered.",
           u"letters", 4),
    Pick(14, u"Order", u"Where the first expansion offered shows.", kOrders, false),
    Pick(15, u"After an expansion", u"Whether a space follows an expansion.", kSpaces, false),
};
constexpr Setting kWords[] = {
    Pick(23, u"Complete words",
         u"Whether whole words that begin with the typed letters are offered after expansions.",
         kOnOff, false),
    Pick(24, u"Learn words",
         u"Whether the words you type are learned to be offered; never in a password box.",
         kOnOff, false),
    Number(25, u"Words offered", u"How many whole words the list offers at most.", u"words", 6),
    Pick(26, u"In terminals",
         u"Whether words are offered and learned in consoles and remote windows too.",
         kOnOff, false),
    Pick(27, u"Capitals",
         u"Whether a letter after the end of a sentence comes as a capital (Shift shows latched).",
         kOnOff, false),
    Pick(28, u"Two spaces",
         u"Whether two spaces after a word type a full stop and a space.", kOnOff, false),
    Pick(29, u"Language",
         u"Whose words are offered: those of the language the window is typed in, or always one.",
         kWordLanguages, false),
};
constexpr Setting kTiming[] = {
    Number(16, u"Repeat delay", u"How often a held key types again; 0 does not repeat.",
           u"milliseconds", 350),
    Number(17, u"Minimum highlight time",
           u"How long a touched key shows pressed at least; 0 does not wait.", u"milliseconds",
           90),
};

constexpr Setting kPlacement[] = {
    Pick(30, u"Move away from the text",
         u"Whether the keyboard steps aside from the line you type, and comes back after.",
         kOnOff, false),
    Pick(31, u"Show when a text box is tapped",
         u"Whether a hidden keyboard comes back when you tap into a text box.",
         kOnOff, false),
};

constexpr std::array<Page, 6> kPages = {{
    {u"Keyboard", kKeyboard},
    {u"Slides", kSlides},
    {u"Glossary", kGlossary},
    {u"Words", kWords},
    {u"Timing", kTiming},
    {u"Placement", kPlacement},
}};

std::u16string Decimal(int value) {
  const std::string digits = std::to_string(value);
  return {digits.begin(), digits.end()};
}

}  // namespace

std::span<const Page> Pages() { return kPages; }

Accepted AcceptedValues(const Setting& setting, const StoreRange& store) {
  Accepted accepted;
  accepted.lowest = static_cast<int>(std::min<unsigned>(store.lowest, INT_MAX));
  accepted.highest = static_cast<int>(
      std::min<unsigned>(store.highest, static_cast<unsigned>(std::max(setting.highest, 0))));
  accepted.zero_off = store.zero_kept;
  return accepted;
}

namespace {

// The number a field shows: decimal digits only, nothing beyond what an int holds.
std::optional<long long> Digits(std::u16string_view text) {
  if (text.empty()) return std::nullopt;
  long long number = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9' || number > INT_MAX) return std::nullopt;
    number = number * 10 + (c - u'0');
  }
  return number;
}

}  // namespace

std::optional<std::u16string> CheckValue(const Setting& setting, const Accepted& accepted,
                                         std::u16string_view typed, int* value) {
  const std::optional<long long> number = Digits(typed);
  const bool in_range = number && ((accepted.zero_off && *number == 0) ||
                                   (*number >= accepted.lowest && *number <= accepted.highest));
  if (in_range) {
    *value = static_cast<int>(*number);
    return std::nullopt;
  }
  std::u16string message = std::u16string(setting.caption) + u" must be ";
  if (accepted.zero_off) message += u"0 or ";
  message += u"a number from " + Decimal(accepted.lowest) + u" to " + Decimal(accepted.highest) +
             u" " + std::u16string(setting.unit) + u".";
  return message;
}

NumberField ReadNumberField(const Setting& setting, const Accepted& accepted, int stored,
                            std::u16string_view typed) {
  NumberField field;
  field.value = stored;
  if (typed == Decimal(stored)) return field;
  field.refusal = CheckValue(setting, accepted, typed, &field.value);
  return field;
}

int StepNumber(const Accepted& accepted, std::u16string_view shown, int delta) {
  const int floor = accepted.zero_off ? 0 : accepted.lowest;
  const std::optional<long long> current = Digits(shown);
  if (!current) return floor;
  long long next = *current + delta;
  if (accepted.zero_off && next > 0 && next < accepted.lowest) next = delta > 0 ? accepted.lowest : 0;
  return static_cast<int>(std::clamp<long long>(next, floor, accepted.highest));
}

std::optional<int> OptionsChangedParameter(const std::vector<const Setting*>& changed) {
  if (changed.empty()) return std::nullopt;
  const bool rebuild =
      std::any_of(changed.begin(), changed.end(), [](const Setting* s) { return s->rebuild; });
  return rebuild ? 0 : 1;
}

}  // namespace quorel::options_program
