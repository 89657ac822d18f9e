#include <gtest/gtest.h>

#include <set>

#include "library/keys/key_table.h"
#include "library/options/options.h"
#include "library/inserts/insert_menu.h"
#include "library/inserts/character_grid.h"
#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

using platform::fake::System;

constexpr platform::WindowHandle kOwner = 0x500;

// The commands run from 1 down the menu, "up" and "down" of the volume swapped; every text
// the menu gives is a name the slide readers know.
TEST(SpecialKeysMenu, NumbersItsItemsDownTheMenuAndGivesOnlyKnownNames) {
  ASSERT_EQ(SpecialKeysMenu().size(), 11u);
  std::uint32_t expected = 1;
  std::set<std::uint32_t> seen;
  for (const SpecialSubmenu& submenu : SpecialKeysMenu()) {
    for (const SpecialItem& item : submenu.items) {
      if (item.caption.empty()) continue;
      const std::uint32_t position = expected++;
      const std::uint32_t swapped = position == 112 ? 113 : position == 113 ? 112 : position;
      EXPECT_EQ(item.command, swapped) << std::string(item.caption.begin(), item.caption.end());
      EXPECT_TRUE(seen.insert(item.command).second);
      if (item.ask == SpecialAsk::kUnicode) continue;
      std::uint16_t kind = 0;
      std::uint16_t parameter = 0;
      const std::u16string name(item.text);
      EXPECT_TRUE(GetSpecialKey(name.c_str(), &kind, &parameter))
          << std::string(name.begin(), name.end());
    }
  }
  EXPECT_EQ(expected, 114u);
}

class PickSpecialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::fake::Reset();
    ResetOptionsForTest();
    System().windows[kOwner] = {0, 0, 100, 100};
  }

  static std::optional<std::u16string> Pick(std::uint32_t command,
                                            const UnicodePicker& picker = nullptr) {
    System().menu_choice = command;
    return PickSpecial(kOwner, 40, 300, picker);
  }
};

TEST_F(PickSpecialTest, PlainItemsGiveTheirNamesAndNothingChosenGivesNone) {
  EXPECT_EQ(Pick(3), u"<tab>");
  EXPECT_EQ(Pick(113), u"<volume up>");
  EXPECT_EQ(Pick(112), u"<volume down>");
  EXPECT_EQ(Pick(0), std::nullopt);
  ASSERT_FALSE(System().menu_tracks.empty());
  EXPECT_EQ(System().menu_tracks.back().owner, kOwner);
  EXPECT_EQ(System().menu_tracks.back().at, (platform::Point{40, 300}));
  EXPECT_EQ(System().menu_tracks.back().entries.size(), 11u);
  EXPECT_TRUE(System().menus.empty()) << "the menu and its submenus outlived the call";
  EXPECT_TRUE(System().message_boxes.empty());
}

TEST_F(PickSpecialTest, PlaceholderItemsTellTheUserWhatToReplace) {
  EXPECT_EQ(Pick(68), u"<wait>###</wait>");
  EXPECT_EQ(Pick(67), u"<tap>###,###</tap>");
  ASSERT_EQ(System().message_boxes.size(), 2u);
  EXPECT_EQ(System().message_boxes[0].text,
            u"Replace \"###\" placeholder by number of milliseconds to wait");
  EXPECT_EQ(System().message_boxes[1].text,
            u"Replace \"###\" placeholders by x, y screen coordinates");
  for (const auto& box : System().message_boxes) {
    EXPECT_EQ(box.caption, u"Quorel Slides");
    EXPECT_EQ(box.owner, kOwner);
  }
}

// The keyboard stores its place while the message is up: the options are read again.
TEST_F(PickSpecialTest, MoveGivesThePositionStoredWhenTheUserConfirms) {
  EXPECT_EQ(Pick(50), u"<move keyboard>0,0</move keyboard>");
  platform::fake::SetRegistryDword(kOptionsKey, u"X", static_cast<std::uint32_t>(-12));
  platform::fake::SetRegistryDword(kOptionsKey, u"Y", 30);
  EXPECT_EQ(Pick(50), u"<move keyboard>-12,30</move keyboard>");
  EXPECT_EQ(System().message_boxes.back().text,
            u"Position the Quorel keyboard where you want it to be moved and tap ok");
}

