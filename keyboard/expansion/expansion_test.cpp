#include "keyboard/expansion/expansion.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "keyboard/key_kinds.h"
#include "keyboard/panels/panels.h"
#include "keyboard/preview/preview_list.h"
#include "keyboard/preview/preview_test_scene.h"
#include "platform/list_box.h"

namespace quorel::keyboard {
namespace {

using namespace scene;

class ExpansionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpScene();
    InstallExpansionHooks();
    Add({u"a", u"ab", u"abc", u"abs", u"ac"});
  }
  void TearDown() override { ResetEngineForTest(); }

  static void Add(std::initializer_list<std::u16string> short_forms) {
    for (const auto& short_form : short_forms) {
      const std::u16string long_form = short_form + u" long";
      KeyboardGlossary().Add(short_form.c_str(), nullptr, long_form.c_str(), nullptr);
    }
  }
  // Letters as the key processor reports them; '\b' is <back>.
  static void Type(std::u16string_view keys) {
    for (char16_t c : keys) TrackTypedKey(c == u'\b' ? kind::kBack : kind::kCharacter, c);
  }
};

TEST_F(ExpansionTest, KeysShapeTheTypedWord) {
  const struct {
    std::vector<std::pair<std::uint16_t, char16_t>> keys;
    std::u16string word;
  } cases[] = {
      {{{8, u'a'}, {8, u'1'}, {8, 0xE9}, {4, 0}}, u"a1"},
      {{{4, 0}, {8, u'a'}, {8, u'.'}, {8, u'b'}}, u"b"},
      {{{8, u'a'}, {kind::kSpace, 0}}, u""},
      {{{8, u'a'}, {0, 0}, {8, u'b'}, {200, 0}}, u""},
      {{{8, u'a'}, {kind::kShift, 0}, {kind::kCaps, 0}, {kind::kExpand, 0}, {8, u'b'}}, u"ab"},
      // A pair is one letter, whether its low half comes as a key of its own or with the high.
      {{{8, u'a'}, {8, 0xD83D}, {8, 0xDE00}, {8, u'b'}},
       u"a\xD83D\xDE00"
       u"b"},
      {{{8, u'a'}, {8, 0xD83D}, {8, 0xDE00}, {4, 0}}, u"a"},
      {{{8, u'a'}, {8, 0xD83D}, {8, u'b'}, {4, 0}, {4, 0}}, u"a"},
      {{{8, u'a'}, {8, 0xDE00}}, u""},
      // An apostrophe after a letter is inside the word; one before any letter is not.
      {{{8, u'n'}, {8, u'\''}, {8, u't'}}, u"n't"},
      {{{8, u'\''}, {8, u'a'}, {8, 0x2019}}, u"a\u2019"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    ResetExpansionForTest();
    for (auto [kind, parameter] : c.keys) TrackTypedKey(kind, parameter);
    EXPECT_EQ(TypedWord(), c.word);
  }
}

TEST_F(ExpansionTest, LatchedCtrlLeavesTheWordExpansionOffEmptiesIt) {
  Type(u"ab");
  State().control = 1;
  Type(u"c.");
  EXPECT_EQ(TypedWord(), u"ab");
  State().control = 0;
  SetOption(OptionId::kExpansion, 2);
  Type(u"c");
  EXPECT_EQ(TypedWord(), u"");
}

TEST_F(ExpansionTest, The257thLetterStartsANewWordAndAPairIsNeverSplit) {
  Type(std::u16string(256, u'a'));
  EXPECT_EQ(TypedWord().size(), 256u);
  Type(u"b");
  EXPECT_EQ(TypedWord(), u"b");
  Type(std::u16string(254, u'a') + u"\xD83D\xDE00");
  EXPECT_EQ(TypedWord(), u"\xD83D\xDE00");
}

TEST_F(ExpansionTest, SuggestionsShowFromTheThresholdAndFollowTheWord) {
  const Texts ab{u"abs long", u"abc long", u"ab long"};  // bottom row nearest the keyboard
  const std::pair<std::u16string_view, Texts> steps[] = {
      {u"a", {}}, {u"b", ab}, {u"c", {u"abc long"}}, {u"\b", ab}, {u"x", {}}, {u"\b,", {}},
  };
  for (const auto& [keys, rows] : steps) {
    Type(keys);
    RefreshSuggestions();
    EXPECT_EQ(Rows(), rows) << "word " << TypedWord().size();
    EXPECT_EQ(ListVisible(), !rows.empty());
  }
}

TEST_F(ExpansionTest, OrderAndPlaceFollowTheRoom) {
  const struct {
    platform::Rect keyboard;
    bool above;
    int order;
    Texts rows;
    int selected;
  } cases[] = {
      {kKeyboardLow, true, 1, {u"abs long", u"abc long", u"ab long"}, 2},
      {kKeyboardLow, true, 2, {u"ab long", u"abc long", u"abs long"}, 0},
      {kKeyboardHigh, false, 1, {u"ab long", u"abc long", u"abs long"}, 0},
      // Two rows fit above and two below: two candidates only.
      {{300, 34, 542, 730}, true, 1, {u"abc long", u"ab long"}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    PlaceKeyboard(c.keyboard);
    SetOption(OptionId::kExpansionPreviewOrder, c.order);
    ResetExpansionForTest();
    Add({u"ab", u"abc", u"abs"});
    Type(u"ab");
    RefreshSuggestions();
    EXPECT_EQ(Rows(), c.rows);
    EXPECT_EQ(platform::ListSelectedRow(kList), c.selected);
    // Centred on the main panel: "abs long" and "Mi" at 7 pixels a character.
    const int text_width = 10 * 7, height = 16 * static_cast<int>(c.rows.size()) + 2;
    const Span panel = MainPanelSpan(GetOption(OptionId::kSize), GetOption(OptionId::kSidebar));
    const int left = c.keyboard.left + panel.left + (panel.width - text_width) / 2;
    const int top = c.above ? c.keyboard.top - height + 1 : c.keyboard.bottom;
    EXPECT_EQ(platform::fake::System().windows[kList],
              (platform::Rect{left, top, left + text_width + 2, top + height}));
  }
}

TEST_F(ExpansionTest, TypedCaseCarriesOverToLabelAndText) {
  const struct {
    std::u16string word;
    int caps_lock;
    const char16_t* preview;
    std::u16string long_form, label, typed;
  } cases[] = {
      {u"Zq", 0, nullptr, u"zebra quay", u"Zebra quay", u"Zebra quay"},
      {u"zq", 1, nullptr, u"zebra quay", u"ZEBRA QUAY", u"ZEBRA QUAY"},
      // Accented letters are left as they are by both rules.
      {u"Zq", 0, nullptr, u"\u00e9t\u00e9", u"\u00e9t\u00e9", u"\u00e9t\u00e9"},
      {u"zq", 1, nullptr, u"\u00e9t\u00e9", u"\u00e9T\u00e9", u"\u00e9T\u00e9"},
      {u"Zq", 0, u"zq preview", u"zebra", u"Zq preview", u"Zebra"},
  };
  SetOption(OptionId::kSpaceAfterExpansion, 2);
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    ResetExpansionForTest();
    platform::fake::System().input_calls.clear();
    const GlossaryEntry* entry =
        KeyboardGlossary().Add(u"zq", c.preview, c.long_form.c_str(), nullptr);
    State().caps_lock = c.caps_lock;
    Type(c.word);
    RefreshSuggestions();
    EXPECT_EQ(Rows(), Texts{c.label});
    AcceptSuggestion(entry);
    EXPECT_EQ(TypedText(), u"\b\b" + c.typed);
  }
}

TEST_F(ExpansionTest, AcceptSendsBackspacesLongFormAndSpaceAfterAVisibleEnd) {
  const struct {
    std::u16string long_form;
    int space_after;
    std::u16string typed;
  } cases[] = {
      {u"about", 1, u"\b\b\babout "},
      {u"about", 2, u"\b\b\babout"},
      {u"about ", 1, u"\b\b\babout "},
      {u"about\r", 1, u"\b\b\babout\r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    auto* entry = KeyboardGlossary().Add(u"abz", nullptr, c.long_form.c_str(), nullptr);
    SetOption(OptionId::kSpaceAfterExpansion, c.space_after);
    for (char16_t letter : std::u16string(u"abz")) ProcessKey(kind::kCharacter, letter);
    RefreshSuggestions();
    platform::fake::System().input_calls.clear();
    AcceptSuggestion(entry);
    EXPECT_EQ(TypedText(), c.typed);
    EXPECT_EQ(TypedWord(), u"");
    EXPECT_FALSE(ListVisible());
    KeyboardGlossary().Delete(entry);
  }

  // A window that refuses the first backspace gets no more of the expansion.
  auto* entry = KeyboardGlossary().Add(u"abz", nullptr, u"about", nullptr);
  for (char16_t letter : std::u16string(u"abz")) ProcessKey(kind::kCharacter, letter);
  platform::fake::System().refuses_input = true;
  AcceptSuggestion(entry);
  EXPECT_EQ(platform::fake::System().refused_calls.size(), 1u);
}

// Whole words after the glossary's: only the letters not typed yet are typed, in the case
// the user began with; words ended by the user are learned, never from a password box.
TEST_F(ExpansionTest, CompletionsTypeTheMissingLettersAndWordsTypedAreLearned) {
  KeyboardWords().ParseBase("keyboard\nkeen\n");
  const auto type_keys = [](std::u16string_view letters) {
    for (char16_t letter : letters) ProcessKey(kind::kCharacter, letter);
  };
  ProcessKey(kind::kSpace, 0);  // a word's start is known from the first boundary on
  const auto accept_first = [] {
    RefreshSuggestions();
    platform::fake::System().input_calls.clear();
    platform::ListSelectRow(kList, platform::ListRowCount(kList) - 1);
    ExpandSelection();
    return TypedText();
  };
  type_keys(u"Keyb");
  EXPECT_EQ(accept_first(), u"oard ");

  type_keys(u"zebu");
  ProcessKey(kind::kSpace, 0);  // the space key ends a word as a typed space does
  type_keys(u"zebu.");
  type_keys(u"ze");
  EXPECT_EQ(accept_first(), u"bu ");

  platform::fake::System().focus.control_style = 0x20;  // ES_PASSWORD
  type_keys(u"quagga quagga ");
  platform::fake::System().focus.control_style = 0;
  type_keys(u"qu");
  EXPECT_EQ(accept_first(), u"");
  EXPECT_EQ(KeyboardWords().FindLearned(u"quagga"), nullptr);
}

// A pen slide across a completion's row takes the word away for good; the glossary's rows
// are the editor's to change. Forgetting every learned word keeps those taken away.
TEST_F(ExpansionTest, ASlideAcrossACompletionTakesItAwayAndForgettingAllKeepsItAway) {
  LoadWords();  // as the keyboard reads them once it is up
  KeyboardWords().ParseBase("abacus\nabbey\n");
  const auto row_of = [](std::u16string_view text) {
    const auto& rows = platform::fake::System().lists[kList].rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].text == text) return static_cast<int>(i);
    }
    return -1;
  };
  Type(u"abd abd ");
  Type(u"ab");
  RefreshSuggestions();
  ASSERT_GE(row_of(u"abbey"), 0);
  ListSwiped(row_of(u"abs long"));
  ListSwiped(row_of(u"abbey"));
  EXPECT_EQ(row_of(u"abbey"), -1);
  EXPECT_GE(row_of(u"abs long"), 0);
  EXPECT_GE(row_of(u"abacus"), 0);

  // A copy of an older file would keep what the user asked to forget.
  std::u16string path;
  ASSERT_TRUE(LearnedWordsPath(&path));
  platform::fake::System().files[path + u".bak"] = "abd 9 9\r\n";
  ASSERT_TRUE(ForgetLearnedWords());
  EXPECT_EQ(KeyboardWords().FindLearned(u"abd"), nullptr);
  EXPECT_EQ(platform::fake::System().files.count(path + u".bak"), 0u);
  KeyboardWords().Clear();
  KeyboardWords().ReadLearned(path);
  EXPECT_EQ(KeyboardWords().LearnedCount(), 0);
  EXPECT_TRUE(KeyboardWords().IsForgotten(u"abbey"));
}

