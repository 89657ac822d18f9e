#include "platform/input.h"

#include <windows.h>

#include <vector>

#include "platform/win32/user_input_watch.h"

// The seam's names, not the system's wide-or-narrow macros of the same spelling.
#undef MapVirtualKey

namespace platform {

namespace {
void (*input_observer)() = nullptr;
void InputSent() {
  if (input_observer != nullptr) input_observer();
}
}  // namespace

void SetInputObserver(void (*observer)()) { input_observer = observer; }

std::size_t SendInputs(std::span<const Input> inputs) {
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
  if (batch.empty()) return 0;
  const UINT injected = SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
  if (injected > 0) win32::NoteInputSent();
  InputSent();
  return injected;
}

namespace {
HKL ForegroundLayout() {
  HWND foreground = GetForegroundWindow();
  return GetKeyboardLayout(foreground != nullptr ? GetWindowThreadProcessId(foreground, nullptr)
                                                 : 0);
}
}  // namespace

namespace {
// Flag 4: the translation leaves this thread's dead-key state alone.
constexpr UINT kKeepKeyboardState = 4;

bool IsDeadKey(HKL layout, UINT vk, UINT scan, unsigned shift_state) {
  BYTE keys[256] = {};
  if ((shift_state & 1) != 0) keys[VK_SHIFT] = 0x80;
  if ((shift_state & 2) != 0) keys[VK_CONTROL] = 0x80;
  if ((shift_state & 4) != 0) keys[VK_MENU] = 0x80;
  wchar_t out[8] = {};
  if (ToUnicodeEx(vk, scan, keys, out, 8, kKeepKeyboardState, layout) >= 0) return false;
  // Where the flag is not honoured, a space takes the pending accent out of this thread's
  // state again; it never reaches an application.
  const BYTE none[256] = {};
  ToUnicodeEx(VK_SPACE, MapVirtualKeyExW(VK_SPACE, MAPVK_VK_TO_VSC, layout), none, out, 8,
              kKeepKeyboardState, layout);
  return true;
}
}  // namespace

CharacterKey KeyForCharacter(char16_t c) {
  const HKL layout = ForegroundLayout();
  const SHORT key = VkKeyScanExW(static_cast<WCHAR>(c), layout);
  CharacterKey result;
  if (key == -1) return result;
  result.found = true;
  result.vk = static_cast<std::uint8_t>(key & 0xFF);
  result.shift_state = (static_cast<std::uint16_t>(key) >> 8) & 0x07;
  const UINT code = MapVirtualKeyExW(result.vk, MAPVK_VK_TO_VSC, layout);
  result.scan = static_cast<std::uint8_t>(code & 0xFF);
  result.extended = (code >> 8) != 0;
  result.dead = IsDeadKey(layout, result.vk, code, result.shift_state);
  return result;
}

std::uint16_t ForegroundInputLanguage() {
  return static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(ForegroundLayout()) & 0xFFFF);
}

std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t map_type) {
  return MapVirtualKeyExW(code, map_type, ForegroundLayout());
}

std::int16_t GetKeyState(int vk) { return ::GetKeyState(vk); }

}  // namespace platform
