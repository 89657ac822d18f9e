#include "platform/input.h"

#include <windows.h>

#include <vector>

// The seam's names, not the system's wide-or-narrow macros of the same spelling.
#undef MapVirtualKey
#undef VkKeyScan

namespace platform {

namespace {
void (*input_observer)() = nullptr;
void InputSent() {
  if (input_observer != nullptr) input_observer();
}
}  // namespace

void SetInputObserver(void (*observer)()) { input_observer = observer; }

void SendInputs(std::span<const Input> inputs) {
  std::vector<INPUT> batch(inputs.size());
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const Input& input = inputs[i];
    INPUT& out = batch[i];
    if (input.mouse) {
      out.type = INPUT_MOUSE;
      out.mi.dx = input.dx;
      out.mi.dy = input.dy;
      out.mi.dwFlags = input.flags;
    } else {
      out.type = INPUT_KEYBOARD;
      out.ki.wVk = input.vk;
      out.ki.wScan = input.scan;
      out.ki.dwFlags = input.flags;
    }
  }
  if (batch.empty()) return;
  SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
  InputSent();
}

void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) {
  keybd_event(vk, scan, flags, 0);
  InputSent();
}

namespace {
HKL ForegroundLayout() {
  HWND foreground = GetForegroundWindow();
  return GetKeyboardLayout(foreground != nullptr ? GetWindowThreadProcessId(foreground, nullptr)
                                                 : 0);
}
}  // namespace

std::int16_t VkKeyScan(char16_t c) {
  return VkKeyScanExW(static_cast<WCHAR>(c), ForegroundLayout());
}

bool IsDeadKey(std::uint8_t vk, unsigned shift_state) {
  const HKL layout = ForegroundLayout();
  BYTE keys[256] = {};
  if ((shift_state & 1) != 0) keys[VK_SHIFT] = 0x80;
  if ((shift_state & 2) != 0) keys[VK_CONTROL] = 0x80;
  if ((shift_state & 4) != 0) keys[VK_MENU] = 0x80;
  wchar_t out[8] = {};
  // Flag 4: the translation leaves this thread's dead-key state alone.
  const int result = ToUnicodeEx(vk, MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, layout), keys, out,
                                 8, 4, layout);
  if (result >= 0) return false;
  // Where the flag is not honoured, a space takes the pending accent out of this thread's
  // state again; it never reaches an application.
  const BYTE none[256] = {};
  ToUnicodeEx(VK_SPACE, MapVirtualKeyExW(VK_SPACE, MAPVK_VK_TO_VSC, layout), none, out, 8, 4,
              layout);
  return true;
}

std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t map_type) {
  return MapVirtualKeyExW(code, map_type, ForegroundLayout());
}

std::int16_t GetKeyState(int vk) { return ::GetKeyState(vk); }

}  // namespace platform
