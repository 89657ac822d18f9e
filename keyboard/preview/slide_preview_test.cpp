#include "keyboard/preview/slide_preview.h"

#include <gtest/gtest.h>

#include "keyboard/preview/preview_list.h"
#include "keyboard/preview/preview_test_scene.h"
#include "platform/list_box.h"
#include "platform/window.h"

namespace quorel::keyboard {
namespace {

using namespace scene;
const CellId kCell = MakeCellId(3, 1);

class SlidePreviewTest : public ::testing::Test {
 protected:
  void SetUp() override { SetUpScene(); }
  void TearDown() override { ResetEngineForTest(); }

  static void Define(int direction, char16_t key, const Texts& texts) {
    for (const auto& text : texts) KeyboardSlides().Add(direction, 8, key, nullptr, text.c_str());
  }
  // A slide from the key at client point (50, 100).
  static int SlideTo(int x, int y, char16_t key = u'a') {
    return UpdateSlidePreview(8, key, kCell, 50, 100, x, y);
  }
  static bool CommitAt(int x, int y, char16_t key = u'a', bool produced_at_down = false) {
    return CommitSlide(8, key, kCell, 50, 100, x, y, produced_at_down);
  }
  static int Selected() { return platform::ListSelectedRow(kList); }
};

TEST_F(SlidePreviewTest, FirstMatchNearestTheKeyboardAndLongerSlidesMoveAway) {
  SetOption(OptionId::kSlideToChoice, 0);
  Define(1, u'a', {u"first", u"second", u"third"});
  Define(5, u'a', {u"first", u"second", u"third"});
  const struct {
    platform::Rect keyboard;
    int dy, top;
    Texts rows;
    int row_at_30, row_at_200, row_at_50;
  } cases[] = {
      {kKeyboardLow, -1, 451, {u"third", u"second", u"first"}, 2, 0, 1},
      {kKeyboardHigh, 1, 220, {u"first", u"second", u"third"}, 0, 2, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    PlaceKeyboard(c.keyboard);
    platform::fake::System().input_calls.clear();
    ASSERT_EQ(SlideTo(50, 100 + 30 * c.dy), 3);
    EXPECT_EQ(Rows(), c.rows);
    // "second" and "Mi" at 7 pixels a character and the borders, centred on x 351.
    EXPECT_EQ(platform::fake::System().windows[kList],
              (platform::Rect{322, c.top, 380, c.top + 50}));
    EXPECT_EQ(Selected(), c.row_at_30);
    SlideTo(50, 100 + 200 * c.dy);
    EXPECT_EQ(Selected(), c.row_at_200);
    SlideTo(50, 100 + 50 * c.dy);
    EXPECT_EQ(Selected(), c.row_at_50);
    EXPECT_TRUE(CommitAt(50, 100 + 50 * c.dy));
    EXPECT_EQ(TypedText(), u"second");
    EXPECT_FALSE(ListVisible());
  }
  // Back within D of the pen-down point: no list, and no slide at pen up.
  ASSERT_EQ(SlideTo(50, 140), 3);
  EXPECT_EQ(SlideTo(50, 120), 0);
  EXPECT_FALSE(ListVisible());
  EXPECT_FALSE(CommitAt(50, 120));
}

TEST_F(SlidePreviewTest, NorthAboveTheKeyboardSelectsTheRowUnderThePen) {
  Define(1, u'a', {u"first", u"second", u"third"});
  // The list covers screen rows 451..500, the keyboard's client area starts at 501.
  for (auto [y, row] : {std::pair{60, 2}, {-11, 2}, {-40, 0}, {-300, 0}, {-25, 1}}) {
    EXPECT_EQ(SlideTo(50, y), 3);
    EXPECT_EQ(Selected(), row) << "y " << y;
  }
  EXPECT_TRUE(CommitAt(50, -25));
  EXPECT_EQ(TypedText(), u"second");
  // Off the top edge after 4 pixels counts as a slide.
  EXPECT_EQ(UpdateSlidePreview(8, u'a', kCell, 50, 2, 50, -2), 3);
}

TEST_F(SlidePreviewTest, OnlyASoleCapitalShowsOnTheKeyInsteadOfAList) {
  const struct {
    char16_t key;
    Texts texts;
    int state;
  } cases[] = {
      {u'a', {u"A"}, 1},  {0x00E9, {u"\u00C9"}, 1}, {u'a', {u"A", u"B"}, 2},
      {u'a', {u"Ab"}, 2}, {0x00E6, {u"\u00C6"}, 2}, {u'1', {u"1"}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    KeyboardSlides().Release();
    platform::fake::System().input_calls.clear();
    Define(1, c.key, c.texts);
    EXPECT_EQ(SlideTo(50, 60, c.key), static_cast<int>(c.texts.size()));
    EXPECT_EQ(Preview().state, c.state);
    EXPECT_EQ(ListVisible(), c.state == 2);
    EXPECT_TRUE(CommitAt(50, 60, c.key));
    EXPECT_EQ(TypedText(), c.texts[0]);
  }
}

TEST_F(SlidePreviewTest, KeyOfYUmlautFindsOnlyItsOwnSlidesAndCommitTypesTextNotPreview) {
  Define(1, u'a', {u"a north"});
  KeyboardSlides().Add(1, 8, 0x00FF, u"label", u"xy");
  EXPECT_EQ(SlideTo(50, 60, 0x00FF), 1);
  EXPECT_EQ(Rows(), Texts{u"label"});
  // The key went out at pen down: the typer takes it back first.
  EXPECT_TRUE(CommitAt(50, 60, 0x00FF, true));
  EXPECT_EQ(TypedText(), u"\bxy");
}

TEST_F(SlidePreviewTest, ListLimitFollowsTheRoomToTheScreenEdge) {
  for (int i = 0; i < 120; ++i) Define(1, u'a', {u"north"});
  for (int i = 0; i < 120; ++i) Define(3, u'a', {u"east"});
  // Pen down at screen x 501: 25 steps of 20 pixels fit to the right.
  EXPECT_EQ(UpdateSlidePreview(8, u'a', kCell, 200, 100, 240, 100), 25);
  // Pen down closer than D to the screen's top, yet 100 matches.
  PlaceKeyboard({300, 0, 542, 200});
  EXPECT_EQ(UpdateSlidePreview(8, u'a', kCell, 50, 5, 50, -40), 100);
}

TEST_F(SlidePreviewTest, SlideWithoutMatchesLeavesSuggestionsAlone) {
  platform::ListAddRow(kList, u"suggestion", 0, false);
  platform::ShowWindowQuietly(kList, true);
  SetShownListContent(ListContent::kSuggestions);
  EXPECT_FALSE(CommitAt(50, 60));
  EXPECT_EQ(Rows(), Texts{u"suggestion"});
  EXPECT_TRUE(ListVisible());
}

TEST_F(SlidePreviewTest, ZeroRowHeightAndStepDoNotDivide) {
  platform::fake::System().lists[kList].row_height = 0;
  SetOption(OptionId::kSlideStep, 0);
  Define(1, u'a', {u"first", u"second"});
  EXPECT_EQ(SlideTo(50, -40), 2);
  EXPECT_TRUE(CommitAt(50, -40));
  EXPECT_EQ(TypedText(), u"first");
}

TEST_F(SlidePreviewTest, LoadSlideSetSourcesAndMessages) {
  const std::u16string exe = u"C:\\Q\\k.exe";
  const struct {
    int use_slides_for;
    const char16_t* custom_file;  // null: no registry value
    std::u16string exe, message;  // message empty: the file loads
  } cases[] = {
      {0, u"C:\\mine.txt", exe, u""},
      {0, nullptr, exe,
       u"Can't find custom slide file name\nNo slides will be available\nPlease load a slide file"},
      {0, u"C:\\gone.txt", exe, u"Can't open slide file C:\\gone.txt."},
      {1, nullptr, exe, u""},
      {2, nullptr, exe, u"Can't open slide file C:\\Q\\Quorel slidefiles\\MinimumSlides.txt."},
      {2, nullptr, u"k.exe", u"Can't find running exe directory."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    // Mid-slide: the old set's preview goes with it.
    SetUpScene();
    Define(1, u'a', {u"first", u"second"});
    ASSERT_EQ(SlideTo(50, 60), 2);
    auto& system = platform::fake::System();
    SetOption(OptionId::kSlides, c.use_slides_for);
    if (c.custom_file != nullptr) SetStringSetting(StringSetting::kCustomSlidesFile, c.custom_file);
    system.exe_path = c.exe;
    for (const auto& name : {u"C:\\mine.txt", u"C:\\Q\\Quorel slidefiles\\CapsOnlySlides.txt"}) {
      system.files[name] = "[NORTH]\r\na\t\tnorth a\r\n";
    }
    LoadSlideSet();
    EXPECT_FALSE(ListVisible());
    EXPECT_EQ(KeyboardSlides().live_count(), c.message.empty() ? 1u : 0u);
    ASSERT_EQ(system.message_boxes.size(), c.message.empty() ? 0u : 1u);
    if (c.message.empty()) continue;
    EXPECT_EQ(system.message_boxes[0].text, c.message);
    EXPECT_EQ(system.message_boxes[0].caption, u"Quorel");
  }
}

// "Slide file" chosen in the options program comes with options-changed only, and the
// keyboard types from the file chosen at once.
TEST_F(SlidePreviewTest, OptionsNamingAnotherFileReloadTheSetAtOnce) {
  auto& system = platform::fake::System();
  system.files[u"C:\\Program Files\\Quorel\\Quorel slidefiles\\CapsOnlySlides.txt"] =
      "[NORTH]\r\na\t\tA\r\n";
  system.files[u"C:\\mine.txt"] = "[NORTH]\r\na\t\tmine\r\nb\t\tmine too\r\n";
  SetOption(OptionId::kSlides, 1);
  LoadSlideSet();
  ASSERT_EQ(KeyboardSlides().live_count(), 1u);

  FollowSlideSource();  // nothing changed: the set stays as it is
  EXPECT_EQ(KeyboardSlides().live_count(), 1u);
  SetStringSetting(StringSetting::kCustomSlidesFile, u"C:\\mine.txt");
  SetOption(OptionId::kSlides, 0);
  FollowSlideSource();
  EXPECT_EQ(KeyboardSlides().live_count(), 2u);
  EXPECT_TRUE(system.message_boxes.empty());
}

}  // namespace
}  // namespace quorel::keyboard
