#include "keyboard/pen/pen.h"

#include <cstdlib>

#include "keyboard/expansion/expansion.h"
#include "keyboard/key_kinds.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/output/key_output.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/preview/slide_preview.h"
#include "library/options/options.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace quorel::keyboard {

namespace {

PressState press;
void (*highlight_observer)() = nullptr;

// A pen this far from where it went down is sliding, and no key repeats under a slide.
constexpr int kRepeatTolerance = 5;
constexpr int kMaxHighlightWaits = 10;

bool IsWindowKey(std::uint16_t kind) {
  return kind == kind::kClose || kind == kind::kDragHandle || kind == kind::kQuorel ||
         kind == kind::kMini || kind == kind::kSysMenu;
}

// A state key that is on shows pressed already; the press then shows it released.
bool IsStateKey(std::uint16_t kind, bool* on) {
  const KeyboardState& state = State();
  switch (kind) {
    case kind::kAcute: *on = state.accent_mode == 1; return true;
    case kind::kCircum: *on = state.accent_mode == 2; return true;
    case kind::kGrave: *on = state.accent_mode == 3; return true;
    case kind::kUmlaut: *on = state.accent_mode == 4; return true;
    case kind::kAlt: *on = state.alt != 0; return true;
    case kind::kCaps: *on = state.caps_lock != 0; return true;
    case kind::kControl: *on = state.control != 0; return true;
    case kind::kNumLock: *on = state.num_lock != 0; return true;
    case kind::kScrollLock: *on = state.scroll_lock != 0; return true;
    case kind::kShift: *on = state.shift != 0; return true;
    case kind::kWindowsKey: *on = state.windows_key != 0; return true;
    case kind::kNumbers:
    case kind::kLetters:
    case kind::kAccents:
    case kind::kArrows: *on = false; return true;
    default: *on = false; return false;
  }
}

bool PerformedAtPenUp(std::uint16_t kind) {
  switch (kind) {
    case kind::kAdd: case kind::kBack: case kind::kClose: case kind::kEnter: case kind::kEsc:
    case kind::kExpand: case kind::kHide: case kind::kInfo: case kind::kLeft: case kind::kMini:
    case kind::kRight: case kind::kShow: case kind::kSysMenu: case kind::kTab:
    case kind::kWideLeft: case kind::kWideRight:
      return true;
    case kind::kCharacter:
    case kind::kSpace:
      return GetOption(OptionId::kAtKey) == 2;
    default:
      return false;
  }
}

bool IsRepeatable(std::uint16_t kind) {
  switch (kind) {
    case kind::kBack: case kind::kCharacter: case kind::kDown: case kind::kEnter:
    case kind::kLeft: case kind::kRight: case kind::kSpace: case kind::kTab: case kind::kUp:
    case kind::kWideLeft: case kind::kWideRight:
      return true;
    default:
      return false;
  }
}

void StopRepeat() {
  if (!press.repeating) return;
  platform::StopTimer(Windows().sensor, kRepeatTimer);
  press.repeating = false;
}

// A touched key stays lit long enough to be seen, however short the tap.
void WaitMinimumHighlight() {
  const auto minimum = static_cast<std::uint32_t>(GetOption(OptionId::kMinimumHighlightTime));
  if (minimum == 0) return;
  for (int wait = 0; wait < kMaxHighlightWaits; ++wait) {
    const std::uint32_t elapsed = platform::TickCount() - press.down_tick;
    if (elapsed >= minimum) return;
    platform::Sleep(minimum - elapsed);
  }
}

}  // namespace

const PressState& Press() { return press; }

void SetHighlightObserver(void (*observer)()) { highlight_observer = observer; }

void PenDown(int x, int y) {
  press.down_x = x;
  press.down_y = y;
  press.down_tick = platform::TickCount();
  KeyHit hit;
  if (!HitTest(x, y, &hit)) return;
  press.key = hit;
  press.pressed = true;
  press.window_key = IsWindowKey(hit.kind);
  bool on = false;
  press.state_key = !press.window_key && IsStateKey(hit.kind, &on);
  if (!press.window_key) {
    if (press.state_key && on) {
      UnhighlightKey(hit.cell);
    } else {
      HighlightKey(hit.cell);
    }
    if (highlight_observer != nullptr) highlight_observer();
  }
  press.produced_at_down = !PerformedAtPenUp(hit.kind);
  if (press.produced_at_down) {
    ProcessKey(hit.kind, hit.parameter);
    if (press.state_key) {
      RefreshPanels(false);
      RefreshToggleHighlights();
    }
  }
  platform::CapturePen(Windows().sensor);
  const int delay = GetOption(OptionId::kRepeatDelay);
  if (delay > 0) {
    platform::StartTimer(Windows().sensor, kRepeatTimer, static_cast<std::uint32_t>(delay));
    press.repeating = true;
  } else {
    press.repeating = false;
  }
}

void RepeatTick() {
  if (press.pressed && press.repeating && IsRepeatable(press.key.kind)) {
    ProcessKey(press.key.kind, press.key.parameter);
  }
}

void PenMove(int x, int y) {
  if (!press.pressed) return;
  if (std::abs(x - press.down_x) > kRepeatTolerance ||
      std::abs(y - press.down_y) > kRepeatTolerance) {
    StopRepeat();
  }
  if (press.key.kind != kind::kDragHandle) {
    UpdateSlidePreview(press.key.kind, press.key.parameter, press.key.cell, press.down_x,
                       press.down_y, x, y);
  }
}

void PenUp(int x, int y) {
  if (!press.pressed) return;
  press.pressed = false;
  const bool slide_taken =
      CommitSlide(press.key.kind, press.key.parameter, press.key.cell, press.down_x,
                  press.down_y, x, y, press.produced_at_down);
  if (!press.window_key && !press.state_key) {
    WaitMinimumHighlight();
    UnhighlightKey(press.key.cell);
  }
  if (!slide_taken && !press.produced_at_down) ProcessKey(press.key.kind, press.key.parameter);
  RefreshPanels(false);
  RefreshToggleHighlights();
  RefreshSuggestions();
  platform::ReleasePen();
  StopRepeat();
}

void ResetPenForTest() { press = PressState(); }

}  // namespace quorel::keyboard
