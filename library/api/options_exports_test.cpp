// The PARAMETERS_ and GLOBAL_ exports, called as the editor and the options program call
// them.
#include <gtest/gtest.h>

#include <string>

#include "library/api/QuorelApi.h"
#include "library/api/api_support.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

namespace fake = platform::fake;

struct NumericExport {
  OptionId id;
  const char* getter_name;
  PARAMETERS_GetSizeOption_FN get;
  PARAMETERS_SetSizeOption_FN set;
};

#define QUOREL_EXPORT_ROW(id, name) \
  { OptionId::id, "PARAMETERS_Get" #name, &PARAMETERS_Get##name, &PARAMETERS_Set##name }

// Written out from the header's names, apart from the list the exports are built from.
const NumericExport kNumericExports[] = {
    QUOREL_EXPORT_ROW(kSize, SizeOption),
    QUOREL_EXPORT_ROW(kAtKey, AtKeyOption),
    QUOREL_EXPORT_ROW(kSidebar, SidebarOption),
    QUOREL_EXPORT_ROW(kNumbers, NumbersOption),
    QUOREL_EXPORT_ROW(kShifting, ShiftingOption),
    QUOREL_EXPORT_ROW(kArrows, ArrowsOption),
    QUOREL_EXPORT_ROW(kSymbols, SymbolsOption),
    QUOREL_EXPORT_ROW(kSlides, SlidesOption),
    QUOREL_EXPORT_ROW(kSlidePreviewPosition, SlidePreviewPosition),
    QUOREL_EXPORT_ROW(kSlideToChoice, SlideToChoiceOption),
    QUOREL_EXPORT_ROW(kSlideDistance, SlideDistance),
    QUOREL_EXPORT_ROW(kSlideStep, SlideStep),
    QUOREL_EXPORT_ROW(kExpansion, ExpansionOption),
    QUOREL_EXPORT_ROW(kNbLettersForSuggest, NbLettersForSuggest),
    QUOREL_EXPORT_ROW(kExpansionPreviewOrder, ExpansionPreviewOrder),
    QUOREL_EXPORT_ROW(kSpaceAfterExpansion, SpaceAfterExpansion),
    QUOREL_EXPORT_ROW(kRepeatDelay, RepeatDelay),
    QUOREL_EXPORT_ROW(kMinimumHighlightTime, MinimumHighlightTime),
    QUOREL_EXPORT_ROW(kX, XOption),
    QUOREL_EXPORT_ROW(kY, YOption),
    QUOREL_EXPORT_ROW(kPreviewFontSize, PreviewFontSize),
    QUOREL_EXPORT_ROW(kPreviewFontBold, PreviewFontBold),
    QUOREL_EXPORT_ROW(kPreviewFontItalic, PreviewFontItalic),
    QUOREL_EXPORT_ROW(kCompleteWords, CompleteWords),
    QUOREL_EXPORT_ROW(kLearnWords, LearnWords),
    QUOREL_EXPORT_ROW(kCompletionsShown, CompletionsShown),
    QUOREL_EXPORT_ROW(kLearnInTerminals, LearnInTerminals),
    QUOREL_EXPORT_ROW(kCapitalAfterSentence, CapitalAfterSentence),
    QUOREL_EXPORT_ROW(kPeriodWithTwoSpaces, PeriodWithTwoSpaces),
    QUOREL_EXPORT_ROW(kWordLanguage, WordLanguage),
    QUOREL_EXPORT_ROW(kMoveAwayFromText, MoveAwayFromText),
    QUOREL_EXPORT_ROW(kShowOnTextBoxTap, ShowOnTextBoxTap),
};

class OptionsExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    ResetOptionsForTest();
  }
};

