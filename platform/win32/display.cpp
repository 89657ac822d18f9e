#include "platform/display.h"

#include "platform/win32/system_library.h"

#include <windows.h>

namespace platform {

namespace {

bool CurrentMode(DEVMODEW* mode) {
  *mode = {};
  mode->dmSize = sizeof(*mode);
  return EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, mode) != 0;
}

}  // namespace

bool ReadDisplaySettings(DisplaySettings* settings) {
  DEVMODEW mode;
  if (!CurrentMode(&mode)) return false;
  settings->orientation = static_cast<int>(mode.dmDisplayOrientation);
  settings->width = static_cast<int>(mode.dmPelsWidth);
  settings->height = static_cast<int>(mode.dmPelsHeight);
  return true;
}

void ApplyDisplaySettings(const DisplaySettings& settings) {
  // The rest of the mode (depth, frequency) stays as it is now.
  DEVMODEW mode;
  if (!CurrentMode(&mode)) return;
  mode.dmDisplayOrientation = static_cast<DWORD>(settings.orientation);
  mode.dmPelsWidth = static_cast<DWORD>(settings.width);
  mode.dmPelsHeight = static_cast<DWORD>(settings.height);
  mode.dmFields |= DM_DISPLAYORIENTATION | DM_PELSWIDTH | DM_PELSHEIGHT;
  ChangeDisplaySettingsW(&mode, 0);
}

int MonitorDpiNearestRect(const Rect& rect) {
  const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
  HMONITOR monitor = MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST);
  // Per monitor where the system knows it (Windows 8.1 on), else the system's.
  using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  const auto dpi_for_monitor =
      win32::SystemFunction<DpiForMonitor>(L"shcore.dll", "GetDpiForMonitor");
  UINT x = 0;
  UINT y = 0;
  if (monitor != nullptr && dpi_for_monitor != nullptr &&
      SUCCEEDED(dpi_for_monitor(monitor, 0, &x, &y)) && x > 0) {
    return static_cast<int>(x);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

Rect WorkAreaNearestRect(const Rect& rect) {
  const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  HMONITOR monitor = MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST);
  if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

}  // namespace platform
