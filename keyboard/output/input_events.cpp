// The character path and the key pairs: everything that becomes keyboard input events.

#include <array>
#include <cstdint>
#include <vector>

#include "keyboard/key_kinds.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/output/output_internal.h"
#include "platform/input.h"

namespace quorel::keyboard {

namespace output {

namespace {

struct ScanCode {
  std::uint8_t scan = 0;
  bool extended = false;
};

ScanCode ScanCodeOf(std::uint8_t vk) {
  std::uint32_t code = platform::MapVirtualKey(vk, 0);
  return {static_cast<std::uint8_t>(code & 0xFF), (code >> 8) != 0};
}

// The layout's scan codes of the modifiers, asked once: they go with every shifted
// character and every latched modifier, and the layout does not change them under us.
struct ModifierScans {
  bool filled = false;
  std::array<std::uint8_t, 4> vks{kVkShift, kVkControl, kVkMenu, kVkLeftWindows};
  std::array<ScanCode, 4> codes{};
};

ModifierScans& Scans() {
  static ModifierScans scans;
  return scans;
}

ScanCode ModifierScan(std::uint8_t vk) {
  ModifierScans& scans = Scans();
  if (!scans.filled) {
    for (std::size_t i = 0; i < scans.vks.size(); ++i) scans.codes[i] = ScanCodeOf(scans.vks[i]);
    scans.filled = true;
  }
  for (std::size_t i = 0; i < scans.vks.size(); ++i) {
    if (scans.vks[i] == vk) return scans.codes[i];
  }
  return ScanCodeOf(vk);
}

platform::Input KeyInput(std::uint8_t vk, ScanCode code, bool up) {
  platform::Input input;
  input.vk = vk;
  input.scan = code.scan;
  input.flags = (code.extended ? platform::kKeyExtended : 0) | (up ? platform::kKeyUp : 0);
  return input;
}

platform::Input UnicodeInput(char16_t c, bool up) {
  platform::Input input;
  input.scan = c;
  input.flags = platform::kKeyUnicode | (up ? platform::kKeyUp : 0);
  return input;
}

void SendUnicode(char16_t c) {
  const platform::Input inputs[] = {UnicodeInput(c, false), UnicodeInput(c, true)};
  Inject(inputs);
}

// Both halves in one injection: an application handed the high half alone may pair it
// with whatever comes next, or drop it.
void SendSurrogatePair(char16_t high, char16_t low) {
  const platform::Input inputs[] = {UnicodeInput(high, false), UnicodeInput(low, false),
                                    UnicodeInput(high, true), UnicodeInput(low, true)};
  Inject(inputs);
}

// Right Alt stands for AltGr whatever the layout reports for the left one.
constexpr ScanCode kAltGrScan{0x38, true};

}  // namespace

void SendModifierEvent(std::uint8_t vk, bool down) {
  const platform::Input input = KeyInput(vk, ModifierScan(vk), !down);
  Inject({&input, 1});
}

void SendKeyPair(std::uint8_t vk, bool extended) {
  ScanCode code{static_cast<std::uint8_t>(platform::MapVirtualKey(vk, 0) & 0xFF), extended};
  const platform::Input inputs[] = {KeyInput(vk, code, false), KeyInput(vk, code, true)};
  Inject(inputs);
}

void SendCharacterUnits(char16_t c, char16_t low) {
  if (IsHighSurrogate(c) && IsLowSurrogate(low)) {
    SendSurrogatePair(c, low);
  } else {
    SendCharacter(c);
  }
}

void DispatchCharacters(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'\n') continue;
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      Dispatch(kind::kCharacter, c, text.substr(i + 1, 1));
      ++i;
    } else {
      Dispatch(kind::kCharacter, c);
    }
  }
}

void ForgetModifierScans() { Scans() = ModifierScans(); }

}  // namespace output

void SendCharacter(char16_t c) {
  using namespace output;
  // Half a pair on its own would corrupt the application's text.
  if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
    SendUnicode(kReplacementCharacter);
    return;
  }
  // Beyond Latin-1 the Unicode input is used even where the layout has a key (the euro):
  // it arrives as the character itself whatever code page the application reads in.
  if (c >= 0x100) {
    SendUnicode(c);
    return;
  }
  const platform::CharacterKey key = platform::KeyForCharacter(c);
  // A dead key would type nothing now and put its accent on the next character.
  if (!key.found || key.dead) {
    SendUnicode(c);
    return;
  }
  const std::uint8_t vk = key.vk;
  const bool shift = (key.shift_state & 1) != 0;
  const bool control = (key.shift_state & 2) != 0;
  const bool alt = (key.shift_state & 4) != 0;

  std::uint8_t held_vk = 0;  // AltGr, Ctrl or Alt, released last
  ScanCode held_code;
  if (control && alt) {
    held_vk = kVkRightMenu;
    held_code = kAltGrScan;
  } else if (control || alt) {
    held_vk = control ? kVkControl : kVkMenu;
    held_code = ModifierScan(held_vk);
  }

  std::vector<platform::Input> inputs;
  if (shift) inputs.push_back(KeyInput(kVkShift, ModifierScan(kVkShift), false));
  if (held_vk != 0) inputs.push_back(KeyInput(held_vk, held_code, false));
  const ScanCode code{key.scan, key.extended};
  inputs.push_back(KeyInput(vk, code, false));
  inputs.push_back(KeyInput(vk, code, true));
  if (shift) inputs.push_back(KeyInput(kVkShift, ModifierScan(kVkShift), true));
  if (held_vk != 0) inputs.push_back(KeyInput(held_vk, held_code, true));
  Inject(inputs);
}

}  // namespace quorel::keyboard
