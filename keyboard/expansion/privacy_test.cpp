// What is typed in secret is never shown in the list nor learned; the learned words are
// never lost and never wait on the pen.
#include <gtest/gtest.h>

#include "keyboard/expansion/expansion.h"
#include "keyboard/expansion/text_privacy.h"
#include "keyboard/key_kinds.h"
#include "keyboard/preview/preview_list.h"
#include "keyboard/preview/preview_test_scene.h"
#include "platform/list_box.h"

namespace quorel::keyboard {
namespace {

using namespace scene;
using platform::AutomationAnswer;
using Answering = platform::fake::FakeSystem::Answering;

constexpr std::uint32_t kPasswordStyle = 0x20;

class PrivacyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpScene();
    InstallExpansionHooks();
    KeyboardWords().ParseBase("sunshine\nsunday\nsunk\nkeyboard\ntuesday\nlondon\n");
    KeyboardGlossary().Add(u"sun", nullptr, u"Sunday lunch", nullptr);
    Keys(u" ");  // a word's start is known from the first boundary the keyboard typed
  }
  void TearDown() override { ResetEngineForTest(); }

  static platform::FocusedControl& Focus() { return platform::fake::System().focus; }
  // A browser's field: no edit control, only UI Automation can tell.
  static void FocusBrowserField(platform::WindowHandle element) {
    Focus() = {element, u"Chrome_RenderWidgetHostHWND", 0, u"Chrome_WidgetWin_1", u"chrome.exe",
               Focus().question, AutomationAnswer::kNone, false, false, {}};
    ForgetTypedWord();
    platform::AskAboutFocusedControl();
  }
  static void Keys(std::u16string_view keys) {
    for (char16_t c : keys) {
      ProcessKey(c == u' ' ? kind::kSpace : kind::kCharacter, c);
      RefreshSuggestions();
    }
  }
  static bool Learned(std::u16string_view word) { return KeyboardWords().FindLearned(word) != nullptr; }
};

// The list never shows what is typed where the text is hidden or nobody answered for it, at
// any letter, and a word is learned only when every letter went to one control known to show
// its text by an answer no older than the word.
TEST_F(PrivacyTest, NothingTypedInSecretIsShownOrLearned) {
  const struct {
    const char* scene;
    std::uint32_t style;     // of notepad's edit box
    bool browser;            // the focus in a browser's field instead
    Answering answering;
    AutomationAnswer automation;
    bool shown_and_learned;
  } cases[] = {
      {"notepad", 0, false, Answering::kAtOnce, AutomationAnswer::kNone, true},
      {"password edit", kPasswordStyle, false, Answering::kAtOnce, AutomationAnswer::kShowsText, false},
      {"browser text field", 0, true, Answering::kAtOnce, AutomationAnswer::kShowsText, true},
      {"browser password", 0, true, Answering::kAtOnce, AutomationAnswer::kHidesText, false},
      {"automation fails", 0, true, Answering::kAtOnce, AutomationAnswer::kNone, false},
      {"automation never answers", 0, true, Answering::kNever, AutomationAnswer::kShowsText, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scene);
    platform::fake::System().answering = c.answering;
    platform::fake::System().automation = c.automation;
    Focus().control_style = c.style;
    if (c.browser) FocusBrowserField(0x4001);
    Keys(u" sun");
    EXPECT_EQ(ListVisible(), c.shown_and_learned);
    Keys(u"shine ");
    EXPECT_EQ(Learned(u"sunshine"), c.shown_and_learned);
    KeyboardWords().ForgetAll();
    ResetEngineForTest();
    SetUp();
  }
}

// An answer that comes late shows the list when it comes; a box that turns into a password
// box between two letters, or a focus moved between them, keeps the word from being learned.
TEST_F(PrivacyTest, ALateAnswerAndAChangeBetweenLetters) {
  platform::fake::System().answering = Answering::kLate;
  FocusBrowserField(0x4001);
  Keys(u" sun");
  EXPECT_FALSE(ListVisible());
  platform::fake::AnswerAutomation();
  FocusAnswerArrived();
  EXPECT_TRUE(ListVisible());
  Keys(u"shine ");
  EXPECT_TRUE(Learned(u"sunshine"));

  platform::fake::System().answering = Answering::kAtOnce;
  FocusBrowserField(0x4001);
  Keys(u" sun");
  ASSERT_TRUE(ListVisible());
  platform::fake::System().automation = AutomationAnswer::kHidesText;
  platform::AskAboutFocusedControl();  // the page made the field a password field
  Keys(u"k");
  EXPECT_FALSE(ListVisible());
  Keys(u" ");
  EXPECT_FALSE(Learned(u"sunk"));

  // Letters that went to two controls: the second got them without a focus event.
  Focus() = platform::fake::FakeSystem().focus;
  platform::fake::System().automation = AutomationAnswer::kShowsText;
  Keys(u"tue");
  Focus().control = 0x3002;
  Keys(u"sday ");
  EXPECT_FALSE(Learned(u"tuesday"));
}

