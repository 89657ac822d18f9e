#include "platform/screen.h"

#include <wchar.h>
#include <windows.h>

#include "platform/win32/password_watch.h"

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

namespace {

// Whether the process runs as administrator; true when it cannot be asked.
bool Elevated(HANDLE process) {
  HANDLE token = nullptr;
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  const bool asked = OpenProcessToken(process, TOKEN_QUERY, &token) &&
                     GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size);
  if (token != nullptr) CloseHandle(token);
  return !asked || elevation.TokenIsElevated != 0;
}

}  // namespace

bool RunsAboveThisProgram(WindowHandle window) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &process_id);
  if (process_id == 0) return true;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (process == nullptr) return true;
  const bool elevated = Elevated(process);
  CloseHandle(process);
  return elevated && !Elevated(GetCurrentProcess());
}

}  // namespace platform

namespace platform {

ScreenMetrics GetScreenMetrics() {
  ScreenMetrics metrics;
  metrics.virtual_left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  metrics.virtual_top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  metrics.virtual_width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  metrics.virtual_height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  metrics.screen_width = GetSystemMetrics(SM_CXSCREEN);
  metrics.screen_height = GetSystemMetrics(SM_CYSCREEN);
  metrics.border_width = GetSystemMetrics(SM_CXBORDER);
  metrics.border_height = GetSystemMetrics(SM_CYBORDER);
  return metrics;
}

namespace {

// The monitor nearest to the window, or the primary screen alone when it cannot be asked.
MONITORINFO MonitorNearest(WindowHandle window) {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  HMONITOR monitor = MonitorFromWindow(reinterpret_cast<HWND>(window), MONITOR_DEFAULTTONEAREST);
  if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) {
    info.rcMonitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    info.rcWork = info.rcMonitor;
  }
  return info;
}

}  // namespace

Rect MonitorAreaNearest(WindowHandle window) {
  const RECT area = MonitorNearest(window).rcMonitor;
  return {area.left, area.top, area.right, area.bottom};
}

Rect WorkAreaNearest(WindowHandle window) {
  const RECT work = MonitorNearest(window).rcWork;
  return {work.left, work.top, work.right, work.bottom};
}

}  // namespace platform
