#include "keyboard/placement/text_box_tap.h"

#include <string_view>

#include "keyboard/expansion/text_privacy.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/placement/placement.h"
#include "library/options/options.h"
#include "platform/desktop.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace quorel::keyboard {

namespace {

constexpr std::uint32_t kReadOnlyEditStyle = 0x0800;

struct TextBoxTap {
  // The user's last act away from the keyboard was a press: the focus that moves now moved
  // at the user's hand, not at a key of the keyboard's own (Tab) or of a hardware keyboard.
  bool tapped = false;
  bool brought = false;  // the keyboard on the screen is there because of a tap
};
TextBoxTap tap;

platform::WindowHandle ShownKeyboard() {
  const platform::WindowHandle keyboard = Windows().main;
  return keyboard != 0 && platform::IsWindowShown(keyboard) ? keyboard : 0;
}

bool Enabled() { return GetOption(OptionId::kShowOnTextBoxTap) != 0; }

void Judge(bool pen_on_keyboard) {
  const platform::WindowHandle keyboard = Windows().main;
  if (!Enabled() || keyboard == 0 || !platform::IsLiveWindow(keyboard)) return;
  if (TakesText(platform::LookAtFocusedControl())) {
    platform::StopTimer(keyboard, kLeaveTextTimer);
    if (tap.tapped && ShownKeyboard() == 0) {
      tap.tapped = false;
      tap.brought = true;
      BringKeyboardBack(keyboard);
    }
    return;
  }
  // An answer of UI Automation may still come and say the element takes text: the
  // keyboard waits a moment before it goes.
  if (tap.brought && tap.tapped && !pen_on_keyboard && ShownKeyboard() != 0) {
    platform::StartTimer(keyboard, kLeaveTextTimer, kLeaveTextAfterMs);
  }
}

}  // namespace

bool TakesText(const platform::FocusedControl& control) {
  if (control.control == 0) return false;
  if (IsEditClass(control.control_class)) return (control.control_style & kReadOnlyEditStyle) == 0;
  const bool text = control.answer == platform::AutomationAnswer::kShowsText ||
                    control.answer == platform::AutomationAnswer::kHidesText;
  return text && !control.read_only;
}

void PointerPressedElsewhere() { tap.tapped = true; }

void PointerReleasedElsewhere(bool pen_on_keyboard) { Judge(pen_on_keyboard); }

void HardwareKeyTyped() { tap.tapped = false; }

void FocusMoved(bool pen_on_keyboard) { Judge(pen_on_keyboard); }

void LeaveTextTimerFired(bool pen_on_keyboard) {
  const platform::WindowHandle keyboard = Windows().main;
  if (keyboard == 0) return;
  platform::StopTimer(keyboard, kLeaveTextTimer);
  if (!Enabled() || !tap.brought || TakesText(platform::LookAtFocusedControl())) return;
  if (ShownKeyboard() == 0) {
    tap.brought = false;  // the user hid it already
    return;
  }
  // Never from under the pen: it goes once the pen is lifted.
  if (pen_on_keyboard) {
    platform::StartTimer(keyboard, kLeaveTextTimer, kLeaveTextAfterMs);
    return;
  }
  tap.brought = false;
  platform::ShowWindowAs(keyboard, platform::ShowCommand::kMinimizeQuietly);
}

void ResetTextBoxTapForTest() { tap = TextBoxTap(); }

}  // namespace quorel::keyboard
