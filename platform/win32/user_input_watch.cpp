#include "platform/win32/user_input_watch.h"

#include <atomic>

namespace platform::win32 {

namespace {

struct Watch {
  std::atomic<HWND> notify{nullptr};
  std::atomic<UINT> message{0};
  std::atomic<HWND> own[2] = {nullptr, nullptr};
  HANDLE thread = nullptr;
  DWORD thread_id = 0;
  HANDLE ready = nullptr;
  std::atomic<bool> hooked{false};
  std::atomic<DWORD> last_heard{0};
  std::atomic<DWORD> last_sent{0};
  // A press elsewhere was told: its release is told too, and only then.
  bool pressed_elsewhere = false;
};
Watch watch;

// The window under the press, asked in the hook's own physical coordinates: a rectangle
// would be in another scale on a monitor of another DPI, and would count a window lying
// over the keyboard as the keyboard.
bool OnOwnWindow(POINT point) {
  HWND under = WindowFromPhysicalPoint(point);
  if (under == nullptr) return false;
  under = GetAncestor(under, GA_ROOT);
  for (const auto& window : watch.own) {
    if (under == window.load()) return true;
  }
  return false;
}

void Tell(UserAction action) { PostMessageW(watch.notify.load(), watch.message.load(), action, 0); }

LRESULT CALLBACK MouseHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION) {
    const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(lparam);
    watch.last_heard = mouse->time;
    switch (wparam) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_XBUTTONDOWN:
        watch.pressed_elsewhere = !OnOwnWindow(mouse->pt);
        if (watch.pressed_elsewhere) Tell(kPressed);
        break;
      case WM_LBUTTONUP:
        // The press has moved the focus by now, if it moved it at all. A slide of the pen
        // from the keyboard that ends beyond it is the keyboard's own.
        if (watch.pressed_elsewhere) Tell(kReleased);
        watch.pressed_elsewhere = false;
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK KeyHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam);
    watch.last_heard = key->time;
    // The keyboard's own keys, and those of any other program, come injected.
    if ((wparam == WM_KEYDOWN || wparam == WM_SYSKEYDOWN) && (key->flags & LLKHF_INJECTED) == 0 &&
        !IsModifierKey(key->vkCode)) {
      Tell(kKeyTyped);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

DWORD WINAPI WatchThread(void*) {
  // The hooks hold up every press and key of the system until they answer.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, MouseHook, instance, 0);
  HHOOK keys = SetWindowsHookExW(WH_KEYBOARD_LL, KeyHook, instance, 0);
  watch.hooked = mouse != nullptr || keys != nullptr;
  watch.last_heard = GetTickCount();
  SetEvent(watch.ready);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  if (mouse != nullptr) UnhookWindowsHookEx(mouse);
  if (keys != nullptr) UnhookWindowsHookEx(keys);
  return 0;
}

}  // namespace

bool IsModifierKey(DWORD virtual_key) {
  switch (virtual_key) {
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
      return true;
    default:
      return false;
  }
}

bool StartUserInputWatch(HWND notify, UINT message, HWND own_main, HWND own_list) {
  if (watch.thread != nullptr) return watch.hooked;
  watch.notify = notify;
  watch.message = message;
  watch.own[0] = own_main;
  watch.own[1] = own_list;
  watch.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (watch.ready == nullptr) return false;
  watch.thread = CreateThread(nullptr, 0, WatchThread, nullptr, 0, &watch.thread_id);
  if (watch.thread == nullptr) {
    CloseHandle(watch.ready);
    watch.ready = nullptr;
    return false;
  }
  // The hooks are set within moments; a thread that never gets that far is not waited for.
  WaitForSingleObject(watch.ready, 5000);
  return watch.hooked;
}

void StopUserInputWatch() {
  if (watch.thread == nullptr) return;
  PostThreadMessageW(watch.thread_id, WM_QUIT, 0, 0);
  WaitForSingleObject(watch.thread, 5000);
  CloseHandle(watch.thread);
  CloseHandle(watch.ready);
  watch.thread = nullptr;
  watch.ready = nullptr;
  watch.thread_id = 0;
  watch.hooked = false;
}

DWORD LastHeardInput() { return watch.last_heard; }

void NoteInputSent() { watch.last_sent = GetTickCount(); }

DWORD LastSentInput() { return watch.last_sent; }

void RestartUserInputWatch() {
  const HWND notify = watch.notify;
  const UINT message = watch.message;
  const HWND own_main = watch.own[0];
  const HWND own_list = watch.own[1];
  StopUserInputWatch();
  StartUserInputWatch(notify, message, own_main, own_list);
}

}  // namespace platform::win32
