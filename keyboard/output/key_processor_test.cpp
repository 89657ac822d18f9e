#include "keyboard/output/key_processor.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "keyboard/key_kinds.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/panels/keyboard_state.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "platform/fake/fake_system.h"
#include "tests/support/engine_reset.h"

namespace quorel::keyboard {
namespace {

namespace fake = platform::fake;

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

std::string Printable(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c > 0x20 && c < 0x7F ? std::string(1, char(c)) : "U+" + Hex(c);
  return out;
}

// The injected input, one SendInput call after another: "[10^]" releasing Shift,
// "[10v 41v 41^ 10^]" a shifted A; x marks an extended key, u a Unicode input.
std::string Trace() {
  std::string trace;
  for (const fake::InputCall& call : fake::System().input_calls) {
    std::string inputs;
    for (const platform::Input& in : call.inputs) {
      if (!inputs.empty()) inputs += ' ';
      if (in.mouse) {
        inputs += "m" + std::to_string(in.dx) + "," + std::to_string(in.dy) + ":" + Hex(in.flags);
        continue;
      }
      inputs += (in.flags & platform::kKeyUnicode) ? "u" + Hex(in.scan) : Hex(in.vk);
      if (in.flags & platform::kKeyExtended) inputs += 'x';
      inputs += (in.flags & platform::kKeyUp) ? '^' : 'v';
    }
    trace += (trace.empty() ? "[" : " | [") + inputs + "]";
  }
  return trace;
}

// Each key of a written text straight through the processor, as taps would be.
void Play(std::u16string_view keys) {
  std::size_t position = 0;
  for (Token token; NextToken(keys, &position, &token);) {
    ProcessKey(token.kind, token.parameter, token.argument);
  }
}

// What typing `text` key by key sends.
std::string TraceOfTyping(std::u16string_view text) {
  fake::System().input_calls.clear();
  Play(text);
  return Trace();
}

class KeyOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngineForTest();
  }
};

struct KeysCase {
  std::u16string keys;
  std::string trace;
};

class KeySequenceTest : public KeyOutputTest, public ::testing::WithParamInterface<KeysCase> {};

TEST_P(KeySequenceTest, SendsTheExpectedInput) {
  Play(GetParam().keys);
  EXPECT_EQ(Trace(), GetParam().trace);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeySequenceTest,
    ::testing::Values(
        // The latched shift is let go before a letter that brings its own, and once more after.
        KeysCase{u"<shift>A", "[10v] | [10^] | [10v 41v 41^ 10^] | [10^]"},
        KeysCase{u"<shift>a", "[10v] | [10^] | [41v 41^] | [10^]"},
        KeysCase{u"<shift><tab>", "[10v] | [09v 09^] | [10^]"},
        KeysCase{u"<shift> ", "[10v] | [20v 20^] | [10^]"},
        KeysCase{u"<alt><tab><tab><tab>", "[12v] | [09v 09^] | [09v 09^] | [09v 09^]"},
        KeysCase{u"<control><alt><tab><tab>",
                 "[11v] | [12v] | [09v 09^] | [11^] | [12^] | [09v 09^]"},
        KeysCase{u"<windows key>r", "[5Bv] | [52v 52^] | [5B^]"},
        KeysCase{u"€é", "[u20ACv u20AC^] | [uE9v uE9^]"},
        KeysCase{u"a\U0001F600b", "[41v 41^] | [uD83Dv uDE00v uD83D^ uDE00^] | [42v 42^]"},
        KeysCase{u"<wideright><wideright><wideright><wideright>",
                 "[23xv 23x^] | [28xv 28x^] | [24xv 24x^] | [28xv 28x^] | [28xv 28x^]"},
        KeysCase{u"<wideright><left><wideright>", "[23xv 23x^] | [25xv 25x^] | [23xv 23x^]"},
        KeysCase{u"<wideleft><wideleft><wideleft>", "[24xv 24x^] | [26xv 26x^] | [26xv 26x^]"},
        KeysCase{
            u"<f5><f24><esc><pause><numpad 3><enter><back>",
            "[74v 74^] | [87v 87^] | [1Bv 1B^] | [13v 13^] | [63v 63^] | [0Dv 0D^] | [08v 08^]"},
        KeysCase{u"<delete><insert><pageup><print screen><context menu><browser stop><volume mute>",
                 "[2Exv 2Ex^] | [2Dxv 2Dx^] | [21xv 21x^] | [2Cxv 2Cx^] | [5Dxv 5Dx^] | "
                 "[A9xv A9x^] | [ADxv ADx^]"},
        KeysCase{u"<acute><caps><123><abc><no action><quorel>", ""},
        KeysCase{u"<wait>250;x", "[58v 58^]"}));

