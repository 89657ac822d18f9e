#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <map>

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
  // The size was stored in the pixels of the monitor it lies on. A window stored where no
  // screen is now stays where it can be reached.
  platform::RestorePlace(reinterpret_cast<platform::WindowHandle>(window), {left, top},
                         {width, height}, false, platform::win32::VirtualScreen());
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

HFONT PreviewListFont(int dpi) {
  // One a scale met, kept for the life of the program: a few at most.
  static std::map<int, HFONT> fonts;
  HFONT& font = fonts[dpi];
  if (font != nullptr) return font;
  wchar_t name[32] = {};
  if (!PARAMETERS_GetPreviewFontName(name, 32) || name[0] == 0) lstrcpyW(name, L"Tahoma");
  int points = PARAMETERS_GetPreviewFontSize();
  if (points <= 0) points = 9;
  font = CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0,
                     PARAMETERS_GetPreviewFontBold() == 1 ? FW_BOLD : FW_NORMAL,
                     PARAMETERS_GetPreviewFontItalic() == 1, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, name);
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  return font;
}

std::wstring TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(0, got)));
  return text;
}

namespace {

struct Row {
  LPARAM handle = 0;
  std::wstring caption;
  std::wstring cell;
};

std::vector<Row>& RowsOf(HWND list) {
  static std::map<HWND, std::vector<Row>> rows;
  return rows[list];
}

const Row* RowAt(HWND list, int row) {
  const std::vector<Row>& rows = RowsOf(list);
  return row >= 0 && row < static_cast<int>(rows.size()) ? &rows[static_cast<std::size_t>(row)]
                                                         : nullptr;
}

// Row by row when the rows selected are few: a list of many rows takes a change of every
// row's state slowly. Many selected rows (a range taken with Shift) are let go at once by
// emptying the list's count, which tells nobody row by row.
void ClearSelection(HWND list) {
  constexpr UINT kFewRows = 64;
  if (ListView_GetSelectedCount(list) > kFewRows) {
    ListView_SetItemCountEx(list, 0, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    ListView_SetItemCountEx(list, static_cast<int>(RowsOf(list).size()), LVSICF_NOSCROLL);
    return;
  }
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    ListView_SetItemState(list, row, 0, LVIS_SELECTED);
  }
  const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
  if (focused >= 0) ListView_SetItemState(list, focused, 0, LVIS_FOCUSED);
}

void Recount(HWND list) {
  ListView_SetItemCountEx(list, static_cast<int>(RowsOf(list).size()), LVSICF_NOSCROLL);
  InvalidateRect(list, nullptr, FALSE);
}

}  // namespace

int InsertRow(HWND list, int at, LPARAM handle, const std::wstring& caption,
              const std::wstring& cell) {
  std::vector<Row>& rows = RowsOf(list);
  at = std::clamp(at, 0, static_cast<int>(rows.size()));
  rows.insert(rows.begin() + at, Row{handle, caption, cell});
  // The list keeps selection by position: the rows below moved, so it is cleared.
  ClearSelection(list);
  Recount(list);
  return at;
}

void SetRowTexts(HWND list, int row, const std::wstring& caption, const std::wstring& cell) {
  std::vector<Row>& rows = RowsOf(list);
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  rows[static_cast<std::size_t>(row)].caption = caption;
  rows[static_cast<std::size_t>(row)].cell = cell;
  ListView_RedrawItems(list, row, row);
}

void DeleteRow(HWND list, int row) {
  std::vector<Row>& rows = RowsOf(list);
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  rows.erase(rows.begin() + row);
  ClearSelection(list);
  Recount(list);
}

void DeleteRows(HWND list, const std::vector<int>& doomed) {
  std::vector<Row>& rows = RowsOf(list);
  std::vector<bool> gone(rows.size(), false);
  for (int row : doomed) {
    if (row >= 0 && row < static_cast<int>(rows.size())) gone[static_cast<std::size_t>(row)] = true;
  }
  std::size_t kept = 0;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (!gone[row]) rows[kept++] = std::move(rows[row]);
  }
  rows.resize(kept);
  ClearSelection(list);
  Recount(list);
}

