// The text typer: slide and glossary texts with special keys written by name among the
// characters.

#include <string>

#include "keyboard/key_kinds.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/output/output_internal.h"
#include "keyboard/panels/keyboard_state.h"
#include "library/keys/key_table.h"
#include "library/strings/strutils.h"

namespace quorel::keyboard {

namespace {

char16_t AsciiUpper(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Names are stored in lower case; a text may write them in any case.
bool StartsWithName(std::u16string_view text, std::u16string_view name) {
  if (text.size() < name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (FoldAz(text[i]) != name[i]) return false;
  }
  return true;
}

bool IsWhiteSpace(char16_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// Takes back a key performed at pen down before the slide's text replaces it.
void UndoStartKey(std::uint16_t start_kind, std::uint16_t start_parameter) {
  switch (start_kind) {
    case kind::kCharacter:
    case kind::kSpace:
    case kind::kTab:
      if (Hooks().taking_back_start_key) Hooks().taking_back_start_key();
      ProcessKey(kind::kBack, 0);
      break;
    case kind::kNumbers:
      ProcessKey(kind::kLetters, 0);
      break;
    case kind::kLetters:
      ProcessKey(kind::kNumbers, 0);
      break;
    case kind::kAccents:
      ProcessKey(kind::kArrows, 0);
      break;
    case kind::kArrows:
      ProcessKey(kind::kAccents, 0);
      break;
    case kind::kAcute:
    case kind::kCaps:
    case kind::kCircum:
    case kind::kGrave:
    case kind::kUmlaut:
      ProcessKey(start_kind, start_parameter);  // they toggle back
      break;
    default:
      break;
  }
}

}  // namespace

bool NextToken(std::u16string_view text, std::size_t* position, Token* token) {
  if (position == nullptr || token == nullptr || *position >= text.size()) return false;
  const std::u16string_view rest = text.substr(*position);
  *token = Token();
  if (rest[0] == u'<') {
    for (const SpecialKey* key = SpecialKeyTable(); key->name != nullptr; ++key) {
      const std::u16string_view name = key->name;
      if (!StartsWithName(rest, name)) continue;
      token->kind = key->kind;
      token->parameter = key->parameter;
      if (key->takes_argument == 0) {
        *position += name.size();
        return true;
      }
      std::u16string closing = u"</" + std::u16string(name.substr(1));
      std::size_t end = rest.find(closing, name.size());
      if (end == std::u16string_view::npos) {
        for (char16_t& c : closing) c = AsciiUpper(c);
        end = rest.find(closing, name.size());
      }
      std::size_t terminator = closing.size();
      if (end == std::u16string_view::npos) {
        end = rest.find(u';', name.size());
        terminator = 1;
      }
      if (end == std::u16string_view::npos) {
        *position = text.size();
        return false;
      }
      token->argument = rest.substr(name.size(), end - name.size());
      *position += end + terminator;
      return true;
    }
  }
  token->kind = kind::kCharacter;
  token->parameter = rest[0];
  // Both halves of a character beyond U+FFFF make one key, so they go out together.
  if (output::IsHighSurrogate(rest[0]) && rest.size() > 1 && output::IsLowSurrogate(rest[1])) {
    token->argument = rest.substr(1, 1);
    *position += 2;
  } else {
    *position += 1;
  }
  return true;
}

void TypeText(std::uint16_t start_kind, std::uint16_t start_parameter, bool undo_start_key,
              bool space_after, std::u16string_view text) {
  // The keys of the text may replace the slide set or glossary the text lives in.
  const std::u16string copy(text);
  const KeyRun run;
  KeyboardState& state = State();
  LetGoOfModifiers();
  // A text may start another (an <expand> among its keys); the outer one is still typing.
  const int was_typing = state.typing_text;
  state.typing_text = 1;
  if (undo_start_key) UndoStartKey(start_kind, start_parameter);

  bool ends_in_visible_character = false;
  bool latched_before_last = false;
  std::size_t position = 0;
  Token token;
  while (NextToken(copy, &position, &token)) {
    latched_before_last = state.control != 0 || state.alt != 0 || state.windows_key != 0;
    ProcessKey(token.kind, token.parameter, token.argument);
    ends_in_visible_character = token.kind == kind::kCharacter && !IsWhiteSpace(token.parameter);
  }
  if (space_after && ends_in_visible_character && !latched_before_last) {
    ProcessKey(kind::kSpace, 0);
  }
  state.typing_text = was_typing;
}

}  // namespace quorel::keyboard
