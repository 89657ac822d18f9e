// The add/edit dialog: one slide definition or one glossary entry written by the user,
// checked, and put into the library and the main window's list.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>

#include "editor/editor_resources.h"
#include "editor/editor_timings.h"
#include "editor/editor_windows.h"

namespace quorel::editor {

namespace {

enum Page { kLetterPage = 1, kSpecialKeyPage = 2, kExpansionPage = 3 };
enum Fixed { kNothingFixed = 0, kKeyFixed = 1, kDirectionFixed = 2 };

// What the entry point knows and what the dialog gathers.
struct Request {
  const wchar_t* caption = L"";
  int page = 0;
  int fixed = kNothingFixed;
  int caption_mode = 0;
  HWND list = nullptr;
  bool editing = false;
  int edited_slide = 0;
  int prior_direction = 0;
  WORD prior_kind = 0;
  WORD prior_parameter = 255;
  GLOSSARY_ENTRY edited_entry = nullptr;
  std::wstring prior_short_form;
  int direction = 0;
  WORD kind = 0;
  WORD parameter = 255;
  bool key_chosen = false;  // apart from the parameter: 255 is the letter U+00FF too
  std::wstring key_name;
  std::wstring short_form;
  std::wstring preview;
  std::wstring text;
  std::wstring prior_preview;  // as the dialog opened with them
  std::wstring prior_text;
  int added_index = -1;
  bool dialogReady = false;
  int dpi = 96;  // the scale the dialog is laid out at
};

constexpr wchar_t kRectPrefix[] = L"mru edit form";
constexpr int kMemoLimit = 1024;
constexpr COLORREF kCream = RGB(255, 251, 230);

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::wstring CharacterName(WORD parameter) { return std::wstring(1, static_cast<wchar_t>(parameter)); }

std::wstring SpecialName(int kind, int parameter) {
  const QUOREL_CHAR* name = nullptr;
  return KEYDEF_GetSpecialKeyName(kind, parameter, &name) ? Or(name) : std::wstring();
}

// The library keeps a line break as CR; the memo shows CR LF.
std::wstring MemoText(const std::wstring& text) {
  std::wstring shown(text.size() * 2 + 1, L'\0');
  STRUTILS_AddLinefeeds(shown.data(), text.c_str());
  shown.resize(wcslen(shown.c_str()));
  return shown;
}

// Entity escapes typed by the user become characters; line feeds go.
std::wstring Decoded(std::wstring memo) {
  memo.push_back(L'\0');
  STRUTILS_HTMLtoUnicode(memo.data());
  STRUTILS_RemoveLinefeeds(memo.data());
  memo.resize(wcslen(memo.c_str()));
  return memo;
}

// The text as it will be stored. An escape of NUL ends the decoded text where it stands;
// the NUL is kept at the end then, so that the check refuses a text the file would cut.
std::wstring StoredText(const std::wstring& memo) {
  std::wstring text = Decoded(memo);
  // Two different marks after the memo come through decoding unless a NUL ended it first.
  if (Decoded(memo + L"x") == Decoded(memo + L"y")) text.push_back(L'\0');
  return text;
}

void RememberDirection(HWND dialog, Request& request) {
  const int index = static_cast<int>(SendDlgItemMessageW(dialog, IDC_DIRECTION_COMBO, CB_GETCURSEL, 0, 0));
  request.direction = index + 1;
  WriteMru(L"mru edit direction", request.direction);
}

void LayOut(HWND dialog, const Request& request) {
  const Scale s = ScaleOf(dialog);
  RECT client;
  GetClientRect(dialog, &client);
  const int w = s.Design(client.right);
  const int h = s.Design(client.bottom);
  const int key_width = request.page == kLetterPage ? 24 : request.page == kSpecialKeyPage ? 130 : 165;
  const int key_id = request.page == kLetterPage       ? IDC_LETTER_EDIT
                     : request.page == kSpecialKeyPage ? IDC_SPECIAL_KEY_COMBO
                                                       : IDC_SHORT_FORM_EDIT;
  s.Move(Item(dialog, IDC_SLIDE_LABEL), 8, 12, 50, 20);
  s.Move(Item(dialog, key_id), 60, 8, key_width, request.page == kSpecialKeyPage ? 300 : 24);
  int x = 60 + key_width + 8;
  if (request.page != kExpansionPage) {
    s.Move(Item(dialog, IDC_TO_LABEL), x, 12, 20, 20);
    s.Move(Item(dialog, IDC_DIRECTION_COMBO), x + 24, 8, 110, 300);
    x += 24 + 118;
  }
  s.Move(Item(dialog, IDC_PRODUCE_LABEL), x, 12, 90, 20);
  const int bottom_strip = 40;
  const int display_strip = 38;
  s.Move(Item(dialog, IDC_LONG_FORM_MEMO), 5, 40, w - 10, h - 40 - display_strip - bottom_strip);
  const int display_top = h - bottom_strip - display_strip + 7;
  s.Move(Item(dialog, IDC_DISPLAY_LABEL), 8, display_top + 4, 70, 20);
  s.Move(Item(dialog, IDC_DISPLAY_EDIT), 80, display_top, w - 85, 24);
  const int button_top = h - bottom_strip + 7;
  s.Move(Item(dialog, IDC_MACRO_BUTTON), 5, button_top, 110, 26);
  s.Move(Item(dialog, IDOK), w - 190, button_top, 90, 26);
  s.Move(Item(dialog, IDCANCEL), w - 95, button_top, 90, 26);
}

// --- the library and the list ----------------------------------------------------------------

// As the list shows the rows it fills itself.
std::wstring NewRowCaption(const Request& request) {
  return request.caption_mode == 2 ? DirectionCaption(request.direction)
                                   : SlideKeyCaption(request.kind, request.parameter);
}

std::wstring Cell(const Request& request) {
  return Wide(ExpansionCell(Utf16(request.text), Utf16(request.preview)));
}

const wchar_t* PreviewOrNull(const Request& request) {
  return request.preview.empty() ? nullptr : request.preview.c_str();
}

void SelectAndCentre(HWND list, int row) {
  SelectOnly(list, row);
  CentreRow(list, row);
}

void AddSlide(Request& request) {
  int index = 0;
  if (!DICO_AddSlideDefinition(request.direction, request.kind, request.parameter,
                               PreviewOrNull(request), request.text.c_str(), &index)) {
    return;
  }
  request.added_index = index;
  JournalOf(FileKind::kSlides).Added(StoreOf(FileKind::kSlides), index);
  HWND list = request.list;
  const int row = RowForNewSlide(RowCount(list), [&](int other) {
    return DICO_CompareSlideDefinitions(index, static_cast<int>(RowHandle(list, other))) < 0;
  });
  const int placed = InsertRow(list, row, index, NewRowCaption(request), Cell(request));
  SelectAndCentre(list, placed);
}

// False when the dialog changed nothing: the file is then not written.
bool ModifySlide(Request& request) {
  HWND list = request.list;
  const std::vector<int> selected = SelectedRows(list);
  if (request.direction != request.prior_direction || request.kind != request.prior_kind ||
      request.parameter != request.prior_parameter) {
    // A new key or direction: the definition moves to its sorted place.
    JournalOf(FileKind::kSlides).Deleting(StoreOf(FileKind::kSlides), request.edited_slide);
    DICO_DeleteSlideDefinition(request.edited_slide);
    if (!selected.empty()) DeleteRow(list, selected[0]);
    AddSlide(request);
    return true;
  }
  if (request.text == request.prior_text && request.preview == request.prior_preview) return false;
  JournalOf(FileKind::kSlides).Modifying(StoreOf(FileKind::kSlides), request.edited_slide);
  DICO_ModifySlideDefinition(request.edited_slide, PreviewOrNull(request), request.text.c_str());
  if (!selected.empty()) SetRowTexts(list, selected[0], RowCaption(list, selected[0]), Cell(request));
  return true;
}

void AddExpansion(Request& request) {
  int index = 0;
  GLOSSARY_ENTRY entry = nullptr;
  if (!GLOSSARY_AddGlossaryEntry(request.short_form.c_str(), PreviewOrNull(request),
                                 request.text.c_str(), &index, &entry)) {
    return;
  }
  JournalOf(FileKind::kGlossary).Added(StoreOf(FileKind::kGlossary), reinterpret_cast<ItemHandle>(entry));
  const int row = InsertRow(request.list, index, reinterpret_cast<LPARAM>(entry),
                            request.short_form, Cell(request));
  SelectAndCentre(request.list, row);
}

bool ModifyExpansion(Request& request) {
  HWND list = request.list;
  const std::vector<int> selected = SelectedRows(list);
  const auto edited = reinterpret_cast<ItemHandle>(request.edited_entry);
  // A short form of a hand-made file may hold capitals, which the box shows in small
  // letters: the same short form, whose entry stays where it is.
  if (!SameShortForm(Utf16(request.short_form), Utf16(request.prior_short_form))) {
    JournalOf(FileKind::kGlossary).Deleting(StoreOf(FileKind::kGlossary), edited);
    GLOSSARY_DeleteGlossaryEntry(request.edited_entry);
    if (!selected.empty()) DeleteRow(list, selected[0]);
    AddExpansion(request);
    return true;
  }
  if (request.text == request.prior_text && request.preview == request.prior_preview) return false;
  JournalOf(FileKind::kGlossary).Modifying(StoreOf(FileKind::kGlossary), edited);
  GLOSSARY_ModifyGlossaryEntry(request.edited_entry, PreviewOrNull(request), request.text.c_str());
  if (!selected.empty()) SetRowTexts(list, selected[0], RowCaption(list, selected[0]), Cell(request));
  return true;
}

// --- the dialog ------------------------------------------------------------------------------

void okButtonClick(HWND dialog, Request& request) {
  const Timer timer("the dialog's OK: checked, into the library and the list");
  request.preview = TextOf(Item(dialog, IDC_DISPLAY_EDIT));
  HWND memo = Item(dialog, IDC_LONG_FORM_MEMO);
  const std::wstring typed = TextOf(memo);
  // Checked as the user typed it: blanks alone stay blanks whatever their first becomes.
  const std::wstring checked = StoredText(typed);
  const std::wstring converted = Wide(ConvertLeadingBlank(Utf16(typed)));
  if (converted != typed) SetWindowTextW(memo, converted.c_str());
  if (request.page == kExpansionPage) {
    const std::wstring short_form = TextOf(Item(dialog, IDC_SHORT_FORM_EDIT));
    if (auto refusal = ValidateExpansion(
            Utf16(short_form), [](char16_t c) { return GLOSSARY_IsValidShortFormChar(c) != 0; },
            Utf16(checked))) {
      Tell(dialog, *refusal);
      return;
    }
    request.short_form = short_form;
    request.text = StoredText(converted);
    if (request.editing && !ModifyExpansion(request)) {
      EndDialog(dialog, IDCANCEL);  // nothing changed: nothing to write
      return;
    }
    if (!request.editing) AddExpansion(request);
  } else {
    if (auto refusal = ValidateSlide(request.direction, request.key_chosen, Utf16(checked))) {
      Tell(dialog, *refusal);
      return;
    }
    request.text = StoredText(converted);
    if (request.editing && !ModifySlide(request)) {
      EndDialog(dialog, IDCANCEL);  // nothing changed: nothing to write
      return;
    }
    if (!request.editing) AddSlide(request);
  }
  EndDialog(dialog, IDOK);
}

void macroButtonClick(HWND dialog) {
  RECT button;
  GetWindowRect(Item(dialog, IDC_MACRO_BUTTON), &button);
  const QUOREL_CHAR* text = SPECIALS_PopupMenu(dialog, button.left, button.top);
  // Nothing chosen inserts nothing, over the selection as a choice would.
  const std::wstring inserted = Or(text);
  HWND memo = Item(dialog, IDC_LONG_FORM_MEMO);
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::size_t length = static_cast<std::size_t>(GetWindowTextLengthW(memo)) - (end - start);
  const auto limit = static_cast<std::size_t>(SendMessageW(memo, EM_GETLIMITTEXT, 0, 0));
  // The box would cut what does not fit: the user is told, and nothing is inserted.
  if (length + inserted.size() > limit) {
    Tell(dialog, L"The text would be longer than " + std::to_wstring(limit) +
                     L" characters with this inserted; nothing was inserted.",
         L"Insert Macro");
  } else {
    SendMessageW(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
  }
  SetFocus(memo);
}

LRESULT CALLBACK letterEditKeyPress(HWND edit, UINT message, WPARAM wparam, LPARAM lparam,
                                 UINT_PTR, DWORD_PTR) {
  // A character beyond U+FFFF comes as two halves: neither is taken, the pair is refused.
  if (message == WM_CHAR && IS_HIGH_SURROGATE(wparam)) return 0;
  if (message == WM_CHAR && IS_LOW_SURROGATE(wparam)) {
    Tell(GetParent(edit), kWideCharacterRefusal);
    return 0;
  }
  if (message == WM_CHAR) {
    SetWindowTextW(edit, L"");  // a typed character replaces the one before
    if (wparam == L' ') {
      Tell(GetParent(edit), kSpaceRefusal);
      return 0;
    }
    if (wparam == VK_BACK) return 0;
  }
  return DefSubclassProc(edit, message, wparam, lparam);
}

LRESULT CALLBACK longFormMemoKeyDown(HWND memo, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                               DWORD_PTR) {
  // AltGr (Ctrl and Alt) types letters on many layouts: AltGr+A is a letter, not Select All.
  const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
                       (GetKeyState(VK_MENU) & 0x8000) == 0;
  if (message == WM_KEYDOWN && wparam == 'A' && control) {
    SendMessageW(memo, EM_SETSEL, 0, -1);
    return 0;
  }
  if (message == WM_CHAR && wparam == 1) return 0;  // the Ctrl+A character
  return DefSubclassProc(memo, message, wparam, lparam);
}

// The dialog's own font in italic, for the "display as:" label; made once for each scale
// met, since the dialog's font follows its monitor.
HFONT ItalicOf(HWND dialog) {
  static std::map<int, HFONT> italics;
  HFONT& italic = italics[ScaleOf(dialog).dpi];
  if (italic == nullptr) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font);
    font.lfItalic = TRUE;
    italic = CreateFontIndirectW(&font);
  }
  return italic;
}

// The fonts the dialog sets itself, at its scale: the texts in the keyboard's preview font,
// the label in italic.
void SetOwnFonts(HWND dialog) {
  const auto font = reinterpret_cast<WPARAM>(PreviewListFont(ScaleOf(dialog).dpi));
  SendDlgItemMessageW(dialog, IDC_LONG_FORM_MEMO, WM_SETFONT, font, TRUE);
  SendDlgItemMessageW(dialog, IDC_DISPLAY_EDIT, WM_SETFONT, font, TRUE);
  SendDlgItemMessageW(dialog, IDC_DISPLAY_LABEL, WM_SETFONT,
                      reinterpret_cast<WPARAM>(ItalicOf(dialog)), TRUE);
}

void ShowPage(HWND dialog, const Request& request) {
  const bool slide = request.page != kExpansionPage;
  ShowWindow(Item(dialog, IDC_LETTER_EDIT), request.page == kLetterPage ? SW_SHOW : SW_HIDE);
  ShowWindow(Item(dialog, IDC_SPECIAL_KEY_COMBO), request.page == kSpecialKeyPage ? SW_SHOW : SW_HIDE);
  ShowWindow(Item(dialog, IDC_SHORT_FORM_EDIT), slide ? SW_HIDE : SW_SHOW);
  ShowWindow(Item(dialog, IDC_TO_LABEL), slide ? SW_SHOW : SW_HIDE);
  ShowWindow(Item(dialog, IDC_DIRECTION_COMBO), slide ? SW_SHOW : SW_HIDE);
  SetDlgItemTextW(dialog, IDC_SLIDE_LABEL, slide ? L"Slide" : L"Expand");
}

void OnInit(HWND dialog, Request& request) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&request));
  request.dpi = ScaleOf(dialog).dpi;
  // While it is open the keyboard's special keys come here.
  GLOBAL_SetQuorelEditorCurrentDialog(dialog);
  RestoreRect(dialog, kRectPrefix);
  SetWindowTextW(dialog, request.caption);
  ShowPage(dialog, request);
  HWND directions = Item(dialog, IDC_DIRECTION_COMBO);
  for (std::u16string_view name : kDirectionNames) {
    SendMessageW(directions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  }
  HWND keys = Item(dialog, IDC_SPECIAL_KEY_COMBO);
  for (std::u16string_view name : kSpecialKeyNames) {
    SendMessageW(keys, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  }
  SendMessageW(keys, CB_SETMINVISIBLE, 14, 0);
  SendDlgItemMessageW(dialog, IDC_SHORT_FORM_EDIT, EM_LIMITTEXT, kLongestShortForm, 0);
  SendDlgItemMessageW(dialog, IDC_LETTER_EDIT, EM_LIMITTEXT, 1, 0);
  SendDlgItemMessageW(dialog, IDC_LONG_FORM_MEMO, EM_LIMITTEXT, kMemoLimit, 0);
  SendDlgItemMessageW(dialog, IDC_DISPLAY_EDIT, EM_LIMITTEXT, 200, 0);
  SetWindowSubclass(Item(dialog, IDC_LETTER_EDIT), letterEditKeyPress, 1, 0);
  SetWindowSubclass(Item(dialog, IDC_LONG_FORM_MEMO), longFormMemoKeyDown, 1, 0);

  if (request.page == kLetterPage || request.page == kSpecialKeyPage) {
    if (request.page == kLetterPage) {
      SetDlgItemTextW(dialog, IDC_LETTER_EDIT, request.key_name.c_str());
      if (request.fixed == kKeyFixed) EnableWindow(Item(dialog, IDC_LETTER_EDIT), FALSE);
    } else {
      // No key known: none shows chosen, and the user chooses one here.
      const int found = request.key_name.empty() ? -1 : SpecialKeyIndex(Utf16(request.key_name));
      SendMessageW(keys, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
      if (request.fixed == kKeyFixed) EnableWindow(keys, FALSE);
    }
    SendMessageW(directions, CB_SETCURSEL, static_cast<WPARAM>(request.direction - 1), 0);
    if (request.fixed == kDirectionFixed) EnableWindow(directions, FALSE);
    RememberDirection(dialog, request);
  } else if (!request.short_form.empty()) {
    SetDlgItemTextW(dialog, IDC_SHORT_FORM_EDIT, request.short_form.c_str());
  }
  SetOwnFonts(dialog);
  SetDlgItemTextW(dialog, IDC_DISPLAY_EDIT, request.preview.c_str());
  SetDlgItemTextW(dialog, IDC_LONG_FORM_MEMO, MemoText(request.text).c_str());
  LayOut(dialog, request);

  // The focus where the user acts next: the key when it is still to be chosen, else the
  // memo with its caret at the end.
  const bool key_open = request.page != kExpansionPage && !request.key_chosen;
  const bool to_memo = !key_open &&
                       (request.page == kSpecialKeyPage || request.fixed == kKeyFixed ||
                        (request.page == kLetterPage && request.editing && !request.text.empty()) ||
                        (request.page == kExpansionPage && !request.short_form.empty()));
  HWND focus = to_memo                             ? Item(dialog, IDC_LONG_FORM_MEMO)
               : request.page == kLetterPage       ? Item(dialog, IDC_LETTER_EDIT)
               : request.page == kSpecialKeyPage   ? Item(dialog, IDC_SPECIAL_KEY_COMBO)
                                                   : Item(dialog, IDC_SHORT_FORM_EDIT);
  SetFocus(focus);
  if (to_memo) {
    const int end = GetWindowTextLengthW(focus);
    SendMessageW(focus, EM_SETSEL, static_cast<WPARAM>(end), end);
  }
  request.dialogReady = true;
}

// The texts differ from those the dialog opened with: Esc would throw the user's typing away.
bool TypedSomething(HWND dialog, const Request& request) {
  return TextOf(Item(dialog, IDC_LONG_FORM_MEMO)) != MemoText(request.text) ||
         TextOf(Item(dialog, IDC_DISPLAY_EDIT)) != request.preview ||
         (request.page == kExpansionPage && TextOf(Item(dialog, IDC_SHORT_FORM_EDIT)) != request.short_form);
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    OnInit(dialog, *reinterpret_cast<Request*>(lparam));
    return FALSE;  // the focus is set
  }
  auto* request = reinterpret_cast<Request*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (request == nullptr) return FALSE;
  switch (message) {
    case WM_SIZE:
      LayOut(dialog, *request);
      InvalidateRect(dialog, nullptr, TRUE);
      return TRUE;
    case WM_DPICHANGED:
      // On a monitor of another scale: the system sets the dialog's own font anew; those it
      // set itself follow, and it takes the system's rectangle.
      platform::win32::FollowScale(dialog, request->dpi, wparam, lparam);
      request->dpi = ScaleOf(dialog).dpi;
      SetOwnFonts(dialog);
      LayOut(dialog, *request);
      InvalidateRect(dialog, nullptr, TRUE);
      return TRUE;
    case WM_MOVE:
      if (request->dialogReady) StoreRect(dialog, kRectPrefix);
      return FALSE;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      const Scale s = ScaleOf(dialog);
      limits->ptMinTrackSize = {s.Real(450), s.Real(300)};
      return TRUE;
    }
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lparam) == Item(dialog, IDC_DISPLAY_EDIT)) {
        static HBRUSH cream = CreateSolidBrush(kCream);
        SetBkColor(reinterpret_cast<HDC>(wparam), kCream);
        return reinterpret_cast<INT_PTR>(cream);
      }
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          okButtonClick(dialog, *request);
          return TRUE;
        case IDCANCEL:
          if (TypedSomething(dialog, *request) &&
              Tell(dialog, L"Discard what you typed?", L"Cancel", MB_YESNO | MB_ICONQUESTION) !=
                  IDYES) {
            return TRUE;
          }
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        case IDC_MACRO_BUTTON:
          macroButtonClick(dialog);
          return TRUE;
        case IDC_LETTER_EDIT:
          if (HIWORD(wparam) == EN_CHANGE) {
            const std::wstring letter = TextOf(Item(dialog, IDC_LETTER_EDIT));
            if (!letter.empty()) {
              request->kind = kCharacterKey;
              request->parameter = letter[0];
              request->key_chosen = true;
            }
          }
          return TRUE;
        case IDC_SPECIAL_KEY_COMBO:
          if (HIWORD(wparam) == CBN_SELCHANGE) {
            const int index = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SPECIAL_KEY_COMBO, CB_GETCURSEL, 0, 0));
            unsigned short kind = 0;
            unsigned short parameter = 0;
            if (index >= 0 && index < static_cast<int>(std::size(kSpecialKeyNames)) &&
                KEYDEF_GetSpecialKey(Wide(kSpecialKeyNames[index]).c_str(), &kind, &parameter)) {
              request->kind = kind;
              request->parameter = parameter;
              request->key_chosen = true;
            }
          }
          return TRUE;
        case IDC_DIRECTION_COMBO:
          if (HIWORD(wparam) == CBN_SELCHANGE) RememberDirection(dialog, *request);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_CLOSE:
      // As Esc and Cancel: typed text is not thrown away without a word.
      SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR Run(HWND owner, Request& request) {
  const INT_PTR answer = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_EDIT_ADD),
                                         owner, DialogProcedure, reinterpret_cast<LPARAM>(&request));
  // The keyboard addresses the main window again.
  GLOBAL_SetQuorelEditorCurrentDialog(owner);
  return answer;
}

