#include "platform/screen.h"

#include <windows.h>

namespace platform {

int PrimaryScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int VirtualScreenWidth() { return GetSystemMetrics(SM_CXVIRTUALSCREEN); }
int VirtualScreenHeight() { return GetSystemMetrics(SM_CYVIRTUALSCREEN); }

int ScreenDpiY() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 96;
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

bool GetWindowScreenRect(WindowHandle window, Rect* rect) {
  RECT found;
  if (!GetWindowRect(reinterpret_cast<HWND>(window), &found)) return false;
  *rect = {found.left, found.top, found.right, found.bottom};
  return true;
}

bool IsLiveWindow(WindowHandle window) {
  return window != 0 && IsWindow(reinterpret_cast<HWND>(window)) != 0;
}

}  // namespace platform
