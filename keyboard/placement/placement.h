// Where the keyboard sits and how it shares the screen with the window it types into (the
// client): docking under the client, the client above the keyboard, minimising, restoring
// and closing, moving to given coordinates or by the caption, sizes, the system menu and
// the display's orientation. The key processor hands these keys over through its
// window-action hook.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace quorel::keyboard {

// Performs one window key: <close>, <dock>, the drag handle, <duo>, the size family, <hide>,
// <maxiclient>, <miniclient>, <mini>, <move keyboard>, the rotation family, <show> and
// <sysmenu>. Other kinds, and parameters outside a family, do nothing.
void PerformWindowAction(std::uint16_t kind, std::uint16_t parameter,
                         std::u16string_view argument);

// Puts the keyboard under the client, clamped into the work area nearest to the client.
void DockKeyboard();

// True when the window belongs to the desktop or the task bar: the process and thread of
// the top-level "Progman" window, or of the "Shell_TrayWnd" window.
bool IsShellWindow(platform::WindowHandle window);

// x and y of a <move keyboard> argument: the leading decimal integers of its first two
// comma-separated fields. False when it has fewer than two fields.
bool ParseKeyboardPosition(std::u16string_view argument, int* x, int* y);

// Where the keyboard starts: the stored position, except that a coordinate whose window
// centre would lie outside the virtual screen (every monitor, wherever its origin lies)
// becomes 0, so the keyboard never starts where the user cannot reach it.
platform::Point KeyboardStartPosition(platform::Point stored, int width, int height);

// Where a window with that rectangle goes to lie whole on the work area, moved the least
// distance; one larger than the work area keeps its top-left corner on it.
platform::Point KeptOnWorkArea(const platform::Rect& window, const platform::Rect& work);

// The keyboard window's outer size at a keyboard size: its panels at the display scale and
// a thin border.
platform::Size KeyboardWindowSize(int keyboard_size);

// Gives the keyboard window its stored size and place, moved the least distance that puts
// it whole on the work area of its monitor, and never activates it: the user's
// application keeps the focus through every size change, move and rebuild.
void PlaceKeyboardOnWorkArea(platform::WindowHandle keyboard);

// Shows a hidden or minimised keyboard again, on top and on the work area, without taking
// the focus from the application the user types into.
void BringKeyboardBack(platform::WindowHandle keyboard);

// --- monitors of their own scale ---------------------------------------------------------

// Takes the art nearest to the monitor's scale, for the size in use, and lays the keyboard
// out at it. True when the display scale changed.
bool ChooseDisplayScale(int monitor_dpi);
// The keyboard window's outer size on a monitor of that scale: its art's size there. The
// system asks it before it moves the window onto such a monitor (WM_GETDPISCALEDSIZE).
platform::Size KeyboardWindowSizeAt(int monitor_dpi);
// The user moves the keyboard (by its caption or its drag handle). Halfway across to another
// monitor it belongs to neither: it is put back whole on a work area only once the move ends.
void KeyboardMoveBegan();
void KeyboardMoveEnded(platform::WindowHandle keyboard);
bool KeyboardMoving();
// The monitor under the keyboard has another scale now. `suggested` is the rectangle the
// system gives with it when the window crosses to another monitor: the keyboard takes its
// place at its own size there, which keeps it under the pen. Without one (a scale changed
// in the settings, or a message another program posted, which carries none to trust) the
// keyboard keeps its place. True when the display scale changed and the keyboard must be
// laid out anew.
bool TakeMonitorScale(platform::WindowHandle keyboard, int monitor_dpi,
                      const platform::Rect* suggested);

void ResetPlacementForTest();

// Points the key processor's window-action hook at PerformWindowAction.
void InstallPlacementHooks();

}  // namespace quorel::keyboard
