// The unicode picker: a resizable dialog with a grid of character codes, in which clicks
// build up a text.
#include "library/win32/unicode_picker.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <string>

#include "library/options/options.h"
#include "library/options/window_rect_store.h"
#include "library/shared_block/shared_block.h"
#include "library/inserts/character_grid.h"
#include "library/win32/picker_resources.h"
#include "platform/win32/dpi_scale.h"

namespace quorel {

namespace {

constexpr std::u16string_view kRectName = u"unipick";

// The code in the grid's first cell, kept from one opening to the next.
int picker_first_code = 0;

struct Picker {
  std::u16string* result = nullptr;
  bool ready = false;  // placed and laid out: sizes and moves are the user's from now on
  HFONT grid_font = nullptr;
  PickerLayout layout;
  int selected_code = 0;
  int selected_row = 0;
  int selected_column = 0;
  int dpi = 96;  // the scale the picker is laid out at
};

Picker* PickerOf(HWND dialog) {
  return reinterpret_cast<Picker*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

platform::WindowHandle Opaque(HWND window) {
  return reinterpret_cast<platform::WindowHandle>(window);
}

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

RECT Win32Rect(const platform::Rect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

void Place(HWND control, const platform::Rect& rect) {
  SetWindowPos(control, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE TextSize(HWND control, const std::wstring& text) {
  SIZE size = {0, 0};
  HDC dc = GetDC(control);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size;
}

int CellSize(HWND dialog, HFONT font) {
  HDC dc = GetDC(dialog);
  const HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  return metrics.tmHeight + 4;
}

void LayOut(HWND dialog, Picker& picker) {
  RECT window;
  RECT client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  RECT code_box;
  GetWindowRect(Item(dialog, IDC_PICKER_CODE), &code_box);
  wchar_t label[64] = {};
  GetDlgItemTextW(dialog, IDC_PICKER_LABEL, label, 64);
  const SIZE label_text = TextSize(Item(dialog, IDC_PICKER_LABEL), label);

  PickerMeasures measures;
  measures.width = window.right - window.left;
  measures.height = window.bottom - window.top;
  measures.cell = CellSize(dialog, picker.grid_font);
  measures.code_box_width = code_box.right - code_box.left;
  measures.code_box_height = code_box.bottom - code_box.top;
  measures.label_width = label_text.cx + 2 * platform::win32::MetricAt(SM_CXBORDER, dialog);
  measures.label_height = label_text.cy;
  measures.menu_bar_height = platform::win32::MetricAt(SM_CYMENU, dialog);
  measures.caption_height = platform::win32::MetricAt(SM_CYCAPTION, dialog);
  measures.frame_width = measures.width - (client.right - client.left);
  picker.layout = LayOutPicker(measures);

  Place(Item(dialog, IDC_PICKER_LABEL), picker.layout.label);
  Place(Item(dialog, IDC_PICKER_CODE), picker.layout.code_box);
  Place(Item(dialog, IDC_PICKER_UP_DOWN), picker.layout.up_down);
  Place(Item(dialog, IDC_PICKER_RESULT), picker.layout.result_box);
}

RECT GridRect(const Picker& picker) {
  const PickerLayout& l = picker.layout;
  return {l.grid_left, l.grid_top, l.grid_left + l.columns * l.cell + 1,
          l.grid_top + l.rows * l.cell + 1};
}

RECT CellInside(const Picker& picker, int row, int column) {
  const platform::Rect cell = CellRect(picker.layout, row, column);
  return {cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
}

void InvalidateCell(HWND dialog, const Picker& picker, int row, int column) {
  const RECT inside = CellInside(picker, row, column);
  InvalidateRect(dialog, &inside, FALSE);
}

void Paint(HWND dialog, const Picker& picker) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  const HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
  const HGDIOBJ old_brush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
  const HGDIOBJ old_font = SelectObject(dc, picker.grid_font);
  SetBkMode(dc, TRANSPARENT);
  const PickerLayout& layout = picker.layout;
  for (int row = 0; row < layout.rows; ++row) {
    for (int column = 0; column < layout.columns; ++column) {
      RECT cell = Win32Rect(CellRect(layout, row, column));
      RECT overlap;
      if (!IntersectRect(&overlap, &cell, &paint.rcPaint)) continue;
      Rectangle(dc, cell.left, cell.top, cell.right, cell.bottom);
      const std::u16string character =
          CharacterOf(CodeOfCell(layout, picker_first_code, row, column));
      if (!character.empty()) {
        DrawTextW(dc, reinterpret_cast<const wchar_t*>(character.c_str()),
                  static_cast<int>(character.size()), &cell,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      }
    }
  }
  if (layout.rows > 0 && layout.columns > 0) {
    const RECT selected = CellInside(picker, picker.selected_row, picker.selected_column);
    InvertRect(dc, &selected);
  }
  SelectObject(dc, old_font);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  EndPaint(dialog, &paint);
}

// The grid from a new first code, its first cell selected.
void ShowFrom(HWND dialog, Picker& picker, int first_code) {
  picker_first_code = WrapCode(first_code);
  picker.selected_code = picker_first_code;
  picker.selected_row = 0;
  picker.selected_column = 0;
  const RECT grid = GridRect(picker);
  InvalidateRect(dialog, &grid, FALSE);
}

void Select(HWND dialog, Picker& picker, int row, int column) {
  InvalidateCell(dialog, picker, picker.selected_row, picker.selected_column);
  picker.selected_row = row;
  picker.selected_column = column;
  picker.selected_code = CodeOfCell(picker.layout, picker_first_code, row, column);
  InvalidateCell(dialog, picker, row, column);
}

void OnClick(HWND dialog, Picker& picker, platform::Point point) {
  int row = 0;
  int column = 0;
  if (!CellAt(picker.layout, point, &row, &column)) return;
  Select(dialog, picker, row, column);
  SetDlgItemInt(dialog, IDC_PICKER_CODE, static_cast<UINT>(picker.selected_code), FALSE);
  // At the caret of the result box, over its selection, undoable; half a pair inserts
  // nothing.
  const std::u16string character = CharacterOf(picker.selected_code);
  if (character.empty()) return;
  SendDlgItemMessageW(dialog, IDC_PICKER_RESULT, EM_REPLACESEL, TRUE,
                      reinterpret_cast<LPARAM>(character.c_str()));
}

void OnCodeTyped(HWND dialog, Picker& picker) {
  wchar_t text[kCodeDigits + 2] = {};
  GetDlgItemTextW(dialog, IDC_PICKER_CODE, text, kCodeDigits + 2);
  int code = 0;
  if (!ParseCode(reinterpret_cast<const char16_t*>(text), &code)) return;
  int row = 0;
  int column = 0;
  if (FindCode(picker.layout, picker_first_code, code, &row, &column)) {
    Select(dialog, picker, row, column);
  } else {
    ShowFrom(dialog, picker, code);
  }
}

// The up arrow pages back, the down arrow forward, from the control's value.
void OnArrow(HWND dialog, Picker& picker, const NMUPDOWN& change) {
  const int first = PageFrom(picker.layout, change.iPos, change.iDelta > 0 ? -1 : 1);
  ShowFrom(dialog, picker, first);
  SendDlgItemMessageW(dialog, IDC_PICKER_UP_DOWN, UDM_SETPOS32, 0, first);
}

void Close(HWND dialog, Picker& picker, bool ok) {
  if (ok && picker.result != nullptr) {
    wchar_t text[kPickerResultLimit + 1] = {};
    GetDlgItemTextW(dialog, IDC_PICKER_RESULT, text, kPickerResultLimit + 1);
    *picker.result = reinterpret_cast<const char16_t*>(text);
  }
  EndDialog(dialog, ok ? IDOK : IDCANCEL);
}

// The fonts at the scale of the picker's monitor, whatever the screen's.
void SetFonts(HWND dialog, Picker& picker) {
  const int dpi = platform::win32::ScaleOf(dialog).dpi;
  picker.grid_font = reinterpret_cast<HFONT>(PreviewFontAt(dpi));
  const auto control_font = reinterpret_cast<WPARAM>(PickerFontAt(dpi));
  SendDlgItemMessageW(dialog, IDC_PICKER_LABEL, WM_SETFONT, control_font, TRUE);
  SendDlgItemMessageW(dialog, IDC_PICKER_CODE, WM_SETFONT, control_font, TRUE);
  SendDlgItemMessageW(dialog, IDC_PICKER_RESULT, WM_SETFONT,
                      reinterpret_cast<WPARAM>(picker.grid_font), TRUE);
}

void OnInit(HWND dialog, Picker& picker) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&picker));
  picker.dpi = platform::win32::ScaleOf(dialog).dpi;
  // While it is open the keyboard's special keys go to the picker.
  SetEditorDialog(Opaque(dialog));
  SendDlgItemMessageW(dialog, IDC_PICKER_CODE, EM_LIMITTEXT, kCodeDigits, 0);
  SendDlgItemMessageW(dialog, IDC_PICKER_RESULT, EM_LIMITTEXT, kPickerResultLimit, 0);
  const HWND up_down = Item(dialog, IDC_PICKER_UP_DOWN);
  SendMessageW(up_down, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Item(dialog, IDC_PICKER_CODE)), 0);
  SendMessageW(up_down, UDM_SETRANGE32, 0, kLargestCode);
  SendMessageW(up_down, UDM_SETPOS32, 0, picker_first_code);

  int left = 0;
  int top = 0;
  int width = kPickerDefaultWidth;
  int height = kPickerDefaultHeight;
  LoadWindowRect(kRectName, &left, &top, &width, &height);
  // A stored size is in the pixels of its monitor; the first one is the default size at the
  // scale of the monitor it opens on.
  const bool first = width == kPickerDefaultWidth && height == kPickerDefaultHeight;
  platform::RestorePlace(Opaque(dialog), {left, top}, {width, height}, first,
                         platform::win32::VirtualScreen());
  SetFonts(dialog, picker);
  LayOut(dialog, picker);
  ShowFrom(dialog, picker, picker_first_code);
  picker.ready = true;
}

INT_PTR CALLBACK PickerProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    OnInit(dialog, *reinterpret_cast<Picker*>(lparam));
    return TRUE;
  }
  Picker* picker = PickerOf(dialog);
  if (picker == nullptr) return FALSE;
  switch (message) {
    case WM_PAINT:
      Paint(dialog, *picker);
      return TRUE;
    case WM_LBUTTONDOWN:
      OnClick(dialog, *picker,
              {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
      return TRUE;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      const platform::win32::Scale scale = platform::win32::ScaleOf(dialog);
      limits->ptMinTrackSize = {scale.Real(kPickerDefaultWidth), scale.Real(kPickerDefaultHeight)};
      return TRUE;
    }
    case WM_DPICHANGED:
      // On a monitor of another scale: its fonts, cells and size there.
      platform::win32::FollowScale(dialog, picker->dpi, wparam, lparam);
      picker->dpi = platform::win32::ScaleOf(dialog).dpi;
      SetFonts(dialog, *picker);
      LayOut(dialog, *picker);
      ShowFrom(dialog, *picker, picker_first_code);
      InvalidateRect(dialog, nullptr, TRUE);
      return TRUE;
    case WM_SIZE:
      if (!picker->ready) return FALSE;
      SaveWindowRect(kRectName, Opaque(dialog));
      LayOut(dialog, *picker);
      ShowFrom(dialog, *picker, picker_first_code);
      InvalidateRect(dialog, nullptr, TRUE);
      return TRUE;
    case WM_MOVE:
      if (picker->ready) SaveWindowRect(kRectName, Opaque(dialog));
      return FALSE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->idFrom == IDC_PICKER_UP_DOWN && header->code == UDN_DELTAPOS) {
        OnArrow(dialog, *picker, *reinterpret_cast<const NMUPDOWN*>(lparam));
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);  // the control keeps its own step
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          Close(dialog, *picker, true);
          return TRUE;
        case IDCANCEL:
          Close(dialog, *picker, false);
          return TRUE;
        case IDC_PICKER_CODE:
          if (HIWORD(wparam) == EN_CHANGE && picker->ready) OnCodeTyped(dialog, *picker);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_CLOSE:
      Close(dialog, *picker, false);
      return TRUE;
    default:
      return FALSE;
  }
}

HINSTANCE LibraryInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&PickerProcedure), &module);
  return module;
}

}  // namespace

bool RunUnicodePicker(platform::WindowHandle owner, std::u16string* text) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  Picker picker;
  picker.result = text;
  const INT_PTR answer =
      DialogBoxParamW(LibraryInstance(), MAKEINTRESOURCEW(IDD_UNICODE_PICKER),
                      reinterpret_cast<HWND>(owner), PickerProcedure,
                      reinterpret_cast<LPARAM>(&picker));
  // The keyboard addresses the owner again.
  SetEditorDialog(owner);
  return answer == IDOK;
}

}  // namespace quorel
