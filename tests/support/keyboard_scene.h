// A keyboard on the in-memory system, for the tests and benchmarks that play pen events
// in and read injected input out.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "platform/fake/fake_system.h"
#include "platform/types.h"

namespace quorel::keyboard::scene {

constexpr platform::WindowHandle kMain = 0x100;
constexpr platform::WindowHandle kSensor = 0x200;
constexpr platform::WindowHandle kList = 0x300;
constexpr platform::FontHandle kFont = 0x400;

struct Setup {
  int size = 2;  // "Keyboard size"
  int screen_width = 1024;
  int screen_height = 768;
  platform::Point window = {300, 500};  // the keyboard window's top-left on screen
};

// A clean machine, default options, the keyboard's windows and its panels built.
void BuildKeyboard(const Setup& setup);

// The client centre of the first cell holding this key; {-1, -1} when none shows it.
platform::Point CentreOf(std::uint16_t kind, std::uint16_t parameter);

// The injected inputs since the last call, flattened, and forgotten.
std::vector<platform::Input> TakeInputs();

// Follows the keys the system holds down through the input the application received.
class HeldKeys {
 public:
  // Reads the injected input since the last call, and forgets it.
  void Take();
  const std::set<int>& held() const { return held_; }

 private:
  std::set<int> held_;
};

// A key press and release as the character path sends it.
std::vector<platform::Input> KeyPair(std::uint16_t vk, std::uint16_t scan);

}  // namespace quorel::keyboard::scene
