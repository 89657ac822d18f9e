// Where a window of the editor, the options program or one of their dialogs goes when it
// meets a monitor of another scale: as the system moves it there, and when it comes back
// to a place stored on such a monitor. Portable, over the platform's window calls, so that
// the fake desktop of several monitors can show what a user would see.
#pragma once

#include "platform/types.h"

namespace platform {

// The window's scale changed from `old_dpi` to `new_dpi`. It takes the system's rectangle
// when there is one (`suggested`; never one read from a message another program posted or
// sent), which keeps it under the pen; without one it stays where it is, as large on the
// glass as before. A maximised window is left alone: it fills its new monitor already.
void FollowScale(WindowHandle window, int old_dpi, int new_dpi, const Rect* suggested,
                 bool maximised);

// Brings the window back to a stored place. It goes onto that monitor first, at the size
// it has, so that a change of scale there is taken on the size made for the scale it
// leaves; then it takes its size, once: a stored size is in that monitor's pixels already,
// a size in design pixels (96 dpi; for a window that has none stored) is scaled to the
// monitor. A place that lies on no monitor now changes nothing.
void RestorePlace(WindowHandle window, Point where, Size size, bool size_in_design_pixels,
                  const Rect& virtual_screen);

}  // namespace platform