void FillKeyName(Request& request) {
  if (request.kind == kCharacterKey) {
    request.key_name = request.key_chosen ? CharacterName(request.parameter) : std::wstring();
  } else {
    request.key_name = SpecialName(request.kind, request.parameter);
  }
}

}  // namespace

INT_PTR AddSlideDialog(HWND owner, int fixed, int caption_mode, HWND list, int direction,
                       WORD kind, WORD parameter, bool key_chosen, AddedSlide* added) {
  Request request;
  request.fixed = fixed;
  request.caption_mode = caption_mode;
  request.list = list;
  request.direction = direction != 0 ? direction : ReadMru(L"mru edit direction", 1);
  request.kind = kind;
  request.parameter = parameter;
  request.key_chosen = key_chosen;
  FillKeyName(request);
  const bool letter = kind == kCharacterKey;
  request.caption = letter ? L"Add Letter Slide" : L"Add Special Key Slide";
  request.page = letter ? kLetterPage : kSpecialKeyPage;
  const INT_PTR answer = Run(owner, request);
  if (answer == IDOK && added != nullptr) *added = {request.kind, request.parameter, request.added_index};
  return answer;
}

INT_PTR EditSlideDialog(HWND owner, int fixed, int caption_mode, int index, HWND list) {
  Request request;
  request.fixed = fixed;
  request.caption_mode = caption_mode;
  request.list = list;
  request.editing = true;
  request.edited_slide = index;
  unsigned short kind = 0;
  unsigned short parameter = 0;
  const QUOREL_CHAR* preview = nullptr;
  const QUOREL_CHAR* text = nullptr;
  if (!DICO_GetSlideDefinition(index, &request.prior_direction, &kind, &parameter, &preview, &text)) {
    return IDCANCEL;
  }
  request.prior_kind = kind;
  request.prior_parameter = parameter;
  request.direction = request.prior_direction;
  request.kind = kind;
  request.parameter = parameter;
  request.key_chosen = true;
  request.preview = Or(preview);
  request.text = Or(text);
  request.prior_preview = request.preview;
  request.prior_text = request.text;
  FillKeyName(request);
  const bool letter = kind == kCharacterKey;
  request.caption = letter ? L"Edit Letter Slide" : L"Edit Special Key Slide";
  request.page = letter ? kLetterPage : kSpecialKeyPage;
  return Run(owner, request);
}

INT_PTR AddExpansionDialog(HWND owner, HWND list) {
  Request request;
  request.list = list;
  request.caption = L"Add Expansion";
  request.page = kExpansionPage;
  return Run(owner, request);
}

INT_PTR EditExpansionDialog(HWND owner, HWND list, GLOSSARY_ENTRY entry) {
  Request request;
  request.list = list;
  request.editing = true;
  request.edited_entry = entry;
  const QUOREL_CHAR* short_form = nullptr;
  const QUOREL_CHAR* preview = nullptr;
  const QUOREL_CHAR* long_form = nullptr;
  if (!GLOSSARY_GetGlossaryEntry(entry, &short_form, &preview, &long_form)) return IDCANCEL;
  request.prior_short_form = Or(short_form);
  request.short_form = request.prior_short_form;
  request.preview = Or(preview);
  request.text = Or(long_form);
  request.prior_preview = request.preview;
  request.prior_text = request.text;
  request.caption = L"Edit Expansion";
  request.page = kExpansionPage;
  return Run(owner, request);
}

}  // namespace quorel::editor