// In a password box <expand> still expands a short form typed whole, which the user typed on
// purpose, and nothing that would need the list to choose.
TEST_F(PrivacyTest, ExpandInAPasswordBoxTakesOnlyAShortFormTypedWhole) {
  Focus().control_style = kPasswordStyle;
  Keys(u"su");
  ExpandSelection();
  Keys(u"n");
  platform::fake::System().input_calls.clear();
  ExpandSelection();
  EXPECT_EQ(TypedText(), u"\b\b\bSunday lunch ");
}

// Consoles and remote windows: a password prompt there looks like any other typing.
TEST_F(PrivacyTest, ConsolesAndRemoteWindowsNeedTheOption) {
  const platform::FocusedControl windows[] = {
      {0x5001, u"ConsoleWindowClass", 0, u"ConsoleWindowClass", u"cmd.exe", 0, AutomationAnswer::kNone, false, false, {}},
      {0x5002, u"WineConsoleClass", 0, u"WineConsoleClass", u"conhost.exe", 0, AutomationAnswer::kNone, false, false, {}},
      {0x5003, u"IHWindowClass", 0, u"TscShellContainerClass", u"mstsc.exe", 0, AutomationAnswer::kNone, false, false, {}},
      {0x5004, u"Qt5QWindowIcon", 0, u"Qt5QWindowIcon", u"VirtualBoxVM.exe", 0, AutomationAnswer::kNone, false, false, {}},
  };
  for (int learn_there : {0, 1}) {
    SetOption(OptionId::kLearnInTerminals, learn_there);
    for (const auto& window : windows) {
      SCOPED_TRACE(::testing::Message() << window.program.size() << " option " << learn_there);
      Focus() = window;
      ForgetTypedWord();
      Keys(u" sun");
      EXPECT_EQ(ListVisible(), learn_there == 1);
      Keys(u"shine ");
      EXPECT_EQ(Learned(u"sunshine"), learn_there == 1);
      KeyboardWords().ForgetAll();
    }
  }
  // Letters and digits together are what passwords look like: never learned anywhere.
  Focus() = platform::fake::FakeSystem().focus;
  Keys(u"Tr0ub4dor abc123 abc123 ");
  EXPECT_EQ(KeyboardWords().LearnedCount(), 0);
}

// "tu" offers Tuesday once; "lon" offers London and types it so; a word begun by a slide
// completes with <expand> as a tapped one does.
TEST_F(PrivacyTest, WhatTheListOffersAndWhatATapTypes) {
  KeyboardWords().ParseBase("tuesday\nLondon\nkeyboard\n");
  KeyboardGlossary().Add(u"tu", nullptr, u"Tuesday", nullptr);
  Keys(u"tu");
  EXPECT_EQ(Rows(), (Texts{u"Tuesday"}));

  Keys(u" lon");
  EXPECT_EQ(Rows(), (Texts{u"London"}));
  platform::fake::System().input_calls.clear();
  ExpandSelection();
  EXPECT_EQ(TypedText(), u"\b\b\bLondon ");
  EXPECT_EQ(KeyboardWords().FindLearned(u"london")->word, u"London");

  // The slide starts on the space key, whose space is typed at pen down and taken back for
  // the slide's text: the word before it is not cut, and "keyb" begins a word. (That second
  // space made a full stop; the slide takes back both and puts the one space back.)
  ProcessKey(kind::kSpace, 0);
  platform::fake::System().input_calls.clear();
  TypeText(kind::kSpace, 0, true, false, u"keyb");
  ProcessKey(kind::kExpand, 0);
  EXPECT_EQ(TypedText(), u"\b\b keyboard ");
}

// A word typed twice after another is offered once that word and a space are typed, and a
// tap types it with its space; pairs follow the words' rules: one space between, the caret
// never moved, nothing in a box that hides its text.
TEST_F(PrivacyTest, TheWordTypedAfterAnotherIsOfferedNext) {
  Keys(u"sunny day. sunny day sunny ");
  EXPECT_EQ(Rows(), (Texts{u"day"}));
  platform::fake::System().input_calls.clear();
  platform::fake::System().lists[kList].selected = 0;
  ListTapped();
  EXPECT_EQ(TypedText(), u"day ");
  EXPECT_EQ(KeyboardWords().NextWords(u"sunny", 3), (Texts{u"day"}));

  Keys(u"rainy ");
  ForgetTypedWord();  // a tap elsewhere between the two words
  Keys(u"night rainy  night ");
  EXPECT_TRUE(KeyboardWords().NextWords(u"rainy", 3).empty());
  Keys(u"rainy night rainy ");
  EXPECT_EQ(Rows(), (Texts{u"night"}));

  Focus().control_style = kPasswordStyle;
  Keys(u"rainy ");
  EXPECT_FALSE(ListVisible());
}

