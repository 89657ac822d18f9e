// A long run of random pen events over every key and beside the keyboard: whatever the
// order, no key stays down that the keyboard does not show latched, and no press, capture
// or repeat timer outlives its pen.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "keyboard/expansion/expansion.h"
#include "keyboard/key_kinds.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/pen/pen.h"
#include "library/options/options.h"
#include "tests/support/keyboard_scene.h"

namespace quorel::keyboard {
namespace {

using platform::fake::System;

// The system keys the keyboard shows latched: the only ones allowed to stay down.
std::set<int> Latched() {
  const KeyboardState& state = State();
  std::set<int> latched;
  if (state.shift != 0) latched.insert(0x10);
  if (state.control != 0) latched.insert(0x11);
  if (state.alt != 0) latched.insert(0x12);
  if (state.windows_key != 0) latched.insert(0x5B);
  return latched;
}

bool RepeatTimerRuns() {
  return System().timers.count({scene::kSensor, kRepeatTimer}) != 0;
}

TEST(PenSoakTest, RandomPenEventsLeaveNoKeyDownAndNoPressBehind) {
  scene::BuildKeyboard({});
  SetOption(OptionId::kRepeatDelay, 350);
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> x_of(-20, 340);
  std::uniform_int_distribution<int> y_of(-20, 150);
  std::uniform_int_distribution<int> percent(0, 99);
  scene::HeldKeys keys;
  int presses = 0;
  for (int event = 0; event < 100000; ++event) {
    const int x = x_of(random);
    const int y = y_of(random);
    System().tick += 1 + percent(random);
    if (!Press().pressed) {
      PenDown(x, y);
      presses += Press().pressed ? 1 : 0;
    } else if (const int roll = percent(random); roll < 50) {
      PenMove(x, y);
    } else if (roll < 60) {
      RepeatTick();
    } else if (roll < 63) {
      System().capture = 0x999;  // another window took the pen
      PenCancel();
    } else {
      PenUp(x, y);
    }
    keys.Take();
    if (!Press().pressed) {
      ASSERT_NE(System().capture, scene::kSensor) << "the pen stays captured after event "
                                                  << event;
      ASSERT_FALSE(RepeatTimerRuns()) << "a repeat timer outlives its press, event " << event;
      for (int vk : keys.held()) {
        ASSERT_TRUE(Latched().count(vk) != 0)
            << "key " << vk << " stays down unlatched after event " << event;
      }
    }
    if (event % 1000 == 0) {
      System().draws.clear();
      System().sleeps.clear();
      System().message_boxes.clear();
    }
  }
  EXPECT_GT(presses, 10000) << "the pen hardly ever met a key";
  // Hidden or ended, the keyboard lets go of everything.
  LetGoOfModifiers();
  keys.Take();
  EXPECT_TRUE(keys.held().empty());
}

}  // namespace
}  // namespace quorel::keyboard
