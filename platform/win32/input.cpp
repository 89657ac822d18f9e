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

std::int16_t VkKeyScan(char16_t c) { return VkKeyScanW(static_cast<WCHAR>(c)); }

std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t map_type) {
  return MapVirtualKeyW(code, map_type);
}

std::int16_t GetKeyState(int vk) { return ::GetKeyState(vk); }

}  // namespace platform