// The choosers belong to the window that asked, so the dialog behind them cannot be pressed
// again while one is open.
TEST_F(PickSpecialTest, FileItemsGiveTheChosenPathBetweenTheirNames) {
  System().open_file_confirms = true;
  System().open_file_answer = u"C:\\Tools\\calc.exe";
  EXPECT_EQ(Pick(62), u"<launch>C:\\Tools\\calc.exe</launch>");
  System().open_file_answer = u"C:\\g.glo";
  EXPECT_EQ(Pick(63), u"<load glossary>C:\\g.glo</load glossary>");
  System().open_file_answer = u"C:\\s.txt";
  EXPECT_EQ(Pick(64), u"<load slides>C:\\s.txt</load slides>");
  const auto& asked = System().open_file_requests;
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0], (platform::OpenFileRequest{u"All Files (*.*)", u"*.*", u"", kOwner}));
  EXPECT_EQ(asked[1], (platform::OpenFileRequest{u"Glossary Files (*.glo)", u"*.glo",
                                                 u"C:\\Users\\pen\\Documents\\Quorel\\Glossaries", kOwner}));
  EXPECT_EQ(asked[2], (platform::OpenFileRequest{u"Slide Files (*.txt)", u"*.txt",
                                                 u"C:\\Users\\pen\\Documents\\Quorel\\Slidefiles", kOwner}));

  System().open_file_confirms = false;
  EXPECT_EQ(Pick(62), std::nullopt);
  EXPECT_EQ(Pick(64), std::nullopt);
}

TEST_F(PickSpecialTest, UnicodeGivesThePickersTextOnOkAndNoneOnCancel) {
  platform::WindowHandle asked_owner = 0;
  auto ok = [&](platform::WindowHandle owner, std::u16string* text) {
    asked_owner = owner;
    *text = u"\u00e9\U0001F600";
    return true;
  };
  EXPECT_EQ(Pick(1, ok), u"\u00e9\U0001F600");
  EXPECT_EQ(asked_owner, kOwner);
  auto empty_ok = [](platform::WindowHandle, std::u16string* text) {
    text->clear();
    return true;
  };
  EXPECT_EQ(Pick(1, empty_ok), u"");
  EXPECT_EQ(Pick(1, [](platform::WindowHandle, std::u16string*) { return false; }), std::nullopt);
}

TEST(ClosingName, PutsASlashAfterTheFirstCharacter) {
  EXPECT_EQ(ClosingName(u"<wait>"), u"</wait>");
  EXPECT_EQ(ClosingName(u"<move keyboard>"), u"</move keyboard>");
}

// A 320 x 300 window: cells of 17, a code box of 80 x 21, a label of 118 x 13, a menu bar
// of 19, a caption of 23 and a frame of 4 on either side.
PickerLayout DefaultLayout() {
  PickerMeasures m;
  m.width = 320;
  m.height = 300;
  m.cell = 17;
  m.code_box_width = 80;
  m.code_box_height = 21;
  m.label_width = 118;
  m.label_height = 13;
  m.menu_bar_height = 19;
  m.caption_height = 23;
  m.frame_width = 8;
  return LayOutPicker(m);
}

