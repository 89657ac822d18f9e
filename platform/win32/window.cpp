#include "platform/window.h"

#include <windows.h>

namespace platform {

namespace {
HWND Handle(WindowHandle window) { return reinterpret_cast<HWND>(window); }
}  // namespace

void PostMessageTo(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam) {
  PostMessageW(Handle(window), message, wparam, lparam);
}

void SendMessageTo(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam) {
  SendMessageW(Handle(window), message, wparam, lparam);
}

void StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) {
  SetTimer(Handle(window), id, milliseconds, nullptr);
}

void StopTimer(WindowHandle window, std::uintptr_t id) { KillTimer(Handle(window), id); }

void CapturePen(WindowHandle window) { SetCapture(Handle(window)); }

void ReleasePen() { ReleaseCapture(); }

Point ClientToScreen(WindowHandle window, Point point) {
  POINT converted = {point.x, point.y};
  ::ClientToScreen(Handle(window), &converted);
  return {converted.x, converted.y};
}

Point ScreenToClient(WindowHandle window, Point point) {
  POINT converted = {point.x, point.y};
  ::ScreenToClient(Handle(window), &converted);
  return {converted.x, converted.y};
}

// A window already where it is asked to be, or already shown or hidden, is left alone:
// under Wine each of these goes to the display server, on the way of every key.
void PlaceWindow(WindowHandle window, int x, int y, int width, int height) {
  RECT now;
  if (GetWindowRect(Handle(window), &now) && now.left == x && now.top == y &&
      now.right - now.left == width && now.bottom - now.top == height) {
    return;
  }
  SetWindowPos(Handle(window), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowWindowQuietly(WindowHandle window, bool show) {
  // A minimised window is visible, and showing it brings it back.
  const bool visible = IsWindowVisible(Handle(window)) != 0;
  if (show ? visible && IsIconic(Handle(window)) == 0 : !visible) return;
  ShowWindow(Handle(window), show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void ShowOnTopQuietly(WindowHandle window) {
  SetWindowPos(Handle(window), HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool IsWindowShown(WindowHandle window) {
  return IsWindowVisible(Handle(window)) != 0 && IsIconic(Handle(window)) == 0;
}

void Repaint(WindowHandle window) {
  InvalidateRect(Handle(window), nullptr, TRUE);
  UpdateWindow(Handle(window));
}

}  // namespace platform
