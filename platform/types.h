// Types shared by every seam header. Nothing here includes <windows.h>: handles cross
// the seam as opaque integers and text as UTF-16.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

using WindowHandle = std::uintptr_t;
using FontHandle = std::uintptr_t;

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

}  // namespace platform
