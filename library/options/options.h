// The per-user options: 32 numeric options cached per process with their defaults and
// read-time repairs, three string settings read and written straight in the registry,
// and the two fonts the picker draws with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/fonts.h"
#include "platform/types.h"

namespace quorel {

constexpr std::u16string_view kProductKey = u"Software\\Pelmarik Solutions\\Quorel";
constexpr std::u16string_view kOptionsKey = u"Software\\Pelmarik Solutions\\Quorel\\Options";

// The numeric options in the order the load step reads them.
enum class OptionId : int {
  kSize,
  kAtKey,
  kSidebar,
  kNumbers,
  kShifting,
  kArrows,
  kSymbols,
  kSlides,
  kSlidePreviewPosition,
  kSlideToChoice,
  kSlideDistance,
  kSlideStep,
  kExpansion,
  kNbLettersForSuggest,
  kExpansionPreviewOrder,
  kSpaceAfterExpansion,
  kRepeatDelay,
  kMinimumHighlightTime,
  kX,
  kY,
  kPreviewFontSize,
  kPreviewFontBold,
  kPreviewFontItalic,
  kCompleteWords,
  kLearnWords,
  kCompletionsShown,
  kLearnInTerminals,
  kCapitalAfterSentence,
  kPeriodWithTwoSpaces,
  kWordLanguage,
  kMoveAwayFromText,
  kShowOnTextBoxTap,
};
constexpr std::size_t kOptionCount = 32;

// What a stored value must look like to be kept. Values compare as unsigned, so a negative
// number stored by hand counts as a very large one, as every program reading these values
// has always treated it.
struct OptionRepair {
  std::uint32_t lowest;
  std::uint32_t highest;
  std::int32_t below;  // replacement for a value under `lowest`
  std::int32_t above;  // replacement for a value over `highest`
  bool zero_kept;      // 0 switches the feature off and is never repaired
};

struct OptionInfo {
  OptionId id;
  std::u16string_view value_name;
  std::int32_t default_value;
  // The default and both replacements come from the primary screen's width instead.
  bool screen_width_default;
  // A load step that finds no value leaves the cached one alone instead of the default.
  bool kept_when_missing;
  OptionRepair repair;
  const char* getter_name;  // the export; the setter's name has "Set" for "Get"
};

// One row per option, in OptionId order.
std::span<const OptionInfo, kOptionCount> OptionTable();
const OptionInfo& DescribeOption(OptionId id);

// "Keyboard size" for a screen this wide: 3 from 480 pixels, 2 from 322, else 1.
int KeyboardSizeForScreenWidth(int width);
// The primary screen's width in design pixels (96 to the inch): at 200 % a screen of 2880
// pixels is 1440 wide, and the keyboard's sizes are judged on that.
int DesignScreenWidth();

struct Options {
  std::array<std::int32_t, kOptionCount> values{};
  std::int32_t& operator[](OptionId id) { return values[static_cast<std::size_t>(id)]; }
  std::int32_t operator[](OptionId id) const { return values[static_cast<std::size_t>(id)]; }
};

// The load step: defaults, then every value found under the options key (created when
// missing), repaired. The keyboard runs it again whenever it is told options changed.
void LoadOptions();
// Runs the load step and builds the fonts, once per process; the library's exports call it
// on entry because nothing of this may run while the system loader holds its lock.
void EnsureOptionsLoaded();

// The cached value; the cache is loaded first if nothing has loaded it yet. 0 for an id
// outside the table.
int GetOption(OptionId id);
// Caches the value as given, then stores it as REG_DWORD under the options key. 0, or the
// registry's error code; the cache keeps the new value even when the write fails.
long SetOption(OptionId id, int value);
const Options& CurrentOptions();

enum class StringSetting : int { kCustomSlidesFile, kGlossaryFile, kPreviewFontName };

constexpr int kPathChars = 260;
constexpr int kFontNameChars = 32;

// Copies the stored text with its terminator into `buffer` of `size` characters. False,
// with the buffer untouched, when the value is missing, is not a string, or does not fit.
bool GetStringSetting(StringSetting setting, char16_t* buffer, int size);
// Stores the text as REG_SZ and flushes the user's registry. 0, or an error code (also
// for a null text, which stores nothing).
long SetStringSetting(StringSetting setting, const char16_t* text);

// A font as the library and the keyboard build them: the height is the point size in
// screen pixels, rounded half up, negated; the screen's dpi is asked for once.
// `dpi` 0: the screen's.
platform::FontDescription MakeFontDescription(std::u16string_view face, int points, bool bold,
                                              bool italic, int dpi = 0);

// The preview font from "Slides font name" and the font options, else Tahoma 9 pt bold;
// the picker's control font is always Tahoma 9 pt bold. Both are built on first use and
// kept for the life of the process; 0 when the system could make none.
platform::FontHandle PreviewFont();
platform::FontHandle PickerFont();
// The same at a window's dpi, for a window on a monitor of another scale than the screen's:
// built once for each scale met, and kept.
platform::FontHandle PreviewFontAt(int dpi);
platform::FontHandle PickerFontAt(int dpi);

// Forgets the cache, the fonts and the screen's dpi, as in a freshly started process.
void ResetOptionsForTest();

constexpr long kErrorInvalidParameter = 87;

}  // namespace quorel
