// The special key menu: everything a slide text or an expansion can contain, in eleven
// submenus, with the questions some items ask before they give their text.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace quorel {

// What an item does beyond giving a fixed text.
enum class SpecialAsk {
  kNothing,       // the text as it stands
  kUnicode,       // the unicode picker's text
  kMove,          // the keyboard's stored position, after the user has moved it
  kTap,           // placeholders for a screen point
  kWait,          // a placeholder for milliseconds
  kLaunch,        // any existing file
  kLoadGlossary,  // a glossary file
  kLoadSlides,    // a slide file
};

struct SpecialItem {
  std::u16string_view caption;  // empty: a separator
  std::uint32_t command = 0;    // the menu's answer; numbered from 1 down the menu
  std::u16string_view text;     // the text given, or the opening name of an asking item
  SpecialAsk ask = SpecialAsk::kNothing;
};

struct SpecialSubmenu {
  std::u16string_view caption;
  std::span<const SpecialItem> items;
};

// The submenus in menu order.
std::span<const SpecialSubmenu> SpecialKeysMenu();

// The item the menu answered with that command; null for none.
const SpecialItem* FindSpecialItem(std::uint32_t command);

// The closing name of an opening name: "/" after its first character ("<wait>" gives
// "</wait>").
std::u16string ClosingName(std::u16string_view opening);

// The captions of the questions, and the title of their message boxes.
inline constexpr std::u16string_view kSpecialsTitle = u"Quorel Slides";
inline constexpr std::u16string_view kMovePrompt =
    u"Position the Quorel keyboard where you want it to be moved and tap ok";
inline constexpr std::u16string_view kTapPrompt =
    u"Replace \"###\" placeholders by x, y screen coordinates";
inline constexpr std::u16string_view kWaitPrompt =
    u"Replace \"###\" placeholder by number of milliseconds to wait";

// Runs the unicode picker owned by the window: true with its text on OK, false on Cancel.
using UnicodePicker = std::function<bool(platform::WindowHandle owner, std::u16string* text)>;

// Shows the menu for the owner with its bottom-left corner at (x, y), asks what the chosen
// item needs, and gives the text to insert; nothing when the user chose nothing or
// cancelled a question.
std::optional<std::u16string> PickSpecial(platform::WindowHandle owner, int x, int y,
                                          const UnicodePicker& picker);

}  // namespace quorel