// The words offered and learned are those of the input language of the window typed into,
// each language's in a file of its own, unless the options fix one. The accents the
// keyboard types find the list's words.
TEST_F(ExpansionTest, WordsFollowTheWindowsInputLanguageAndAreLearnedForIt) {
  auto& system = platform::fake::System();
  std::u16string english, french, english_learned, french_learned;
  ASSERT_TRUE(BaseWordsPath(&english, 0) && BaseWordsPath(&french, 1) &&
              LearnedWordsPath(&english_learned, 0) && LearnedWordsPath(&french_learned, 1));
  system.files[english] = "france\nfrank\n";
  system.files[french] = "fran\xC3\xA7\x61is\nfranche\n\xC3\xA9t\xC3\xA9\n";
  LoadWords();
  const auto offered = [&system](std::u16string_view typed) {
    Type(typed);
    RefreshSuggestions();
    std::vector<std::u16string> words;
    for (const auto& row : system.lists[kList].rows) words.push_back(row.text);
    Type(u" ");
    std::sort(words.begin(), words.end());
    return words;
  };
  Type(u" ");  // what came before the caret at start is known from here
  system.input_language = 0x040C;  // French (France)
  EXPECT_EQ(offered(u"fra"), (std::vector<std::u16string>{u"franche", u"fran\u00E7ais"}));
  EXPECT_EQ(offered(u"\u00E9t"), (std::vector<std::u16string>{u"\u00E9t\u00E9"}));
  Type(u"fromage ");
  SaveLearnedWords();
  EXPECT_NE(system.files[french_learned].find("fromage"), std::string::npos);
  EXPECT_EQ(system.files.count(english_learned), 0u);

  system.input_language = 0x0809;  // English (United Kingdom)
  EXPECT_EQ(offered(u"fra"), (std::vector<std::u16string>{u"france", u"frank"}));
  EXPECT_TRUE(offered(u"fro").empty());
  SetOption(OptionId::kWordLanguage, 2);  // French, whatever the window
  EXPECT_EQ(offered(u"fro"), (std::vector<std::u16string>{u"fromage"}));

  // Forgetting every word reaches the files of the languages not typed in this session
  // too, a backup left alone among them, and keeps the words taken away there.
  std::u16string dutch, german;
  ASSERT_TRUE(LearnedWordsPath(&dutch, 6) && LearnedWordsPath(&german, 2));
  system.files[dutch] = "fiets 3 3\r\n-slecht\r\n";
  system.files[german + u".bak"] = "Haus 2 2\r\n";
  ASSERT_TRUE(ForgetLearnedWords());
  EXPECT_EQ(offered(u"fro"), std::vector<std::u16string>{});
  EXPECT_EQ(system.files[french_learned].find("fromage"), std::string::npos);
  EXPECT_EQ(system.files[dutch].find("fiets"), std::string::npos);
  EXPECT_NE(system.files[dutch].find("-slecht"), std::string::npos);
  EXPECT_EQ(system.files.count(german + u".bak"), 0u);
}

