// Whether the control the user types into hides what is typed, as UI Automation tells it:
// a browser's or a modern application's password box is no Edit control with ES_PASSWORD.
// The question crosses into the other program and may wait on it, so it is asked on a
// thread of its own whenever the focus moves, never on the way of a key; until it is
// answered, and when the application cannot answer, the control counts as one that hides
// its text: a word missed is a small loss, a password learned is not.
#pragma once

namespace platform::win32 {

// Starts the thread; where the system has no UI Automation, nothing is ever asked and
// only the Edit control's own style counts.
void StartPasswordWatch();
void StopPasswordWatch();
// The focus moved: the answer for the control that had it no longer holds.
void NoteFocusMoved();
// True while the focused element is a password box, or the question for it is under way
// or went unanswered.
bool FocusedElementHidesText();

}  // namespace platform::win32
