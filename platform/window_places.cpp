#include "platform/window_places.h"

#include <cstdint>

#include "platform/display.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace platform {

namespace {

int Scaled(int length, int to_dpi, int from_dpi) {
  if (from_dpi <= 0) return length;
  return static_cast<int>((std::int64_t{length} * to_dpi + from_dpi / 2) / from_dpi);
}

}  // namespace

void FollowScale(WindowHandle window, int old_dpi, int new_dpi, const Rect* suggested,
                 bool maximised) {
  if (maximised || new_dpi <= 0 || new_dpi == old_dpi) return;
  if (suggested != nullptr) {
    PlaceWindow(window, suggested->left, suggested->top, suggested->Width(), suggested->Height());
    return;
  }
  Rect now;
  if (!GetWindowScreenRect(window, &now)) return;
  PlaceWindow(window, now.left, now.top, Scaled(now.Width(), new_dpi, old_dpi),
              Scaled(now.Height(), new_dpi, old_dpi));
}

void RestorePlace(WindowHandle window, Point where, Size size, bool size_in_design_pixels,
                  const Rect& virtual_screen) {
  if (size.width <= 0 || size.height <= 0) return;
  Rect now;
  if (!GetWindowScreenRect(window, &now)) return;
  const Rect stored{where.x, where.y, where.x + size.width, where.y + size.height};
  if (!stored.Overlaps(virtual_screen)) return;
  PlaceWindow(window, where.x, where.y, now.Width(), now.Height());
  if (size_in_design_pixels) {
    const int dpi = MonitorDpiNearestRect(stored);
    size = {Scaled(size.width, dpi, 96), Scaled(size.height, dpi, 96)};
  }
  PlaceWindow(window, where.x, where.y, size.width, size.height);
}

}  // namespace platform
