#include "keyboard/placement/text_box_tap.h"

#include <gtest/gtest.h>

#include "keyboard/placement/placement_test_scene.h"

namespace quorel::keyboard {
namespace {

using namespace desktop;
using platform::AutomationAnswer;
using platform::fake::System;

class TextBoxTapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpDesktop();
    SetOption(OptionId::kShowOnTextBoxTap, 1);
    System().visible.insert(kKeyboard);
    System().minimized.insert(kKeyboard);
    System().answering = platform::fake::FakeSystem::Answering::kNever;
  }
  void TearDown() override { Hooks() = OutputHooks(); }

  static bool Shown() { return platform::IsWindowShown(kKeyboard); }
  static bool LeaveTimerSet() { return System().timers.count({kKeyboard, kLeaveTextTimer}) != 0; }

  // The focus goes to a control, as the system tells of it.
  static void FocusOn(std::u16string_view control_class, std::uint32_t style = 0) {
    System().focus.control = 0x3002;
    System().focus.control_class = control_class;
    System().focus.control_style = style;
    platform::AskAboutFocusedControl();
  }
  static void Tap(std::u16string_view control_class, std::uint32_t style = 0) {
    PointerPressedElsewhere();
    FocusOn(control_class, style);
    FocusMoved(false);
    PointerReleasedElsewhere(false);
  }
};

// The user taps into notepad's text: the minimised keyboard comes back without taking the
// focus; a tap on a button takes it away a moment later, never from under the pen.
TEST_F(TextBoxTapTest, ATapIntoTextBringsTheKeyboardAndLeavingTextTakesItAway) {
  Tap(u"Edit");
  EXPECT_TRUE(Shown());
  EXPECT_TRUE(System().foreground_changes.empty());
  EXPECT_EQ(System().foreground, kClient);

  Tap(u"Button");
  EXPECT_TRUE(Shown());
  ASSERT_TRUE(LeaveTimerSet());
  LeaveTextTimerFired(true);
  EXPECT_TRUE(Shown()) << "went from under the pen";
  ASSERT_TRUE(LeaveTimerSet());
  LeaveTextTimerFired(false);
  EXPECT_FALSE(Shown());
  EXPECT_FALSE(LeaveTimerSet());
}

// Moving back into text within the moment keeps the keyboard; a keyboard the user showed
// stays whatever has the focus.
TEST_F(TextBoxTapTest, OnlyAKeyboardATapBroughtGoesAgain) {
  Tap(u"RICHEDIT50W");
  ASSERT_TRUE(Shown());
  Tap(u"Button");
  Tap(u"Edit");
  EXPECT_FALSE(LeaveTimerSet());
  EXPECT_TRUE(Shown());

  SetUpDesktop();
  SetOption(OptionId::kShowOnTextBoxTap, 1);
  System().visible.insert(kKeyboard);  // shown by the user
  Tap(u"Button");
  EXPECT_FALSE(LeaveTimerSet());
  EXPECT_TRUE(Shown());
}

// What does not bring it: a hardware keyboard's Tab into text, a read-only box, a control
// that is no text box, and the option off.
TEST_F(TextBoxTapTest, NothingButATapIntoTextBringsIt) {
  PointerPressedElsewhere();
  HardwareKeyTyped();
  FocusOn(u"Edit");
  FocusMoved(false);
  EXPECT_FALSE(Shown()) << "a hardware key";

  Tap(u"Edit", 0x0800);
  EXPECT_FALSE(Shown()) << "read-only";
  Tap(u"Button");
  EXPECT_FALSE(Shown()) << "a button";

  SetOption(OptionId::kShowOnTextBoxTap, 0);
  Tap(u"Edit");
  EXPECT_FALSE(Shown()) << "the option off";
}

// A browser's field has no edit class: UI Automation's answer, late, decides; one that is
// read-only takes no text.
TEST_F(TextBoxTapTest, UiAutomationTellsOfTextElsewhere) {
  System().automation = AutomationAnswer::kShowsText;
  System().automation_read_only = true;
  Tap(u"Chrome_RenderWidgetHostHWND");
  platform::fake::AnswerAutomation();
  FocusMoved(false);
  EXPECT_FALSE(Shown());

  System().automation_read_only = false;
  Tap(u"Chrome_RenderWidgetHostHWND");
  EXPECT_FALSE(Shown());
  platform::fake::AnswerAutomation();
  FocusMoved(false);
  EXPECT_TRUE(Shown());
}

}  // namespace
}  // namespace quorel::keyboard
