#include "platform/list_box.h"

#include "platform/win32/win32_text.h"

namespace platform {

namespace {
LRESULT Send(WindowHandle list, UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageW(reinterpret_cast<HWND>(list), message, wparam, lparam);
}
}  // namespace

void ListClear(WindowHandle list) { Send(list, LB_RESETCONTENT, 0, 0); }

int ListAddRow(WindowHandle list, std::u16string_view text, std::intptr_t item_data,
               bool at_top) {
  std::wstring wide = win32::Wide(text);
  LRESULT row = at_top ? Send(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()))
                       : Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  if (row >= 0) Send(list, LB_SETITEMDATA, static_cast<WPARAM>(row), item_data);
  return static_cast<int>(row);
}

int ListRowCount(WindowHandle list) { return static_cast<int>(Send(list, LB_GETCOUNT, 0, 0)); }

void ListSelectRow(WindowHandle list, int row) {
  Send(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

int ListSelectedRow(WindowHandle list) {
  LRESULT row = Send(list, LB_GETCURSEL, 0, 0);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

std::intptr_t ListRowData(WindowHandle list, int row) {
  LRESULT data = Send(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
  return data == LB_ERR ? 0 : static_cast<std::intptr_t>(data);
}

int ListRowHeight(WindowHandle list) {
  LRESULT height = Send(list, LB_GETITEMHEIGHT, 0, 0);
  return height == LB_ERR || height <= 0 ? 16 : static_cast<int>(height);
}

int ListRowNearest(WindowHandle list, Point point) {
  // The high word tells a point outside the client area; the row is the nearest either way.
  LRESULT found = Send(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  return static_cast<int>(LOWORD(found));
}

void ListSetFont(WindowHandle list, FontHandle font) {
  Send(list, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
}

void ListSetRowHeight(WindowHandle list, int height) {
  if (height > 0 && height < 256) Send(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
}

void ListHoldDrawing(WindowHandle list, bool hold) {
  HWND window = reinterpret_cast<HWND>(list);
  if (!IsWindowVisible(window)) return;
  Send(list, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
  if (!hold) InvalidateRect(window, nullptr, TRUE);
}

}  // namespace platform
