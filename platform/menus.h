// Pop-up menus and a window's system menu, shown modally and answering with the chosen id.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace platform {

using MenuHandle = std::uintptr_t;

// The ids of the system menu's entries.
constexpr std::uint32_t kSystemSize = 0xF000;
constexpr std::uint32_t kSystemMove = 0xF010;
constexpr std::uint32_t kSystemMinimize = 0xF020;
constexpr std::uint32_t kSystemMaximize = 0xF030;
constexpr std::uint32_t kSystemClose = 0xF060;
constexpr std::uint32_t kSystemRestore = 0xF120;

// The window's own system menu (not a copy: changes stay); 0 when it has none.
MenuHandle SystemMenuOf(WindowHandle window);
MenuHandle NewPopupMenu();  // 0 when none could be made
void AddMenuItem(MenuHandle menu, std::uint32_t id, std::u16string_view text);
void AddMenuSeparator(MenuHandle menu);
// Hangs a pop-up menu under an entry of another; freeing the menu frees its submenus.
void AddSubmenu(MenuHandle menu, MenuHandle submenu, std::u16string_view text);
void CheckMenuEntry(MenuHandle menu, std::uint32_t id);
void GreyMenuEntry(MenuHandle menu, std::uint32_t id);
void FreeMenu(MenuHandle menu);

// Shows the menu for `owner` with its bottom-left corner at the screen point `at`, keeping
// clear of `exclusion` when one is given, and waits for the user. The chosen id, or 0.
std::uint32_t TrackMenuUpward(MenuHandle menu, WindowHandle owner, Point at,
                              const Rect* exclusion);

}  // namespace platform
