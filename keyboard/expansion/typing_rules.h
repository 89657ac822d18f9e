// Typing that reads as a person writes: a capital after the end of a sentence, a mark in
// its place before the space the keyboard added, and a full stop from two spaces. They
// work only from what the keyboard itself typed since the caret last moved, and never
// where the text is hidden or the keyboard may not look.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorel::keyboard {

// The last characters the keyboard typed since the caret last moved: the text just before
// the caret, as far as the keyboard knows it.
class TextBeforeCaret {
 public:
  static constexpr std::size_t kKept = 8;

  // A key performed: characters, spaces, Enter and Tab are added, <back> takes one away,
  // `keeps` keys change nothing, any other key moves the caret somewhere unknown.
  void Key(std::uint16_t kind, std::uint16_t parameter, bool keeps, bool shortcut);
  void Forget() { known_ = false, text_.clear(); }
  bool Known() const { return known_; }
  std::u16string_view Text() const { return text_; }
  // ". ", "! ", "? " (with any number of spaces) or a new line ends it.
  bool EndsSentence() const;
  // A word's last letter or digit and one space: a second space makes a full stop.
  bool EndsWordAndSpace() const;

 private:
  bool known_ = false;
  std::u16string text_;
};

// Reported by the word tracking for every key the processor performs, before it acts.
void NoteKeyForTypingRules(std::uint16_t kind, std::uint16_t parameter, bool keeps);
// The <back> that comes next takes back the key typed at pen down, which a slide replaces.
void TakingBackForTypingRules();
// The caret went where the keyboard cannot follow.
void ForgetTextBeforeCaret();
// The space that ends the text just typed (a completion, an expansion) was the keyboard's.
void NoteSpaceAdded();
// Whether the keyboard may look at what is typed into the focused control now; asked only
// when a rule could act, since it asks the system.
using MayLook = bool (*)();
// Before a key the user typed; `may_look` when the keyboard may look at what is typed into
// the focused control. True when the rules performed the key themselves.
bool ApplyTypingRules(std::uint16_t kind, std::uint16_t parameter, MayLook may_look);
// When the keys are done: after the end of a sentence the next letter comes as a capital,
// Shift shown latched (a tap on it declines).
void CapitalAfterKeys(MayLook may_look);
// Whether Shift is latched for the capital of a new sentence, not by the user.
bool CapitalPending();

void ResetTypingRulesForTest();

}  // namespace quorel::keyboard
