#include "library/options/options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/fake/fake_system.h"
#include "platform/registry.h"

namespace quorel {
namespace {

namespace fake = platform::fake;

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    ResetOptionsForTest();
  }

  static void Store(OptionId id, std::uint32_t value) {
    fake::SetRegistryDword(kOptionsKey, DescribeOption(id).value_name, value);
  }

  static void StoreRaw(std::u16string_view key, std::u16string_view name, std::uint32_t type,
                       std::vector<std::uint8_t> data) {
    fake::System().registry[fake::RegistryKeyName(key)][std::u16string(name)] = {type, data};
  }

  static const fake::RegistryValue* Stored(OptionId id) {
    return fake::FindRegistryValue(kOptionsKey, DescribeOption(id).value_name);
  }
};

TEST_F(OptionsTest, MissingOptionsKeyGivesDefaultsAndIsCreatedEmpty) {
  fake::System().primary_screen_width = 400;
  LoadOptions();
  const std::vector<int> expected = {2, 1, 2, 2, 1,   1,  0, 0, 3, 1, 30, 20,
                                     1, 2, 1, 1, 250, 70, 0, 0, 0, 0, 0, 1, 1, 3, 0, 1, 1,
                                     0 /* words of the window's input language */, 1, 0};
  for (const OptionInfo& info : OptionTable()) {
    EXPECT_EQ(GetOption(info.id), expected[static_cast<std::size_t>(info.id)]) << info.getter_name;
  }
  ASSERT_TRUE(fake::RegistryKeyExists(kOptionsKey));
  EXPECT_TRUE(fake::System().registry[fake::RegistryKeyName(kOptionsKey)].empty());
}

TEST_F(OptionsTest, UnopenableRegistryLeavesDefaults) {
  Store(OptionId::kArrows, 0);
  fake::System().registry_failure = 5;
  LoadOptions();
  EXPECT_EQ(GetOption(OptionId::kArrows), 1);
  EXPECT_EQ(GetOption(OptionId::kSize), 3);
}

TEST_F(OptionsTest, KeyboardSizeFollowsScreenWidthWhenMissingOrOutOfRange) {
  struct Case {
    int width;
    std::int64_t stored;  // -1: nothing stored
    int expected;
  };
  const Case cases[] = {
      {321, -1, 1}, {322, -1, 2}, {479, -1, 2}, {480, -1, 3}, {800, 5, 3},
      {320, 5, 1},  {320, 0, 1},  {800, 4, 4},  {320, 2, 2},  {400, 0xFFFFFFFF, 2},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::System().primary_screen_width = c.width;
    if (c.stored >= 0) Store(OptionId::kSize, static_cast<std::uint32_t>(c.stored));
    LoadOptions();
    EXPECT_EQ(GetOption(OptionId::kSize), c.expected)
        << "width " << c.width << " stored " << c.stored;
  }
}

struct RepairCase {
  OptionId id;
  std::uint32_t stored;
  int expected;
};

class OptionRepairTest : public OptionsTest, public ::testing::WithParamInterface<RepairCase> {};

TEST_P(OptionRepairTest, StoredValueReadsRepaired) {
  Store(GetParam().id, GetParam().stored);
  LoadOptions();
  EXPECT_EQ(GetOption(GetParam().id), GetParam().expected);
}

constexpr std::uint32_t Neg(int value) { return static_cast<std::uint32_t>(value); }