TEST_F(OptionsExportsTest, EveryNumericExportReachesItsOwnOption) {
  ASSERT_EQ(std::size(kNumericExports), kOptionCount);
  int value = 1000;
  for (const NumericExport& row : kNumericExports) {
    EXPECT_STREQ(DescribeOption(row.id).getter_name, row.getter_name);
    EXPECT_EQ(row.set(++value), 0) << row.getter_name;
    EXPECT_EQ(row.get(), value) << row.getter_name;
    EXPECT_EQ(GetOption(row.id), value) << row.getter_name;
  }
  // Each value went to its own name: a load step reads them all back.
  LoadOptions();
  EXPECT_EQ(PARAMETERS_GetSlideDistance(), 1011);
  EXPECT_EQ(PARAMETERS_GetPreviewFontItalic(), 1023);
}

// The options program reads the store's own table: names, defaults and accepted values.
TEST_F(OptionsExportsTest, OptionInfoGivesTheStoresOwnRows) {
  fake::System().primary_screen_width = 320;
  const QUOREL_CHAR* name = nullptr;
  int fallback = 0;
  unsigned lowest = 0;
  unsigned highest = 0;
  int zero_kept = 0;
  ASSERT_EQ(PARAMETERS_GetOptionInfo(0, &name, &fallback, &lowest, &highest, &zero_kept), 1);
  EXPECT_EQ(std::u16string(quorel::api::In(name)), u"Keyboard size");
  EXPECT_EQ(fallback, 1);  // from the screen's width
  EXPECT_EQ(lowest, 1u);
  EXPECT_EQ(highest, 4u);
  ASSERT_EQ(PARAMETERS_GetOptionInfo(static_cast<int>(OptionId::kRepeatDelay), &name, &fallback,
                                     &lowest, &highest, &zero_kept), 1);
  EXPECT_EQ(std::u16string(quorel::api::In(name)), u"Repeat delay");
  EXPECT_EQ(fallback, 250);
  EXPECT_EQ(lowest, 150u);
  EXPECT_EQ(highest, 350u);
  EXPECT_EQ(zero_kept, 1);
  EXPECT_EQ(PARAMETERS_GetOptionInfo(static_cast<int>(quorel::kOptionCount), &name, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(PARAMETERS_GetOptionInfo(-1, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(OptionsExportsTest, FirstCallLoadsOptionsAndBuildsFontsOnce) {
  fake::SetRegistryDword(kOptionsKey, u"Arrows", 0);
  EXPECT_EQ(PARAMETERS_GetArrowsOption(), 0);
  EXPECT_EQ(PARAMETERS_GetSizeOption(), 3);
  EXPECT_EQ(fake::System().fonts_created.size(), 2u);
  EXPECT_TRUE(fake::RegistryKeyExists(kOptionsKey));
}

TEST_F(OptionsExportsTest, SymbolsSetTo7ReadsBackUntilTheNextLoadStep) {
  EXPECT_EQ(PARAMETERS_SetSymbolsOption(7), 0);
  EXPECT_EQ(PARAMETERS_GetSymbolsOption(), 7);
  LoadOptions();
  EXPECT_EQ(PARAMETERS_GetSymbolsOption(), 0);
}

TEST_F(OptionsExportsTest, SetterReportsAFailedValueWrite) {
  fake::System().registry_write_failure = 1009;
  EXPECT_EQ(PARAMETERS_SetRepeatDelay(200), 1009);
  EXPECT_EQ(PARAMETERS_GetRepeatDelay(), 200);
}

TEST_F(OptionsExportsTest, StringSettingsRoundTripAndRefuseBadArguments) {
  QUOREL_CHAR buffer[kPathChars] = {u'k', u'e', u'e', u'p', 0};
  EXPECT_EQ(PARAMETERS_GetGlossaryFile(buffer, kPathChars), 0);
  EXPECT_EQ(std::u16string(buffer), u"keep");
  EXPECT_EQ(PARAMETERS_GetGlossaryFile(nullptr, kPathChars), 0);

  EXPECT_NE(PARAMETERS_SetGlossaryFile(nullptr), 0);
  EXPECT_EQ(fake::FindRegistryValue(kProductKey, u"Glossary file"), nullptr);

  EXPECT_EQ(PARAMETERS_SetCustomSlidesFile(u"C:\\Users\\pen\\my.txt"), 0);
  EXPECT_EQ(PARAMETERS_GetCustomSlidesFile(buffer, kPathChars), 1);
  EXPECT_EQ(std::u16string(buffer), u"C:\\Users\\pen\\my.txt");
}

class SharedBlockExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    ResetSharedBlockForTest();
  }
  void TearDown() override { ResetSharedBlockForTest(); }
};

TEST_F(SharedBlockExportsTest, WithNoKeyboardRunningEveryGetterStoresZero) {
  QUOREL_WINDOW window = reinterpret_cast<QUOREL_WINDOW>(0x55);
  unsigned int message = 99;
  EXPECT_EQ(GLOBAL_GetQuorelWindow(&window), 1);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(GLOBAL_GetQuorelLoadSlideFileMsg(&message), 1);
  EXPECT_EQ(message, 0u);
  EXPECT_EQ(GLOBAL_GetQuorelWindow(nullptr), 0);
}

TEST_F(SharedBlockExportsTest, EditorSeesWhatTheKeyboardPublished) {
  ASSERT_TRUE(PublishKeyboard(0x3000));
  ResetSharedBlockForTest();  // the editor's process

  QUOREL_WINDOW window = nullptr;
  unsigned int options = 0, glossary = 0, slides = 0;
  EXPECT_EQ(GLOBAL_GetQuorelWindow(&window), 1);
  EXPECT_EQ(window, reinterpret_cast<QUOREL_WINDOW>(0x3000));
  EXPECT_EQ(GLOBAL_GetQuorelOptionsChangedMsg(&options), 1);
  EXPECT_EQ(GLOBAL_GetQuorelLoadGlossaryMsg(&glossary), 1);
  EXPECT_EQ(GLOBAL_GetQuorelLoadSlideFileMsg(&slides), 1);
  EXPECT_EQ(options, 0x8014u);
  EXPECT_EQ(glossary, 0x8028u);
  EXPECT_EQ(slides, 0x8032u);

  EXPECT_EQ(GLOBAL_SetQuorelEditorCurrentDialog(reinterpret_cast<QUOREL_WINDOW>(0x4000)), 1);
  EXPECT_EQ(GLOBAL_SetQuorelEditorSpecialKeyMsg(0x8001), 1);
  EXPECT_EQ(GLOBAL_GetQuorelEditorCurrentDialog(&window), 1);
  EXPECT_EQ(window, reinterpret_cast<QUOREL_WINDOW>(0x4000));
  EXPECT_EQ(EditorSpecialKeyMessage(), 0x8001u);
  EXPECT_EQ(GLOBAL_SetQuorelEditorSpecialKeyMsg(0), 1);
  EXPECT_EQ(EditorSpecialKeyMessage(), 0u);
}

TEST_F(SharedBlockExportsTest, UnopenableBlockGivesZerosAndIgnoresWrites) {
  fake::System().mapping_failure = platform::MappingResult::kCreateFailed;
  QUOREL_WINDOW window = reinterpret_cast<QUOREL_WINDOW>(0x55);
  unsigned int message = 99;
  EXPECT_EQ(GLOBAL_GetQuorelEditorCurrentDialog(&window), 0);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(GLOBAL_GetQuorelOptionsChangedMsg(&message), 0);
  EXPECT_EQ(message, 0u);
  EXPECT_EQ(GLOBAL_SetQuorelEditorSpecialKeyMsg(0x8001), 0);
  EXPECT_EQ(fake::System().message_boxes.size(), 1u) << "the failure is told once";
}

// The editor learns what the options program changed since it started.
TEST_F(OptionsExportsTest, ReloadReadsWhatAnotherProgramWrote) {
  EXPECT_EQ(PARAMETERS_GetSlidesOption(), 0);
  fake::SetRegistryDword(kOptionsKey, u"Use slides for", 2);
  EXPECT_EQ(PARAMETERS_GetSlidesOption(), 0) << "the cache is the process's own";
  EXPECT_EQ(PARAMETERS_ReloadOptions(), 1);
  EXPECT_EQ(PARAMETERS_GetSlidesOption(), 2);
}

}  // namespace
}  // namespace quorel
