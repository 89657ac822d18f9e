// Options: one getter and one setter per numeric option, and the three string settings.
// Each export loads the options on entry, since the library does no work at attach.
#include "library/api/api_support.h"
#include "library/options/options.h"
#include "platform/screen.h"

using quorel::api::Guarded;
using quorel::api::In;
using quorel::api::InOut;

namespace {

// A setter that fails inside reports a failure: 0 would tell the caller it was stored.
constexpr int kErrorFunctionFailed = 1627;

template <typename Body>
int GuardedSetter(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return kErrorFunctionFailed;
  }
}

int GetNumber(quorel::OptionId id) {
  return Guarded([&] {
    quorel::EnsureOptionsLoaded();
    return quorel::GetOption(id);
  });
}

int SetNumber(quorel::OptionId id, int value) {
  return GuardedSetter([&] {
    quorel::EnsureOptionsLoaded();
    return static_cast<int>(quorel::SetOption(id, value));
  });
}

int GetText(quorel::StringSetting setting, QUOREL_CHAR* buffer, int size) {
  return Guarded([&] {
    quorel::EnsureOptionsLoaded();
    return quorel::GetStringSetting(setting, InOut(buffer), size) ? 1 : 0;
  });
}

int SetText(quorel::StringSetting setting, const QUOREL_CHAR* text) {
  return GuardedSetter([&] {
    quorel::EnsureOptionsLoaded();
    return static_cast<int>(quorel::SetStringSetting(setting, In(text)));
  });
}

}  // namespace

#define QUOREL_NUMERIC_OPTION_EXPORTS(name, id)                              \
  int PARAMETERS_Get##name(void) { return GetNumber(quorel::OptionId::id); } \
  int PARAMETERS_Set##name(int value) { return SetNumber(quorel::OptionId::id, value); }

#define QUOREL_STRING_SETTING_EXPORTS(name, id)              \
  int PARAMETERS_Get##name(QUOREL_CHAR* buffer, int size) {  \
    return GetText(quorel::StringSetting::id, buffer, size); \
  }                                                          \
  int PARAMETERS_Set##name(const QUOREL_CHAR* text) {        \
    return SetText(quorel::StringSetting::id, text);         \
  }

extern "C" {

QUOREL_NUMERIC_OPTION_EXPORTS(SizeOption, kSize)
QUOREL_NUMERIC_OPTION_EXPORTS(AtKeyOption, kAtKey)
QUOREL_NUMERIC_OPTION_EXPORTS(SidebarOption, kSidebar)
QUOREL_NUMERIC_OPTION_EXPORTS(NumbersOption, kNumbers)
QUOREL_NUMERIC_OPTION_EXPORTS(ShiftingOption, kShifting)
QUOREL_NUMERIC_OPTION_EXPORTS(ArrowsOption, kArrows)
QUOREL_NUMERIC_OPTION_EXPORTS(SymbolsOption, kSymbols)
QUOREL_NUMERIC_OPTION_EXPORTS(SlidesOption, kSlides)
QUOREL_NUMERIC_OPTION_EXPORTS(SlidePreviewPosition, kSlidePreviewPosition)
QUOREL_NUMERIC_OPTION_EXPORTS(SlideToChoiceOption, kSlideToChoice)
QUOREL_NUMERIC_OPTION_EXPORTS(SlideDistance, kSlideDistance)
QUOREL_NUMERIC_OPTION_EXPORTS(SlideStep, kSlideStep)
QUOREL_NUMERIC_OPTION_EXPORTS(ExpansionOption, kExpansion)
QUOREL_NUMERIC_OPTION_EXPORTS(NbLettersForSuggest, kNbLettersForSuggest)
QUOREL_NUMERIC_OPTION_EXPORTS(ExpansionPreviewOrder, kExpansionPreviewOrder)
QUOREL_NUMERIC_OPTION_EXPORTS(SpaceAfterExpansion, kSpaceAfterExpansion)
QUOREL_NUMERIC_OPTION_EXPORTS(RepeatDelay, kRepeatDelay)
QUOREL_NUMERIC_OPTION_EXPORTS(MinimumHighlightTime, kMinimumHighlightTime)
QUOREL_NUMERIC_OPTION_EXPORTS(XOption, kX)
QUOREL_NUMERIC_OPTION_EXPORTS(YOption, kY)
QUOREL_NUMERIC_OPTION_EXPORTS(PreviewFontSize, kPreviewFontSize)
QUOREL_NUMERIC_OPTION_EXPORTS(PreviewFontBold, kPreviewFontBold)
QUOREL_NUMERIC_OPTION_EXPORTS(PreviewFontItalic, kPreviewFontItalic)
QUOREL_NUMERIC_OPTION_EXPORTS(CompleteWords, kCompleteWords)
QUOREL_NUMERIC_OPTION_EXPORTS(LearnWords, kLearnWords)
QUOREL_NUMERIC_OPTION_EXPORTS(CompletionsShown, kCompletionsShown)
QUOREL_NUMERIC_OPTION_EXPORTS(LearnInTerminals, kLearnInTerminals)
QUOREL_NUMERIC_OPTION_EXPORTS(CapitalAfterSentence, kCapitalAfterSentence)
QUOREL_NUMERIC_OPTION_EXPORTS(PeriodWithTwoSpaces, kPeriodWithTwoSpaces)
QUOREL_NUMERIC_OPTION_EXPORTS(WordLanguage, kWordLanguage)
QUOREL_NUMERIC_OPTION_EXPORTS(MoveAwayFromText, kMoveAwayFromText)
QUOREL_NUMERIC_OPTION_EXPORTS(ShowOnTextBoxTap, kShowOnTextBoxTap)

QUOREL_STRING_SETTING_EXPORTS(CustomSlidesFile, kCustomSlidesFile)
QUOREL_STRING_SETTING_EXPORTS(GlossaryFile, kGlossaryFile)
QUOREL_STRING_SETTING_EXPORTS(PreviewFontName, kPreviewFontName)

}  // extern "C"

int PARAMETERS_GetOptionInfo(int index, const QUOREL_CHAR** value_name, int* default_value,
                             unsigned int* lowest, unsigned int* highest, int* zero_kept) {
  return Guarded([&] {
    if (index < 0 || index >= static_cast<int>(quorel::kOptionCount)) return 0;
    const quorel::OptionInfo& info = quorel::OptionTable()[static_cast<std::size_t>(index)];
    if (value_name != nullptr) *value_name = quorel::api::Out(info.value_name.data());
    if (default_value != nullptr) {
      *default_value = info.screen_width_default
                           ? quorel::KeyboardSizeForScreenWidth(quorel::DesignScreenWidth())
                           : info.default_value;
    }
    if (lowest != nullptr) *lowest = info.repair.lowest;
    if (highest != nullptr) *highest = info.repair.highest;
    if (zero_kept != nullptr) *zero_kept = info.repair.zero_kept ? 1 : 0;
    return 1;
  });
}

int PARAMETERS_ReloadOptions(void) {
  return Guarded([] {
    quorel::EnsureOptionsLoaded();
    quorel::LoadOptions();
    return 1;
  });
}
