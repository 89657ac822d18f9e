// Layouts written in pixels at 96 dots per inch, placed at a window's own: on a tablet at
// 200 % a button stays a finger wide. Header only, for the programs that reach the system
// without the platform library.
#pragma once

#include <windows.h>

#include <algorithm>

#include "platform/window_places.h"

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

// A system metric (a border, a caption's height, an icon's size) at a scale.
inline int MetricForDpi(int index, int dpi) {
  using MetricsForDpi = int(WINAPI*)(int, UINT);
  static const auto metrics_for_dpi = reinterpret_cast<MetricsForDpi>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
  if (metrics_for_dpi != nullptr) return metrics_for_dpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, ScaleOf(nullptr).dpi);
}

// A system metric at a window's own scale.
inline int MetricAt(int index, HWND window) { return MetricForDpi(index, ScaleOf(window).dpi); }

// The program's icon of a kind (SM_CXSMICON for a caption, SM_CXICON for the task
// switcher) at a scale, loaded at its size there. The icon file holds an image drawn for
// the size of every common scale, so the system picks it rather than shrinking another.
inline HICON ProgramIconAt(HINSTANCE module, int icon_id, int metric, int dpi) {
  const int size = MetricForDpi(metric, dpi);
  return static_cast<HICON>(
      LoadImageW(module, MAKEINTRESOURCEW(icon_id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// A window's small and large icons at a scale; called when the window is made and when its
// scale changes. The icons it had go.
inline void SetWindowIcons(HWND window, HINSTANCE module, int icon_id, int dpi) {
  const struct {
    WPARAM which;
    int metric;
  } kinds[] = {{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}};
  for (const auto& kind : kinds) {
    HICON icon = ProgramIconAt(module, icon_id, kind.metric, dpi);
    if (icon == nullptr) continue;  // the caption keeps the icon it has
    auto old = reinterpret_cast<HICON>(
        SendMessageW(window, WM_SETICON, kind.which, reinterpret_cast<LPARAM>(icon)));
    if (old != nullptr && old != icon) DestroyIcon(old);
  }
}

// The virtual screen, which spans every monitor.
inline platform::Rect VirtualScreen() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
          top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// The rectangle a WM_DPICHANGED suggests, when it is the system's: the message names the
// scale the window has now, and its pointer reads a rectangle of a size near the window's,
// on the virtual screen. Another program may post the message with any pointer at all: it
// is read without trusting it (a pointer that leads nowhere reads nothing) and a rectangle
// from it is taken only when it is one the system could have suggested. False otherwise.
inline bool SuggestedRect(HWND window, WPARAM wparam, LPARAM lparam, RECT* rect) {
  if (lparam == 0 || static_cast<int>(HIWORD(wparam)) != ScaleOf(window).dpi) return false;
  RECT read = {};
  SIZE_T got = 0;
  if (!ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(lparam), &read,
                         sizeof(read), &got) ||
      got != sizeof(read)) {
    return false;
  }
  RECT now = {};
  GetWindowRect(window, &now);
  const long width = read.right - read.left;
  const long height = read.bottom - read.top;
  const long was_width = std::max<long>(now.right - now.left, 1);
  const long was_height = std::max<long>(now.bottom - now.top, 1);
  const platform::Rect all = VirtualScreen();
  const RECT screen = {all.left, all.top, all.right, all.bottom};
  RECT overlap;
  if (width <= 0 || height <= 0 || width > 4 * was_width || height > 4 * was_height ||
      4 * width < was_width || 4 * height < was_height || !IntersectRect(&overlap, &read, &screen)) {
    return false;
  }
  *rect = read;
  return true;
}

// A window of the editor, the options program or one of their dialogs whose scale changed
// from `old_dpi` to its own now: the system's rectangle when the message is the system's,
// else as large on the glass as before where it is; a maximised window as it is.
inline void FollowScale(HWND window, int old_dpi, WPARAM wparam, LPARAM lparam) {
  RECT rect = {};
  const bool given = SuggestedRect(window, wparam, lparam, &rect);
  const platform::Rect suggested{rect.left, rect.top, rect.right, rect.bottom};
  platform::FollowScale(reinterpret_cast<platform::WindowHandle>(window), old_dpi,
                        ScaleOf(window).dpi, given ? &suggested : nullptr, IsZoomed(window) != FALSE);
}

// The system's message font (what its own dialogs and message boxes are set in) at a
// window's dots per inch, bold or italic when asked; the caller deletes it. The stock GUI
// font keeps its 96-dpi size at every scale; this one does not.
inline HFONT MessageFontFor(HWND window, bool bold = false, bool italic = false) {
  using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto parameters_for_dpi = reinterpret_cast<ParametersForDpi>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
  const int dpi = ScaleOf(window).dpi;
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  LOGFONTW font = {};
  if (parameters_for_dpi != nullptr &&
      parameters_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                         static_cast<UINT>(dpi))) {
    font = metrics.lfMessageFont;
  } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    // At the system's scale: brought to the window's.
    font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, dpi, ScaleOf(nullptr).dpi);
  } else {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfHeight = MulDiv(font.lfHeight, dpi, 96);
  }
  if (bold) font.lfWeight = FW_BOLD;
  if (italic) font.lfItalic = TRUE;
  return CreateFontIndirectW(&font);
}

}  // namespace platform::win32
