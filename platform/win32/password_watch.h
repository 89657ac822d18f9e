// Whether the control the user types into hides what is typed, as UI Automation tells it:
// a browser's or a modern application's password box is no Edit control with ES_PASSWORD.
// The question crosses into the other program and may wait on it, so it is asked on a
// thread of its own, never on the way of a key. Each question has a number; an answer
// counts only for the question it answers, and the keyboard window is told when one comes.
// Where UI Automation cannot be had, no question is ever answered.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Starts the thread; each answer posts `message` to `notify`.
void StartPasswordWatch(HWND notify, UINT message);
void StopPasswordWatch();

}  // namespace platform::win32
