// Glossary expansion: the word being typed, the suggestions for it in the preview list,
// and the replacement of the typed short form by a chosen long form.
#pragma once

#include <cstdint>
#include <string>

#include "library/completion/word_store.h"
#include "library/glossary/glossary.h"

namespace quorel::keyboard {

// The keyboard's glossary.
Glossary& KeyboardGlossary();
// The words it completes: the base list and what the user taught it.
WordStore& KeyboardWords();
// The words of the language typed in now: the input language of the window typed into, or
// the one the options fix. Its lists are read when first wanted.
WordStore& WordsOfInput();
// Types the letters of the completion not typed yet, and learns it.
void AcceptCompletion(std::u16string word);
const std::u16string& TypedWord();

// Reported by the key processor for every key it performs, before the key takes effect.
void TrackTypedKey(std::uint16_t kind, std::uint16_t parameter);
// After every pen up and every key asked for by another program: the suggestions for the
// typed word, or no list when it is too short or matches nothing.
void RefreshSuggestions();
// Forgets the word being typed and hides its suggestions: the user's text may no longer be
// where the keyboard left it, and what is typed next is the end of a word the keyboard did
// not see begin. The program calls it for what the user does elsewhere: a press of the
// mouse or pen outside the keyboard's windows, a key typed on a hardware keyboard, another
// window in front or another control focused. These are events, never a look at the
// caret: an application busy with the last keys shows a caret that is still on its way.
void ForgetTypedWord();
// UI Automation answered whether the focused control hides its text: the suggestions the
// answer held back may show.
void FocusAnswerArrived();
// The key typed at pen down is about to be taken back by a slide.
void TakingBackStartKey();
// After keys: the panels shown, the toggle keys' highlights and the suggestions, as the
// keys left them.
void RefreshAfterKeys();
// Replaces the typed word in the application by the entry's long form.
void AcceptSuggestion(const GlossaryEntry* entry);
// <expand>: the selected row of the list, if any.
void ExpandSelection();
// <expansion toggle> (1), <expansion on> (2), <expansion off> (3).
void SwitchExpansion(std::uint16_t parameter);
// A tap on a row of the preview list (pen up); ignored when no row is selected or the row
// holds no suggestion.
void ListTapped();
// A slide of the pen across a row of the list: the completion it holds is never offered
// again (until the user types it), and the list shows what is left for the typed word.
// Rows of the glossary's candidates are the editor's to change and stay.
void ListSwiped(int row);
// Releases the glossary and reads the file "Glossary file" names.
void LoadGlossary();
// Reads the shipped base list and the words the user taught the keyboard.
void LoadWords();
// Writes the learned words when they changed since the last save, off the pen's thread: on
// a timer. A file that could not be read is read again instead, and written only then.
void SaveLearnedWords();
// At exit: the same, waiting for the reading and writing at most this long in all.
void SaveLearnedWordsAtExit(std::uint32_t patience_ms);
// Every word learned from the user's typing goes, from memory and from the file; the words
// the user removed stay removed. False when the file could not be written.
bool ForgetLearnedWords();

// Sets the output hooks this part answers (word tracking, <expand>, the expansion keys).
void InstallExpansionHooks();

void ResetExpansionForTest();

}  // namespace quorel::keyboard
