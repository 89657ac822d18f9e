// What the editor's main window and its add/edit dialog share: the remembered values, the
// messages, the list rows and the dialog's entry points.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "editor/editor_rules.h"
#include "editor/undo_journal.h"
#include "library/api/QuorelApi.h"
#include "platform/win32/dpi_scale.h"

namespace quorel::editor {

// The library's text is UTF-16: wchar_t here, char16_t in the portable rules.
inline std::wstring Wide(std::u16string_view text) { return {text.begin(), text.end()}; }
inline std::u16string Utf16(std::wstring_view text) { return {text.begin(), text.end()}; }
inline std::wstring Or(const wchar_t* text) { return text != nullptr ? text : L""; }

// The remembered values under the editor's key ("mru ..."): a value that cannot be read
// gives the default; one that cannot be written is lost.
int ReadMru(const wchar_t* name, int fallback);
void WriteMru(const wchar_t* name, int value);
// The four values of a window's rectangle, with this prefix ("mru main form").
void RestoreRect(HWND window, const wchar_t* prefix);
void StoreRect(HWND window, const wchar_t* prefix);

using platform::win32::Scale;
using platform::win32::ScaleOf;

int Tell(HWND owner, std::wstring_view text, std::wstring_view title, UINT buttons = MB_OK);
void Tell(HWND owner, const Refusal& refusal);

// The keyboard's preview font from the options, for the lists, the memo and the display
// edit, at a window's dots per inch; made once for each, kept for the life of the program.
HFONT PreviewListFont(int dpi);

// The text of a window or control.
std::wstring TextOf(HWND window);

// List rows: each keeps the library's handle of what it shows. The lists hold no rows of
// their own (owner data): the editor keeps them and hands out their texts as they are
// drawn, so that a list of a hundred thousand rows fills at once.
int InsertRow(HWND list, int at, LPARAM handle, const std::wstring& caption,
              const std::wstring& cell);
void SetRowTexts(HWND list, int row, const std::wstring& caption, const std::wstring& cell);
void DeleteRow(HWND list, int row);
// Many rows at once, in one pass.
void DeleteRows(HWND list, const std::vector<int>& rows);
void ClearRows(HWND list);
// Rows appended while a list is being filled; the list learns its count at the end.
void AppendRow(HWND list, LPARAM handle, std::wstring caption, std::wstring cell);
void RowsFilled(HWND list);
int RowCount(HWND list);
std::wstring RowCaption(HWND list, int row);
std::wstring RowCell(HWND list, int row);
LPARAM RowHandle(HWND list, int row);
// The first row whose caption begins with the text, letter case aside; -1 for none.
int FindRowStartingWith(HWND list, std::wstring_view text);
// Answers a list's request for the text of a row (LVN_GETDISPINFOW).
void GiveRowText(NMLVDISPINFOW* request);
// Answers a list's search for a row (LVN_ODFINDITEMW, as when a letter is typed in it) as
// a list view searches rows of its own: from the row it names, by caption or handle,
// round to the top when asked; -1 when no row matches.
int FindRow(const NMLVFINDITEMW& find);
std::vector<int> SelectedRows(HWND list);
void SelectOnly(HWND list, int row);
void CentreRow(HWND list, int row);

// The texts of a slide definition's row.
std::wstring SlideKeyCaption(int kind, int parameter);
std::wstring DirectionCaption(int direction);

// Each file's items as the library holds them, and the changes of this session to them.
ItemStore& StoreOf(FileKind file);
UndoJournal& JournalOf(FileKind file);

// The add/edit dialog. Each returns IDOK when the user saved a change. fixed: 1 the key
// is fixed, 2 the direction; caption_mode: 1 new rows show the key, 2 the direction.
// What the dialog adds or changes is recorded in the file's journal.
struct AddedSlide {
  WORD kind = 0;
  WORD parameter = 255;
  int index = -1;  // the library's handle of the new definition
};
INT_PTR AddSlideDialog(HWND owner, int fixed, int caption_mode, HWND list, int direction,
                       WORD kind, WORD parameter, bool key_chosen, AddedSlide* added = nullptr);
INT_PTR EditSlideDialog(HWND owner, int fixed, int caption_mode, int index, HWND list);
INT_PTR AddExpansionDialog(HWND owner, HWND list);
INT_PTR EditExpansionDialog(HWND owner, HWND list, GLOSSARY_ENTRY entry);

}  // namespace quorel::editor
