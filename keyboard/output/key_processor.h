// Key output: the one key processor every key goes through, the dispatcher that turns keys
// into injected input, and the text typer with its tokenizer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quorel::keyboard {

// Performs one key: forwarding to a waiting editor, word tracking, state changes and
// output. The argument belongs to the keys written with one (<wait>, <tap>, ...).
void ProcessKey(std::uint16_t kind, std::uint16_t parameter, std::u16string_view argument = {});
// A key asked for by another program with the produce-key message. A keyboard with
// uiAccess types into windows that run as administrator, where the user's other programs
// may not; performing their keys would lend them that right, so it performs none. Returns
// whether the key was performed.
bool ProduceKeyAskedByMessage(std::uint16_t kind, std::uint16_t parameter, bool ui_access);
// The output of a key without the processor's bookkeeping.
void Dispatch(std::uint16_t kind, std::uint16_t parameter, std::u16string_view argument = {});
// Types a text of characters and written key names. With `undo_start_key` the key that
// started the slide, already performed at pen down, is taken back first; with
// `space_after` a space follows a text that ends in a visible character.
void TypeText(std::uint16_t start_kind, std::uint16_t start_parameter, bool undo_start_key,
              bool space_after, std::u16string_view text);
// The character path: the layout's key with its shift state, or a Unicode input.
void SendCharacter(char16_t c);

// Clears the latched modifiers, accent and number modes and caps lock, releases Shift,
// Ctrl, Alt and the left Windows key on the system whatever their state, and reads the
// system's Num Lock and Scroll Lock; done when the sensor window is made and destroyed.
void ResetKeyboardState();

// Lets go of every latched modifier, in the keyboard's state and on the system; the accent
// and number modes stay. Done when the keyboard is hidden, minimised or the session ends.
void LetGoOfModifiers();

// One action of the user from start to end: a key, a slide's text, an expansion. Runs
// nest; the outermost starts with no refusal, and once the window in front refuses input
// nothing more of it is performed or sent.
class KeyRun {
 public:
  KeyRun();
  ~KeyRun();
  KeyRun(const KeyRun&) = delete;
  KeyRun& operator=(const KeyRun&) = delete;
};
// Whether the window in front refused input during the run going on, or during the last
// one when none is.
bool InputRefused();

// What the pen needs to know of a key, from the same table the processor walks.
struct PenFacts {
  bool at_pen_up = false;   // performed when the pen lifts, not when it lands
  bool repeats = false;     // repeats while the pen stays down on it
  bool window_key = false;  // acts on the keyboard window; never shown pressed
  bool state_key = false;   // a mode or latch, shown pressed while it is on
  bool on = false;          // a state key that is on now
};
PenFacts PenFactsOf(std::uint16_t kind);

struct Token {
  std::uint16_t kind = 0;
  std::uint16_t parameter = 0;
  std::u16string argument;
};
// The token at `*position`, advancing it; false at the end of the text, and where an
// argument has no closing form (the rest of the text is then ignored).
bool NextToken(std::u16string_view text, std::size_t* position, Token* token);

// What other parts of the keyboard do for keys the processor hands on. Unset hooks do
// nothing.
struct OutputHooks {
  // Asked first for every key the user types, outside a slide's text: the typing rules
  // (a capital after a sentence, a mark before the keyboard's space) may perform it
  // otherwise, and then say so.
  std::function<bool(std::uint16_t kind, std::uint16_t parameter)> typing_rules;
  // Reported first for every key performed (the glossary's word tracking).
  std::function<void(std::uint16_t kind, std::uint16_t parameter)> track_typed_key;
  // The <back> that comes next takes back the key typed at pen down, which a slide
  // replaces: the word being typed goes back to what it was before that key.
  std::function<void()> taking_back_start_key;
  // <expand>: accept the selected suggestion.
  std::function<void()> expand;
  // <expansion toggle>, <expansion on>, <expansion off>.
  std::function<void(std::uint16_t parameter)> expansion_switch;
  // Window placement keys: <close>, <hide>, <mini>, <show>, <dock>, <duo>, <maxiclient>,
  // <miniclient>, <move keyboard>, the rotation and size families, <sysmenu>, drag handle.
  std::function<void(std::uint16_t kind, std::uint16_t parameter, std::u16string_view argument)>
      window_action;
  // Programs, files and menu: <add>, <info>, <launch>, <load glossary>, <load slides>, help,
  // the options program and the slides font chooser.
  std::function<void(std::uint16_t kind, std::uint16_t parameter, std::u16string_view argument)>
      program_action;
  // The window in front refused the keyboard's input; the latches and keys are let go
  // already. `first_time`: the user has not been told of this window before.
  std::function<void(bool first_time)> input_refused;
};
OutputHooks& Hooks();

// Forgets the repeat count, the modifier scan codes and what was injected, as at process
// start.
void ResetOutputForTest();

}  // namespace quorel::keyboard
