// The road of a tap or a slide, from pen events on the sensor window to the input the
// focused application receives.
#include "keyboard/pen/pen.h"

#include <gtest/gtest.h>

#include "keyboard/expansion/expansion.h"
#include "keyboard/key_kinds.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/preview/preview_list.h"
#include "keyboard/preview/slide_preview.h"
#include "library/options/options.h"
#include "tests/support/keyboard_scene.h"
#include "platform/message_box.h"

namespace quorel::keyboard {
namespace {

using platform::kKeyUp;

// The virtual keys pressed, in order, whatever their releases.
std::vector<int> Presses(const std::vector<platform::Input>& inputs) {
  std::vector<int> keys;
  for (const auto& input : inputs) {
    if (!input.mouse && (input.flags & kKeyUp) == 0) keys.push_back(input.vk);
  }
  return keys;
}

class PenTest : public ::testing::Test {
 protected:
  void SetUp() override { scene::BuildKeyboard({}); }

  platform::Point Key(std::uint16_t kind, std::uint16_t parameter = 0) {
    platform::Point point = scene::CentreOf(kind, parameter);
    EXPECT_GE(point.x, 0) << "no key " << kind << "/" << parameter << " on the keyboard";
    return point;
  }

  void Tap(platform::Point point) {
    PenDown(point.x, point.y);
    PenUp(point.x, point.y);
  }

