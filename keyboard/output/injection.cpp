// Every input the keyboard injects, and what follows when the window in front refuses it.
// Without uiAccess the system drops a keyboard's input into a window that runs as
// administrator and says so only by injecting fewer inputs than it was given.

#include <algorithm>
#include <vector>

#include "keyboard/output/key_processor.h"
#include "keyboard/output/output_internal.h"
#include "keyboard/panels/keyboard_state.h"
#include "platform/desktop.h"
#include "platform/input.h"
#include "platform/screen.h"

namespace quorel::keyboard {

namespace output {

namespace {

struct InjectionRecord {
  // Key presses and the mouse button that reached the system without their release.
  std::vector<platform::Input> down;
  // Releases the system refused while the keyboard let go; they go again before the next
  // input, so that a modifier held when the user moved to the refusing window is not left
  // down in the next one.
  std::vector<platform::Input> unreleased;
  int run_depth = 0;
  bool refused = false;
  bool letting_go = false;
  // The windows the user was told refuse input: telling them on every key would only nag.
  std::vector<platform::WindowHandle> told;
};

InjectionRecord& Record() {
  static InjectionRecord record;
  return record;
}

bool IsUnicode(const platform::Input& input) { return (input.flags & platform::kKeyUnicode) != 0; }

bool SameKey(const platform::Input& a, const platform::Input& b) {
  if (a.mouse || b.mouse) return a.mouse && b.mouse;
  if (IsUnicode(a) != IsUnicode(b)) return false;
  return IsUnicode(a) ? a.scan == b.scan : a.vk == b.vk;
}

bool IsRelease(const platform::Input& input) {
  return input.mouse ? (input.flags & platform::kMouseLeftUp) != 0
                     : (input.flags & platform::kKeyUp) != 0;
}

bool IsPress(const platform::Input& input) {
  return input.mouse ? (input.flags & platform::kMouseLeftDown) != 0 : !IsRelease(input);
}

platform::Input ReleaseOf(const platform::Input& press) {
  platform::Input release = press;
  if (press.mouse) {
    release.flags = (press.flags & ~platform::kMouseLeftDown) | platform::kMouseLeftUp;
  } else {
    release.flags |= platform::kKeyUp;
  }
  return release;
}

// Returns whether the input releases a key the system held.
bool Follow(const platform::Input& input) {
  std::vector<platform::Input>& down = Record().down;
  const auto held = std::find_if(down.begin(), down.end(),
                                 [&](const platform::Input& key) { return SameKey(key, input); });
  if (IsRelease(input)) {
    if (held == down.end()) return false;
    down.erase(held);
    return true;
  }
  if (IsPress(input) && held == down.end()) down.push_back(input);
  return false;
}

std::size_t Send(std::span<const platform::Input> inputs) {
  return std::min(platform::SendInputs(inputs), inputs.size());
}

// While letting go, a release counts as done whether or not the system took it: the
// keyboard believes nothing is held, and a refused release of a key the system holds is
// tried again later.
void SendWhileLettingGo(std::span<const platform::Input> inputs) {
  InjectionRecord& record = Record();
  const std::size_t injected = Send(inputs);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const platform::Input& input = inputs[i];
    if (i < injected) {
      Follow(input);
    } else if (IsRelease(input) && Follow(input)) {
      record.unreleased.push_back(input);
    }
  }
}

void LetGoAfterRefusal() {
  InjectionRecord& record = Record();
  record.letting_go = true;
  KeyboardState& state = State();
  state.caps_lock = 0;
  state.accent_mode = 0;
  LetGoOfModifiers();
  // What else is down: the presses of a call cut short, the mouse button of a tap.
  std::vector<platform::Input> releases;
  for (auto key = record.down.rbegin(); key != record.down.rend(); ++key) {
    releases.push_back(ReleaseOf(*key));
  }
  if (!releases.empty()) SendWhileLettingGo(releases);
  record.letting_go = false;
}

void Refuse() {
  InjectionRecord& record = Record();
  record.refused = true;
  LetGoAfterRefusal();
  // The keyboard's own releases (on hiding, at start) meet a refusing window without the
  // user typing into it; only keys the user asked for are worth a word.
  if (record.run_depth == 0) return;
  const platform::WindowHandle target = platform::ForegroundWindow();
  std::erase_if(record.told, [&](platform::WindowHandle window) {
    return window != target && !platform::IsLiveWindow(window);
  });
  const bool first_time = std::find(record.told.begin(), record.told.end(), target) ==
                          record.told.end();
  if (first_time) record.told.push_back(target);
  if (const auto hook = Hooks().input_refused) hook(first_time);
}

}  // namespace

bool Inject(std::span<const platform::Input> inputs) {
  InjectionRecord& record = Record();
  if (record.letting_go) {
    SendWhileLettingGo(inputs);
    return true;
  }
  if (record.run_depth > 0 && record.refused) return false;
  if (!record.unreleased.empty()) {
    const std::vector<platform::Input> pending = std::move(record.unreleased);
    record.unreleased.clear();
    const std::size_t injected = Send(pending);
    if (injected < pending.size()) {
      record.unreleased.assign(pending.begin() + static_cast<std::ptrdiff_t>(injected),
                               pending.end());
      Refuse();
      return false;
    }
  }
  const std::size_t injected = Send(inputs);
  for (const platform::Input& input : inputs.first(injected)) Follow(input);
  if (injected == inputs.size()) return true;
  Refuse();
  return false;
}

void ForgetInjections() { Record() = InjectionRecord(); }

}  // namespace output

KeyRun::KeyRun() {
  output::InjectionRecord& record = output::Record();
  if (record.run_depth++ == 0) record.refused = false;
}

KeyRun::~KeyRun() { --output::Record().run_depth; }

bool InputRefused() { return output::Record().refused; }

}  // namespace quorel::keyboard
