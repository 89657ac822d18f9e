// The key processor and the dispatcher. One row per key kind says what the processor does
// to the keyboard state and what the dispatcher sends; the code below only walks the rows.

#include "keyboard/output/key_processor.h"

#include <array>
#include <span>

#include "keyboard/key_kinds.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/output/output_internal.h"
#include "keyboard/panels/keyboard_state.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "platform/input.h"
#include "platform/screen.h"
#include "platform/text.h"
#include "platform/window.h"

namespace quorel::keyboard {

namespace {

// What a waiting editor gets of a key: nothing, a copy, or the key itself.
enum class Forward : std::uint8_t { kNo, kPost, kTake };

// What the processor does before or instead of dispatching.
enum class Effect : std::uint8_t {
  kDispatch,
  kNothing,
  kAccent,  // value: the accent mode it switches to or from
  kCaps,
  kLatch,  // flip the row's flag, then dispatch its press or release
  kNumbers,
  kLetters,
  kAccentKeys,
  kArrowKeys,
  kOrdinary,  // dispatch, then the one-shot modifiers are used up
  kTab,
  kWideLeft,
  kWideRight,
  kCaseChange,
  kDate,  // value: the date format flags
  kTime,  // value: the time format flags
  kExpand,
};

// What the dispatcher sends.
enum class Output : std::uint8_t {
  kNothing,
  kModifier,   // held system key that mirrors the row's flag
  kCharacter,  // the row's character, or the parameter for a character key
  kKeyPair,
  kKeyFamily,  // key pair of family[parameter]; 0 there is no key
  kLock,       // key pair when the row's flag and the system toggle differ
  kTap,
  kWait,
  kSymbols,
  kWindow,
  kProgram,
  kExpansion,
};

// When the pen performs the key.
enum class Moment : std::uint8_t { kPenDown, kPenUp, kAsOptionSays };

struct KeyRow {
  Forward forward = Forward::kNo;
  Effect effect = Effect::kDispatch;
  Output output = Output::kNothing;
  std::uint8_t vk = 0;
  bool extended = false;
  char16_t character = 0;
  int KeyboardState::*flag = nullptr;
  std::span<const std::uint8_t> family{};
  std::uint32_t value = 0;
  // What the pen does with the key.
  Moment moment = Moment::kPenDown;
  bool repeats = false;     // repeats while the pen stays down on it
  bool window_key = false;  // acts on the keyboard window; never shown pressed
};

constexpr std::uint8_t kBrowserKeys[] = {0, 166, 171, 167, 172, 168, 170, 169};
constexpr std::uint8_t kVolumeKeys[] = {0, 174, 173, 175};
constexpr std::uint8_t kNumpadKeys[] = {96, 97, 98, 99, 100, 101, 102, 103, 104, 105};
constexpr auto kFunctionKeys = [] {
  std::array<std::uint8_t, 25> keys{};
  for (std::uint8_t n = 1; n < keys.size(); ++n) keys[n] = static_cast<std::uint8_t>(111 + n);
  return keys;
}();

constexpr auto kKeys = [] {
  using F = Forward;
  using E = Effect;
  using O = Output;
  namespace k = kind;
  std::array<KeyRow, k::kLastKind + 1> t{};
  // clang-format off
  t[0] = {.effect = E::kNothing};
  t[k::kAcute] = {.forward = F::kPost, .effect = E::kAccent, .value = 1};
  t[k::kAdd] = {.forward = F::kTake, .output = O::kProgram};
  t[k::kAlt] = {.effect = E::kLatch, .output = O::kModifier, .vk = output::kVkMenu,
                .flag = &KeyboardState::alt};
  t[k::kBack] = {.forward = F::kPost, .effect = E::kOrdinary, .output = O::kCharacter,
                 .character = 0x08};
  t[k::kBrowser] = {.output = O::kKeyFamily, .extended = true, .family = kBrowserKeys};
  t[k::kCaps] = {.forward = F::kPost, .effect = E::kCaps, .flag = &KeyboardState::caps_lock};
  t[k::kCaseChange] = {.effect = E::kCaseChange};
  t[k::kCharacter] = {.effect = E::kOrdinary, .output = O::kCharacter};
  t[k::kCircum] = {.forward = F::kPost, .effect = E::kAccent, .value = 2};
  t[k::kClose] = {.forward = F::kTake, .output = O::kWindow};
  t[k::kContextMenu] = {.output = O::kKeyPair, .vk = 0x5D, .extended = true};
  t[k::kControl] = {.forward = F::kPost, .effect = E::kLatch, .output = O::kModifier,
                    .vk = output::kVkControl, .flag = &KeyboardState::control};
  t[k::kDelete] = {.effect = E::kOrdinary, .output = O::kKeyPair, .vk = 0x2E, .extended = true};
  t[k::kDock] = {.output = O::kWindow};
  t[k::kDown] = {.output = O::kKeyPair, .vk = 0x28, .extended = true};
  t[k::kDragHandle] = {.output = O::kWindow};
  t[k::kDuo] = {.output = O::kWindow};
  t[k::kEnd] = {.output = O::kKeyPair, .vk = 0x23, .extended = true};
  t[k::kEnter] = {.forward = F::kPost, .effect = E::kOrdinary, .output = O::kCharacter,
                  .character = 0x0D};
  t[k::kEsc] = {.forward = F::kPost, .effect = E::kOrdinary, .output = O::kKeyPair, .vk = 0x1B};
  t[k::kExpand] = {.forward = F::kTake, .effect = E::kExpand};
  t[k::kExpansion] = {.output = O::kExpansion};
  t[k::kQuorel] = {.forward = F::kPost};
  t[k::kHelp] = {.output = O::kProgram};
  t[k::kSize] = {.output = O::kWindow};
  t[k::kFunction] = {.effect = E::kOrdinary, .output = O::kKeyFamily, .family = kFunctionKeys};
  t[k::kGrave] = {.forward = F::kPost, .effect = E::kAccent, .value = 3};
  t[k::kHide] = {.forward = F::kTake, .output = O::kWindow};
  t[k::kHome] = {.output = O::kKeyPair, .vk = 0x24, .extended = true};
  t[k::kInfo] = {.forward = F::kTake, .output = O::kProgram};
  t[k::kInsert] = {.output = O::kKeyPair, .vk = 0x2D, .extended = true};
  t[k::kLaunch] = {.output = O::kProgram};
  t[k::kLeft] = {.forward = F::kTake, .output = O::kKeyPair, .vk = 0x25, .extended = true};
  t[k::kLoadGlossary] = {.output = O::kProgram};
  t[k::kChooseGlossary] = {.output = O::kProgram};
  t[k::kLoadSlides] = {.output = O::kProgram};
  t[k::kChooseSlides] = {.output = O::kProgram};
  t[k::kLongDate] = {.effect = E::kDate, .value = 2};
  t[k::kLongTime] = {.effect = E::kTime, .value = 0};
  t[k::kMaxiClient] = {.output = O::kWindow};
  t[k::kMiniClient] = {.output = O::kWindow};
  t[k::kMini] = {.forward = F::kTake, .effect = E::kOrdinary, .output = O::kWindow};
  t[k::kMoveKeyboard] = {.output = O::kWindow};
  t[k::kNoAction] = {.effect = E::kNothing};
  t[k::kNumLock] = {.effect = E::kLatch, .output = O::kLock, .vk = 0x90, .extended = true,
                    .flag = &KeyboardState::num_lock};
  t[k::kNumpad] = {.output = O::kKeyFamily, .family = kNumpadKeys};
  t[k::kOptionsProgram] = {.output = O::kProgram};
  t[k::kPageDown] = {.output = O::kKeyPair, .vk = 0x22, .extended = true};
  t[k::kPageUp] = {.output = O::kKeyPair, .vk = 0x21, .extended = true};
  t[k::kPause] = {.effect = E::kOrdinary, .output = O::kKeyPair, .vk = 0x13};
  t[k::kChooseFont] = {.output = O::kProgram};
  t[k::kPrintScreen] = {.effect = E::kOrdinary, .output = O::kKeyPair, .vk = 0x2C,
                        .extended = true};
  t[k::kRight] = {.forward = F::kTake, .output = O::kKeyPair, .vk = 0x27, .extended = true};
  t[k::kRotate] = {.output = O::kWindow};
  t[k::kScrollLock] = {.effect = E::kLatch, .output = O::kLock, .vk = 0x91, .extended = true,
                       .flag = &KeyboardState::scroll_lock};
  t[k::kShift] = {.forward = F::kPost, .effect = E::kLatch, .output = O::kModifier,
                  .vk = output::kVkShift, .flag = &KeyboardState::shift};
  t[k::kShortDate] = {.effect = E::kDate, .value = 1};
  t[k::kShortTime] = {.effect = E::kTime, .value = 2};
  t[k::kNumbers] = {.forward = F::kPost, .effect = E::kNumbers};
  t[k::kLetters] = {.forward = F::kPost, .effect = E::kLetters};
  t[k::kAccents] = {.forward = F::kPost, .effect = E::kAccentKeys};
  t[k::kArrows] = {.forward = F::kPost, .effect = E::kArrowKeys};
  t[k::kShow] = {.output = O::kWindow};
  t[k::kSpace] = {.forward = F::kPost, .effect = E::kOrdinary, .output = O::kCharacter,
                  .character = 0x20};
  t[k::kSymbols] = {.output = O::kSymbols};
  t[k::kSysMenu] = {.forward = F::kTake, .output = O::kWindow};
  t[k::kTab] = {.forward = F::kPost, .effect = E::kTab, .output = O::kCharacter,
                .character = 0x09};
  t[k::kTap] = {.output = O::kTap};
  t[k::kUmlaut] = {.forward = F::kPost, .effect = E::kAccent, .value = 4};
  t[k::kUp] = {.output = O::kKeyPair, .vk = 0x26, .extended = true};
  t[k::kVolume] = {.output = O::kKeyFamily, .extended = true, .family = kVolumeKeys};
  t[k::kWait] = {.output = O::kWait};
  t[k::kWideLeft] = {.forward = F::kTake, .effect = E::kWideLeft};
  t[k::kWideRight] = {.forward = F::kTake, .effect = E::kWideRight};
  t[k::kWindowsKey] = {.effect = E::kLatch, .output = O::kModifier, .vk = output::kVkLeftWindows,
                       .flag = &KeyboardState::windows_key};
  // clang-format on
  for (auto key : {k::kAdd, k::kBack, k::kClose, k::kEnter, k::kEsc, k::kExpand, k::kHide,
                   k::kInfo, k::kLeft, k::kMini, k::kRight, k::kShow, k::kSysMenu, k::kTab,
                   k::kWideLeft, k::kWideRight}) {
    t[key].moment = Moment::kPenUp;
  }
  t[k::kCharacter].moment = t[k::kSpace].moment = Moment::kAsOptionSays;
  for (auto key : {k::kBack, k::kCharacter, k::kDown, k::kEnter, k::kLeft, k::kRight, k::kSpace,
                   k::kTab, k::kUp, k::kWideLeft, k::kWideRight}) {
    t[key].repeats = true;
  }
  for (auto key : {k::kClose, k::kDragHandle, k::kQuorel, k::kMini, k::kSysMenu}) {
    t[key].window_key = true;
  }
  return t;
}();

// The latched modifiers in the order they are let go.
constexpr std::uint16_t kModifierKinds[] = {kind::kShift, kind::kControl, kind::kAlt,
                                            kind::kWindowsKey};

struct RepeatCount {
  int last_kind = -1;
  unsigned count = 0;
};

RepeatCount& Repeat() {
  static RepeatCount repeat;
  return repeat;
}

void CountRepeat(std::uint16_t kind) {
  RepeatCount& repeat = Repeat();
  if (repeat.last_kind == kind) {
    if (repeat.count < 1000) ++repeat.count;  // only 1, 2 and more tell keys apart
  } else {
    repeat.last_kind = kind;
    repeat.count = 1;
  }
}

// Posts the key to the editor when its special-key box waits for keys; true when the
// editor takes it instead of the application.
bool ForwardToEditor(std::uint16_t kind, std::uint16_t parameter, Forward forward) {
  if (forward == Forward::kNo) return false;
  const std::uint32_t message = EditorSpecialKeyMessage();
  if (message == 0) return false;
  const platform::WindowHandle editor = EditorDialog();
  // Any program can name a window in the shared block: an administrator's window never gets
  // the user's keys this way, which a keyboard allowed past the system's filter could post.
  if (editor == 0 || !platform::IsLiveWindow(editor) || platform::RunsAboveThisProgram(editor)) {
    return false;
  }
  platform::PostMessageTo(editor, message, kind, parameter);
  return forward == Forward::kTake;
}

void ReleaseOneShotModifiers() {
  State().accent_mode = 0;
  LetGoOfModifiers();
}

// The latched shift reaches the application only with space, enter, tab and backspace;
// every other character brings its own shift state from the layout. A text typer that
// latched shift itself means it for the characters that follow.
void ApplyShiftRule(char16_t c) {
  const KeyboardState& state = State();
  if (state.shift == 0 || state.typing_text != 0) return;
  if (c == 0x20 || c == 0x0D || c == 0x09 || c == 0x08) return;
  output::SendModifierEvent(output::kVkShift, false);
}

void SwitchSymbols(std::uint16_t parameter) {
  if (parameter < 1 || parameter > 3) return;
  SetOption(OptionId::kSymbols, parameter - 1);
  if (Windows().main != 0) platform::PostMessageTo(Windows().main, kOptionsChangedMessage, 0, 0);
}

template <typename Hook, typename... Args>
void CallHook(const Hook& hook, Args... args) {
  // A copy, so that a hook that replaces the hooks does not destroy itself while running.
  if (Hook copy = hook) copy(args...);
}

}  // namespace

PenFacts PenFactsOf(std::uint16_t kind) {
  PenFacts facts;
  if (kind > kind::kLastKind) return facts;
  const KeyRow& row = kKeys[kind];
  facts.at_pen_up = row.moment == Moment::kPenUp ||
                    (row.moment == Moment::kAsOptionSays && GetOption(OptionId::kAtKey) == 2);
  facts.repeats = row.repeats;
  facts.window_key = row.window_key;
  const KeyboardState& state = State();
  switch (row.effect) {
    case Effect::kAccent:
      facts.state_key = true;
      facts.on = state.accent_mode == static_cast<int>(row.value);
      break;
    case Effect::kCaps:
    case Effect::kLatch:
      facts.state_key = true;
      facts.on = state.*row.flag != 0;
      break;
    case Effect::kNumbers:
    case Effect::kLetters:
    case Effect::kAccentKeys:
    case Effect::kArrowKeys:
      facts.state_key = true;  // they change the panels, and are never left on
      break;
    default:
      break;
  }
  return facts;
}

void LetGoOfModifiers() {
  KeyboardState& state = State();
  for (std::uint16_t modifier : kModifierKinds) {
    int& flag = state.*kKeys[modifier].flag;
    if (flag != 0) {
      flag = 0;
      Dispatch(modifier, 0);
    }
  }
}

OutputHooks& Hooks() {
  static OutputHooks hooks;
  return hooks;
}

void ProcessKey(std::uint16_t kind, std::uint16_t parameter, std::u16string_view argument) {
  const KeyRun run;
  // A key of a sequence the window refused does nothing, not even start a program.
  if (InputRefused()) return;
  const KeyRow* row = kind <= kind::kLastKind ? &kKeys[kind] : nullptr;
  if (row != nullptr && ForwardToEditor(kind, parameter, row->forward)) return;
  if (auto rules = Hooks().typing_rules; rules && rules(kind, parameter)) return;
  CallHook(Hooks().track_typed_key, kind, parameter);
  CountRepeat(kind);
  if (row == nullptr) return;

  KeyboardState& state = State();
  switch (row->effect) {
    case Effect::kDispatch:
      Dispatch(kind, parameter, argument);
      break;
    case Effect::kNothing:
      break;
    case Effect::kAccent:
      state.accent_mode =
          state.accent_mode == static_cast<int>(row->value) ? 0 : static_cast<int>(row->value);
      break;
    case Effect::kCaps:
      state.caps_lock = state.caps_lock == 0 ? 1 : 0;
      break;
    case Effect::kLatch:
      state.*row->flag = state.*row->flag == 0 ? 1 : 0;
      Dispatch(kind, parameter, argument);
      break;
    case Effect::kNumbers:
    case Effect::kLetters:
      state.number_mode = row->effect == Effect::kNumbers ? 1 : 0;
      state.accent_mode = 0;
      break;
    case Effect::kAccentKeys:
      SetOption(OptionId::kArrows, 1);
      break;
    case Effect::kArrowKeys:
      SetOption(OptionId::kArrows, 0);
      state.accent_mode = 0;
      break;
    case Effect::kOrdinary:
      Dispatch(kind, parameter, argument);
      ReleaseOneShotModifiers();
      break;
    case Effect::kTab:
      Dispatch(kind, parameter, argument);
      // Under a latched alt alone, tab after tab walks the task switcher; the end of the
      // task switch lets alt go.
      if (state.alt == 0 || state.control != 0) ReleaseOneShotModifiers();
      break;
    case Effect::kWideLeft:
      Dispatch(Repeat().count == 1 ? kind::kHome : kind::kUp, 0);
      break;
    case Effect::kWideRight:
      // End of the line, then the start of the next, then down the lines below.
      if (Repeat().count == 1) {
        Dispatch(kind::kEnd, 0);
      } else {
        Dispatch(kind::kDown, 0);
        if (Repeat().count == 2) Dispatch(kind::kHome, 0);
      }
      break;
    case Effect::kCaseChange:
      output::ChangeCase(parameter);
      break;
    case Effect::kDate:
      output::DispatchCharacters(platform::FormatDate(row->value));
      break;
    case Effect::kTime:
      output::DispatchCharacters(platform::FormatTime(row->value));
      break;
    case Effect::kExpand:
      CallHook(Hooks().expand);
      break;
  }
}

bool ProduceKeyAskedByMessage(std::uint16_t kind, std::uint16_t parameter, bool ui_access) {
  if (ui_access) return false;
  ProcessKey(kind, parameter);
  return true;
}

void Dispatch(std::uint16_t kind, std::uint16_t parameter, std::u16string_view argument) {
  if (kind > kind::kLastKind) return;
  const KeyRow& row = kKeys[kind];
  switch (row.output) {
    case Output::kNothing:
      break;
    case Output::kModifier:
      output::SendModifierEvent(row.vk, State().*row.flag != 0);
      break;
    case Output::kCharacter: {
      const char16_t c = row.character != 0 ? row.character : parameter;
      // A character key beyond U+FFFF carries the low half of its pair as its argument.
      const char16_t low = row.character == 0 && !argument.empty() ? argument[0] : 0;
      ApplyShiftRule(c);
      output::SendCharacterUnits(c, low);
      break;
    }
    case Output::kKeyPair:
      output::SendKeyPair(row.vk, row.extended);
      break;
    case Output::kKeyFamily:
      if (parameter < row.family.size() && row.family[parameter] != 0) {
        output::SendKeyPair(row.family[parameter], row.extended);
      }
      break;
    case Output::kLock: {
      const bool system_on = (platform::GetKeyState(row.vk) & 1) != 0;
      if ((State().*row.flag != 0) != system_on) output::SendKeyPair(row.vk, row.extended);
      break;
    }
    case Output::kTap:
      output::Tap(argument);
      break;
    case Output::kWait:
      output::Wait(argument);
      break;
    case Output::kSymbols:
      SwitchSymbols(parameter);
      break;
    case Output::kWindow:
      CallHook(Hooks().window_action, kind, parameter, argument);
      break;
    case Output::kProgram:
      CallHook(Hooks().program_action, kind, parameter, argument);
      break;
    case Output::kExpansion:
      CallHook(Hooks().expansion_switch, parameter);
      break;
  }
}

void ResetKeyboardState() {
  KeyboardState& state = State();
  state = KeyboardState();
  // Whatever the keyboard believed, nothing it may have held down stays down.
  for (std::uint16_t modifier : kModifierKinds) Dispatch(modifier, 0);
  state.num_lock = platform::GetKeyState(kKeys[kind::kNumLock].vk) & 1;
  state.scroll_lock = platform::GetKeyState(kKeys[kind::kScrollLock].vk) & 1;
}

void ResetOutputForTest() {
  Repeat() = RepeatCount();
  output::ForgetModifierScans();
  output::ForgetInjections();
}

}  // namespace quorel::keyboard
