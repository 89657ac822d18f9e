#include "keyboard/expansion/typing_rules.h"

#include "keyboard/key_kinds.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/keyboard_state.h"
#include "library/options/options.h"
#include "platform/input.h"
#include "platform/text.h"

namespace quorel::keyboard {

namespace {

struct Rules {
  TextBeforeCaret text;
  bool space_added = false;  // the last key was the keyboard's space after a text
  bool declined = false;     // the user tapped that Shift away; until the next key
  bool applying = false;     // the rules' own keys go through unchanged
  // What takes back the keys the rules typed for the user's last key, when more than the
  // one <back> a slide sends for the key typed at pen down; and whether it is coming.
  std::u16string undo;
  bool taking_back = false;
};

Rules& TheRules() {
  static Rules rules;
  return rules;
}

bool IsSentenceEnd(char16_t c) { return c == u'.' || c == u'!' || c == u'?'; }

// Marks that follow a word: typed after the keyboard's space, they take its place.
bool FollowsWord(char16_t c) {
  return c == u',' || c == u'.' || c == u'!' || c == u'?' || c == u':' || c == u';' ||
         c == u')';
}

// French puts a space before these, so the keyboard's space stays where it is.
bool SpacedInFrench(char16_t c) { return c == u'!' || c == u'?' || c == u':' || c == u';'; }
constexpr std::uint16_t kPrimaryFrench = 0x0C;

// The capital is the keyboard's own: the system's Shift never knew of it.
void DropCapital() { State().capital = 0; }

// Keys the rules type in place of the user's: each still passes the word tracking and the
// rest of the processor, as if the user had typed it.
void TypeInstead(std::u16string_view keys) {
  Rules& rules = TheRules();
  rules.applying = true;
  for (char16_t c : keys) {
    if (c == u'\b') {
      ProcessKey(kind::kBack, 0);
    } else if (c == u' ') {
      ProcessKey(kind::kSpace, 0);
    } else {
      ProcessKey(kind::kCharacter, c);
    }
  }
  rules.applying = false;
}

}  // namespace

void TextBeforeCaret::Key(std::uint16_t kind, std::uint16_t parameter, bool keeps,
                          bool shortcut) {
  char16_t added = 0;
  if (kind == kind::kCharacter && !shortcut) added = static_cast<char16_t>(parameter);
  if (kind == kind::kSpace) added = u' ';
  if (kind == kind::kEnter) added = u'\n';
  if (kind == kind::kTab) added = u'\t';
  if (added != 0) {
    // Typed at an unknown place, the character is still known to stand before the caret.
    if (!known_) text_.clear();
    known_ = true;
    text_.push_back(added);
    if (text_.size() > kKept) text_.erase(0, text_.size() - kKept);
    return;
  }
  if (kind == kind::kBack && known_ && !text_.empty()) {
    text_.pop_back();
    // What stood before the kept characters is not known.
    if (text_.empty()) known_ = false;
    return;
  }
  if (!keeps) Forget();
}

bool TextBeforeCaret::EndsSentence() const {
  if (!known_ || text_.empty()) return false;
  if (text_.back() == u'\n') return true;
  const std::size_t last = text_.find_last_not_of(u' ');
  return last != std::u16string::npos && last + 1 < text_.size() && IsSentenceEnd(text_[last]);
}

bool TextBeforeCaret::EndsWordAndSpace() const {
  const std::size_t n = text_.size();
  return known_ && n >= 2 && text_[n - 1] == u' ' && platform::IsLetterOrDigit(text_[n - 2]);
}

void NoteKeyForTypingRules(std::uint16_t kind, std::uint16_t parameter, bool keeps) {
  Rules& rules = TheRules();
  const KeyboardState& state = State();
  const bool shortcut = state.control != 0 || state.alt != 0 || state.windows_key != 0;
  rules.text.Key(kind, parameter, keeps, shortcut);
  rules.space_added = false;
  rules.declined = false;
  if (!rules.applying) rules.undo.clear();
}

void TakingBackForTypingRules() { TheRules().taking_back = true; }

void ForgetTextBeforeCaret() {
  Rules& rules = TheRules();
  rules.text.Forget();
  rules.space_added = false;
  rules.declined = false;
  rules.undo.clear();
  DropCapital();
}

void NoteSpaceAdded() {
  Rules& rules = TheRules();
  const std::u16string_view text = rules.text.Text();
  rules.space_added = rules.text.Known() && !text.empty() && text.back() == u' ';
}

bool ApplyTypingRules(std::uint16_t kind, std::uint16_t parameter, MayLook may_look) {
  Rules& rules = TheRules();
  if (rules.applying) return false;
  if (rules.taking_back && kind == kind::kBack) {
    // A slide takes back the key typed at pen down: all the rules typed for it goes, and
    // what it took away comes back.
    rules.taking_back = false;
    if (!rules.undo.empty()) {
      const std::u16string undo = std::move(rules.undo);
      rules.undo.clear();
      TypeInstead(undo);
      return true;
    }
  }
  if (State().typing_text != 0) return false;
  rules.undo.clear();
  if (CapitalPending()) {
    DropCapital();
    if (kind == kind::kShift) {
      // Declined with one tap: nothing reaches the system, and the letter stays small.
      rules.declined = true;
      return true;
    }
    if (kind == kind::kCharacter) {
      const char16_t c = static_cast<char16_t>(parameter);
      const std::u16string upper = platform::ToUpper(std::u16string_view(&c, 1));
      if (upper.size() == 1 && upper[0] != c) {
        TypeInstead(upper);
        return true;
      }
    }
  }
  if (!rules.text.Known()) return false;
  const std::u16string_view text = rules.text.Text();
  if (kind == kind::kCharacter && rules.space_added && FollowsWord(static_cast<char16_t>(parameter)) &&
      !text.empty() && text.back() == u' ' && may_look()) {
    const char16_t mark = static_cast<char16_t>(parameter);
    const bool french = platform::PrimaryLanguage(platform::ForegroundInputLanguage()) == kPrimaryFrench;
    if (french && SpacedInFrench(mark)) return false;
    TypeInstead(std::u16string{u'\b', mark, u' '});
    rules.undo = u"\b\b ";
    return true;
  }
  if (kind == kind::kSpace && GetOption(OptionId::kPeriodWithTwoSpaces) != 0 &&
      rules.text.EndsWordAndSpace() && may_look()) {
    TypeInstead(u"\b. ");
    rules.undo = u"\b\b ";
    return true;
  }
  return false;
}

void CapitalAfterKeys(MayLook may_look) {
  Rules& rules = TheRules();
  KeyboardState& state = State();
  if (CapitalPending() || rules.declined || !rules.text.EndsSentence() ||
      GetOption(OptionId::kCapitalAfterSentence) == 0) {
    return;
  }
  // The user's own Shift, Caps Lock, a shortcut on its way or another panel decide instead.
  if (state.shift != 0 || state.caps_lock != 0 || state.control != 0 || state.alt != 0 ||
      state.windows_key != 0 || state.number_mode != 0 || state.accent_mode != 0) {
    return;
  }
  if (may_look()) state.capital = 1;
}

bool CapitalPending() { return State().capital != 0; }

void ResetTypingRulesForTest() { TheRules() = Rules(); }

}  // namespace quorel::keyboard
