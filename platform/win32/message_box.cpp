#include "platform/message_box.h"

#include "platform/win32/win32_text.h"

namespace platform {

void ShowMessage(std::u16string_view text, std::u16string_view caption) {
  MessageBoxW(nullptr, win32::Wide(text).c_str(), win32::Wide(caption).c_str(),
              MB_OK | MB_SETFOREGROUND);
}

void ShowMessageOwned(WindowHandle owner, std::u16string_view text,
                      std::u16string_view caption) {
  MessageBoxW(reinterpret_cast<HWND>(owner), win32::Wide(text).c_str(),
              win32::Wide(caption).c_str(), MB_OK | MB_SETFOREGROUND);
}

}  // namespace platform
