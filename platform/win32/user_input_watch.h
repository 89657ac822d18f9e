// What the user does away from the keyboard, heard as it happens: a press of the mouse or
// pen outside the keyboard's windows, or a key typed on a hardware keyboard. Either may
// move the caret of the application typed into. Low-level hooks must answer within a
// limit the system sets; they run on a thread of their own, so the keyboard's own waits
// (the highlight time, <wait>, a started program) never keep them waiting.
#pragma once

#include <windows.h>

namespace platform::win32 {

// What a message of the watch tells, in its wParam.
enum UserAction : WPARAM { kKeyTyped = 0, kPressed = 1, kReleased = 2 };

// Starts the watch: each such press, its release, or key posts `message` to `notify`.
// Presses on a visible window of `own` (the keyboard and its list) are the keyboard's
// own. False when the hooks cannot be set; the program then goes on without them.
bool StartUserInputWatch(HWND notify, UINT message, HWND own_main, HWND own_list);
// Removes the hooks and ends their thread.
void StopUserInputWatch();
// The system removes a low-level hook, without a word, that once answers too slowly. The
// tick count of the last input the hooks heard, the keyboard's own included, and a start
// of the watch anew with what it was started with.
DWORD LastHeardInput();
void RestartUserInputWatch();
// The tick count of the last input the keyboard sent that the system took.
void NoteInputSent();
DWORD LastSentInput();

// A key that only shifts or switches what other keys do: pressed alone on a hardware
// keyboard it moves no caret.
bool IsModifierKey(DWORD virtual_key);

}  // namespace platform::win32