TEST_F(KeyOutputTest, ShiftStatesOfTheLayoutWrapTheKey) {
  const std::pair<std::int16_t, std::string> cases[] = {
      {0x0651, "[A5xv 51v 51^ A5x^]"},  // AltGr: right Alt, always extended scan 0x38
      {0x0741, "[10v A5xv 41v 41^ 10^ A5x^]"},
      {0x0241, "[11v 41v 41^ 11^]"},
      {0x0441, "[12v 41v 41^ 12^]"}};
  for (const auto& [scan, trace] : cases) {
    fake::System().key_scans[u'@'] = scan;
    EXPECT_EQ(TraceOfTyping(u"@"), trace) << scan;
  }
  constexpr std::uint32_t kExtendedUp = platform::kKeyExtended | platform::kKeyUp;
  fake::System().input_calls.clear();
  fake::System().key_scans[u'@'] = 0x0741;
  SendCharacter(u'@');
  // Scan codes come from the layout, the AltGr one excepted.
  EXPECT_EQ(fake::System().input_calls.front().inputs,
            (std::vector<platform::Input>{{false, 0x10, 0x2A, 0, 0, 0},
                                          {false, 0xA5, 0x38, platform::kKeyExtended, 0, 0},
                                          {false, 0x41, 0x1E, 0, 0, 0},
                                          {false, 0x41, 0x1E, platform::kKeyUp, 0, 0},
                                          {false, 0x10, 0x2A, platform::kKeyUp, 0, 0},
                                          {false, 0xA5, 0x38, kExtendedUp, 0, 0}}));
}

TEST_F(KeyOutputTest, ACharacterOnADeadKeyGoesAsUnicode) {
  // The circumflex of a French layout: its key alone would wait for the next letter.
  fake::System().key_scans[u'^'] = 0x00DD;
  fake::System().dead_keys.insert({0xDD, 0});
  EXPECT_EQ(TraceOfTyping(u"^a"), "[u5Ev u5E^] | [41v 41^]");
}

TEST_F(KeyOutputTest, LockKeysSendOnlyWhenTheSystemDiffers) {
  Play(u"<numlock>");  // system off, keyboard now on
  EXPECT_EQ(Trace(), "[90xv 90x^]");
  fake::System().input_calls.clear();
  fake::System().key_states[0x91] = 1;
  Play(u"<scroll lock>");  // already on in the system
  EXPECT_EQ(Trace(), "");
  EXPECT_EQ(State().scroll_lock, 1);
}

TEST_F(KeyOutputTest, WaitingEditorGetsItsKeysAndTakesSome) {
  constexpr platform::WindowHandle kEditor = 0x4242;
  SetEditorDialog(kEditor);
  SetEditorSpecialKeyMessage(kEditorSpecialKeyMessage);
  std::vector<std::uint16_t> tracked;
  Hooks().track_typed_key = [&](std::uint16_t kind, std::uint16_t) { tracked.push_back(kind); };

  Play(u"<left>x<back>");  // the dialog is not a live window yet
  EXPECT_TRUE(fake::System().messages.empty());
  fake::System().windows[kEditor] = {};
  EXPECT_EQ(TraceOfTyping(u"<left>x<back>"), "[58v 58^] | [08v 08^]");
  EXPECT_EQ(fake::System().messages,
            (std::vector<fake::PostedMessage>{{kEditor, 0x8001, kind::kLeft, 0, false},
                                              {kEditor, 0x8001, kind::kBack, 0, false}}));
  EXPECT_EQ(tracked.size(), 3u + 2u);  // the taken <left> was not reported

  // A window named there that runs as administrator gets nothing; the keys type as keys.
  fake::System().messages.clear();
  fake::System().elevated_windows.insert(kEditor);
  EXPECT_EQ(TraceOfTyping(u"<left>"), "[25xv 25x^]");
  EXPECT_TRUE(fake::System().messages.empty());
}

