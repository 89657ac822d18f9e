// The keyboard program's windows, as the engine needs them: where panels are drawn, where
// the preview list lives, and which window receives the keyboard's own messages.
#pragma once

#include "platform/fonts.h"
#include "platform/types.h"

namespace quorel::keyboard {

struct KeyboardWindows {
  platform::WindowHandle main = 0;     // the top-level keyboard window
  platform::WindowHandle sensor = 0;   // the child that draws the panels and takes the pen
  platform::WindowHandle list = 0;     // the preview list, shared by slides and suggestions
  platform::FontHandle slides_font = 0;
};

KeyboardWindows& Windows();

}  // namespace quorel::keyboard
