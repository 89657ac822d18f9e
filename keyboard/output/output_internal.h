// What the files of the key output share among themselves; nothing outside this folder
// includes it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/input.h"

namespace quorel::keyboard::output {

constexpr std::uint8_t kVkShift = 0x10;
constexpr std::uint8_t kVkControl = 0x11;
constexpr std::uint8_t kVkMenu = 0x12;
constexpr std::uint8_t kVkLeftWindows = 0x5B;
constexpr std::uint8_t kVkRightMenu = 0xA5;

constexpr char16_t kReplacementCharacter = 0xFFFD;

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The one road of input to the system. It follows what it leaves held down; when the
// window in front refuses input, it lets go of every latch and every key, tells the user
// through the hooks, and sends nothing more of the running keys. True when the system
// injected every input.
bool Inject(std::span<const platform::Input> inputs);
// Forgets what was held, refused and told, as at process start.
void ForgetInjections();

// A held modifier on its own, with the layout's scan code.
void SendModifierEvent(std::uint8_t vk, bool down);
// Press and release of one key in a single injection.
void SendKeyPair(std::uint8_t vk, bool extended);
// The character path for `c`, or for the pair `c`, `low` when they make one; a surrogate
// that is not part of a pair goes out as the replacement character, never on its own.
void SendCharacterUnits(char16_t c, char16_t low);
// Types every character of a system text (a date, the clipboard) as character keys; line
// feeds are left out since the carriage return before them already gives Enter.
void DispatchCharacters(std::u16string_view text);

// Clipboard round trip of <capitalize>, <lowercase>, <uppercase>.
void ChangeCase(std::uint16_t parameter);
void Tap(std::u16string_view argument);
void Wait(std::u16string_view argument);

// A number as the C library reads one: blanks, a sign, digits up to the first other
// character; saturated to 32 bits. `digits` tells whether any digit was read.
struct Decimal {
  std::int64_t value = 0;
  bool digits = false;
};
Decimal ReadDecimal(std::u16string_view text);

// Forgets the modifier scan codes so the next use reads them from the layout again.
void ForgetModifierScans();

}  // namespace quorel::keyboard::output
