// Screen metrics and window geometry.
#pragma once

#include "platform/types.h"

namespace platform {

int PrimaryScreenWidth();
// Width and height of the virtual screen that spans every monitor.
int VirtualScreenWidth();
int VirtualScreenHeight();
// Vertical dots per inch of the screen.
int ScreenDpiY();
bool GetWindowScreenRect(WindowHandle window, Rect* rect);
bool IsLiveWindow(WindowHandle window);

}  // namespace platform