// Only whole words are learned: "doesn't" and not "doesn"; nothing after a <back> past the
// start of a word, whose beginning was never seen; a completion accepted without a space
// goes on with the letters after it.
TEST_F(ExpansionTest, OnlyWholeWordsAreLearned) {
  KeyboardWords().ParseBase("keyboard\n");
  Type(u"before ");  // what lay before the caret at start is not known: not learned
  Type(u"doesn't it' ");
  Type(u"abc \b\bxyz ");
  SetOption(OptionId::kSpaceAfterExpansion, 0);
  Type(u"keyb");
  RefreshSuggestions();
  platform::ListSelectRow(kList, platform::ListRowCount(kList) - 1);
  ExpandSelection();
  Type(u"s ");
  const WordStore& words = KeyboardWords();
  EXPECT_NE(words.FindLearned(u"doesn't"), nullptr);
  EXPECT_NE(words.FindLearned(u"it"), nullptr);
  EXPECT_NE(words.FindLearned(u"keyboards"), nullptr);
  // The caret moved (a tap elsewhere): "oard" is the end of a word, and so is "ation"
  // after a shortcut that may have pasted or moved it.
  Type(u"keyb");
  ForgetTypedWord();
  Type(u"oa");
  RefreshSuggestions();
  EXPECT_FALSE(ListVisible());
  Type(u"rd ");
  Type(u"inform");
  State().control = 1;
  Type(u"v");
  State().control = 0;
  Type(u"ation ");
  for (std::u16string_view fragment : {u"doesn", u"xyz", u"keyboard", u"s", u"before", u"oard",
                                       u"information", u"ation"}) {
    EXPECT_EQ(words.FindLearned(fragment), nullptr) << std::string(fragment.begin(), fragment.end());
  }
}

