// Layouts written in pixels at 96 dots per inch, placed at a window's own: on a tablet at
// 200 % a button stays a finger wide. Header only, for the programs that reach the system
// without the platform library.
#pragma once

#include <windows.h>

namespace platform::win32 {

struct Scale {
  int dpi = 96;
  int Real(int design) const { return MulDiv(design, dpi, 96); }
  int Design(int real) const { return MulDiv(real, 96, dpi); }
  void Move(HWND control, int x, int y, int width, int height) const {
    MoveWindow(control, Real(x), Real(y), Real(width), Real(height), TRUE);
  }
};

// Asked of the window where the system knows per-monitor scaling, else of the screen.
inline Scale ScaleOf(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpi_for_window = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  Scale scale;
  if (dpi_for_window != nullptr && window != nullptr) {
    scale.dpi = static_cast<int>(dpi_for_window(window));
  }
  if (scale.dpi <= 0) {
    HDC screen = GetDC(nullptr);
    scale.dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
  }
  if (scale.dpi <= 0) scale.dpi = 96;
  return scale;
}

}  // namespace platform::win32
