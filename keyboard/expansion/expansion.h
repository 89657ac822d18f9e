// Glossary expansion: the word being typed, the suggestions for it in the preview list,
// and the replacement of the typed short form by a chosen long form.
#pragma once

#include <cstdint>
#include <string>

#include "library/glossary/glossary.h"

namespace quorel::keyboard {

// How long after the keys the caret is followed, and how often it is looked at: an
// application takes a key within milliseconds.
constexpr std::uint32_t kCaretWaitLimitMs = 60;
constexpr std::uint32_t kCaretPollMs = 5;

// The keyboard's glossary.
Glossary& KeyboardGlossary();
const std::u16string& TypedWord();

// Reported by the key processor for every key it performs, before the key takes effect.
void TrackTypedKey(std::uint16_t kind, std::uint16_t parameter);
// After every pen up and every key asked for by another program: the suggestions for the
// typed word, or no list when it is too short or matches nothing.
void RefreshSuggestions();
// Forgets the word being typed and hides its suggestions: the user's text is no longer
// where the keyboard left it (another window came to the front, the caret moved).
void ForgetTypedWord();
// At pen down and at a tap on the list: a caret that is no longer where the keyboard's last
// keys left it (the user tapped elsewhere in the text) ends the word.
void CheckCaret();
// After the keys: follows the caret until the application has moved it, and keeps where it
// stopped as the end of the typed word.
void NoteCaret();
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
// Releases the glossary and reads the file "Glossary file" names.
void LoadGlossary();

// Sets the output hooks this part answers (word tracking, <expand>, the expansion keys).
void InstallExpansionHooks();

void ResetExpansionForTest();

}  // namespace quorel::keyboard
