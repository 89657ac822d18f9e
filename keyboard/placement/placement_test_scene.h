// The desktop the placement and menu tests share: a clean fake machine with the keyboard
// published in the shared block, a client window in the foreground, and the desktop and
// task bar windows of the shell's process.
#pragma once

#include <vector>

#include "keyboard/keyboard_windows.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/placement/placement.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "platform/fake/fake_system.h"
#include "platform/window.h"
#include "tests/support/engine_reset.h"

namespace quorel::keyboard::desktop {

constexpr platform::WindowHandle kKeyboard = 0x110;
constexpr platform::WindowHandle kClient = 0x120;
constexpr platform::WindowHandle kDesktop = 0x130;
constexpr platform::WindowHandle kTaskBar = 0x140;
constexpr platform::Rect kKeyboardRect{300, 500, 542, 700};  // 242 x 200
constexpr platform::Rect kClientRect{100, 100, 600, 400};
constexpr platform::Rect kWorkArea{0, 0, 1024, 728};
constexpr platform::WindowOwner kShellThread{500, 501};
constexpr platform::WindowOwner kTaskBarThread{500, 502};

inline void PlaceKeyboard(const platform::Rect& rect) {
  platform::PlaceWindow(kKeyboard, rect.left, rect.top, rect.Width(), rect.Height());
}

inline void SetUpDesktop() {
  ResetEngineForTest();
  ResetPlacementForTest();
  auto& system = platform::fake::System();
  PlaceKeyboard(kKeyboardRect);
  PublishKeyboard(kKeyboard);
  Windows() = {kKeyboard, 0, 0, 0};
  system.windows[kClient] = kClientRect;
  system.foreground = kClient;
  system.windows[kDesktop] = {0, 0, 1024, 768};
  system.windows[kTaskBar] = {0, 728, 1024, 768};
  system.top_level_classes[u"Progman"] = kDesktop;
  system.top_level_classes[u"Shell_TrayWnd"] = kTaskBar;
  system.window_owners[kDesktop] = kShellThread;
  system.window_owners[kTaskBar] = kTaskBarThread;
  system.work_area = kWorkArea;
  InstallPlacementHooks();
}

inline platform::Rect RectOf(platform::WindowHandle window) {
  return platform::fake::System().windows[window];
}

// The keyboard messages sent or posted to the keyboard window.
inline std::vector<platform::fake::PostedMessage> KeyboardMessages() {
  std::vector<platform::fake::PostedMessage> found;
  for (const auto& message : platform::fake::System().messages) {
    if (message.window == kKeyboard) found.push_back(message);
  }
  return found;
}

}  // namespace quorel::keyboard::desktop