struct StateCase {
  std::u16string keys;
  std::vector<int> state;  // caps, shift, control, alt, windows, accent, number
};

class StateTransitionTest : public KeyOutputTest,
                            public ::testing::WithParamInterface<StateCase> {};

TEST_P(StateTransitionTest, FollowsTheKeys) {
  Play(GetParam().keys);
  const KeyboardState& s = State();
  EXPECT_EQ((std::vector<int>{s.caps_lock, s.shift, s.control, s.alt, s.windows_key, s.accent_mode,
                              s.number_mode}),
            GetParam().state);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StateTransitionTest,
    ::testing::Values(StateCase{u"<acute>", {0, 0, 0, 0, 0, 1, 0}},
                      StateCase{u"<acute><acute>", {0, 0, 0, 0, 0, 0, 0}},
                      StateCase{u"<grave><umlaut>", {0, 0, 0, 0, 0, 4, 0}},
                      StateCase{u"<circum>x", {0, 0, 0, 0, 0, 0, 0}},
                      StateCase{u"<circum><home>", {0, 0, 0, 0, 0, 2, 0}},
                      StateCase{u"<acute><123>", {0, 0, 0, 0, 0, 0, 1}},
                      StateCase{u"<123><abc>", {0, 0, 0, 0, 0, 0, 0}},
                      StateCase{u"<caps><shift><control><alt><windows key>", {1, 1, 1, 1, 1, 0, 0}},
                      StateCase{u"<caps><shift><control><f1>", {1, 0, 0, 0, 0, 0, 0}},
                      StateCase{u"<alt><tab>", {0, 0, 0, 1, 0, 0, 0}},
                      StateCase{u"<acute><arrows>", {0, 0, 0, 0, 0, 0, 0}}));

TEST_F(KeyOutputTest, ArrowsAndSymbolsKeysStoreTheirOptions) {
  Windows().main = 77;
  Play(u"<arrows><symbols digits>");
  EXPECT_EQ(GetOption(OptionId::kArrows), 0);
  EXPECT_EQ(GetOption(OptionId::kSymbols), 1);
  Play(u"<accents>");
  ProcessKey(kind::kSymbols, 9);  // no such panel: ignored
  EXPECT_EQ(GetOption(OptionId::kArrows), 1);
  EXPECT_EQ(fake::System().messages,
            (std::vector<fake::PostedMessage>{{77, kOptionsChangedMessage, 0, 0, false}}));
}

TEST_F(KeyOutputTest, ResetReleasesEveryModifierAndReadsTheLocks) {
  State() = {1, 1, 1, 1, 1, 0, 1, 3, 1, 1};
  fake::System().key_states[0x90] = 1;
  ResetKeyboardState();
  EXPECT_EQ(Trace(), "[10^] | [11^] | [12^] | [5B^]");
  const KeyboardState& s = State();
  EXPECT_EQ((std::vector<int>{s.caps_lock, s.shift, s.control, s.alt, s.windows_key, s.num_lock,
                              s.scroll_lock, s.accent_mode, s.number_mode, s.typing_text}),
            (std::vector<int>{0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
}

TEST_F(KeyOutputTest, TapClicksTheScaledPointAndIgnoresBadArguments) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"512,384", "[m32768,32768:C001 m32768,32768:C002 m32768,32768:C004]"},
      {u" 10 , +20x", "[m640,1707:C001 m640,1707:C002 m640,1707:C004]"},
      {u"99999999999,-7", "[m65535,0:C001 m65535,0:C002 m65535,0:C004]"},
      {u"512", ""},
      {u",5", ""},
      {u"x,5", ""},
      {u"", ""}};
  for (const auto& [argument, trace] : cases) {
    fake::System().input_calls.clear();
    ProcessKey(kind::kTap, 0, argument);
    EXPECT_EQ(Trace(), trace) << Printable(argument);
  }
  fake::System().metrics.virtual_width = 0;
  EXPECT_EQ(TraceOfTyping(u"<tap>1,1</tap>"), "");
}

