// Keyboard and mouse input injected into whatever application has the focus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// Keyboard input flags.
constexpr std::uint32_t kKeyExtended = 0x0001;
constexpr std::uint32_t kKeyUp = 0x0002;
constexpr std::uint32_t kKeyUnicode = 0x0004;
// Mouse input flags.
constexpr std::uint32_t kMouseMove = 0x0001;
constexpr std::uint32_t kMouseLeftDown = 0x0002;
constexpr std::uint32_t kMouseLeftUp = 0x0004;
constexpr std::uint32_t kMouseVirtualDesk = 0x4000;  // absolute over every monitor
constexpr std::uint32_t kMouseAbsolute = 0x8000;

struct Input {
  bool mouse = false;
  std::uint16_t vk = 0;    // keyboard: virtual key
  std::uint16_t scan = 0;  // keyboard: scan code, or the character with kKeyUnicode
  std::uint32_t flags = 0;
  int dx = 0;  // mouse: absolute position, 0..65535 across the (virtual) screen
  int dy = 0;
  bool operator==(const Input&) const = default;
};

// One SendInput call: the inputs reach the application together, in order. Returns how many
// the system injected: fewer than given when the window in front refuses this program's
// input, as one running as administrator does for a keyboard without uiAccess.
std::size_t SendInputs(std::span<const Input> inputs);
// Called after every injected input from then on (null: none); the keyboard times its
// answers to the pen with it.
void SetInputObserver(void (*observer)());
// How the layout of the application in the foreground types a character, asked of that
// layout once: the key and its scan code, the shift state (bit 0 Shift, 1 Ctrl, 2 Alt), and
// whether the key is a dead key there, typing nothing itself but changing the next
// character. found is false when the layout has no key for it.
struct CharacterKey {
  bool found = false;
  std::uint8_t vk = 0;
  unsigned shift_state = 0;
  std::uint8_t scan = 0;
  bool extended = false;
  bool dead = false;
};
CharacterKey KeyForCharacter(char16_t c);
std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t map_type);
// The input language of the application in the foreground (its layout's language
// identifier: the low 10 bits are the primary language).
std::uint16_t ForegroundInputLanguage();
// The primary language of an input language id: 0x0C (French) of 0x040C and of 0x0C0C.
inline std::uint16_t PrimaryLanguage(std::uint16_t language_id) { return language_id & 0x3FF; }
// Bit 0: the key's toggle is on; bit 15: the key is down.
std::int16_t GetKeyState(int vk);

}  // namespace platform
