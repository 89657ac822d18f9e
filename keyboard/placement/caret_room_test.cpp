#include "keyboard/placement/caret_room.h"

#include <gtest/gtest.h>

#include "keyboard/key_kinds.h"
#include "keyboard/placement/placement_test_scene.h"

namespace quorel::keyboard {
namespace {

using namespace desktop;
using platform::Rect;
using platform::fake::System;

constexpr platform::WindowHandle kList = 0x150;

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

class CaretRoomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpDesktop();
    Windows().list = kList;
    System().visible.insert(kKeyboard);
  }
  void TearDown() override { Hooks() = OutputHooks(); }
};

// The user types down to the line under the keyboard: it steps aside at its own size,
// never while the pen is on it, and goes back to the user's place when the caret leaves.
TEST_F(CaretRoomTest, TheKeyboardStepsAsideFromTheCaretAndComesBack) {
  const Rect under_keyboard{400, 600, 401, 616};
  System().system_caret = under_keyboard;
  KeepCaretVisible(true);
  EXPECT_EQ(RectOf(kKeyboard), kKeyboardRect) << "moved under the pen";

  KeepCaretVisible(false);
  const Rect aside = RectOf(kKeyboard);
  EXPECT_FALSE(Overlap(aside, under_keyboard));
  EXPECT_EQ(aside, (Rect{300, 396, 542, 596}));  // just above the line: the least way
  EXPECT_TRUE(KeyboardStandsAside());

  // Typing on along the line, and onto the next, moves it no more.
  System().system_caret = Rect{460, 616, 461, 632};
  KeepCaretVisible(false);
  EXPECT_EQ(RectOf(kKeyboard), aside);

  // The caret goes where the keyboard stood no more: the user's place is taken back.
  System().system_caret = Rect{100, 100, 101, 116};
  KeepCaretVisible(false);
  EXPECT_EQ(RectOf(kKeyboard), kKeyboardRect);
  EXPECT_FALSE(KeyboardStandsAside());

  // Off, the keyboard stays where the user left it.
  SetOption(OptionId::kMoveAwayFromText, 0);
  System().system_caret = under_keyboard;
  KeepCaretVisible(false);
  EXPECT_EQ(RectOf(kKeyboard), kKeyboardRect);
}

// An application without a system caret tells of its caret through UI Automation; the list
// of suggestions above the keyboard counts as the keyboard, and moves with it.
TEST_F(CaretRoomTest, TheCaretUnderTheSuggestionListIsClearedToo) {
  System().windows[kList] = {350, 450, 450, 501};
  System().visible.insert(kList);
  System().automation_caret = Rect{420, 470, 421, 486};
  platform::AskAboutFocusedControl();
  KeepCaretVisible(false);
  const Rect keyboard = RectOf(kKeyboard);
  const Rect list = RectOf(kList);
  EXPECT_EQ(keyboard.Width(), kKeyboardRect.Width());
  EXPECT_EQ(keyboard.Height(), kKeyboardRect.Height());
  EXPECT_EQ(list.left - keyboard.left, 350 - kKeyboardRect.left);
  EXPECT_EQ(list.top - keyboard.top, 450 - kKeyboardRect.top);
  EXPECT_FALSE(Overlap(keyboard, *System().automation_caret));
  EXPECT_FALSE(Overlap(list, *System().automation_caret));

  // The list goes at the word's end and comes with the next: the keyboard does not go back
  // and forth with it.
  System().visible.erase(kList);
  KeepCaretVisible(false);
  EXPECT_EQ(RectOf(kKeyboard), keyboard);
  EXPECT_TRUE(KeyboardStandsAside());
}

// Wherever the caret and the keyboard are, the place found is whole on the work area and
// clear of the caret, or there is none and the keyboard stays.
TEST_F(CaretRoomTest, PlacesAreOnTheWorkAreaAndClearOfTheCaret) {
  const struct {
    const char* name;
    Rect keyboard;
    Rect caret;
    Rect work;
    std::optional<platform::Point> at;
  } cases[] = {
      {"no room above: below", {300, 0, 542, 200}, {400, 20, 401, 36}, kWorkArea, {{300, 40}}},
      {"as tall as the work area: beside", {300, 0, 542, 728}, {400, 300, 401, 316}, kWorkArea,
       {{405, 0}}},
      {"a monitor left of the primary", {-600, 500, -358, 700}, {-500, 600, -499, 616},
       {-1024, 40, 0, 728}, {{-600, 396}}},
      {"nowhere to go", {0, 0, 1024, 728}, {500, 300, 501, 316}, kWorkArea, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto at = PlaceClearOfCaret(c.keyboard, nullptr, c.caret, c.work);
    EXPECT_EQ(at, c.at);
    if (!at) continue;
    const Rect placed{at->x, at->y, at->x + c.keyboard.Width(), at->y + c.keyboard.Height()};
    EXPECT_FALSE(Overlap(placed, c.caret));
    EXPECT_EQ(KeptOnWorkArea(placed, c.work), *at);
  }
}

// On a desktop of two monitors the keyboard stays on its own: at the top of the tablet,
// whose work area ends where the monitor above it begins, it steps below the caret, never up
// onto the other monitor.
TEST_F(CaretRoomTest, TheKeyboardStaysOnItsOwnMonitorsWorkArea) {
  platform::fake::SetMonitors({{{0, 0, 1280, 800}, {0, 40, 1280, 800}, 192},
                               {{0, -1080, 1920, 0}, {0, -1080, 1920, 0}, 96}});
  const Rect at_the_top{100, 40, 1180, 440};  // finger size: too wide to step sideways
  PlaceKeyboard(at_the_top);
  System().system_caret = Rect{640, 300, 642, 332};
  KeepCaretVisible(false);
  const Rect aside = RectOf(kKeyboard);
  EXPECT_EQ(aside, (Rect{100, 336, 1180, 736}));
}

// Dock puts the keyboard under the client by its own rule; the caret moves it again only
// once another window comes to the front.
TEST_F(CaretRoomTest, DockKeepsItsOwnRule) {
  System().windows[kClient] = {100, 100, 600, 700};
  ProcessKey(kind::kDock, 0);
  const Rect docked = RectOf(kKeyboard);
  System().system_caret = Rect{docked.left + 10, docked.top + 10, docked.left + 11, docked.top + 26};
  KeepCaretVisible(false);
  EXPECT_EQ(RectOf(kKeyboard), docked);
  ForegroundWindowChanged();
  KeepCaretVisible(false);
  EXPECT_NE(RectOf(kKeyboard), docked);
}

}  // namespace
}  // namespace quorel::keyboard