// A learned file another program holds at start is never written over: the words typed
// meanwhile wait, the user is told once, and once it can be read the two are one file.
TEST_F(PrivacyTest, AFileHeldAtStartKeepsItsWords) {
  std::u16string path;
  ASSERT_TRUE(LearnedWordsPath(&path));
  auto& files = platform::fake::System().files;
  files[path] = "precious\t7\t7\r\n";
  platform::fake::System().unreadable.insert(path);
  LoadWords();
  EXPECT_EQ(Rows(), (Texts{u"Quorel cannot read \"Learned words.txt\" now; your new words are "
                           u"kept and added later"}));
  Keys(u"sunshine sunshine ");
  SaveLearnedWords();
  SaveLearnedWords();
  EXPECT_EQ(files[path], "precious\t7\t7\r\n");

  platform::fake::System().unreadable.clear();
  SaveLearnedWords();  // reads it now
  SaveLearnedWords();
  EXPECT_NE(files[path].find("precious\t7\t7"), std::string::npos);
  EXPECT_NE(files[path].find("sunshine\t2\t9"), std::string::npos);
  EXPECT_NE(ShownListContent(), ListContent::kNotice);  // told once only
}

// A save that waits on the disk holds up no key, and what is learned while it waits is
// saved by the next one.
TEST_F(PrivacyTest, ASaveThatWaitsHoldsUpNoKey) {
  std::u16string path;
  ASSERT_TRUE(LearnedWordsPath(&path));
  LoadWords();
  platform::fake::System().hold_background = true;
  Keys(u"sunshine ");
  SaveLearnedWords();
  platform::fake::System().input_calls.clear();
  Keys(u"sunk ");
  EXPECT_EQ(TypedText(), u"sunk ");
  SaveLearnedWords();  // one save at a time: this one waits for the next round
  EXPECT_EQ(platform::fake::System().files.count(path), 0u);
  platform::fake::RunHeldBackgroundWork();
  EXPECT_EQ(platform::fake::System().files[path].find("sunk"), std::string::npos);
  EXPECT_TRUE(KeyboardWords().HasUnsavedChanges());
  platform::fake::System().hold_background = false;
  SaveLearnedWords();
  EXPECT_NE(platform::fake::System().files[path].find("sunk"), std::string::npos);
}

// Forgetting every word is written after whatever the worker had under way: a read or a
// save of the old words that ends later brings none of them back.
TEST_F(PrivacyTest, ForgettingEveryWordIsNeverUndoneByWorkUnderWay) {
  std::u16string path;
  ASSERT_TRUE(LearnedWordsPath(&path));
  auto& files = platform::fake::System().files;
  files[path] = "older\t3\t3\r\n";
  platform::fake::System().hold_background = true;
  LoadWords();  // its read waits on the disk
  ForgetLearnedWords();
  platform::fake::RunHeldBackgroundWork();
  EXPECT_EQ(KeyboardWords().FindLearned(u"older"), nullptr);
  EXPECT_EQ(files[path].find("older"), std::string::npos);

  Keys(u"sunshine ");
  SaveLearnedWords();  // its write waits on the disk
  ForgetLearnedWords();
  platform::fake::RunHeldBackgroundWork();
  EXPECT_EQ(KeyboardWords().LearnedCount(), 0);
  EXPECT_EQ(files[path].find("sunshine"), std::string::npos);
}

TEST(InputWatch, IsLostWhenTheKeyboardsOwnInputNeverReachedIt) {
  EXPECT_FALSE(InputWatchLost(10'000, 10'000, 20'000));
  EXPECT_FALSE(InputWatchLost(10'000, 9'800, 20'000));   // stamped a moment before it was sent
  EXPECT_TRUE(InputWatchLost(10'000, 5'000, 20'000));
  EXPECT_FALSE(InputWatchLost(10'000, 5'000, 10'500));   // just sent: still on its way
  EXPECT_FALSE(InputWatchLost(10'000, 20'000, 20'000));  // heard after it
  EXPECT_TRUE(InputWatchLost(5'000, 0xFFFF'F000u, 9'000));  // across the wrap of the tick count
}

}  // namespace
}  // namespace quorel::keyboard