TEST_F(ExpansionTest, ExpandAndTapTakeOnlyLiveSuggestions) {
  Type(u"ab");
  RefreshSuggestions();
  platform::ListSelectRow(kList, 0);  // the top row
  ListTapped();
  EXPECT_EQ(TypedText(), u"\b\babs long ");

  // A slide preview replaced the suggestions: its rows hold slide indices, not entries. A
  // tap on them takes nothing; <expand> takes the first of what the list would offer.
  platform::fake::System().input_calls.clear();
  Type(u"ab");
  RefreshSuggestions();
  KeyboardSlides().Add(1, 8, u'q', nullptr, u"slide 0");
  KeyboardSlides().Add(1, 8, u'q', nullptr, u"slide 1");
  ASSERT_EQ(UpdateSlidePreview(8, u'q', MakeCellId(1, 1), 50, 100, 50, 60), 2);
  ListTapped();
  EXPECT_EQ(TypedText(), u"");
  ExpandSelection();
  EXPECT_EQ(TypedText(), u"\b\bab long ");
  // An entry deleted since the list was filled.
  platform::fake::System().input_calls.clear();
  ResetSlidePreview(MakeCellId(1, 1));
  Type(u"ab");
  RefreshSuggestions();
  ASSERT_TRUE(
      KeyboardGlossary().Delete(reinterpret_cast<GlossaryEntry*>(platform::ListRowData(kList, 2))));
  ExpandSelection();
  EXPECT_EQ(TypedText(), u"");
}

