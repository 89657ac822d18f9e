#include "platform/desktop.h"

#include "platform/win32/win32_text.h"

namespace platform {

namespace {
HWND Handle(WindowHandle window) { return reinterpret_cast<HWND>(window); }
}  // namespace

WindowHandle ForegroundWindow() { return reinterpret_cast<WindowHandle>(GetForegroundWindow()); }

void SetForeground(WindowHandle window) { SetForegroundWindow(Handle(window)); }

WindowHandle FindTopLevelWindow(std::u16string_view class_name) {
  return reinterpret_cast<WindowHandle>(FindWindowW(win32::Wide(class_name).c_str(), nullptr));
}

bool GetWindowOwner(WindowHandle window, WindowOwner* owner) {
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(Handle(window), &process);
  if (thread == 0) return false;
  *owner = {process, thread};
  return true;
}

bool IsMinimized(WindowHandle window) { return IsIconic(Handle(window)) != 0; }

void ShowWindowAs(WindowHandle window, ShowCommand command) {
  int show = SW_SHOWNOACTIVATE;
  switch (command) {
    case ShowCommand::kMaximize:
      show = SW_SHOWMAXIMIZED;
      break;
    case ShowCommand::kMinimize:
      show = SW_MINIMIZE;
      break;
    case ShowCommand::kMinimizeQuietly:
      show = SW_SHOWMINNOACTIVE;
      break;
    case ShowCommand::kRestoreQuietly:
      show = SW_SHOWNOACTIVATE;
      break;
  }
  ShowWindow(Handle(window), show);
}

void MoveWindowQuietly(WindowHandle window, int x, int y) {
  SetWindowPos(Handle(window), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceAndShowWindow(WindowHandle window, const Rect& rect) {
  SetWindowPos(Handle(window), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
               SWP_NOZORDER | SWP_SHOWWINDOW);
}

void DestroyWindowAt(WindowHandle window) { DestroyWindow(Handle(window)); }

void DragWindowByCaption(WindowHandle window) {
  SendMessageW(Handle(window), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

}  // namespace platform
