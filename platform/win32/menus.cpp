#include "platform/menus.h"

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace platform {

namespace {
HMENU Menu(MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }
MenuHandle Opaque(HMENU menu) { return reinterpret_cast<MenuHandle>(menu); }

bool IsMenuWindow(HWND window) {
  wchar_t name[8] = {};
  return window != nullptr && GetClassNameW(window, name, 8) > 0 && lstrcmpW(name, L"#32768") == 0;
}

// The system closes a menu at a tap outside it only when the menu's owner has the
// foreground, and the keyboard never takes it: while a menu is open, a press anywhere
// but on a menu ends it. The press is taken, as a menu's own close takes it, so that it
// does not go on to activate whatever lay under it; its release alone activates nothing.
LRESULT CALLBACK EndMenuOutside(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && (wparam == WM_LBUTTONDOWN || wparam == WM_RBUTTONDOWN ||
                            wparam == WM_MBUTTONDOWN)) {
    const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lparam);
    if (!IsMenuWindow(WindowFromPoint(event->pt))) {
      EndMenu();
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}
}  // namespace

MenuHandle SystemMenuOf(WindowHandle window) {
  return Opaque(GetSystemMenu(reinterpret_cast<HWND>(window), FALSE));
}

MenuHandle NewPopupMenu() { return Opaque(CreatePopupMenu()); }

void AddMenuItem(MenuHandle menu, std::uint32_t id, std::u16string_view text) {
  AppendMenuW(Menu(menu), MF_STRING, id, win32::Wide(text).c_str());
}

void AddMenuSeparator(MenuHandle menu) { AppendMenuW(Menu(menu), MF_SEPARATOR, 0, nullptr); }

void AddSubmenu(MenuHandle menu, MenuHandle submenu, std::u16string_view text) {
  AppendMenuW(Menu(menu), MF_POPUP | MF_STRING, static_cast<UINT_PTR>(submenu),
              win32::Wide(text).c_str());
}

void CheckMenuEntry(MenuHandle menu, std::uint32_t id) {
  CheckMenuItem(Menu(menu), id, MF_BYCOMMAND | MF_CHECKED);
}

void GreyMenuEntry(MenuHandle menu, std::uint32_t id) {
  EnableMenuItem(Menu(menu), id, MF_BYCOMMAND | MF_GRAYED);
}

void FreeMenu(MenuHandle menu) { DestroyMenu(Menu(menu)); }

std::uint32_t TrackMenuUpward(MenuHandle menu, WindowHandle owner, Point at,
                              const Rect* exclusion) {
  TPMPARAMS params = {};
  params.cbSize = sizeof(params);
  if (exclusion != nullptr) {
    params.rcExclude = {exclusion->left, exclusion->top, exclusion->right, exclusion->bottom};
  }
  HHOOK outside = SetWindowsHookExW(WH_MOUSE_LL, EndMenuOutside, GetModuleHandleW(nullptr), 0);
  const BOOL chosen = TrackPopupMenuEx(Menu(menu), TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_LEFTALIGN,
                                       at.x, at.y, reinterpret_cast<HWND>(owner),
                                       exclusion != nullptr ? &params : nullptr);
  if (outside != nullptr) UnhookWindowsHookEx(outside);
  return chosen > 0 ? static_cast<std::uint32_t>(chosen) : 0;
}

}  // namespace platform
