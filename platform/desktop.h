// Top-level windows of every program on the desktop: which one has the foreground, which
// process and thread own a window, and the showing, moving, destroying and caption drag
// that the keyboard does to itself and to the window it types into.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace platform {

WindowHandle ForegroundWindow();  // 0: none
void SetForeground(WindowHandle window);

// The top-level window of that class, whatever its title; 0 when there is none.
WindowHandle FindTopLevelWindow(std::u16string_view class_name);

struct WindowOwner {
  std::uint32_t process = 0;
  std::uint32_t thread = 0;
  bool operator==(const WindowOwner&) const = default;
};
// False when the window no longer exists.
bool GetWindowOwner(WindowHandle window, WindowOwner* owner);

bool IsMinimized(WindowHandle window);

enum class ShowCommand {
  kMaximize,
  kMinimize,          // and activate the next window, as the system's minimise does
  kMinimizeQuietly,   // leaving the active window active
  kRestoreQuietly,    // from minimised, without activating
};
void ShowWindowAs(WindowHandle window, ShowCommand command);

// Moves a window without resizing it, without changing its place in the z-order and
// without activating it.
void MoveWindowQuietly(WindowHandle window, int x, int y);
// Gives a window its position and size, keeps its place in the z-order, and shows it.
void PlaceAndShowWindow(WindowHandle window, const Rect& rect);
void DestroyWindowAt(WindowHandle window);

// The system's move-by-caption loop (SC_MOVE with HTCAPTION): follows the pen until it is
// lifted, and returns only then.
void DragWindowByCaption(WindowHandle window);

}  // namespace platform