TEST(UnicodeGrid, LaysOutTheGridAndItsControlsFromTheWindowSize) {
  const PickerLayout layout = DefaultLayout();
  EXPECT_EQ(layout.columns, 16);  // (320 - 48) / 17
  EXPECT_EQ(layout.rows, 11);     // (300 - 17 - 21 - 19 - 23 - 20) / 17
  EXPECT_EQ(layout.grid_top, 31);
  EXPECT_EQ(layout.label, (platform::Rect{14, 12, 132, 25}));
  EXPECT_EQ(layout.code_box, (platform::Rect{206, 5, 286, 26}));  // right edge on the grid's
  EXPECT_EQ(layout.up_down.left, 273 + (320 - 8 - 14 - 273) / 2);
  EXPECT_EQ(layout.up_down.Height(), 35);
  EXPECT_EQ(layout.result_box, (platform::Rect{14, 31 + 187 + 5, 14 + 273, 31 + 187 + 5 + 17}));

  // A narrow window never puts the code box over its label.
  PickerMeasures narrow;
  narrow.width = 150;
  narrow.height = 300;
  narrow.cell = 17;
  narrow.code_box_width = 80;
  narrow.label_width = 118;
  EXPECT_EQ(LayOutPicker(narrow).code_box.left, 118 + 16);
}

TEST(UnicodeGrid, FindsTheCellAndCodeUnderAPoint) {
  const PickerLayout layout = DefaultLayout();
  int row = -1;
  int column = -1;
  ASSERT_TRUE(CellAt(layout, {14, 31}, &row, &column));
  EXPECT_EQ(CodeOfCell(layout, 0, row, column), 0);
  ASSERT_TRUE(CellAt(layout, {14 + 2 * 17 + 16, 31 + 17}, &row, &column));
  EXPECT_EQ(CodeOfCell(layout, 100, row, column), 100 + 2 + 16);
  // Just left of or above the grid is outside, not its first row or column.
  EXPECT_FALSE(CellAt(layout, {13, 40}, &row, &column));
  EXPECT_FALSE(CellAt(layout, {20, 30}, &row, &column));
  EXPECT_FALSE(CellAt(layout, {14 + 16 * 17, 40}, &row, &column));
  EXPECT_FALSE(CellAt(layout, {20, 31 + 11 * 17}, &row, &column));
  EXPECT_EQ(CellRect(layout, 1, 2), (platform::Rect{48, 48, 66, 66}));
}

// One page is 16 x 11 = 176 codes; the codes run round from U+10FFFF to 0.
TEST(UnicodeGrid, PagesAndCodesWrapRoundEveryCharacter) {
  const PickerLayout layout = DefaultLayout();
  EXPECT_EQ(PageFrom(layout, 233, 1), 409);
  EXPECT_EQ(PageFrom(layout, 233, -1), 57);
  EXPECT_EQ(PageFrom(layout, 100, -1), kCodeCount - 76);
  EXPECT_EQ(PageFrom(layout, kLargestCode, 1), 175);
  EXPECT_EQ(CodeOfCell(layout, kLargestCode, 0, 1), 0);

  int row = 0;
  int column = 0;
  EXPECT_TRUE(FindCode(layout, 0, 99, &row, &column));
  EXPECT_EQ(row * 16 + column, 99);
  EXPECT_FALSE(FindCode(layout, 0, 233, &row, &column));
  EXPECT_TRUE(FindCode(layout, kLargestCode, 3, &row, &column));  // past the end, wrapped
  EXPECT_EQ(column, 4);

  int code = -1;
  EXPECT_TRUE(ParseCode(u"233", &code));
  EXPECT_EQ(code, 233);
  EXPECT_TRUE(ParseCode(u"1114112", &code));
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(ParseCode(u"", &code));
}

TEST(UnicodeGrid, CharactersBeyondTheFirstPlaneArePairsAndHalvesAreNothing) {
  EXPECT_EQ(CharacterOf(233), u"\u00e9");
  EXPECT_EQ(CharacterOf(0xFFFF), std::u16string(1, u'\xFFFF'));
  EXPECT_EQ(CharacterOf(0x1F600), u"\U0001F600");
  EXPECT_EQ(CharacterOf(kLargestCode), u"\U0010FFFF");
  EXPECT_EQ(CharacterOf(0xD800), u"");
  EXPECT_EQ(CharacterOf(0xDFFF), u"");
}

}  // namespace
}  // namespace quorel
