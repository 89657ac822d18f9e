// Pen input on the sensor window: taps, auto-repeat, the press highlight, and the
// classification of a movement into a slide with a direction and a level.
#pragma once

#include <cstdint>

#include "keyboard/panels/panels.h"
#include "keyboard/preview/slide_class.h"

namespace quorel::keyboard {

struct PressState {
  int down_x = 0;
  int down_y = 0;
  std::uint32_t down_tick = 0;
  bool pressed = false;
  bool repeating = false;
  bool window_key = false;
  bool state_key = false;
  bool produced_at_down = false;
  bool shortcut = false;  // a character key pressed under a latched Ctrl, Alt or Windows key
  KeyHit key;
};
const PressState& Press();

void PenDown(int x, int y);
// Called when a pen down has shown its key pressed (null: none); the program times it.
void SetHighlightObserver(void (*observer)());
void PenMove(int x, int y);
void PenUp(int x, int y);
// The press ends without its key: another window took the pen.
void PenCancel();
void RepeatTick();

constexpr std::uintptr_t kRepeatTimer = 1;

void ResetPenForTest();

}  // namespace quorel::keyboard