TEST_F(ExpansionTest, SwitchStoresTheOptionAndTellsTheKeyboard) {
  const struct {
    int current, parameter, stored;  // stored 0: nothing happens
  } cases[] = {{1, 1, 2}, {2, 1, 1}, {7, 1, 0}, {2, 2, 1}, {1, 3, 2}, {1, 9, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases));
    platform::fake::System().messages.clear();
    SetOption(OptionId::kExpansion, c.current);
    SwitchExpansion(static_cast<std::uint16_t>(c.parameter));
    EXPECT_EQ(GetOption(OptionId::kExpansion), c.stored == 0 ? c.current : c.stored);
    const std::vector<platform::fake::PostedMessage> sent{{kMain, 0x8014, 1, 0, true}};
    EXPECT_EQ(platform::fake::System().messages, c.stored == 0 ? decltype(sent){} : sent);
  }
}

TEST_F(ExpansionTest, LoadGlossaryMessages) {
  auto& boxes = platform::fake::System().message_boxes;
  LoadGlossary();
  EXPECT_EQ(KeyboardGlossary().Count(), 0);
  SetStringSetting(StringSetting::kGlossaryFile, u"C:\\g.glo");
  LoadGlossary();
  platform::fake::System().files[u"C:\\g.glo"] = "ab\t\tabout\r\n";
  LoadGlossary();
  EXPECT_EQ(KeyboardGlossary().Count(), 1);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text,
            u"Can't find glossary file name\nNo glossary entries will be available\n"
            u"Please load a glossary file");
  EXPECT_EQ(boxes[0].caption, u"Quorel");
  EXPECT_EQ(boxes[1].text, u"Can't open glossary C:\\g.glo.");
}

}  // namespace
}  // namespace quorel::keyboard

namespace quorel::keyboard {
namespace {

// A tablet docked below a large monitor: the lists open on the keyboard's own monitor, above
// it when there is room there, never below it past the tablet's bottom edge; the whole
// virtual screen's height says nothing of the room on the tablet.
TEST_F(ExpansionTest, TheListsOpenOnTheKeyboardsOwnMonitor) {
  platform::fake::SetMonitors({{{0, 0, 1280, 800}, {0, 0, 1280, 760}, 96},
                               {{-320, -1080, 1600, 0}, {-320, -1080, 1600, -40}, 96}});
  PlaceKeyboard({300, 560, 542, 750});
  Type(u"ab");
  RefreshSuggestions();
  const platform::Rect list = platform::fake::System().windows[kList];
  EXPECT_LE(list.bottom, 561) << "the suggestions open below the keyboard";
  EXPECT_GE(list.top, 0) << "the suggestions open on the other monitor";

  KeyboardSlides().Add(1, 8, u'q', nullptr, u"slide 0");
  KeyboardSlides().Add(1, 8, u'q', nullptr, u"slide 1");
  ASSERT_EQ(UpdateSlidePreview(8, u'q', MakeCellId(1, 1), 50, 100, 50, 60), 2);
  const platform::Rect preview = platform::fake::System().windows[kList];
  EXPECT_LE(preview.bottom, 561) << "the slide's list opens below the keyboard";
  EXPECT_GE(preview.top, 0);
}

}  // namespace
}  // namespace quorel::keyboard
