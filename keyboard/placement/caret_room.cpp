#include "keyboard/placement/caret_room.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#include "keyboard/keyboard_windows.h"
#include "keyboard/placement/placement.h"
#include "library/options/options.h"
#include "platform/desktop.h"
#include "platform/display.h"
#include "platform/focus.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace quorel::keyboard {

namespace {

// Room left between the caret and the keyboard: the caret's line and a little of the
// next stay in sight.
constexpr int kCaretMargin = 4;

struct CaretRoom {
  bool aside = false;
  platform::Point user_place;  // where the keyboard stood before it stepped aside
  // Where the list hung at the user's place when the keyboard stepped aside for it: the
  // list comes and goes with every word, and the keyboard with it would go back and forth.
  bool list_at_home_known = false;
  platform::Rect list_at_home;
  bool docked = false;         // placed by Dock or <duo>, which keep their own rule
  // The last caret UI Automation told of, and its control.
  platform::WindowHandle automation_control = 0;
  platform::Rect automation_caret;
};
CaretRoom room;

platform::Rect Moved(const platform::Rect& rect, int dx, int dy) {
  return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

platform::Rect Inflated(const platform::Rect& rect, int by) {
  return {rect.left - by, rect.top - by, rect.right + by, rect.bottom + by};
}

bool Inside(const platform::Rect& inner, const platform::Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool Covers(const platform::Rect& keyboard, const platform::Rect* list,
            const platform::Rect& caret) {
  return keyboard.Overlaps(caret) || (list != nullptr && list->Overlaps(caret));
}

}  // namespace

std::optional<platform::Point> PlaceClearOfCaret(const platform::Rect& keyboard,
                                                 const platform::Rect* list,
                                                 const platform::Rect& caret,
                                                 const platform::Rect& work) {
  const platform::Rect clear = Inflated(caret, kCaretMargin);
  // What moves together: the keyboard, and the list that hangs on it.
  platform::Rect block = keyboard;
  if (list != nullptr) {
    block = {std::min(block.left, list->left), std::min(block.top, list->top),
             std::max(block.right, list->right), std::max(block.bottom, list->bottom)};
  }
  // Just above the caret's line, just below it, then just left and just right of it.
  const std::array<platform::Point, 4> steps = {{
      {0, clear.top - block.bottom},
      {0, clear.bottom - block.top},
      {clear.left - block.right, 0},
      {clear.right - block.left, 0},
  }};
  std::optional<platform::Point> best;
  std::int64_t best_distance = 0;
  for (const platform::Point& step : steps) {
    // A keyboard (and its list) pushed off the work area comes back onto it the least
    // distance, which may bring it over the caret again: such a place is no place.
    const platform::Point kept = KeptOnWorkArea(Moved(block, step.x, step.y), work);
    const int dx = kept.x - block.left;
    const int dy = kept.y - block.top;
    if (!Inside(Moved(block, dx, dy), work)) continue;
    const platform::Rect at = Moved(keyboard, dx, dy);
    platform::Rect list_at;
    if (list != nullptr) list_at = Moved(*list, dx, dy);
    if (Covers(at, list != nullptr ? &list_at : nullptr, clear)) continue;
    const std::int64_t distance = std::int64_t{dx} * dx + std::int64_t{dy} * dy;
    if (!best || distance < best_distance) {
      best = platform::Point{at.left, at.top};
      best_distance = distance;
    }
  }
  return best;
}

bool FindTypingCaret(platform::Rect* caret) {
  if (platform::SystemCaretRect(caret)) return true;
  // UI Automation's caret of the control, kept while a newer question about the same
  // control waits for its answer: every tap in a page asks one, and the keyboard would
  // otherwise go home over the text and come back once it is answered.
  platform::WindowHandle& known_control = room.automation_control;
  platform::Rect& known_caret = room.automation_caret;
  const platform::FocusedControl focused = platform::LookAtFocusedControl();
  if (focused.caret_known) {
    known_control = focused.control;
    known_caret = focused.caret;
  } else if (focused.answer != platform::AutomationAnswer::kNone ||
             focused.control != known_control || known_control == 0) {
    known_control = 0;
    return false;
  }
  *caret = known_caret;
  return true;
}

namespace {

// Moves the keyboard, and the list shown with it, by the same distance.
void MoveKeyboardTo(platform::WindowHandle keyboard, const platform::Rect& now,
                    platform::Point to) {
  const platform::WindowHandle list = Windows().list;
  platform::Rect list_rect;
  if (list != 0 && platform::IsWindowShown(list) && platform::GetWindowScreenRect(list, &list_rect)) {
    platform::MoveWindowQuietly(list, list_rect.left + to.x - now.left,
                                list_rect.top + to.y - now.top);
  }
  platform::MoveWindowQuietly(keyboard, to.x, to.y);
}

void GoBack(platform::WindowHandle keyboard, const platform::Rect& now) {
  room.aside = false;
  if (now.left != room.user_place.x || now.top != room.user_place.y) {
    MoveKeyboardTo(keyboard, now, room.user_place);
  }
}

}  // namespace

void KeepCaretVisible(bool pen_on_keyboard) {
  const platform::WindowHandle keyboard = Windows().main;
  if (pen_on_keyboard || KeyboardMoving() || keyboard == 0 || !platform::IsWindowShown(keyboard)) {
    return;
  }
  platform::Rect now;
  if (!platform::GetWindowScreenRect(keyboard, &now)) return;
  if (GetOption(OptionId::kMoveAwayFromText) == 0 || room.docked) {
    if (room.aside) GoBack(keyboard, now);
    return;
  }
  platform::Rect list_rect;
  const platform::WindowHandle list = Windows().list;
  const bool list_shown = list != 0 && platform::IsWindowShown(list) &&
                          platform::GetWindowScreenRect(list, &list_rect);
  // The user's place, and where the list would hang there.
  const platform::Point home = room.aside ? room.user_place : platform::Point{now.left, now.top};
  const int dx = home.x - now.left;
  const int dy = home.y - now.top;
  const platform::Rect home_rect = Moved(now, dx, dy);
  platform::Rect home_list = Moved(list_rect, dx, dy);
  // Aside for the list, the keyboard counts it as hanging at home until it goes back.
  bool list_counts = list_shown;
  if (room.aside && room.list_at_home_known) {
    home_list = room.list_at_home;
    list_counts = true;
  }

  platform::Rect caret;
  const bool caret_found = FindTypingCaret(&caret) && caret.bottom > caret.top;
  const platform::Rect clear = caret_found ? Inflated(caret, kCaretMargin) : platform::Rect{};
  if (!caret_found || !Covers(home_rect, list_counts ? &home_list : nullptr, clear)) {
    if (room.aside) GoBack(keyboard, now);
    return;
  }
  // Already out of the way: it stays where it is, and does not follow the caret about.
  if (room.aside && !Covers(now, list_shown ? &list_rect : nullptr, clear)) return;
  const std::optional<platform::Point> to =
      PlaceClearOfCaret(home_rect, list_counts ? &home_list : nullptr, caret,
                        platform::WorkAreaNearestRect(home_rect));
  if (!to) return;
  if (!room.aside) {
    room.aside = true;
    room.user_place = home;
    room.list_at_home_known = list_shown;
    room.list_at_home = home_list;
  }
  MoveKeyboardTo(keyboard, now, *to);
}

bool KeyboardStandsAside() { return room.aside; }

void KeyboardPlacedByUser() {
  room.aside = false;
  room.docked = false;
}

void KeyboardPlacedByDock() {
  room.aside = false;
  room.docked = true;
}

void ForegroundWindowChanged() { room.docked = false; }

void KeyboardBackHome() { room.aside = false; }

bool KeyboardStandsAsideFrom(platform::Point place) {
  return room.aside && room.user_place.x == place.x && room.user_place.y == place.y;
}

void ResetCaretRoomForTest() { room = CaretRoom(); }

}  // namespace quorel::keyboard