  platform::fake::FakeSystem& system = platform::fake::System();
};

TEST_F(PenTest, TapTypesAtPenDownAndKeepsTheHighlightForTheMinimumTime) {
  const platform::Point a = Key(kind::kCharacter, u'a');
  PenDown(a.x, a.y);
  EXPECT_EQ(scene::TakeInputs(), scene::KeyPair('A', 0x1E));
  EXPECT_FALSE(system.draws.empty());  // highlighted before anything else happens
  EXPECT_EQ(system.capture, scene::kSensor);
  system.tick += 20;
  PenUp(a.x, a.y);
  EXPECT_TRUE(scene::TakeInputs().empty());
  EXPECT_EQ(system.sleeps, std::vector<std::uint32_t>{50});  // 70 ms in all
  EXPECT_EQ(system.capture, 0u);
  EXPECT_EQ(system.timers.count({scene::kSensor, kRepeatTimer}), 0u);
}

TEST_F(PenTest, WithProduceAtPenUpTheCharacterWaitsForThePen) {
  SetOption(OptionId::kAtKey, 2);
  const platform::Point a = Key(kind::kCharacter, u'a');
  PenDown(a.x, a.y);
  EXPECT_TRUE(scene::TakeInputs().empty());
  PenUp(a.x + 2, a.y + 2);
  EXPECT_EQ(scene::TakeInputs(), scene::KeyPair('A', 0x1E));
}

TEST_F(PenTest, NorthSlideToALoneCapitalTakesBackTheLetterAndTypesTheCapital) {
  KeyboardSlides().Add(1, kind::kCharacter, u'e', nullptr, u"E");
  const platform::Point e = Key(kind::kCharacter, u'e');
  PenDown(e.x, e.y);
  EXPECT_EQ(Presses(scene::TakeInputs()), std::vector<int>{'E'});
  PenMove(e.x + 3, e.y - 40);
  EXPECT_EQ(Preview().state, 1);  // the key's capital look, no list
  EXPECT_EQ(system.visible.count(scene::kList), 0u);
  PenUp(e.x + 3, e.y - 40);
  // Backspace, then E with its own Shift.
  EXPECT_EQ(Presses(scene::TakeInputs()), (std::vector<int>{0x08, 0x10, 'E'}));
  EXPECT_EQ(Preview().state, 0);
}

TEST_F(PenTest, LongerSlideChoosesTheNextCandidate) {
  KeyboardSlides().Add(3, kind::kCharacter, u'a', nullptr, u"ab");
  KeyboardSlides().Add(3, kind::kCharacter, u'a', u"shown", u"cd");
  const platform::Point a = Key(kind::kCharacter, u'a');
  PenDown(a.x, a.y);
  scene::TakeInputs();
  PenMove(a.x + 35, a.y);
  ASSERT_EQ(system.visible.count(scene::kList), 1u);
  const auto& list = system.lists[scene::kList];
  ASSERT_EQ(list.rows.size(), 2u);
  const int first_row = list.selected;
  PenMove(a.x + 55, a.y);  // one slide step further
  EXPECT_NE(list.selected, first_row);
  EXPECT_EQ(list.rows[static_cast<std::size_t>(list.selected)].text, u"shown");
  PenUp(a.x + 55, a.y);
  EXPECT_EQ(Presses(scene::TakeInputs()), (std::vector<int>{0x08, 'C', 'D'}));
  EXPECT_EQ(system.visible.count(scene::kList), 0u);
}

TEST_F(PenTest, SlidingBackPerformsTheKeyAsATap) {
  SetOption(OptionId::kAtKey, 2);
  KeyboardSlides().Add(3, kind::kCharacter, u'a', nullptr, u"ab");
  KeyboardSlides().Add(3, kind::kCharacter, u'a', nullptr, u"cd");
  const platform::Point a = Key(kind::kCharacter, u'a');
  PenDown(a.x, a.y);
  PenMove(a.x + 40, a.y);
  PenMove(a.x + 10, a.y);
  EXPECT_EQ(system.visible.count(scene::kList), 0u);
  PenUp(a.x + 10, a.y);
  EXPECT_EQ(Presses(scene::TakeInputs()), std::vector<int>{'A'});
}

TEST_F(PenTest, HeldBackspaceRepeatsUntilThePenMoves) {
  const platform::Point back = Key(kind::kBack);
  PenDown(back.x, back.y);
  ASSERT_EQ((system.timers[{scene::kSensor, kRepeatTimer}]), 250u);
  for (int tick = 0; tick < 4; ++tick) RepeatTick();
  PenUp(back.x, back.y);
  EXPECT_EQ(Presses(scene::TakeInputs()), std::vector<int>(5, 0x08));

  PenDown(back.x, back.y);
  PenMove(back.x + 6, back.y);
  RepeatTick();
  EXPECT_TRUE(system.timers.empty());
  PenUp(back.x + 6, back.y);
  EXPECT_EQ(Presses(scene::TakeInputs()), std::vector<int>{0x08});
}

TEST_F(PenTest, LatchedShiftReachesOneLetterAndIsReleasedAfterIt) {
  Tap(Key(kind::kShift));
  EXPECT_EQ(State().shift, 1);
  EXPECT_EQ(Presses(scene::TakeInputs()), std::vector<int>{0x10});
  Tap(Key(kind::kCharacter, u'A'));  // the panel now shows capitals
  // System Shift up, then A with its own Shift, then the one-shot release.
  const auto inputs = scene::TakeInputs();
  ASSERT_GE(inputs.size(), 2u);
  EXPECT_EQ(inputs.front().vk, 0x10);
  EXPECT_EQ(inputs.front().flags & kKeyUp, kKeyUp);
  EXPECT_EQ(Presses(inputs), (std::vector<int>{0x10, 'A'}));
  EXPECT_EQ(inputs.back().vk, 0x10);
  EXPECT_EQ(State().shift, 0);
  EXPECT_NE(scene::CentreOf(kind::kCharacter, u'a').x, -1);  // lower case again
}

TEST_F(PenTest, TappedSuggestionReplacesTheShortForm) {
  KeyboardGlossary().Add(u"btw", nullptr, u"by the way", nullptr);
  Tap(Key(kind::kCharacter, u'b'));
  Tap(Key(kind::kCharacter, u't'));
  EXPECT_EQ(TypedWord(), u"bt");
  ASSERT_EQ(system.visible.count(scene::kList), 1u);
  EXPECT_EQ(system.lists[scene::kList].rows[0].text, u"by the way");
  scene::TakeInputs();
  ListTapped();
  const auto presses = Presses(scene::TakeInputs());
  ASSERT_GE(presses.size(), 3u);
  EXPECT_EQ(presses[0], 0x08);
  EXPECT_EQ(presses[1], 0x08);
  EXPECT_EQ(presses.back(), 0x20);  // a space after the long form
  EXPECT_EQ(TypedWord(), u"");
}

// Pen up never waits for the application to take the keys, and the word ends only when
// the program hears that the user acted elsewhere.
TEST_F(PenTest, NothingTheKeyboardDidNotTypeIsTakenBack) {
  KeyboardGlossary().Add(u"btw", nullptr, u"by the way", nullptr);
  SetOption(OptionId::kMinimumHighlightTime, 0);  // the one wait a tap may have
  const std::size_t sleeps = system.sleeps.size();
  for (char16_t letter : {u'b', u't'}) Tap(Key(kind::kCharacter, letter));
  Tap(Key(kind::kShift));
  Tap(Key(kind::kShift));
  EXPECT_EQ(system.sleeps.size(), sleeps) << "pen up waited";
  EXPECT_EQ(TypedWord(), u"bt");
  ASSERT_EQ(system.visible.count(scene::kList), 1u);
  // The user taps elsewhere in the text, which the program hears of: the word ends with
  // its suggestions, and a tap on where the list was takes nothing back.
  ForgetTypedWord();
  scene::TakeInputs();
  ListTapped();
  EXPECT_TRUE(scene::TakeInputs().empty()) << "no backspace at the new place";
  EXPECT_EQ(system.visible.count(scene::kList), 0u);

  // A slide from a letter under a latched Ctrl starts with a shortcut, which typed no letter
  // to take back.
  KeyboardSlides().Add(1, kind::kCharacter, u'e', nullptr, u"E");
  Tap(Key(kind::kControl));
  const platform::Point e = Key(kind::kCharacter, u'e');
  PenDown(e.x, e.y);
  PenUp(e.x + 3, e.y - 40);
  EXPECT_EQ(Presses(scene::TakeInputs()), (std::vector<int>{0x11, 'E', 0x10, 'E'}));
}

// Windows that run as administrator refuse the keyboard's input. The user hears of each
// such window once, and neither the keyboard nor the system is left holding a key.
TEST_F(PenTest, ARefusingWindowIsToldOfOnceAndLeftWithNothingHeld) {
  const std::u16string notice = u"This window runs as administrator; Quorel cannot type into it";
  constexpr platform::WindowHandle kElevated = 0x900, kOtherElevated = 0x901, kNormal = 0x902;
  for (auto window : {kElevated, kOtherElevated, kNormal}) system.windows[window] = {0, 0, 400, 300};
  auto notice_shown = [&] {
    return system.visible.count(scene::kList) != 0 && system.lists[scene::kList].rows.size() == 1 &&
           system.lists[scene::kList].rows[0].text == notice;
  };
  scene::HeldKeys keys;
  // Caps, Shift and Ctrl latched while a window that takes input was in front.
  Tap(Key(kind::kCaps));
  Tap(Key(kind::kShift));
  Tap(Key(kind::kControl));
  keys.Take();
  ASSERT_EQ(keys.held(), (std::set<int>{0x10, 0x11}));

  system.foreground = kElevated;
  system.refuses_input = true;
  Tap(Key(kind::kSpace));
  EXPECT_TRUE(notice_shown());
  EXPECT_EQ(system.foreground_changes, std::vector<platform::WindowHandle>{});
  EXPECT_EQ(State().caps_lock, 0);
  EXPECT_EQ(State().shift, 0);
  EXPECT_EQ(State().control, 0);
  EXPECT_NE(scene::CentreOf(kind::kCharacter, u'a').x, -1) << "the panel still shows capitals";

  // Once per window: the next keys into it leave the list as the user left it.
  HidePreviewList();
  Tap(Key(kind::kCharacter, u'b'));
  EXPECT_FALSE(system.visible.count(scene::kList) != 0);
  EXPECT_EQ(TypedWord(), u"") << "a letter the window refused";
  system.foreground = kOtherElevated;
  Tap(Key(kind::kCharacter, u'c'));
  EXPECT_TRUE(notice_shown());

  // In a window that takes input again, Shift and Ctrl go up before the key arrives alone.
  system.foreground = kNormal;
  system.refuses_input = false;
  Tap(Key(kind::kCharacter, u'd'));
  const auto delivered = system.input_calls;
  keys.Take();
  EXPECT_TRUE(keys.held().empty());
  ASSERT_FALSE(delivered.empty());
  EXPECT_EQ(delivered.back().inputs, scene::KeyPair('D', 0));
  EXPECT_FALSE(system.visible.count(scene::kList) != 0);
}

TEST_F(PenTest, AMessageFromAKeyAtPenUpFindsThePenFree) {
  Hooks().program_action = [](std::uint16_t, std::uint16_t, std::u16string_view) {
    platform::ShowMessage(u"Some program components are missing", u"Quorel");
  };
  Tap(Key(kind::kAdd));
  ASSERT_EQ(system.message_boxes.size(), 1u);
  EXPECT_EQ(system.message_boxes[0].capture, 0u) << "the box could not take a tap";
}

}  // namespace
}  // namespace quorel::keyboard