TEST_F(KeyOutputTest, TapReachesThePixelItNamesOnEveryMonitor) {
  // A tablet left of the primary monitor and a monitor above it: screen coordinates there
  // are negative.
  fake::SetMonitors({{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96},
                     {{-1280, 200, 0, 1000}, {-1280, 200, 0, 960}, 192},
                     {{0, -1440, 2560, 0}, {0, -1440, 2560, 0}, 144}});
  const platform::ScreenMetrics screen = fake::System().metrics;
  const std::pair<int, int> points[] = {{-1280, 200}, {-640, 999}, {0, 0},
                                        {1919, 1079}, {2559, -1440}, {100, -1}};
  for (const auto& [x, y] : points) {
    fake::System().input_calls.clear();
    const std::string argument = std::to_string(x) + "," + std::to_string(y);
    ProcessKey(kind::kTap, 0, std::u16string(argument.begin(), argument.end()));
    ASSERT_EQ(fake::System().input_calls.size(), 1u);
    const platform::Input& click = fake::System().input_calls[0].inputs[1];
    EXPECT_EQ(click.flags & platform::kMouseVirtualDesk, platform::kMouseVirtualDesk);
    // Where the system puts an absolute point on the virtual desktop.
    const int landed_x = screen.virtual_left + click.dx * screen.virtual_width / 65536;
    const int landed_y = screen.virtual_top + click.dy * screen.virtual_height / 65536;
    EXPECT_EQ(landed_x, x);
    EXPECT_EQ(landed_y, y);
  }
}

TEST_F(KeyOutputTest, WaitSleepsItsArgumentWithinAMinute) {
  Play(u"<wait>250;<wait>99999999999;<wait>-5;<wait>;");
  EXPECT_EQ(fake::System().sleeps, (std::vector<std::uint32_t>{250, 60000, 0, 0}));
}

TEST_F(KeyOutputTest, CaseChangeTypesTheCopiedSelectionAndPutsTheClipboardBack) {
  const struct {
    std::u16string keys, selection, typed;
  } cases[] = {{u"<capitalize>", u"hello\r\nworld", u"Hello\rworld"},
               {u"<lowercase>", u"HeLLo", u"hello"},
               {u"<shift><uppercase>", u"\U0001F600ab", u"\U0001F600AB"}};
  const std::string copy = "[11v] | [43v 43^] | [11^]";
  for (const auto& c : cases) {
    fake::System().input_calls.clear();
    fake::System().clipboard_text = u"the user's";
    fake::System().selection = c.selection;
    Play(c.keys);
    const std::string trace = Trace();
    EXPECT_EQ(trace.substr(trace.find("[11v]")), copy + " | " + TraceOfTyping(c.typed))
        << Printable(c.keys);
    EXPECT_EQ(fake::System().clipboard_text, u"the user's");
  }
  EXPECT_TRUE(fake::System().sleeps.empty()) << "a copy that has arrived is not waited for";
  EXPECT_FALSE(fake::System().clipboard_open);

  // Nothing selected, so nothing copied: the stale clipboard is not typed, and the wait
  // for the copy ends within its bound.
  fake::System().copies_selection = false;
  EXPECT_EQ(TraceOfTyping(u"<uppercase>"), copy);
  std::uint32_t waited = 0;
  for (std::uint32_t sleep : fake::System().sleeps) waited += sleep;
  EXPECT_EQ(waited, 1000u);
  EXPECT_EQ(fake::System().clipboard_restores, 3);
}

TEST_F(KeyOutputTest, DatesAndTimesTypeTheirFormatWithoutLineFeeds) {
  fake::System().long_date = u"L\r\nd";
  fake::System().short_date = u"S";
  fake::System().long_time = u"T";
  fake::System().short_time = u"t";
  Play(u"<longdate><shortdate><longtime><shorttime>");
  const std::string trace = Trace();
  EXPECT_EQ(trace, TraceOfTyping(u"L\rdSTt"));
}

TEST_F(KeyOutputTest, OtherPartsGetTheirKeysThroughTheHooks) {
  std::string calls;
  auto record = [&](std::uint16_t kind, std::uint16_t parameter, std::u16string_view argument) {
    calls += std::to_string(kind) + "." + std::to_string(parameter) + Printable(argument) + " ";
  };
  Hooks().window_action = record;
  Hooks().program_action = record;
  Hooks().expansion_switch = [&](std::uint16_t parameter) { record(0, parameter, u""); };
  Hooks().expand = [&] { calls += "expand "; };
  Play(u"<dock><launch>np</launch><expansion off><expand><largesize>");
  ProcessKey(kind::kDragHandle, 0);
  ProcessKey(kind::kChooseSlides, 0);
  EXPECT_EQ(calls, "14.0 32.0np 0.3 expand 25.3 16.0 37.0 ");
}

