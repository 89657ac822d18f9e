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
// True when the window's process runs as administrator while this program does not, or
// when it cannot be asked.
bool RunsAboveThisProgram(WindowHandle window);

}  // namespace platform

namespace platform {

struct ScreenMetrics {
  int virtual_left = 0;  // the virtual screen spans every monitor
  int virtual_top = 0;
  int virtual_width = 0;
  int virtual_height = 0;
  int screen_width = 0;  // the primary screen
  int screen_height = 0;
  int border_width = 1;  // a thin window border
  int border_height = 1;
};

ScreenMetrics GetScreenMetrics();
// The work area (the screen less the task bar) of the monitor nearest to the window.
Rect WorkAreaNearest(WindowHandle window);
// The whole of the monitor nearest to the window.
Rect MonitorAreaNearest(WindowHandle window);

}  // namespace platform
