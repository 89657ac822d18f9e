// The keyboard's own state: locks, latched modifiers, accent and number modes. Only the key
// processor and the reset at sensor-window creation and destruction change it.
#pragma once

#include <cstdint>

namespace quorel::keyboard {

struct KeyboardState {
  int caps_lock = 0;  // the keyboard's own; never sent to the system
  int shift = 0;      // latched modifiers, each mirrored by a held system key
  int control = 0;
  int alt = 0;
  int windows_key = 0;
  int num_lock = 0;  // the keyboard's view of the system locks
  int scroll_lock = 0;
  int accent_mode = 0;  // 0 none, 1 acute, 2 circumflex, 3 grave, 4 umlaut
  int number_mode = 0;  // 1: digits in the main panel
  int typing_text = 0;  // 1 while the text typer runs
  // 1: the next letter comes as a capital, a new sentence's; the letters and the Shift key
  // show it, the symbols and the system's Shift do not.
  int capital = 0;
};

KeyboardState& State();

}  // namespace quorel::keyboard