TEST_F(KeyOutputTest, KeysOutsideTheVocabularyDoNothing) {
  ProcessKey(0, 0);
  ProcessKey(200, 1, u"x");
  Dispatch(kind::kLastKind + 1, 0);
  ProcessKey(kind::kFunction, 99);
  ProcessKey(kind::kBrowser, 0);
  ProcessKey(kind::kVolume, 4);
  ProcessKey(kind::kCaseChange, 7);
  SendCharacter(0xDE00);  // half a pair: the replacement character instead
  EXPECT_EQ(Trace(), "[uFFFDv uFFFD^]");
}

struct TokensCase {
  std::u16string text;
  std::string tokens;  // kind.parameter(argument) each; a character key shows its character
};

class TokenizerTest : public ::testing::TestWithParam<TokensCase> {};

TEST_P(TokenizerTest, SplitsTheText) {
  std::string tokens;
  std::size_t position = 0;
  for (Token t; NextToken(GetParam().text, &position, &t);) {
    tokens += t.kind == kind::kCharacter
                  ? Printable(std::u16string(1, t.parameter))
                  : std::to_string(t.kind) + "." + std::to_string(t.parameter);
    if (!t.argument.empty() || t.kind != kind::kCharacter)
      tokens += "(" + Printable(t.argument) + ")";
    tokens += " ";
  }
  EXPECT_EQ(tokens, GetParam().tokens);
  EXPECT_FALSE(NextToken(GetParam().text, &position, nullptr));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TokenizerTest,
    ::testing::Values(TokensCase{u"<enter>x<F1><Enter>", "19.0() x 26.1() 19.0() "},
                      TokensCase{u"a<b><entr", "a < b > < e n t r "}, TokensCase{u"<", "< "},
                      TokensCase{u"<f1><f10>", "26.1() 26.10() "},
                      TokensCase{u"<wait>250;x", "72.0(250) x "},
                      TokensCase{u"<launch>c:\\np.exe</LAUNCH>y", "32.0(c:\\np.exe) y "},
                      TokensCase{u"<LAUNCH>a;b</launch>;", "32.0(a;b) ; "},
                      TokensCase{u"<load glossary>g</LOAD GLOSSARY><tap>1,2</tap>",
                                 "34.0(g) 68.0(1,2) "},
                      TokensCase{u"<wait></wait>", "72.0() "},
                      TokensCase{u"x<launch>np</Launch>y", "x "},  // no terminator: the text ends
                      TokensCase{u"\U0001F600\xD83D", "U+D83D(U+DE00) U+D83D "}));

struct TypeCase {
  std::uint16_t start_kind;
  bool undo;
  bool space_after;
  std::u16string text;
  std::string trace;
};

