#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>

#include "editor/editor_windows.h"

namespace quorel::editor {

namespace {
constexpr wchar_t kEditorKey[] = L"Software\\Pelmarik Solutions\\Quorel\\Quorel Editor";
}  // namespace

int ReadMru(const wchar_t* name, int fallback) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, kEditorKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS) {
    return fallback;
  }
  return static_cast<int>(value);
}

void WriteMru(const wchar_t* name, int value) {
  const auto stored = static_cast<DWORD>(value);
  RegSetKeyValueW(HKEY_CURRENT_USER, kEditorKey, name, REG_DWORD, &stored, sizeof(stored));
}

void RestoreRect(HWND window, const wchar_t* prefix) {
  RECT rect;
  GetWindowRect(window, &rect);
  const std::wstring base = prefix;
  const int left = ReadMru((base + L" left").c_str(), rect.left);
  const int top = ReadMru((base + L" top").c_str(), rect.top);
  const int width = ReadMru((base + L" width").c_str(), rect.right - rect.left);
  const int height = ReadMru((base + L" height").c_str(), rect.bottom - rect.top);
  // A window stored where no screen is now comes back where it can be reached.
  RECT wanted = {left, top, left + width, top + height};
  RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                 GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                 GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT overlap;
  if (!IntersectRect(&overlap, &wanted, &screen)) return;
  SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void StoreRect(HWND window, const wchar_t* prefix) {
  if (IsIconic(window) || IsZoomed(window)) return;
  RECT rect;
  if (!GetWindowRect(window, &rect)) return;
  const std::wstring base = prefix;
  WriteMru((base + L" left").c_str(), rect.left);
  WriteMru((base + L" top").c_str(), rect.top);
  WriteMru((base + L" width").c_str(), rect.right - rect.left);
  WriteMru((base + L" height").c_str(), rect.bottom - rect.top);
}

int Tell(HWND owner, std::wstring_view text, std::wstring_view title, UINT buttons) {
  return MessageBoxW(owner, std::wstring(text).c_str(), std::wstring(title).c_str(), buttons);
}

void Tell(HWND owner, const Refusal& refusal) {
  Tell(owner, Wide(refusal.text), Wide(refusal.title));
}

HFONT PreviewListFont() {
  static HFONT font = [] {
    wchar_t name[32] = {};
    if (!PARAMETERS_GetPreviewFontName(name, 32) || name[0] == 0) lstrcpyW(name, L"Tahoma");
    int points = PARAMETERS_GetPreviewFontSize();
    if (points <= 0) points = 9;
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    HFONT made = CreateFontW(height, 0, 0, 0, PARAMETERS_GetPreviewFontBold() == 1 ? FW_BOLD : FW_NORMAL,
                             PARAMETERS_GetPreviewFontItalic() == 1, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, name);
    return made != nullptr ? made : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

std::wstring TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(0, got)));
  return text;
}

int InsertRow(HWND list, int at, LPARAM handle, const std::wstring& caption,
              const std::wstring& cell) {
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = at;
  item.pszText = const_cast<wchar_t*>(caption.c_str());
  item.lParam = handle;
  const int row = ListView_InsertItem(list, &item);
  if (row >= 0) ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(cell.c_str()));
  return row;
}

void SetRowTexts(HWND list, int row, const std::wstring& caption, const std::wstring& cell) {
  ListView_SetItemText(list, row, 0, const_cast<wchar_t*>(caption.c_str()));
  ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(cell.c_str()));
}

std::wstring RowCaption(HWND list, int row) {
  wchar_t text[512] = {};
  ListView_GetItemText(list, row, 0, text, 512);
  return text;
}

LPARAM RowHandle(HWND list, int row) {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  return ListView_GetItem(list, &item) ? item.lParam : 0;
}

std::vector<int> SelectedRows(HWND list) {
  std::vector<int> rows;
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    rows.push_back(row);
  }
  return rows;
}

void SelectOnly(HWND list, int row) {
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CentreRow(HWND list, int row) {
  for (int visible :
       CentringRows(row, ListView_GetCountPerPage(list), ListView_GetItemCount(list))) {
    ListView_EnsureVisible(list, visible, FALSE);
  }
}

std::wstring SlideKeyCaption(int kind, int parameter) {
  const QUOREL_CHAR* name = nullptr;
  const bool named = KEYDEF_GetSpecialKeyName(kind, parameter, &name) && name != nullptr;
  return Wide(KeyCaption(static_cast<std::uint16_t>(kind), static_cast<std::uint16_t>(parameter),
                         named ? Utf16(name) : std::u16string()));
}

std::wstring DirectionCaption(int direction) {
  const QUOREL_CHAR* name = nullptr;
  return SLIDES_GetDirectionShortName(direction, &name) ? Or(name) : std::wstring();
}

}  // namespace quorel::editor
