// The keyboard keeps out of the way of the line being typed: when the caret of the window
// typed into lies under the keyboard or under its suggestion list, the keyboard steps
// aside on the same monitor's work area, at its own size, and goes back to the place the
// user left it in once the caret no longer needs the room. The user's place is what the
// options hold ("X", "Y"); a keyboard standing aside never writes its place there.
#pragma once

#include <optional>

#include "platform/types.h"

namespace quorel::keyboard {

// Where a keyboard at `keyboard` goes so that neither it nor the list (when one is shown,
// moving with it) covers `caret`: the nearest place, above, below or beside the caret,
// that lies whole on `work`. Nothing when no such place exists; the keyboard then stays.
std::optional<platform::Point> PlaceClearOfCaret(const platform::Rect& keyboard,
                                                 const platform::Rect* list,
                                                 const platform::Rect& caret,
                                                 const platform::Rect& work);

// Where the caret of the window typed into lies on the screen: the system's, else the one
// UI Automation told of. False when neither is known.
bool FindTypingCaret(platform::Rect* caret);

// Looks where the caret is and moves the keyboard aside, or back to the user's place. Does
// nothing while the pen is on the keyboard or the user moves it, or while the keyboard is
// minimised or hidden.
void KeepCaretVisible(bool pen_on_keyboard);

// True while the keyboard stands away from the user's place for the caret's sake.
bool KeyboardStandsAside();

// The user gave the keyboard a place (dragged it, or a key moved it): that place is the
// user's, and nothing stands aside any more.
void KeyboardPlacedByUser();
// Dock and <duo> put the keyboard beside the client by their own rule: the caret does not
// move it until the user moves it or another window comes to the front.
void KeyboardPlacedByDock();
void ForegroundWindowChanged();
// The keyboard was put back at the user's place from the options.
void KeyboardBackHome();
// True while the keyboard stands aside from that place of the user's.
bool KeyboardStandsAsideFrom(platform::Point place);

void ResetCaretRoomForTest();

}  // namespace quorel::keyboard
