#include "keyboard/expansion/expansion.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "keyboard/key_kinds.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/panels/panels.h"
#include "keyboard/preview/preview_list.h"
#include "keyboard/expansion/text_privacy.h"
#include "keyboard/expansion/typing_rules.h"
#include "library/completion/word_text.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "platform/background.h"
#include "platform/drawing.h"
#include "platform/files.h"
#include "platform/focus.h"
#include "platform/input.h"
#include "platform/list_box.h"
#include "platform/message_box.h"
#include "platform/screen.h"
#include "platform/text.h"
#include "platform/window.h"

namespace quorel::keyboard {

namespace {

constexpr std::size_t kMaxTypedWord = 256;
// More rows than any screen has room for: the glossary's candidates are looked for up to
// this many before the room is known.
constexpr std::size_t kMostRows = 512;


// The word being typed, and what the keyboard knows of where its letters went.
struct Word {
  std::u16string letters;
  // The last key was the high half of a pair, whose low half may follow as a key of its own.
  bool after_high = false;
  // The caret moved since the keyboard last typed a word's end (a tap elsewhere, another
  // control, a <back> past the word's first letter, and at start): what is typed now may
  // be the end of a word whose start the keyboard never saw, and is neither learned nor
  // completed until the next word begins.
  bool start_unknown = true;
  // Asked of the focused control at the word's first letter, and again once that letter
  // was sent (the keys before it, a Tab, may have moved the focus by then), and the control
  // it was.
  std::uint32_t question = 0;
  bool asked_after_sent = false;
  platform::WindowHandle control = 0;
  // A letter went to a box that hides its text, or elsewhere than the first one went.
  bool secret = false;
  // The word learned just before it, when only one space came between: the pair is
  // learned with this word.
  std::u16string previous;
};

struct ExpansionRecord {
  Word word;
  // The word as it stood before the last key: a key typed at pen down is taken back when
  // the pen slides, and the word is then as if it had never been typed.
  Word before_last_key;
  bool taking_back = false;
  bool tracking = true;
  // The last word learned, and whether the last key was the one space after it: the list
  // then offers the words typed after it before.
  std::u16string last_learned;
  bool after_learned = false;
  std::vector<const GlossaryEntry*> candidates;
  // The whole words offered after the candidates, as they read once accepted.
  std::vector<std::u16string> completions;
  // The rows the list shows, top to bottom as they were added, and the letters they were
  // found for: a letter that leaves them as they are (keyb, keybo) redoes nothing of the
  // window.
  std::vector<std::pair<std::u16string, std::intptr_t>> shown_rows;
  std::u16string shown_for;
  bool shown_reversed = false;
};

ExpansionRecord& Record() {
  static ExpansionRecord record;
  return record;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsApostrophe(char16_t c) { return c == u'\'' || c == u'\u2019'; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Keys that only change the keyboard's mode or the system's, not the text being written.
constexpr std::array<std::uint16_t, 18> kKeepWord = {
    kind::kAcute,   kind::kCaps,    kind::kCircum,  kind::kContextMenu, kind::kExpand,
    kind::kGrave,   kind::kNumLock, kind::kPause,   kind::kScrollLock,  kind::kShift,
    kind::kNumbers, kind::kLetters, kind::kAccents, kind::kArrows,      kind::kSymbols,
    kind::kUmlaut,  kind::kVolume,  kind::kWait,
};
// Keys that take the user's eyes off the text (a menu, the window moving, the expansion
// switched): the suggestions go with the word.
constexpr std::array<std::uint16_t, 5> kHideSuggestions = {
    kind::kDragHandle, kind::kExpansion, kind::kQuorel, kind::kInfo, kind::kSysMenu,
};
// Keys that end a word where the next one starts: the keyboard then knows both ends.
constexpr std::array<std::uint16_t, 3> kWordBoundaries = {kind::kSpace, kind::kEnter,
                                                          kind::kTab};

template <std::size_t N>
bool IsOneOf(std::uint16_t kind, const std::array<std::uint16_t, N>& kinds) {
  return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// Whether the list may show what is being typed into the focused control now: never in a
// box that hides its text or that nobody answered for, nor for a word some of whose letters
// went to one.
bool ListMayShow() {
  return !Record().word.secret && MayShowTypedText(platform::LookAtFocusedControl());
}

bool CompletionsWanted() {
  return GetOption(OptionId::kCompleteWords) != 0 && !Record().word.start_unknown;
}

// A word the user ended with a space, a sign or Enter is one more use of it: when every
// letter of it went to the one control, which was known to show its text when its last
// letter went, by an answer to the question asked at its first letter.
bool LearnTypedWord() {
  const Word& typed = Record().word;
  std::u16string_view word = typed.letters;
  // "dogs'" is one more use of "dogs".
  while (!word.empty() && IsApostrophe(word.back())) word.remove_suffix(1);
  if (word.empty() || typed.start_unknown || typed.secret ||
      GetOption(OptionId::kCompleteWords) == 0 || GetOption(OptionId::kLearnWords) == 0) {
    return false;
  }
  const platform::FocusedControl focused = platform::LookAtFocusedControl();
  if (focused.question != typed.question || focused.control != typed.control ||
      !MayShowTypedText(focused)) {
    return false;
  }
  WordStore& words = WordsOfInput();
  if (!words.Learn(word)) return false;
  if (!typed.previous.empty()) words.LearnPair(typed.previous, word);
  Record().last_learned.assign(word);
  return true;
}

// Every letter looks at the control it goes to: the first asks about it anew, so that the
// answer the word is judged by is no older than the word.
void GuardLetter(bool first) {
  Word& word = Record().word;
  if (first) {
    word.question = platform::AskAboutFocusedControl();
    const platform::FocusedControl focused = platform::LookAtFocusedControl();
    word.control = focused.control;
    word.secret = JudgeTextShown(focused) == TextShown::kHidden;
    return;
  }
  const platform::FocusedControl focused = platform::LookAtFocusedControl();
  if (focused.control != word.control || focused.question != word.question ||
      JudgeTextShown(focused) == TextShown::kHidden) {
    word.secret = true;
  }
}

void AppendLetter(char16_t c, std::size_t room) {
  std::u16string& letters = Record().word.letters;
  // The first letter right after a learned word and its space: the two make a pair.
  if (letters.empty() && Record().after_learned) Record().word.previous = Record().last_learned;
  // An unbroken run longer than the word can hold starts a new word with this letter, whose
  // start is the middle of a run: no word to learn or complete.
  if (letters.size() + room > kMaxTypedWord) {
    letters.clear();
    Record().word.start_unknown = true;
  }
  GuardLetter(letters.empty());
  letters.push_back(c);
}

// The word is over. After a boundary the next word's start is known; after anything else
// (a key that moves the caret or cuts the word) it is not.
// True when a word was learned.
bool EndWord(bool at_boundary) {
  Word& word = Record().word;
  const bool learned = at_boundary && LearnTypedWord();
  word.letters.clear();
  word.after_high = false;
  word.secret = false;
  word.start_unknown = !at_boundary;
  word.previous.clear();
  return learned;
}

void TrackCharacter(char16_t c) {
  const KeyboardState& state = State();
  Word& word = Record().word;
  if (state.control != 0 || state.alt != 0 || state.windows_key != 0) {
    // A shortcut may paste, undo or move the caret: the word stays for the glossary, but
    // what follows is no word the keyboard saw whole.
    word.start_unknown = true;
    return;
  }
  const bool after_high = word.after_high;
  word.after_high = false;
  if (IsLowSurrogate(c) && after_high) {
    GuardLetter(false);
    word.letters.push_back(c);  // its room was kept with the high half
    return;
  }
  if (IsHighSurrogate(c)) {
    // The low half comes as a key of its own or travels with this one; either way the pair
    // is one letter, so room for both is kept and the pair is never split.
    AppendLetter(c, 2);
    word.after_high = true;
    return;
  }
  // An apostrophe after a letter stays in the word: "doesn't" is one word, not "doesn".
  if (IsApostrophe(c) && !word.letters.empty() &&
      platform::IsLetterOrDigit(word.letters.back())) {
    AppendLetter(c, 1);
    return;
  }
  if (!platform::IsLetterOrDigit(c)) {
    EndWord(true);
    return;
  }
  AppendLetter(c, 1);
}

void RemoveLastLetter() {
  Word& word = Record().word;
  word.after_high = false;
  if (word.letters.empty()) {
    word.start_unknown = true;
    return;
  }
  // A pair goes whole; a high half alone stands for a pair that came as one key.
  std::size_t length = 1;
  const std::u16string& letters = word.letters;
  if (letters.size() >= 2 && IsLowSurrogate(letters.back()) &&
      IsHighSurrogate(letters[letters.size() - 2])) {
    length = 2;
  }
  word.letters.resize(letters.size() - length);
}

// Letters rather than code units: the application takes a surrogate pair back with one
// backspace.
int LetterCount(std::u16string_view word) {
  int count = 0;
  for (char16_t c : word) {
    if (!IsLowSurrogate(c)) ++count;
  }
  return count;
}

char16_t AsciiUpper(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool IsUpperCaseLetter(char16_t c) {
  return platform::IsLetterOrDigit(c) && platform::ToLower(std::u16string_view(&c, 1))[0] != c;
}

// A capital first letter or caps lock carries over to the long form; only A-Z change, so
// an accented letter is shown as the glossary holds it.
std::u16string InTypedCase(std::u16string_view text) {
  std::u16string shown(text);
  const std::u16string& word = Record().word.letters;
  if (State().caps_lock != 0) {
    std::transform(shown.begin(), shown.end(), shown.begin(), AsciiUpper);
  } else if (!shown.empty() && !word.empty() && IsUpperCaseLetter(word[0])) {
    shown[0] = AsciiUpper(shown[0]);
  }
  return shown;
}

bool BeginsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() &&
         Glossary::Compare(text.substr(0, prefix.size()), prefix) == 0;
}

void HideSuggestions() {
  Record().candidates.clear();
  Record().completions.clear();
  HidePreviewList();
}

// Rows hold a glossary entry's address, or a completion's place as a negative number
// below -1, which a list box gives back for a row it does not have.
std::intptr_t CompletionRowData(std::size_t index) {
  return -static_cast<std::intptr_t>(index) - 2;
}

// The list shows the suggestions of the word as it is now.
bool SuggestionsShownForWord() {
  return ShownListContent() == ListContent::kSuggestions &&
         Record().shown_for == Record().word.letters;
}

// The completion a row of the shown suggestions holds, or null.
const std::u16string* CompletionAt(int row) {
  if (row < 0 || ShownListContent() != ListContent::kSuggestions) return nullptr;
  const std::intptr_t data = platform::ListRowData(Windows().list, row);
  const auto& completions = Record().completions;
  if (data >= -1 || static_cast<std::size_t>(-data - 2) >= completions.size()) return nullptr;
  return &completions[static_cast<std::size_t>(-data - 2)];
}

// The entry a row of the list holds, when the list shows suggestions and the entry is one
// of them; AcceptSuggestion checks that it is still in the glossary.
const GlossaryEntry* SuggestionAt(int row) {
  if (row < 0 || ShownListContent() != ListContent::kSuggestions) return nullptr;
  const std::intptr_t data = platform::ListRowData(Windows().list, row);
  if (data < 0) return nullptr;
  const auto* entry = reinterpret_cast<const GlossaryEntry*>(data);
  const auto& candidates = Record().candidates;
  return std::find(candidates.begin(), candidates.end(), entry) == candidates.end() ? nullptr
                                                                                    : entry;
}

// The glossary's entries for the typed word, in order, up to `most`.
void FindCandidates(std::size_t most) {
  ExpansionRecord& record = Record();
  const std::u16string& word = record.word.letters;
  record.candidates.clear();
  // Bisection to the first short form at or after the word, then forward only while short
  // forms still begin with it: a large glossary is never walked whole.
  const Glossary& glossary = KeyboardGlossary();
  for (int index = glossary.LowerBound(word);
       index < glossary.Count() && record.candidates.size() < most; ++index) {
    const GlossaryEntry* entry = glossary.At(index);
    if (entry == nullptr || !BeginsWith(entry->short_form, word)) break;
    record.candidates.push_back(entry);
  }
}

// Up to `most` whole words for the typed word, none that a candidate would type already.
void FindCompletions(int most) {
  ExpansionRecord& record = Record();
  record.completions.clear();
  if (!CompletionsWanted() || most <= 0) return;
  const auto& candidates = record.candidates;
  const int asked = most + static_cast<int>(std::min<std::size_t>(candidates.size(), most));
  for (std::u16string& word : WordsOfInput().Completions(record.word.letters, asked)) {
    const bool duplicate = std::any_of(
        candidates.begin(), candidates.end(),
        [&word](const GlossaryEntry* entry) { return EqualFolded(entry->long_form, word); });
    if (!duplicate) record.completions.push_back(std::move(word));
    if (static_cast<int>(record.completions.size()) == most) break;
  }
}

}  // namespace

Glossary& KeyboardGlossary() {
  static Glossary glossary;
  return glossary;
}

const std::u16string& TypedWord() { return Record().word.letters; }

void TrackTypedKey(std::uint16_t kind, std::uint16_t parameter) {
  ExpansionRecord& record = Record();
  NoteKeyForTypingRules(kind, parameter, IsOneOf(kind, kKeepWord));
  if (GetOption(OptionId::kExpansion) == 2) {
    record.word = Word();
    return;
  }
  if (!record.tracking) return;
  if (record.taking_back && kind == kind::kBack) {
    // The key typed at pen down goes back: the word is as it was before it.
    record.taking_back = false;
    record.word = record.before_last_key;
    record.after_learned = false;
    return;
  }
  record.taking_back = false;
  record.before_last_key = record.word;

  if (kind == kind::kCharacter) {
    TrackCharacter(static_cast<char16_t>(parameter));
    record.after_learned = false;
    return;
  }
  if (kind == kind::kSpace) {
    record.after_learned = EndWord(true);
    return;
  }
  if (IsOneOf(kind, kKeepWord)) return;
  record.after_learned = false;
  if (kind == kind::kBack) {
    RemoveLastLetter();
    return;
  }
  EndWord(IsOneOf(kind, kWordBoundaries));
  if (IsOneOf(kind, kHideSuggestions)) HideSuggestions();
}

void TakingBackStartKey() {
  Record().taking_back = true;
  TakingBackForTypingRules();
}

void ForgetTypedWord() {
  Record().word = Word();
  Record().after_learned = false;
  HideSuggestions();
  const bool capital = CapitalPending();
  ForgetTextBeforeCaret();
  if (capital) {
    RefreshPanels(false);
    RefreshToggleHighlights();
  }
}

void RefreshSuggestions();

void FocusAnswerArrived() {
  // A list of the pen's slide, or a notice, stays; the suggestions follow the answer.
  const ListContent shown = ShownListContent();
  if (shown == ListContent::kNothing || shown == ListContent::kSuggestions) RefreshSuggestions();
}

namespace {

// What the user is told of the learned words, once each, at the next pen up.
struct Notices {
  std::u16string pending;
};
Notices& PendingNotices() {
  static Notices notices;
  return notices;
}

void TellOnce(bool* told, std::u16string_view text) {
  if (*told) return;
  *told = true;
  PendingNotices().pending.assign(text);
  // Shown now when nothing else is in the list; else at the next pen up.
  if (ShownListContent() == ListContent::kNothing && Windows().list != 0) {
    ShowListNotice(PendingNotices().pending);
    PendingNotices().pending.clear();
  }
}

}  // namespace

void RefreshSuggestions() {
  // The notice of a refusing window stays while the keys still meet the refusal.
  if (ShownListContent() == ListContent::kNotice && InputRefused()) return;
  if (!PendingNotices().pending.empty()) {
    ShowListNotice(PendingNotices().pending);
    PendingNotices().pending.clear();
    return;
  }
  ExpansionRecord& record = Record();
  const std::u16string& word = record.word.letters;
  // After a learned word and its space: the words typed after it before.
  const bool next_words = word.empty() && record.after_learned && CompletionsWanted();
  if ((!next_words && (word.empty() || static_cast<std::int64_t>(word.size()) <
                                           GetOption(OptionId::kNbLettersForSuggest))) ||
      !ListMayShow()) {
    HideSuggestions();
    return;
  }

  // What there is to offer is found first; the room around the keyboard, which asks the
  // system, only once there is something to show.
  if (next_words) {
    record.candidates.clear();
    record.completions =
        WordsOfInput().NextWords(record.last_learned, GetOption(OptionId::kCompletionsShown));
  } else {
    FindCandidates(kMostRows);
    FindCompletions(GetOption(OptionId::kCompletionsShown));
  }
  if (record.candidates.empty() && record.completions.empty()) {
    HideSuggestions();
    return;
  }
  const ListRoom room_around = RoomAroundKeyboard();
  const std::size_t room =
      static_cast<std::size_t>(std::max(0, std::max(room_around.above, room_around.below)));
  if (record.candidates.size() > room) record.candidates.resize(room);
  if (record.completions.size() > room - record.candidates.size()) {
    record.completions.resize(room - record.candidates.size());
  }
  if (record.candidates.empty() && record.completions.empty()) {
    HideSuggestions();
    return;
  }

  const int count = static_cast<int>(record.candidates.size() + record.completions.size());
  const bool above = room_around.above >= room_around.below;
  const bool reversed = above && GetOption(OptionId::kExpansionPreviewOrder) != 2;

  std::vector<std::pair<std::u16string, std::intptr_t>> rows;
  rows.reserve(static_cast<std::size_t>(count));
  for (const GlossaryEntry* entry : record.candidates) {
    rows.emplace_back(InTypedCase(entry->preview ? *entry->preview : entry->long_form),
                      reinterpret_cast<std::intptr_t>(entry));
  }
  for (std::size_t i = 0; i < record.completions.size(); ++i) {
    rows.emplace_back(record.completions[i], CompletionRowData(i));
  }
  const platform::WindowHandle list = Windows().list;
  record.shown_for = word;
  if (ShownListContent() == ListContent::kSuggestions && reversed == record.shown_reversed &&
      rows == record.shown_rows) {
    platform::ListSelectRow(list, reversed ? count - 1 : 0);
    return;
  }

  platform::ListHoldDrawing(list, true);
  platform::ListClear(list);
  int widest = 0;
  for (const auto& [label, data] : rows) {
    platform::ListAddRow(list, label, data, reversed);
    widest = std::max(widest, platform::MeasureTextWidth(Windows().slides_font, label));
  }
  record.shown_rows = std::move(rows);
  record.shown_reversed = reversed;
  SetShownListContent(ListContent::kSuggestions);
  PlaceListOverLetters(count, widest, above, room_around);

  platform::ListSelectRow(list, reversed ? count - 1 : 0);
  // The list box paints its new rows once the keyboard has nothing else to do: never
  // before the next pen down.
  platform::ListHoldDrawing(list, false);
  platform::ShowWindowQuietly(list, true);
}

void AcceptSuggestion(const GlossaryEntry* entry) {
  ExpansionRecord& record = Record();
  if (!KeyboardGlossary().IsLive(entry)) return;
  const int backspaces = LetterCount(record.word.letters);
  // Copied before any key runs: the keys below may reach code that changes the glossary.
  const std::u16string text = InTypedCase(entry->long_form);
  HideSuggestions();
  const KeyRun run;

  record.tracking = false;
  for (int i = 0; i < backspaces; ++i) ProcessKey(kind::kBack, 0);
  const bool space = GetOption(OptionId::kSpaceAfterExpansion) == 1;
  TypeText(0, 0xFF, false, space, text);
  record.tracking = true;
  if (space) NoteSpaceAdded();

  // The long form's own last word is not the user's: the next word starts after it.
  record.word.letters.clear();
  record.word.after_high = false;
  record.word.secret = false;
  record.word.start_unknown = false;
  record.word.previous.clear();
  record.after_learned = false;
  RefreshAfterKeys();
}

void AcceptCompletion(std::u16string word) {
  ExpansionRecord& record = Record();
  const std::u16string& typed = record.word.letters;
  if (word.size() <= typed.size() || !StartsWithFolded(word, typed)) return;
  // A next word, offered after a learned word and its space: the two make a pair.
  const bool next_word = typed.empty() && record.after_learned;
  // Only the letters not typed yet, and those whose case the word has otherwise: "lon"
  // becomes "London".
  const std::size_t kept = KeptLetters(typed, word);
  const int backspaces = LetterCount(std::u16string_view(typed).substr(kept));
  HideSuggestions();
  const KeyRun run;
  const bool space = GetOption(OptionId::kSpaceAfterExpansion) == 1;
  record.tracking = false;
  for (int i = 0; i < backspaces; ++i) ProcessKey(kind::kBack, 0);
  TypeText(0, 0xFF, false, space, std::u16string_view(word).substr(kept));
  record.tracking = true;
  if (space) NoteSpaceAdded();
  record.word.after_high = false;
  // The word as the application now shows it. Ended by the space, it is one more use of
  // it; without one it goes on: "keyboard" and then "ing" is "keyboarding".
  record.word.letters = std::move(word);
  if (next_word) record.word.previous = record.last_learned;
  record.after_learned = space && EndWord(true);
  RefreshAfterKeys();
}

void RefreshAfterKeys() {
  Word& word = Record().word;
  if (!word.letters.empty() && !word.asked_after_sent) {
    word.asked_after_sent = true;
    word.question = platform::AskAboutFocusedControl();
  }
  // The typing rules look at what the keyboard typed only where the list could show it.
  CapitalAfterKeys(ListMayShow);
  RefreshPanels(false);
  RefreshToggleHighlights();
  RefreshSuggestions();
}

void ExpandSelection() {
  ExpansionRecord& record = Record();
  if (SuggestionsShownForWord()) {
    const int row = platform::ListSelectedRow(Windows().list);
    if (const GlossaryEntry* entry = SuggestionAt(row)) {
      AcceptSuggestion(entry);
    } else if (const std::u16string* word = CompletionAt(row)) {
      AcceptCompletion(*word);  // a copy: accepting clears the list it lies in
    }
    return;
  }
  // No list of this word to choose from: a slide's text typed it, or the list may not show
  // here. The first of what the list would offer, as a tap after the slide would take it.
  // In a box that hides its text, or one nobody answered for, only a short form typed whole
  // expands: the user typed it on purpose, and nothing of the text is shown or guessed.
  const std::u16string& typed = record.word.letters;
  if (typed.empty()) return;
  const bool list_may_show = ListMayShow();
  FindCandidates(1);
  if (!record.candidates.empty() &&
      (list_may_show || Glossary::Compare(record.candidates[0]->short_form, typed) == 0)) {
    AcceptSuggestion(record.candidates[0]);
    return;
  }
  if (!list_may_show) return;
  FindCompletions(1);
  if (!record.completions.empty()) AcceptCompletion(record.completions[0]);
}

void SwitchExpansion(std::uint16_t parameter) {
  const int current = GetOption(OptionId::kExpansion);
  int wanted = 0;
  switch (parameter) {
    case 1:
      if (current == 1) wanted = 2;
      if (current == 2) wanted = 1;
      break;
    case 2:
      wanted = 1;
      break;
    case 3:
      wanted = 2;
      break;
    default:
      break;
  }
  if (wanted == 0) return;
  SetOption(OptionId::kExpansion, wanted);
  // 1: re-read the options and move the window, without rebuilding the keyboard.
  platform::SendMessageTo(Windows().main, kOptionsChangedMessage, 1, 0);
}

void ListTapped() {
  // The list never takes the focus, so the expansion reaches the application that had it.
  // Only a row of suggestions counts: a slide's texts, or a notice, are no choice here.
  if (SuggestionsShownForWord()) ExpandSelection();
}

namespace {

// The learned words' files: read once a language's words are first wanted and again until
// they could be read, written when the words changed, always off the pen's thread.
struct Keeping {
  // A language's lists are read once the keyboard is up (or once its words are first
  // wanted); what asks for a change before that reads them first, so that the reading does
  // not bring back what the change took away.
  bool words_read = false;
  bool reading = false;
  bool saving = false;
};
struct LanguageWords {
  WordStore store;
  Keeping keeping;
  // Each file's trouble is told once.
  bool told_unreadable = false;
  bool told_unwritable = false;
};
struct AllLanguages {
  std::array<LanguageWords, kWordLanguageCount> languages;
  int current = 0;
};
AllLanguages& Languages() {
  static AllLanguages all;
  return all;
}
LanguageWords& WordsOf(int language) {
  return Languages().languages[static_cast<std::size_t>(language)];
}

// The file's name as the user finds it in Documents\Quorel.
std::u16string FileName(std::u16string_view path) {
  return std::u16string(path.substr(path.rfind(u'\\') + 1));
}

void StartReadingLearned(int language) {
  std::u16string path;
  if (WordsOf(language).keeping.reading || !LearnedWordsPath(&path, language)) return;
  WordsOf(language).keeping.reading = true;
  auto file = std::make_shared<LearnedFileBytes>();
  platform::RunInBackground([file, path] { *file = ReadLearnedFileBytes(path); },
                            [file, language, path] {
                              LanguageWords& words = WordsOf(language);
                              words.keeping.reading = false;
                              // Forgetting every word wrote the file meanwhile: what this
                              // read found is gone.
                              if (words.store.FileRead()) return;
                              if (words.store.AdoptLearned(*file).unreadable) {
                                TellOnce(&words.told_unreadable,
                                         u"Quorel cannot read \"" + FileName(path) +
                                             u"\" now; your new words are kept and added later");
                              }
                            });
}

void StartSavingLearned(int language) {
  std::u16string path;
  auto save = std::make_shared<LearnedFileSave>();
  LanguageWords& words = WordsOf(language);
  if (words.keeping.saving || !LearnedWordsPath(&path, language) ||
      !words.store.PrepareSave(path, save.get())) {
    return;
  }
  words.keeping.saving = true;
  auto written = std::make_shared<bool>(false);
  platform::RunInBackground([save, written] { *written = WriteLearnedFile(*save); },
                            [save, written, language] {
                              LanguageWords& words = WordsOf(language);
                              words.keeping.saving = false;
                              words.store.SaveFinished(*save, *written);
                              if (!*written) {
                                TellOnce(&words.told_unwritable,
                                         u"Quorel cannot save \"" + FileName(save->path) +
                                             u"\" now; it keeps your words and tries again");
                              }
                            });
}

// Reads a language's shipped list and learned words. The shipped list is read off the
// pen's thread too: a language's list runs to megabytes, and the keyboard offers the
// learned words meanwhile.
void LoadLanguage(int language) {
  LanguageWords& words = WordsOf(language);
  words.store.Clear();
  words.keeping.words_read = true;
  std::u16string path;
  // Without the shipped list the keyboard still learns the user's words.
  if (BaseWordsPath(&path, language)) {
    auto base = std::make_shared<BaseWords>();
    platform::RunInBackground([base, path] { base->Read(path); },
                              [base, language] { WordsOf(language).store.TakeBase(std::move(*base)); });
  }
  StartReadingLearned(language);
}

// Every language whose words were read: what is to be done for each of their files.
template <typename Action>
void ForEachLanguageRead(Action&& action) {
  for (int language = 0; language < kWordLanguageCount; ++language) {
    if (WordsOf(language).keeping.words_read) action(language, WordsOf(language).store);
  }
}

}  // namespace

WordStore& KeyboardWords() { return WordsOf(Languages().current).store; }

namespace {

int LanguageOfInput() {
  // The system is asked only when the options leave the language to the window.
  const int option = GetOption(OptionId::kWordLanguage);
  return ChosenWordLanguage(option, option == 0 ? platform::ForegroundInputLanguage() : 0);
}

}  // namespace

WordStore& WordsOfInput() {
  const int language = LanguageOfInput();
  if (language != Languages().current) {
    Languages().current = language;
    Record().last_learned.clear();  // a word of the other language has no next words here
    if (!WordsOf(language).keeping.words_read) LoadLanguage(language);
  }
  return KeyboardWords();
}

void ListSwiped(int row) {
  const std::u16string* word = CompletionAt(row);
  if (word == nullptr) return;
  KeyboardWords().Forget(*word);
  RefreshSuggestions();
}

void LoadWords() {
  // Every list is read anew when wanted; the language of the moment now.
  for (int language = 0; language < kWordLanguageCount; ++language) {
    WordsOf(language).store.Clear();
    WordsOf(language).keeping.words_read = false;
  }
  Languages().current = LanguageOfInput();
  LoadLanguage(Languages().current);
}

void SaveLearnedWords() {
  // A file never read is read first: what it holds is added to, never written over.
  ForEachLanguageRead([](int language, const WordStore& words) {
    if (!words.FileRead()) {
      StartReadingLearned(language);
    } else {
      StartSavingLearned(language);
    }
  });
}

void SaveLearnedWordsAtExit(std::uint32_t patience_ms) {
  // What is under way ends first; then a last read of the files never read, and a last
  // save, each waited for a while: a save that cannot finish loses this session's words,
  // never the file's.
  const std::uint32_t step = patience_ms / 3;
  platform::WaitForBackgroundWork(step);
  ForEachLanguageRead([](int language, const WordStore& words) {
    if (!words.FileRead()) StartReadingLearned(language);
  });
  platform::WaitForBackgroundWork(step);
  ForEachLanguageRead([](int language, const WordStore&) { StartSavingLearned(language); });
  platform::WaitForBackgroundWork(step);
}

bool ForgetLearnedWords() {
  if (ShownListContent() == ListContent::kSuggestions) HideSuggestions();
  // The languages whose words the keyboard holds write what they hold, every learned word
  // gone; the files of the others are read and written on the worker as they lie, so that
  // the words the user took away stay away there too.
  auto saves = std::make_shared<std::vector<LearnedFileSave>>();
  auto of_language = std::make_shared<std::vector<int>>();
  auto others = std::make_shared<std::vector<std::u16string>>();
  bool paths = true;
  for (int language = 0; language < kWordLanguageCount; ++language) {
    LanguageWords& words = WordsOf(language);
    std::u16string path;
    if (!LearnedWordsPath(&path, language)) {
      words.store.ForgetAll();
      paths = false;
    } else if (!words.keeping.words_read) {
      others->push_back(std::move(path));
    } else {
      saves->emplace_back();
      of_language->push_back(language);
      words.store.PrepareForgetAll(path, &saves->back());
    }
  }
  // Written after whatever the worker has under way, so that no older save lands after it;
  // the options program waits five seconds for the answer.
  auto written = std::make_shared<std::vector<bool>>(saves->size(), false);
  auto others_written = std::make_shared<bool>(true);
  auto finished = std::make_shared<bool>(false);
  platform::RunInBackground(
      [saves, written, others, others_written] {
        for (std::size_t i = 0; i < saves->size(); ++i) (*written)[i] = WriteLearnedFile((*saves)[i]);
        for (const std::u16string& path : *others) {
          if (!ForgetLearnedFile(path)) *others_written = false;
        }
      },
      [saves, written, finished, of_language] {
        *finished = true;
        for (std::size_t i = 0; i < saves->size(); ++i) {
          WordsOf((*of_language)[i]).store.SaveFinished((*saves)[i], (*written)[i]);
        }
      });
  platform::WaitForBackgroundWork(4000);
  return paths && *finished && *others_written &&
         std::all_of(written->begin(), written->end(), [](bool done) { return done; });
}

void LoadGlossary() {
  // Rows of a shown list point into the glossary about to be released.
  if (ShownListContent() == ListContent::kSuggestions) HideSuggestions();
  Record().candidates.clear();
  KeyboardGlossary().Release();

  char16_t path[kPathChars] = {};
  if (!GetStringSetting(StringSetting::kGlossaryFile, path, kPathChars)) {
    platform::ShowMessage(
        u"Can't find glossary file name\nNo glossary entries will be available\nPlease load a "
        u"glossary file",
        u"Quorel");
    return;
  }
  // The reader tells the user itself when the file cannot be opened.
  ReadGlossaryFile(KeyboardGlossary(), path);
}

namespace {

void ShowInputRefused(bool first_time) {
  ExpansionRecord& record = Record();
  // The letters never reached the window.
  record.word = Word();
  if (first_time) {
    record.candidates.clear();
    ShowListNotice(u"This window runs as administrator; Quorel cannot type into it");
  } else if (ShownListContent() != ListContent::kNotice) {
    HideSuggestions();
  }
}

}  // namespace

void InstallExpansionHooks() {
  OutputHooks& hooks = Hooks();
  hooks.input_refused = ShowInputRefused;
  hooks.track_typed_key = TrackTypedKey;
  hooks.typing_rules = [](std::uint16_t kind, std::uint16_t parameter) {
    return Record().tracking && ApplyTypingRules(kind, parameter, ListMayShow);
  };
  hooks.taking_back_start_key = TakingBackStartKey;
  hooks.expand = ExpandSelection;
  hooks.expansion_switch = SwitchExpansion;
}

void ResetExpansionForTest() {
  Record() = ExpansionRecord();
  ResetTypingRulesForTest();
  KeyboardGlossary().Release();
  Languages() = AllLanguages();
  PendingNotices() = Notices();
}

}  // namespace quorel::keyboard
