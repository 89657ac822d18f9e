// The control the user types into, in whatever program, as the system tells of it: what it
// is, where it lies, and what UI Automation said of it. An edit box tells by its style
// whether it hides its text, at once; another control (a browser's field, a modern
// application's box) is asked through UI Automation, which crosses into its program and
// answers later, or never. What the answers mean is the keyboard's to decide.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform {

// What UI Automation said of the focused element, for one question.
enum class AutomationAnswer : std::uint8_t {
  kNone,       // not yet, never, or the question failed
  kShowsText,  // not a password box
  kHidesText,  // a password box
};

struct FocusedControl {
  WindowHandle control = 0;       // the control with the keyboard focus; 0 when none is known
  std::u16string control_class;   // its window class
  std::uint32_t control_style = 0;
  std::u16string window_class;    // the class of the top-level window it lies in
  std::u16string program;         // the file name of that window's program, "notepad.exe"
  std::uint32_t question = 0;     // the latest question asked of UI Automation
  AutomationAnswer answer = AutomationAnswer::kNone;  // its answer to that question
  // With that answer: whether the element refuses typing, and where its caret lies on the
  // screen, for an application that shows a caret of its own instead of the system's.
  bool read_only = false;
  bool caret_known = false;
  Rect caret;
};

// Asks UI Automation anew about the element with the focus, and returns the question's
// number. The answer comes later, if at all, and the keyboard window is then told.
std::uint32_t AskAboutFocusedControl();
// What is known of the focused control now, read anew at every call.
FocusedControl LookAtFocusedControl();
// The system's caret of the thread the user types into, on the screen; false when that
// thread shows none.
bool SystemCaretRect(Rect* screen_rect);

}  // namespace platform
