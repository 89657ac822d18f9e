// A capital after a sentence, a mark in its place and a full stop from two spaces, judged
// from what the keyboard typed itself and never where it may not look.
#include "keyboard/expansion/typing_rules.h"

#include <gtest/gtest.h>

#include "keyboard/expansion/expansion.h"
#include "keyboard/key_kinds.h"
#include "keyboard/panels/panels.h"
#include "keyboard/preview/preview_test_scene.h"

namespace quorel::keyboard {
namespace {

using namespace scene;

class TypingRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpScene();
    InstallExpansionHooks();
    KeyboardWords().ParseBase("keyboard\n");
  }
  void TearDown() override { ResetEngineForTest(); }

  // Each key as a tap of the pen: performed, then the keyboard brought up to date. '^' is
  // Shift, '\r' Enter, '\b' <back>.
  static void Tap(std::u16string_view keys) {
    for (char16_t c : keys) {
      const std::uint16_t kind = c == u' '    ? kind::kSpace
                                 : c == u'\r' ? kind::kEnter
                                 : c == u'\b' ? kind::kBack
                                 : c == u'^'  ? kind::kShift
                                              : kind::kCharacter;
      ProcessKey(kind, c);
      RefreshAfterKeys();
    }
  }
  // The application's text once its backspaces took effect.
  static std::u16string Shown() {
    std::u16string shown;
    for (char16_t c : TypedText()) {
      if (c != u'\b') {
        shown.push_back(c);
      } else if (!shown.empty()) {
        shown.pop_back();
      }
    }
    return shown;
  }
  // Shift pressed on the system on its own, as a latch the user made does.
  static bool ShiftHeldOnTheSystem() {
    for (const auto& call : platform::fake::System().input_calls) {
      if (call.inputs.size() == 1 && call.inputs[0].vk == 0x10 &&
          (call.inputs[0].flags & platform::kKeyUp) == 0) {
        return true;
      }
    }
    return false;
  }
};

TEST_F(TypingRulesTest, ALetterAfterTheEndOfASentenceComesAsACapital) {
  const struct {
    const char* scene;
    std::u16string keys;
    std::u16string shown;
    std::function<void()> before_last = [] {};
  } cases[] = {
      {"a full stop and a space", u"hi. h", u"hi. H"},
      {"a question mark and two spaces", u"hi?  h", u"hi?  H"},
      {"Enter, which goes without Shift", u"hi.\rh", u"hi.\rH"},
      {"Shift tapped away", u"hi. ^h", u"hi. h"},
      {"the mark alone", u"hi.h", u"hi.h"},
      {"the caret moved by the user", u"hi. h", u"hi. h", [] { ForgetTypedWord(); }},
      {"the option off", u"hi. h", u"hi. h",
       [] { SetOption(OptionId::kCapitalAfterSentence, 0); }},
      {"a password box", u"hi. h", u"hi. h",
       [] { platform::fake::System().focus.control_style = 0x20; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scene);
    SetUp();
    Tap(std::u16string_view(c.keys).substr(0, c.keys.size() - 2));
    c.before_last();
    Tap(std::u16string_view(c.keys).substr(c.keys.size() - 2, 1));
    const bool capital = Shown() == c.shown.substr(0, c.shown.size() - 1) && CapitalPending();
    Tap(std::u16string_view(c.keys).substr(c.keys.size() - 1));
    EXPECT_EQ(Shown(), c.shown);
    // Shift shows latched while the capital waits, and is never held on the system.
    EXPECT_EQ(capital, c.shown.back() == u'H');
    EXPECT_FALSE(ShiftHeldOnTheSystem());
    EXPECT_EQ(State().shift, 0);
  }
}

// The capital shows on the letters and on Shift only: the symbol keys type what they typed,
// and a symbol typed instead of a letter lets the capital go.
TEST_F(TypingRulesTest, TheCapitalLeavesTheSymbolsAsTheyAre) {
  Tap(u"hi. ");
  ASSERT_TRUE(CapitalPending());
  const auto shown = VariantsShown();
  EXPECT_EQ(shown[kMainSlot], PanelKind::kCapsNormal);
  EXPECT_EQ(shown[kSymbolSlot], PanelKind::kSymbolNormal);
  Tap(u"(h");
  EXPECT_EQ(Shown(), u"hi. (h");
}

TEST_F(TypingRulesTest, AMarkTakesThePlaceOfTheKeyboardsSpaceAndTwoSpacesEndASentence) {
  const struct {
    const char* scene;
    bool completed;  // "keyb" completed with its space, else typed whole with one
    std::u16string after;
    std::u16string shown;
    std::uint16_t language = 0x0409;
  } cases[] = {
      {"a comma after a completion", true, u",", u"keyboard, "},
      {"a bracket closed", true, u")", u"keyboard) "},
      {"a full stop, and then a capital", true, u".h", u"keyboard. H"},
      {"French keeps its space before !", true, u"!", u"keyboard !", 0x040C},
      {"French moves it before a comma", true, u",", u"keyboard, ", 0x040C},
      {"the user's own space stays", false, u",", u"keyboard ,"},
      {"two spaces", false, u" h", u"keyboard. H"},
      {"two spaces after a completion", true, u" ", u"keyboard. "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scene);
    SetUp();
    platform::fake::System().input_language = c.language;
    Tap(u" ");  // a word's start is known from a boundary the keyboard typed
    if (c.completed) {
      Tap(u"keyb");
      AcceptCompletion(u"keyboard");
    } else {
      Tap(u"keyboard ");
    }
    Tap(c.after);
    EXPECT_EQ(Shown(), u" " + c.shown);
  }
}

// The keys typed at pen down go back when the pen slides: a full stop made of that second
// space goes whole, and the slide's text follows the word and its one space.
TEST_F(TypingRulesTest, ASlideTakesBackAllTheRulesTypedForThePenDownKey) {
  Tap(u" keyboard ");
  ProcessKey(kind::kSpace, 0);
  ASSERT_EQ(Shown(), u" keyboard. ");
  TypeText(kind::kSpace, 0, true, false, u"xyz");
  EXPECT_EQ(Shown(), u" keyboard xyz");
}

}  // namespace
}  // namespace quorel::keyboard
