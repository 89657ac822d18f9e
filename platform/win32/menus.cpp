#include "platform/menus.h"

#include "platform/win32/win32_text.h"

namespace platform {

namespace {
HMENU Menu(MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }
MenuHandle Opaque(HMENU menu) { return reinterpret_cast<MenuHandle>(menu); }
}  // namespace

MenuHandle SystemMenuOf(WindowHandle window) {
  return Opaque(GetSystemMenu(reinterpret_cast<HWND>(window), FALSE));
}

MenuHandle NewPopupMenu() { return Opaque(CreatePopupMenu()); }

void AddMenuItem(MenuHandle menu, std::uint32_t id, std::u16string_view text) {
  AppendMenuW(Menu(menu), MF_STRING, id, win32::Wide(text).c_str());
}

void AddMenuSeparator(MenuHandle menu) { AppendMenuW(Menu(menu), MF_SEPARATOR, 0, nullptr); }

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
  const BOOL chosen = TrackPopupMenuEx(Menu(menu), TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_LEFTALIGN,
                                       at.x, at.y, reinterpret_cast<HWND>(owner),
                                       exclusion != nullptr ? &params : nullptr);
  return chosen > 0 ? static_cast<std::uint32_t>(chosen) : 0;
}

}  // namespace platform