void ClearRows(HWND list) {
  RowsOf(list).clear();
  ClearSelection(list);
  Recount(list);
}

void AppendRow(HWND list, LPARAM handle, std::wstring caption, std::wstring cell) {
  RowsOf(list).push_back(Row{handle, std::move(caption), std::move(cell)});
}

void RowsFilled(HWND list) {
  ClearSelection(list);
  ListView_SetItemCountEx(list, static_cast<int>(RowsOf(list).size()), 0);
  InvalidateRect(list, nullptr, TRUE);
}

int RowCount(HWND list) { return static_cast<int>(RowsOf(list).size()); }

std::wstring RowCaption(HWND list, int row) {
  const Row* found = RowAt(list, row);
  return found != nullptr ? found->caption : std::wstring();
}

std::wstring RowCell(HWND list, int row) {
  const Row* found = RowAt(list, row);
  return found != nullptr ? found->cell : std::wstring();
}

LPARAM RowHandle(HWND list, int row) {
  const Row* found = RowAt(list, row);
  return found != nullptr ? found->handle : 0;
}

int FindRowStartingWith(HWND list, std::wstring_view text) {
  const std::vector<Row>& rows = RowsOf(list);
  const int length = static_cast<int>(text.size());
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const std::wstring& caption = rows[row].caption;
    if (caption.size() >= text.size() &&
        CompareStringOrdinal(caption.data(), length, text.data(), length, TRUE) == CSTR_EQUAL) {
      return static_cast<int>(row);
    }
  }
  return -1;
}

int FindRow(const NMLVFINDITEMW& find) {
  const std::vector<Row>& rows = RowsOf(find.hdr.hwndFrom);
  const int count = static_cast<int>(rows.size());
  const LVFINDINFOW& wanted = find.lvfi;
  // LVFI_SUBSTRING, of newer lists, asks what LVFI_PARTIAL asks.
  constexpr UINT kBeginning = LVFI_PARTIAL | 0x0004;
  const bool by_text = (wanted.flags & (LVFI_STRING | kBeginning)) != 0 && wanted.psz != nullptr;
  const bool by_handle = (wanted.flags & LVFI_PARAM) != 0;
  if (count == 0 || (!by_text && !by_handle)) return -1;
  const std::wstring_view text = by_text ? std::wstring_view(wanted.psz) : std::wstring_view();
  const int length = static_cast<int>(text.size());
  const bool whole = (wanted.flags & kBeginning) == 0;
  const int start = std::clamp(find.iStart, 0, count);
  const int steps = (wanted.flags & LVFI_WRAP) != 0 ? count : count - start;
  for (int step = 0; step < steps; ++step) {
    const Row& row = rows[static_cast<std::size_t>((start + step) % count)];
    bool found = false;
    if (by_handle) {
      found = row.handle == wanted.lParam;
    } else if (row.caption.size() >= text.size() && (!whole || row.caption.size() == text.size())) {
      found = CompareStringOrdinal(row.caption.data(), length, text.data(), length, TRUE) ==
              CSTR_EQUAL;
    }
    if (found) return (start + step) % count;
  }
  return -1;
}

void GiveRowText(NMLVDISPINFOW* request) {
  LVITEMW& item = request->item;
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
  const Row* found = RowAt(request->hdr.hwndFrom, item.iItem);
  const std::wstring* text = found == nullptr ? nullptr
                             : item.iSubItem == 0 ? &found->caption
                                                  : &found->cell;
  const std::size_t length =
      text == nullptr ? 0 : std::min(text->size(), static_cast<std::size_t>(item.cchTextMax - 1));
  if (length > 0) text->copy(item.pszText, length);
  item.pszText[length] = L'\0';
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
  ClearSelection(list);
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CentreRow(HWND list, int row) {
  for (int visible : CentringRows(row, ListView_GetCountPerPage(list), RowCount(list))) {
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
