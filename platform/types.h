// Types shared by every seam header. Nothing here includes <windows.h>: handles cross
// the seam as opaque integers and text as UTF-16.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

using WindowHandle = std::uintptr_t;
using FontHandle = std::uintptr_t;

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// As the system's rectangles: right and bottom lie just outside.
struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
  // Whether the two share a pixel: rectangles that only touch do not.
  bool Overlaps(const Rect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

}  // namespace platform
