#include "keyboard/panels/keyboard_state.h"

#include "keyboard/keyboard_windows.h"

namespace quorel::keyboard {

KeyboardState& State() {
  static KeyboardState state;
  return state;
}

KeyboardWindows& Windows() {
  static KeyboardWindows windows;
  return windows;
}

}  // namespace quorel::keyboard
