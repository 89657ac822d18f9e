// Whether what the keyboard types may be shown back in its lists and learned: never what
// goes into a box that hides its text, and nothing the keyboard cannot be sure of. A word
// missed is a small loss; a password shown over the keyboard or kept in a file is not.
#pragma once

#include <cstdint>

#include "platform/focus.h"

namespace quorel::keyboard {

enum class TextShown {
  kShown,    // the control shows what is typed
  kHidden,   // a password box
  kUnknown,  // no answer yet, none to come, or nobody can tell
};

// Windows whose prompts no check can see: a password typed at a console's prompt, or on the
// sign-in screen of another computer, looks to the system like any other typing there.
enum class WindowKind { kOrdinary, kTerminal, kRemote };

TextShown JudgeTextShown(const platform::FocusedControl& control);
WindowKind JudgeWindowKind(const platform::FocusedControl& control);

// An edit box's window class, of the system's or a toolkit's ("Edit", "RichEdit20W",
// "WindowsForms10.EDIT…"), in any case.
bool IsEditClass(std::u16string_view name);

// Whether the suggestion list may show, and words be learned, for typing into the control
// as it is now: it shows its text, and it is no terminal or remote window unless the user
// let the keyboard learn there.
bool MayShowTypedText(const platform::FocusedControl& control);

// The low-level watch of the user's input is removed by the system, without a word, when it
// once answers too slowly. It has stopped hearing when input the keyboard itself sent a
// while ago never reached it (the keyboard's own input reaches a watch of its own process
// whatever window it goes to); the times are the system's tick counts.
bool InputWatchLost(std::uint32_t last_sent, std::uint32_t last_heard, std::uint32_t now);

}  // namespace quorel::keyboard