class TypeTextTest : public KeyOutputTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(TypeTextTest, TypesTheText) {
  const TypeCase& c = GetParam();
  TypeText(c.start_kind, 0, c.undo, c.space_after, c.text);
  EXPECT_EQ(Trace(), c.trace);
  EXPECT_EQ(State().typing_text, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypeTextTest,
    ::testing::Values(TypeCase{kind::kCharacter, true, false, u"b", "[08v 08^] | [42v 42^]"},
                      TypeCase{kind::kSpace, true, false, u"b", "[08v 08^] | [42v 42^]"},
                      TypeCase{kind::kTab, true, false, u"b", "[08v 08^] | [42v 42^]"},
                      TypeCase{kind::kCharacter, false, false, u"b", "[42v 42^]"},
                      TypeCase{kind::kEsc, true, false, u"b", "[42v 42^]"},
                      TypeCase{0, false, true, u"ab", "[41v 41^] | [42v 42^] | [20v 20^]"},
                      TypeCase{0, false, true, u"\U0001F600",
                               "[uD83Dv uDE00v uD83D^ uDE00^] | [20v 20^]"},
                      TypeCase{0, false, true, u"a ", "[41v 41^] | [20v 20^]"},
                      TypeCase{0, false, true, u"a\r", "[41v 41^] | [0Dv 0D^]"},
                      TypeCase{0, false, true, u"a<enter>", "[41v 41^] | [0Dv 0D^]"},
                      TypeCase{0, false, true, u"<control>a", "[11v] | [41v 41^] | [11^]"},
                      // Inside a text a latched shift holds for the next character.
                      TypeCase{0, false, false, u"<shift>a", "[10v] | [41v 41^] | [10^]"},
                      TypeCase{0, false, true, u"x<launch>np", "[58v 58^] | [20v 20^]"}));

TEST_F(KeyOutputTest, TypeTextUndoesToggledStartKeysAndKeepsTheAccentMode) {
  State().shift = 1;
  State().accent_mode = 2;
  TypeText(0, 0, false, false, u"");
  EXPECT_EQ(Trace(), "[10^]");
  EXPECT_EQ(State().accent_mode, 2);
  EXPECT_EQ(State().shift, 0);

  TypeText(kind::kCircum, 0, true, false, u"");  // pressed at pen down: back to none
  State().number_mode = 1;
  TypeText(kind::kNumbers, 0, true, false, u"");
  State().caps_lock = 1;
  TypeText(kind::kCaps, 0, true, false, u"");
  TypeText(kind::kArrows, 0, true, false, u"");
  EXPECT_EQ((std::vector<int>{State().number_mode, State().caps_lock, State().accent_mode,
                              GetOption(OptionId::kArrows)}),
            (std::vector<int>{0, 0, 0, 1}));
}

// A window that runs as administrator takes none of the keyboard's input, or, cut short,
// only the first inputs of a call.
TEST_F(KeyOutputTest, ARefusedKeyEndsItsTextAndLeavesNothingHeld) {
  fake::FakeSystem& system = fake::System();
  std::vector<bool> told;
  Hooks().input_refused = [&](bool first_time) { told.push_back(first_time); };
  int programs = 0;
  Hooks().program_action = [&](std::uint16_t, std::uint16_t, std::u16string_view) { ++programs; };
  system.refuses_input = true;
  TypeText(0, 0, false, true, u"ab<launch>np</launch>c<wait>500;");
  EXPECT_EQ(system.refused_calls.size(), 1u) << "the text went on after the refusal";
  EXPECT_EQ(programs, 0);
  EXPECT_TRUE(system.sleeps.empty());
  EXPECT_EQ(State().typing_text, 0);
  EXPECT_EQ(told, std::vector<bool>{true});
  // No copy is waited for after a refused Ctrl+C.
  Play(u"<uppercase>");
  EXPECT_TRUE(system.sleeps.empty());

  // Shift and A got through, the rest of the call did not: both go up, Shift first as
  // the latch it was.
  system.refused_after = 2;
  Play(u"<shift>A");
  EXPECT_EQ(Trace(), "[10v] | [10^] | [10v 41v] | [10^] | [41^]");
  EXPECT_EQ(State().shift, 0);
  EXPECT_EQ(told, (std::vector<bool>{true, false, false}));
}

TEST_F(KeyOutputTest, AUiAccessKeyboardPerformsNoKeyAskedByMessage) {
  for (bool ui_access : {false, true}) {
    ResetEngineForTest();
    EXPECT_EQ(ProduceKeyAskedByMessage(kind::kShift, 0, ui_access), !ui_access);
    EXPECT_EQ(ProduceKeyAskedByMessage(kind::kCharacter, u'a', ui_access), !ui_access);
    EXPECT_EQ(Trace(), ui_access ? "" : "[10v] | [10^] | [41v 41^] | [10^]") << ui_access;
    EXPECT_EQ(State().shift, 0);
  }
}

TEST_F(KeyOutputTest, TextTypedFromWithinATextLeavesTheOuterOneTyping) {
  Hooks().expand = [] { TypeText(0, 0, false, false, u"b"); };
  TypeText(0, 0, false, false, u"<expand><shift>a");
  EXPECT_EQ(Trace(), "[42v 42^] | [10v] | [41v 41^] | [10^]");
}

}  // namespace
}  // namespace quorel::keyboard