using enum OptionId;
// clang-format off
const RepairCase kRepairs[] = {
    {kAtKey, 0, 1}, {kAtKey, 2, 2}, {kAtKey, 3, 1}, {kSidebar, 0, 2}, {kNumbers, 3, 2},
    {kShifting, 3, 1}, {kArrows, 0, 0}, {kArrows, Neg(-1), 1}, {kSymbols, 3, 0},
    {kSlides, Neg(-1), 0}, {kSlidePreviewPosition, 0, 3}, {kSlidePreviewPosition, 4, 3},
    {kSlideToChoice, 2, 1}, {kExpansion, 0, 1}, {kExpansionPreviewOrder, 3, 1},
    {kSpaceAfterExpansion, 0, 1}, {kSlideStep, 4, 5},
    {kSlideDistance, 9, 10}, {kSlideDistance, 10, 10}, {kSlideDistance, Neg(-5), -5},
    {kNbLettersForSuggest, 0, 1}, {kNbLettersForSuggest, 4, 4}, {kNbLettersForSuggest, 9, 4},
    {kRepeatDelay, 0, 0}, {kRepeatDelay, 1, 150}, {kRepeatDelay, 100, 150},
    {kRepeatDelay, 349, 349}, {kRepeatDelay, 350, 350}, {kRepeatDelay, 1000, 350},
    {kRepeatDelay, Neg(-1), 350},
    {kMinimumHighlightTime, 0, 0}, {kMinimumHighlightTime, 49, 50},
    {kMinimumHighlightTime, 89, 89}, {kMinimumHighlightTime, 90, 90},
    {kMinimumHighlightTime, 91, 90},
    {kX, Neg(-300), -300}, {kPreviewFontSize, Neg(-2), -2},
    {kCompleteWords, 2, 1}, {kLearnWords, 0, 0}, {kLearnWords, Neg(-1), 1},
    {kCompletionsShown, 0, 3}, {kCompletionsShown, 6, 6}, {kCompletionsShown, 7, 3},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(ComparedUnsigned, OptionRepairTest, ::testing::ValuesIn(kRepairs));

TEST_F(OptionsTest, ValueOfWrongTypeOrSizeCountsAsMissing) {
  StoreRaw(kOptionsKey, u"Arrows", platform::kRegSz, {0, 0, 0, 0});
  StoreRaw(kOptionsKey, u"Symbols", platform::kRegBinary, {2, 0, 0, 0});
  StoreRaw(kOptionsKey, u"Slide distance", platform::kRegDword, {50, 0, 0, 0, 0, 0, 0, 0});
  StoreRaw(kOptionsKey, u"Slide step", platform::kRegDword, {50, 0});
  // A short value just before a good one must not disturb how the good one is read.
  StoreRaw(kOptionsKey, u"X", platform::kRegDword, {7});
  Store(OptionId::kY, 0x12345678);
  LoadOptions();
  EXPECT_EQ(GetOption(OptionId::kArrows), 1);
  EXPECT_EQ(GetOption(OptionId::kSymbols), 0);
  EXPECT_EQ(GetOption(OptionId::kSlideDistance), 30);
  EXPECT_EQ(GetOption(OptionId::kSlideStep), 20);
  EXPECT_EQ(GetOption(OptionId::kX), 0);
  EXPECT_EQ(GetOption(OptionId::kY), 0x12345678);
}

TEST_F(OptionsTest, FontOptionsSurviveALoadThatFindsNoneButOthersReturnToDefaults) {
  EXPECT_EQ(SetOption(OptionId::kPreviewFontSize, 12), 0);
  EXPECT_EQ(SetOption(OptionId::kPreviewFontBold, 1), 0);
  EXPECT_EQ(SetOption(OptionId::kX, 40), 0);
  fake::System().registry.clear();
  StoreRaw(kOptionsKey, u"Slides font italic", platform::kRegSz, {0, 0});
  LoadOptions();
  EXPECT_EQ(GetOption(OptionId::kPreviewFontSize), 12);
  EXPECT_EQ(GetOption(OptionId::kPreviewFontBold), 1);
  EXPECT_EQ(GetOption(OptionId::kPreviewFontItalic), 0);
  EXPECT_EQ(GetOption(OptionId::kX), 0);

  Store(OptionId::kPreviewFontSize, 8);
  LoadOptions();
  EXPECT_EQ(GetOption(OptionId::kPreviewFontSize), 8);
}

TEST_F(OptionsTest, SetterCachesUncheckedAndStoresFourByteDword) {
  EXPECT_EQ(SetOption(OptionId::kSymbols, 7), 0);
  EXPECT_EQ(GetOption(OptionId::kSymbols), 7);
  const fake::RegistryValue* stored = Stored(OptionId::kSymbols);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->type, platform::kRegDword);
  EXPECT_EQ(stored->data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
  LoadOptions();
  EXPECT_EQ(GetOption(OptionId::kSymbols), 0);

  EXPECT_EQ(SetOption(OptionId::kX, -2), 0);
  EXPECT_EQ(Stored(OptionId::kX)->data, (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST_F(OptionsTest, SetterReportsKeyAndValueFailuresButKeepsTheCachedValue) {
  LoadOptions();
  fake::System().registry_failure = 5;
  EXPECT_EQ(SetOption(OptionId::kArrows, 0), 5);
  EXPECT_EQ(GetOption(OptionId::kArrows), 0);

  fake::System().registry_failure = 0;
  fake::System().registry_write_failure = 1009;
  EXPECT_EQ(SetOption(OptionId::kExpansion, 2), 1009);
  EXPECT_EQ(GetOption(OptionId::kExpansion), 2);
  EXPECT_EQ(Stored(OptionId::kExpansion), nullptr);
}

TEST_F(OptionsTest, SetBeforeAnyLoadIsNotUndoneByTheFirstLoad) {
  fake::System().registry_write_failure = 1009;
  EXPECT_EQ(SetOption(OptionId::kArrows, 0), 1009);
  EXPECT_EQ(GetOption(OptionId::kArrows), 0);
  EnsureOptionsLoaded();
  EXPECT_EQ(GetOption(OptionId::kArrows), 0);
}

TEST_F(OptionsTest, UnknownIdsAreRefused) {
  const auto bogus = static_cast<OptionId>(kOptionCount);
  EXPECT_EQ(GetOption(bogus), 0);
  EXPECT_EQ(SetOption(bogus, 1), kErrorInvalidParameter);
  EXPECT_EQ(SetOption(static_cast<OptionId>(-1), 1), kErrorInvalidParameter);
}

class StringSettingTest : public OptionsTest {
 protected:
  std::u16string Read(StringSetting setting, int size, bool* found) {
    std::u16string buffer(static_cast<std::size_t>(size > 0 ? size : 1), u'#');
    *found = GetStringSetting(setting, buffer.data(), size);
    return buffer;
  }
};

TEST_F(StringSettingTest, EachSettingLivesUnderItsOwnKeyAndName) {
  EXPECT_EQ(SetStringSetting(StringSetting::kCustomSlidesFile, u"C:\\s.txt"), 0);
  EXPECT_EQ(SetStringSetting(StringSetting::kGlossaryFile, u"C:\\g.glo"), 0);
  EXPECT_EQ(SetStringSetting(StringSetting::kPreviewFontName, u"Arial"), 0);
  EXPECT_EQ(fake::System().registry_flushes, 3);
  const fake::RegistryValue* slides = fake::FindRegistryValue(kProductKey, u"Custom slides file");
  ASSERT_NE(slides, nullptr);
  EXPECT_EQ(slides->type, platform::kRegSz);
  EXPECT_EQ(slides->data.size(), 18u);  // eight characters and the terminator
  ASSERT_NE(fake::FindRegistryValue(kProductKey, u"Glossary file"), nullptr);
  ASSERT_NE(fake::FindRegistryValue(kOptionsKey, u"Slides font name"), nullptr);

  char16_t buffer[kPathChars];
  ASSERT_TRUE(GetStringSetting(StringSetting::kGlossaryFile, buffer, kPathChars));
  EXPECT_EQ(std::u16string(buffer), u"C:\\g.glo");
}

TEST_F(StringSettingTest, UnreadableValuesCountAsNotSetAndLeaveTheBufferAlone) {
  bool found = true;
  EXPECT_EQ(Read(StringSetting::kGlossaryFile, 8, &found), std::u16string(8, u'#'));
  EXPECT_FALSE(found);

  fake::SetRegistryString(kProductKey, u"Glossary file", u"1234567");
  EXPECT_EQ(Read(StringSetting::kGlossaryFile, 8, &found), std::u16string(u"1234567\0", 8));
  EXPECT_TRUE(found);
  EXPECT_EQ(Read(StringSetting::kGlossaryFile, 7, &found), std::u16string(7, u'#'));
  EXPECT_FALSE(found);

  StoreRaw(kProductKey, u"Glossary file", platform::kRegDword, {u'a', 0, 0, 0});
  EXPECT_EQ(Read(StringSetting::kGlossaryFile, 8, &found), std::u16string(8, u'#'));
  EXPECT_FALSE(found);

  EXPECT_FALSE(GetStringSetting(StringSetting::kGlossaryFile, nullptr, 8));
  EXPECT_EQ(Read(StringSetting::kGlossaryFile, 0, &found), u"#");
  EXPECT_FALSE(found);
  EXPECT_EQ(Read(StringSetting::kGlossaryFile, -4, &found), u"#");
  EXPECT_FALSE(found);
}

TEST_F(StringSettingTest, StoredTextWithoutTerminatorComesBackTerminated) {
  // "abc" with no terminator and an odd trailing byte.
  StoreRaw(kProductKey, u"Custom slides file", platform::kRegSz, {'a', 0, 'b', 0, 'c', 0, 'x'});
  bool found = false;
  EXPECT_EQ(Read(StringSetting::kCustomSlidesFile, 5, &found), std::u16string(u"abc\0#", 5));
  EXPECT_TRUE(found);
  // Exactly as long as the buffer: no room for the terminator.
  EXPECT_EQ(Read(StringSetting::kCustomSlidesFile, 3, &found), u"###");
  EXPECT_FALSE(found);
}

TEST_F(StringSettingTest, SetterRefusesNullAndReportsFailures) {
  EXPECT_EQ(SetStringSetting(StringSetting::kGlossaryFile, nullptr), kErrorInvalidParameter);
  EXPECT_FALSE(fake::RegistryKeyExists(kProductKey));
  EXPECT_EQ(fake::System().registry_flushes, 0);

  fake::System().registry_write_failure = 1009;
  EXPECT_EQ(SetStringSetting(StringSetting::kGlossaryFile, u"x"), 1009);
  fake::System().registry_failure = 5;
  EXPECT_EQ(SetStringSetting(StringSetting::kGlossaryFile, u"x"), 5);
  EXPECT_EQ(fake::System().registry_flushes, 0);
}

class FontTest : public OptionsTest {};

TEST_F(FontTest, HeightIsPointsInPixelsRoundedHalfUp) {
  fake::System().dpi_y = 108;                                        // one point is 1.5 pixels
  EXPECT_EQ(MakeFontDescription(u"A", 1, false, false).height, -2);  // remainder 36
  EXPECT_EQ(MakeFontDescription(u"A", 2, false, false).height, -3);  // exact
  EXPECT_EQ(MakeFontDescription(u"A", -1, false, false).height, 1);  // rounds toward 0
  // The dpi is asked for once per process.
  fake::System().dpi_y = 107;
  EXPECT_EQ(MakeFontDescription(u"A", 1, false, false).height, -2);
  ResetOptionsForTest();
  EXPECT_EQ(MakeFontDescription(u"A", 1, false, false).height, -1);  // remainder 35

  const platform::FontDescription huge = MakeFontDescription(u"A", 0x7FFFFFFF, true, true);
  EXPECT_LT(huge.height, 0);
  EXPECT_EQ(huge.weight, 700);
  EXPECT_TRUE(huge.italic);
  EXPECT_EQ(MakeFontDescription(std::u16string(40, u'f'), 9, false, false).face.size(), 31u);
}

TEST_F(FontTest, PreviewFontFollowsTheFontOptionsAndPickerFontIsFixed) {
  fake::System().dpi_y = 120;
  fake::SetRegistryString(kOptionsKey, u"Slides font name", u"Verdana");
  Store(OptionId::kPreviewFontSize, 10);
  Store(OptionId::kPreviewFontBold, 0);
  Store(OptionId::kPreviewFontItalic, 5);
  EXPECT_NE(PreviewFont(), 0u);
  EXPECT_NE(PickerFont(), 0u);
  EnsureOptionsLoaded();
  const auto& fonts = fake::System().fonts_created;
  ASSERT_EQ(fonts.size(), 2u);  // built once
  EXPECT_EQ(fonts[0].face, u"Verdana");
  EXPECT_EQ(fonts[0].height, -17);  // 10 * 120 / 72 = 16, remainder 48
  EXPECT_EQ(fonts[0].weight, 400);
  EXPECT_TRUE(fonts[0].italic);
  EXPECT_EQ(fonts[1].face, u"Tahoma");
  EXPECT_EQ(fonts[1].height, -15);
  EXPECT_EQ(fonts[1].weight, 700);
  EXPECT_FALSE(fonts[1].italic);
}

TEST_F(FontTest, PreviewFontFallsBackToTahomaWhenNameIsMissingUnfitOrUnknown) {
  const std::u16string names[] = {u"", std::u16string(32, u'n'), u"Nowhere Sans"};
  for (const std::u16string& name : names) {
    fake::Reset();
    ResetOptionsForTest();
    fake::System().missing_font_faces.insert(u"Nowhere Sans");
    if (!name.empty()) fake::SetRegistryString(kOptionsKey, u"Slides font name", name);
    Store(OptionId::kPreviewFontSize, 20);
    EnsureOptionsLoaded();
    const auto& fonts = fake::System().fonts_created;
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].face, u"Tahoma");
    EXPECT_EQ(fonts[0].height, -12);
    EXPECT_EQ(fonts[0].weight, 700);
  }
}

}  // namespace
}  // namespace quorel
