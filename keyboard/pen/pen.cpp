#include "keyboard/pen/pen.h"

#include <cstdlib>

#include "keyboard/expansion/expansion.h"
#include "keyboard/key_kinds.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/output/key_processor.h"
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

// A character key under a latched Ctrl, Alt or Windows key is a shortcut: it typed nothing
// that a slide from it could take back.
bool IsShortcut(std::uint16_t kind) {
  const KeyboardState& state = State();
  const bool typing_key = kind == kind::kCharacter || kind == kind::kSpace || kind == kind::kTab;
  return typing_key && (state.control != 0 || state.alt != 0 || state.windows_key != 0);
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
  const PenFacts facts = PenFactsOf(hit.kind);
  press.window_key = facts.window_key;
  press.state_key = !press.window_key && facts.state_key;
  if (!press.window_key) {
    // A state key that is on shows pressed already; the press then shows it released.
    if (press.state_key && facts.on) {
      UnhighlightKey(hit.cell);
    } else {
      HighlightKey(hit.cell);
    }
    if (highlight_observer != nullptr) highlight_observer();
  }
  press.produced_at_down = !facts.at_pen_up;
  press.shortcut = IsShortcut(hit.kind);
  if (press.produced_at_down) {
    ProcessKey(hit.kind, hit.parameter);
    if (press.state_key) RefreshAfterKeys();
  }
  // The drag handle's move loop has taken the pen and lifted it again: the press is over.
  if (hit.kind == kind::kDragHandle) {
    press.pressed = false;
    return;
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
  if (press.pressed && press.repeating && PenFactsOf(press.key.kind).repeats) {
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
  // Before the key runs: a message box it shows must answer the user's next tap.
  platform::ReleasePen();
  StopRepeat();
  const bool slide_taken =
      CommitSlide(press.key.kind, press.key.parameter, press.key.cell, press.down_x,
                  press.down_y, x, y, press.produced_at_down && !press.shortcut);
  if (!press.window_key && !press.state_key) {
    WaitMinimumHighlight();
    UnhighlightKey(press.key.cell);
  }
  if (!slide_taken && !press.produced_at_down) ProcessKey(press.key.kind, press.key.parameter);
  RefreshAfterKeys();
}

void PenCancel() {
  if (!press.pressed) return;
  press.pressed = false;
  StopRepeat();
  ResetSlidePreview(press.key.cell);
  if (!press.window_key && !press.state_key) UnhighlightKey(press.key.cell);
}

void ResetPenForTest() { press = PressState(); }

}  // namespace quorel::keyboard
