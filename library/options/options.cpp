#include "library/options/options.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/screen.h"

namespace quorel {

namespace {

constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();

// Accepts every value.
constexpr OptionRepair kAnything{0, kMax, 0, 0, false};

constexpr OptionRepair Within(std::uint32_t lowest, std::uint32_t highest,
                              std::int32_t replacement) {
  return {lowest, highest, replacement, replacement, false};
}

constexpr OptionInfo Row(OptionId id, std::u16string_view name, std::int32_t default_value,
                         OptionRepair repair, const char* getter) {
  return {id, name, default_value, false, false, repair, getter};
}

constexpr std::array<OptionInfo, kOptionCount> kOptions{{
    // Its default and replacement follow the screen's width.
    {OptionId::kSize, u"Keyboard size", 0, true, false, Within(1, 4, 0),
     "PARAMETERS_GetSizeOption"},
    Row(OptionId::kAtKey, u"Produce key at down or up", 1, Within(1, 2, 1),
        "PARAMETERS_GetAtKeyOption"),
    Row(OptionId::kSidebar, u"Side bar position", 2, Within(1, 2, 2),
        "PARAMETERS_GetSidebarOption"),
    Row(OptionId::kNumbers, u"Numbers layout", 2, Within(1, 2, 2), "PARAMETERS_GetNumbersOption"),
    Row(OptionId::kShifting, u"Shifting", 1, Within(1, 2, 1), "PARAMETERS_GetShiftingOption"),
    Row(OptionId::kArrows, u"Arrows", 1, Within(0, 1, 1), "PARAMETERS_GetArrowsOption"),
    Row(OptionId::kSymbols, u"Symbols", 0, Within(0, 2, 0), "PARAMETERS_GetSymbolsOption"),
    Row(OptionId::kSlides, u"Use slides for", 0, Within(0, 2, 0), "PARAMETERS_GetSlidesOption"),
    Row(OptionId::kSlidePreviewPosition, u"Slide preview position", 3, Within(1, 3, 3),
        "PARAMETERS_GetSlidePreviewPosition"),
    Row(OptionId::kSlideToChoice, u"Slide to choice", 1, Within(0, 1, 1),
        "PARAMETERS_GetSlideToChoiceOption"),
    Row(OptionId::kSlideDistance, u"Slide distance", 30, Within(10, kMax, 10),
        "PARAMETERS_GetSlideDistance"),
    Row(OptionId::kSlideStep, u"Slide step", 20, Within(5, kMax, 5), "PARAMETERS_GetSlideStep"),
    Row(OptionId::kExpansion, u"Expansion", 1, Within(1, 2, 1), "PARAMETERS_GetExpansionOption"),
    Row(OptionId::kNbLettersForSuggest, u"Suggest after nb letters", 2, {1, 4, 1, 4, false},
        "PARAMETERS_GetNbLettersForSuggest"),
    Row(OptionId::kExpansionPreviewOrder, u"Expansion preview order", 1, Within(1, 2, 1),
        "PARAMETERS_GetExpansionPreviewOrder"),
    Row(OptionId::kSpaceAfterExpansion, u"Space after expansion", 1, Within(1, 2, 1),
        "PARAMETERS_GetSpaceAfterExpansion"),
    Row(OptionId::kRepeatDelay, u"Repeat delay", 250, {150, 350, 150, 350, true},
        "PARAMETERS_GetRepeatDelay"),
    Row(OptionId::kMinimumHighlightTime, u"Minimum highlight time", 70, {50, 90, 50, 90, true},
        "PARAMETERS_GetMinimumHighlightTime"),
    Row(OptionId::kX, u"X", 0, kAnything, "PARAMETERS_GetXOption"),
    Row(OptionId::kY, u"Y", 0, kAnything, "PARAMETERS_GetYOption"),
    // A load step that finds no font options keeps what this process already holds, so a
    // font set here but not yet stored is not lost.
    {OptionId::kPreviewFontSize, u"Slides font size", 0, false, true, kAnything,
     "PARAMETERS_GetPreviewFontSize"},
    {OptionId::kPreviewFontBold, u"Slides font bold", 0, false, true, kAnything,
     "PARAMETERS_GetPreviewFontBold"},
    {OptionId::kPreviewFontItalic, u"Slides font italic", 0, false, true, kAnything,
     "PARAMETERS_GetPreviewFontItalic"},
    // Whole words offered after the glossary's expansions, and whether typed words are
    // learned for them; on from the start, since every saved tap counts for a pen user.
    Row(OptionId::kCompleteWords, u"Complete words", 1, Within(0, 1, 1),
        "PARAMETERS_GetCompleteWords"),
    Row(OptionId::kLearnWords, u"Learn words", 1, Within(0, 1, 1), "PARAMETERS_GetLearnWords"),
    Row(OptionId::kCompletionsShown, u"Completions shown", 3, Within(1, 6, 3),
        "PARAMETERS_GetCompletionsShown"),
    // Consoles, terminals and remote windows, whose password prompts no check can see: no
    // suggestions shown and no words learned there unless the user asks for them.
    Row(OptionId::kLearnInTerminals, u"Learn in terminals", 0, Within(0, 1, 0),
        "PARAMETERS_GetLearnInTerminals"),
    // A letter after the end of a sentence the keyboard typed comes as a capital, and two
    // spaces after a word make a full stop; on from the start, as on a phone's keyboard.
    Row(OptionId::kCapitalAfterSentence, u"Capital after sentence", 1, Within(0, 1, 1),
        "PARAMETERS_GetCapitalAfterSentence"),
    Row(OptionId::kPeriodWithTwoSpaces, u"Period with two spaces", 1, Within(0, 1, 1),
        "PARAMETERS_GetPeriodWithTwoSpaces"),
    // The words offered: 0 those of the input language of the window typed into, or one
    // language whatever the window (1 English, 2 French, 3 German, 4 Spanish, 5 Italian,
    // 6 Portuguese, 7 Dutch).
    Row(OptionId::kWordLanguage, u"Word language", 0, Within(0, 7, 0),
        "PARAMETERS_GetWordLanguage"),
    // The keyboard steps out of the way of the caret it would cover, and back to the user's
    // place when the caret no longer needs the room; on from the start.
    Row(OptionId::kMoveAwayFromText, u"Move away from the text", 1, Within(0, 1, 1),
        "PARAMETERS_GetMoveAwayFromText"),
    // A hidden keyboard comes back when a text box is tapped, and goes again when the focus
    // leaves for a control that takes no text; off until the user asks for it.
    Row(OptionId::kShowOnTextBoxTap, u"Show when a text box is tapped", 0, Within(0, 1, 0),
        "PARAMETERS_GetShowOnTextBoxTap"),
}};

constexpr bool RowsFollowIds() {
  for (std::size_t i = 0; i < kOptions.size(); ++i) {
    if (static_cast<std::size_t>(kOptions[i].id) != i) return false;
  }
  return true;
}
static_assert(RowsFollowIds(), "the option table is indexed by OptionId");

struct StringSettingInfo {
  std::u16string_view key;
  std::u16string_view value_name;
};

constexpr StringSettingInfo kStringSettings[] = {
    {kProductKey, u"Custom slides file"},
    {kProductKey, u"Glossary file"},
    {kOptionsKey, u"Slides font name"},
};

struct OptionsState {
  Options cache;
  bool loaded = false;
  bool fonts_built = false;
  platform::FontHandle preview_font = 0;
  platform::FontHandle picker_font = 0;
  std::map<int, std::pair<platform::FontHandle, platform::FontHandle>> fonts_at;  // by dpi
  int dpi = 0;  // 0: not asked yet
};

OptionsState& State() {
  static OptionsState state;
  return state;
}

bool IsKnown(OptionId id) { return static_cast<std::size_t>(id) < kOptionCount; }

std::int32_t Repaired(const OptionInfo& info, std::int32_t stored, int screen_size) {
  const OptionRepair& repair = info.repair;
  const auto value = static_cast<std::uint32_t>(stored);
  if (value == 0 && repair.zero_kept) return stored;
  if (value >= repair.lowest && value <= repair.highest) return stored;
  if (info.screen_width_default) return screen_size;
  return value < repair.lowest ? repair.below : repair.above;
}

// Only a REG_DWORD of exactly four bytes is an option value; anything else stored under
// the name (a string typed in by hand, a QWORD) is treated as if it were missing.
bool ReadDword(platform::RegistryKey key, std::u16string_view name, std::int32_t* value) {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  if (platform::RegistryQueryValue(key, name, &type, &data) != 0) return false;
  if (type != platform::kRegDword || data.size() != sizeof(std::int32_t)) return false;
  std::memcpy(value, data.data(), sizeof(std::int32_t));
  return true;
}

void LoadInto(Options* options) {
  const int screen_size = KeyboardSizeForScreenWidth(DesignScreenWidth());
  for (const OptionInfo& info : kOptions) {
    if (info.kept_when_missing) continue;
    (*options)[info.id] = info.screen_width_default ? screen_size : info.default_value;
  }

  platform::RegistryKey key = 0;
  if (platform::RegistryOpenKeyRead(kOptionsKey, &key) != 0 &&
      platform::RegistryCreateKey(kOptionsKey, &key) != 0) {
    return;
  }
  for (const OptionInfo& info : kOptions) {
    std::int32_t stored = 0;
    if (!ReadDword(key, info.value_name, &stored)) continue;
    (*options)[info.id] = Repaired(info, stored, screen_size);
  }
  platform::RegistryCloseKey(key);
}

void LoadOnce() {
  if (!State().loaded) LoadOptions();
}

int ScreenDpi() {
  if (State().dpi == 0) State().dpi = platform::ScreenDpiY();
  return State().dpi;
}

// The preview font and the picker's at a dpi (0: the screen's).
std::pair<platform::FontHandle, platform::FontHandle> MakeFonts(int dpi) {
  OptionsState& state = State();
  platform::FontHandle preview = 0;
  char16_t name[kFontNameChars];
  if (GetStringSetting(StringSetting::kPreviewFontName, name, kFontNameChars)) {
    preview = platform::CreateFontFrom(MakeFontDescription(
        name, state.cache[OptionId::kPreviewFontSize], state.cache[OptionId::kPreviewFontBold] != 0,
        state.cache[OptionId::kPreviewFontItalic] != 0, dpi));
  }
  if (preview == 0) {
    preview = platform::CreateFontFrom(MakeFontDescription(u"Tahoma", 9, true, false, dpi));
  }
  return {preview, platform::CreateFontFrom(MakeFontDescription(u"Tahoma", 9, true, false, dpi))};
}

void BuildFonts() {
  OptionsState& state = State();
  std::tie(state.preview_font, state.picker_font) = MakeFonts(0);
  state.fonts_built = true;
}

}  // namespace

std::span<const OptionInfo, kOptionCount> OptionTable() { return kOptions; }

const OptionInfo& DescribeOption(OptionId id) {
  return kOptions[IsKnown(id) ? static_cast<std::size_t>(id) : 0];
}

int DesignScreenWidth() {
  const int dpi = ScreenDpi() > 0 ? ScreenDpi() : 96;
  return static_cast<int>(std::int64_t{platform::PrimaryScreenWidth()} * 96 / dpi);
}

int KeyboardSizeForScreenWidth(int width) {
  if (width >= 480) return 3;
  if (width >= 322) return 2;
  return 1;
}

void LoadOptions() {
  LoadInto(&State().cache);
  State().loaded = true;
}

void EnsureOptionsLoaded() {
  LoadOnce();
  if (!State().fonts_built) BuildFonts();
}

int GetOption(OptionId id) {
  if (!IsKnown(id)) return 0;
  LoadOnce();
  return State().cache[id];
}

long SetOption(OptionId id, int value) {
  if (!IsKnown(id)) return kErrorInvalidParameter;
  // Loading first keeps a later first load from overwriting the value when the write fails.
  LoadOnce();
  State().cache[id] = value;
  platform::RegistryKey key = 0;
  if (long error = platform::RegistryCreateKey(kOptionsKey, &key); error != 0) return error;
  const std::int32_t stored = value;
  long error = platform::RegistrySetValue(key, DescribeOption(id).value_name, platform::kRegDword,
                                          &stored, sizeof stored);
  platform::RegistryCloseKey(key);
  return error;
}

const Options& CurrentOptions() {
  LoadOnce();
  return State().cache;
}

bool GetStringSetting(StringSetting setting, char16_t* buffer, int size) {
  const auto index = static_cast<std::size_t>(setting);
  if (buffer == nullptr || size <= 0 || index >= std::size(kStringSettings)) return false;
  const StringSettingInfo& info = kStringSettings[index];

  platform::RegistryKey key = 0;
  if (platform::RegistryOpenKeyRead(info.key, &key) != 0) return false;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long error = platform::RegistryQueryValue(key, info.value_name, &type, &data);
  platform::RegistryCloseKey(key);
  if (error != 0) return false;
  if (type != platform::kRegSz && type != platform::kRegExpandSz) return false;

  // The stored bytes need not end in a terminator, nor even in a whole character; the text
  // is what comes before the first terminator, and it must fit with one of its own.
  std::u16string text(data.size() / 2, u'\0');
  std::memcpy(text.data(), data.data(), text.size() * 2);
  text.resize(std::min(text.size(), text.find(u'\0')));
  if (text.size() >= static_cast<std::size_t>(size)) return false;
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = u'\0';
  return true;
}

long SetStringSetting(StringSetting setting, const char16_t* text) {
  const auto index = static_cast<std::size_t>(setting);
  if (text == nullptr || index >= std::size(kStringSettings)) return kErrorInvalidParameter;
  const StringSettingInfo& info = kStringSettings[index];
  const std::u16string_view value(text);

  platform::RegistryKey key = 0;
  if (long error = platform::RegistryCreateKey(info.key, &key); error != 0) return error;
  const long error = platform::RegistrySetValue(key, info.value_name, platform::kRegSz,
                                                value.data(), (value.size() + 1) * 2);
  platform::RegistryCloseKey(key);
  if (error == 0) platform::RegistryFlushUser();
  return error;
}

platform::FontDescription MakeFontDescription(std::u16string_view face, int points, bool bold,
                                              bool italic, int dpi) {
  // Wide arithmetic: the size option is whatever the registry held.
  const std::int64_t scaled = static_cast<std::int64_t>(points) * (dpi > 0 ? dpi : ScreenDpi());
  std::int64_t pixels = scaled / 72 + (scaled % 72 >= 36 ? 1 : 0);
  pixels = std::clamp<std::int64_t>(pixels, -std::numeric_limits<int>::max(),
                                    std::numeric_limits<int>::max());
  platform::FontDescription description;
  description.height = static_cast<int>(-pixels);
  description.weight = bold ? 700 : 400;
  description.italic = italic;
  description.face = std::u16string(face.substr(0, kFontNameChars - 1));
  return description;
}

platform::FontHandle PreviewFont() {
  EnsureOptionsLoaded();
  return State().preview_font;
}

platform::FontHandle PickerFont() {
  EnsureOptionsLoaded();
  return State().picker_font;
}

namespace {
const std::pair<platform::FontHandle, platform::FontHandle>& FontsAt(int dpi) {
  EnsureOptionsLoaded();
  auto [at, added] = State().fonts_at.try_emplace(dpi);
  if (added) at->second = MakeFonts(dpi);
  return at->second;
}
}  // namespace

platform::FontHandle PreviewFontAt(int dpi) { return FontsAt(dpi).first; }
platform::FontHandle PickerFontAt(int dpi) { return FontsAt(dpi).second; }

void ResetOptionsForTest() { State() = OptionsState(); }

}  // namespace quorel
