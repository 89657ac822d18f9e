// The keyboard comes when there is text to write: with "Show when a text box is tapped" on,
// a hidden or minimised keyboard comes back when the pen or a finger taps into a control
// that takes text, and goes again a moment after the focus moves to one that takes none.
// Only a keyboard that a tap brought goes by itself: one the user showed stays. A key typed
// on a hardware keyboard brings nothing, and neither coming nor going takes the focus.
#pragma once

#include <cstdint>

#include "platform/focus.h"

namespace quorel::keyboard {

// The keyboard window's timer after which a keyboard a tap brought goes, once the focus
// has left for a control that takes no text; a tap back into text within it keeps it.
constexpr std::uintptr_t kLeaveTextTimer = 0x5159;
constexpr std::uint32_t kLeaveTextAfterMs = 700;

// An edit box or a rich edit box that is not read-only, or what UI Automation calls an
// edit, a document or an editable combo box that is not read-only (a password box too).
bool TakesText(const platform::FocusedControl& control);

// What the user does away from the keyboard, as the watch of the user's input hears it.
void PointerPressedElsewhere();
void PointerReleasedElsewhere(bool pen_on_keyboard);
void HardwareKeyTyped();
// The focus moved, or UI Automation answered about the focused element.
void FocusMoved(bool pen_on_keyboard);
void LeaveTextTimerFired(bool pen_on_keyboard);

void ResetTextBoxTapForTest();

}  // namespace quorel::keyboard
