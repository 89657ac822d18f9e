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
#include "library/completion/word_text.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "platform/drawing.h"
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

struct ExpansionRecord {
  std::u16string typed_word;
  // The last key was the high half of a pair, whose low half may follow as a key of its own.
  bool after_high = false;
  bool tracking = true;
  // A <back> went past the word's first letter: what is typed now is the end of a word
  // whose start the keyboard never saw, and is neither learned nor completed.
  bool start_unknown = false;
  std::vector<const GlossaryEntry*> candidates;
  // The whole words offered after the candidates, as they read once accepted.
  std::vector<std::u16string> completions;
  // The rows the list shows, top to bottom as they were added: a letter that leaves them
  // as they are (keyb, keybo) redoes nothing of the window.
  std::vector<std::pair<std::u16string, std::intptr_t>> shown_rows;
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

template <std::size_t N>
bool IsOneOf(std::uint16_t kind, const std::array<std::uint16_t, N>& kinds) {
  return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// A word the user ended with a space, a sign or Enter is one more use of it, unless
// learning is off or the control being typed into hides what is typed.
void LearnTypedWord() {
  std::u16string_view word = Record().typed_word;
  // "dogs'" is one more use of "dogs".
  while (!word.empty() && IsApostrophe(word.back())) word.remove_suffix(1);
  if (word.empty() || Record().start_unknown || GetOption(OptionId::kCompleteWords) == 0 ||
      GetOption(OptionId::kLearnWords) == 0 || platform::FocusedControlHidesText()) {
    return;
  }
  KeyboardWords().Learn(word);
}

void AppendLetter(char16_t c, std::size_t room) {
  std::u16string& word = Record().typed_word;
  // An unbroken run longer than the word can hold starts a new word with this letter.
  if (word.size() + room > kMaxTypedWord) word.clear();
  word.push_back(c);
}

void TrackCharacter(char16_t c) {
  const KeyboardState& state = State();
  if (state.control != 0 || state.alt != 0 || state.windows_key != 0) return;
  ExpansionRecord& record = Record();
  const bool after_high = record.after_high;
  record.after_high = false;
  if (IsLowSurrogate(c) && after_high) {
    record.typed_word.push_back(c);  // its room was kept with the high half
    return;
  }
  if (IsHighSurrogate(c)) {
    // The low half comes as a key of its own or travels with this one; either way the pair
    // is one letter, so room for both is kept and the pair is never split.
    AppendLetter(c, 2);
    record.after_high = true;
    return;
  }
  // An apostrophe after a letter stays in the word: "doesn't" is one word, not "doesn".
  if (IsApostrophe(c) && !record.typed_word.empty() &&
      platform::IsLetterOrDigit(record.typed_word.back())) {
    AppendLetter(c, 1);
    return;
  }
  if (!platform::IsLetterOrDigit(c)) {
    LearnTypedWord();
    record.typed_word.clear();
    record.start_unknown = false;
    return;
  }
  AppendLetter(c, 1);
}

void RemoveLastLetter() {
  std::u16string& word = Record().typed_word;
  Record().after_high = false;
  if (word.empty()) {
    Record().start_unknown = true;
    return;
  }
  // A pair goes whole; a high half alone stands for a pair that came as one key.
  std::size_t length = 1;
  if (word.size() >= 2 && IsLowSurrogate(word.back()) && IsHighSurrogate(word[word.size() - 2])) {
    length = 2;
  }
  word.resize(word.size() - length);
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
  const std::u16string& word = Record().typed_word;
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

}  // namespace

Glossary& KeyboardGlossary() {
  static Glossary glossary;
  return glossary;
}

WordStore& KeyboardWords() {
  static WordStore words;
  return words;
}

const std::u16string& TypedWord() { return Record().typed_word; }

void TrackTypedKey(std::uint16_t kind, std::uint16_t parameter) {
  ExpansionRecord& record = Record();
  if (GetOption(OptionId::kExpansion) == 2) {
    record.typed_word.clear();
    record.after_high = false;
    return;
  }
  if (!record.tracking) return;

  if (kind == kind::kCharacter) {
    TrackCharacter(static_cast<char16_t>(parameter));
    return;
  }
  if (kind == kind::kBack) {
    RemoveLastLetter();
    return;
  }
  if (IsOneOf(kind, kKeepWord)) return;
  if (kind == kind::kSpace || kind == kind::kEnter || kind == kind::kTab) LearnTypedWord();
  record.typed_word.clear();
  record.after_high = false;
  record.start_unknown = false;
  if (IsOneOf(kind, kHideSuggestions)) HideSuggestions();
}

void ForgetTypedWord() {
  ExpansionRecord& record = Record();
  record.typed_word.clear();
  record.after_high = false;
  record.start_unknown = false;
  HideSuggestions();
}

void RefreshSuggestions() {
  // The notice of a refusing window stays while the keys still meet the refusal.
  if (ShownListContent() == ListContent::kNotice && InputRefused()) return;
  ExpansionRecord& record = Record();
  const std::u16string& word = record.typed_word;
  if (word.empty() ||
      static_cast<std::int64_t>(word.size()) < GetOption(OptionId::kNbLettersForSuggest)) {
    HideSuggestions();
    return;
  }

  // What there is to offer is found first; the room around the keyboard, which asks the
  // system, only once there is something to show.
  // Bisection to the first short form at or after the word, then forward only while short
  // forms still begin with it: a large glossary is never walked whole.
  record.candidates.clear();
  const Glossary& glossary = KeyboardGlossary();
  for (int index = glossary.LowerBound(word);
       index < glossary.Count() && record.candidates.size() < kMostRows; ++index) {
    const GlossaryEntry* entry = glossary.At(index);
    if (entry == nullptr || !BeginsWith(entry->short_form, word)) break;
    record.candidates.push_back(entry);
  }
  record.completions.clear();
  if (GetOption(OptionId::kCompleteWords) != 0 && !record.start_unknown) {
    record.completions =
        KeyboardWords().Completions(word, GetOption(OptionId::kCompletionsShown));
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
  const int backspaces = LetterCount(record.typed_word);
  // Copied before any key runs: the keys below may reach code that changes the glossary.
  const std::u16string text = InTypedCase(entry->long_form);
  HideSuggestions();
  const KeyRun run;

  record.tracking = false;
  for (int i = 0; i < backspaces; ++i) ProcessKey(kind::kBack, 0);
  TypeText(0, 0xFF, false, GetOption(OptionId::kSpaceAfterExpansion) == 1, text);
  record.tracking = true;

  record.typed_word.clear();
  record.after_high = false;
  record.start_unknown = false;
  RefreshAfterKeys();
}

void AcceptCompletion(std::u16string word) {
  ExpansionRecord& record = Record();
  // Only the letters not typed yet: what the user typed stays as typed.
  const std::u16string missing = MissingLetters(record.typed_word, word);
  HideSuggestions();
  const KeyRun run;
  const bool space = GetOption(OptionId::kSpaceAfterExpansion) == 1;
  record.tracking = false;
  TypeText(0, 0xFF, false, space, missing);
  record.tracking = true;
  record.after_high = false;
  // The word as the application now shows it. Ended by the space, it is one more use of
  // it; without one it goes on: "keyboard" and then "ing" is "keyboarding".
  record.typed_word += missing;
  if (space) {
    LearnTypedWord();
    record.typed_word.clear();
  }
  RefreshAfterKeys();
}

void RefreshAfterKeys() {
  RefreshPanels(false);
  RefreshToggleHighlights();
  RefreshSuggestions();
}

void ExpandSelection() {
  const int row = platform::ListSelectedRow(Windows().list);
  if (const GlossaryEntry* entry = SuggestionAt(row)) {
    AcceptSuggestion(entry);
  } else if (const std::u16string* word = CompletionAt(row)) {
    AcceptCompletion(*word);  // a copy: accepting clears the list it lies in
  }
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
  ExpandSelection();
}

namespace {
// The lists are read once the keyboard is up; what asks for a change before that reads
// them first, so that the reading does not bring back what the change took away.
bool words_read = false;
}  // namespace

void ListSwiped(int row) {
  const std::u16string* word = CompletionAt(row);
  if (word == nullptr) return;
  KeyboardWords().Forget(*word);
  RefreshSuggestions();
}

void LoadWords() {
  WordStore& words = KeyboardWords();
  words.Clear();
  words_read = true;
  std::u16string path;
  // Without the shipped list the keyboard still learns the user's words.
  if (BaseWordsPath(&path)) words.ReadBase(path);
  if (LearnedWordsPath(&path)) words.ReadLearned(path);
}

void SaveLearnedWords() {
  WordStore& words = KeyboardWords();
  std::u16string path;
  if (words.HasUnsavedChanges() && LearnedWordsPath(&path)) words.SaveLearned(path);
}

bool ForgetLearnedWords() {
  if (!words_read) LoadWords();
  if (ShownListContent() == ListContent::kSuggestions) HideSuggestions();
  std::u16string path;
  if (!LearnedWordsPath(&path)) {
    KeyboardWords().ForgetAll();
    return false;
  }
  return KeyboardWords().ForgetAllInFile(path);
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
  record.typed_word.clear();
  record.after_high = false;
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
  hooks.expand = ExpandSelection;
  hooks.expansion_switch = SwitchExpansion;
}

void ResetExpansionForTest() {
  Record() = ExpansionRecord();
  KeyboardGlossary().Release();
  KeyboardWords().Clear();
  words_read = false;
}

}  // namespace quorel::keyboard
