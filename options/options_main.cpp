// QuorelOptions: every option a user chooses, with its meaning, written through the
// library and applied to the running keyboard at once.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "library/api/QuorelApi.h"
#include "library/completion/word_store.h"
#include "library/shared_block/shared_block.h"
#include "options/options_model.h"
#include "platform/win32/documents_folder.h"
#include "platform/win32/dpi_scale.h"
#include "platform/win32/manual.h"

namespace quorel::options_program {

namespace {

constexpr wchar_t kClass[] = L"QuorelOptionsWindow";
constexpr wchar_t kTitle[] = L"Quorel Options";
constexpr int kProgramIcon = 1;  // the icon group of the program's resources
constexpr wchar_t kMutexName[] = L"Local\\PelmarikQuorelOptions";

enum ControlId : int {
  kTabs = 100,
  kRestoreButton = 101,
  kOkButton = IDOK,
  kCancelButton = IDCANCEL,
  kApplyButton = 102,
  kHelpButton = 103,
  kFirstSetting = 1000,  // a setting's control: kFirstSetting + its option's place
  kFirstArrows = 1100,   // the arrows beside a number, likewise
  kChooseSlidesButton = 2000,
  kChooseGlossaryButton = 2001,
  kSlidesPath = 2002,
  kGlossaryPath = 2003,
  kForgetWordsButton = 2004,
};
// The page of word completion, where the learned words can be forgotten.
constexpr int kWordsPage = 3;

// A file the keyboard uses, chosen as its menu chooses it and used at once.
struct FileRow {
  int page;
  const wchar_t* caption;
  const wchar_t* meaning;
  int path_id;
  int button_id;
  const wchar_t* filter;  // name, pattern, and the empty pair that ends the list
  const wchar_t* folder;  // below the Documents folder
};
const FileRow kFileRows[] = {
    {1, L"Custom slides file:", L"Your own slide file, when Slide file says so. Choose... applies at once.",
     kSlidesPath, kChooseSlidesButton, L"Slide Files (*.txt)\0*.txt\0\0", L"\\Quorel\\Slidefiles"},
    {2, L"Glossary file:", L"The glossary the keyboard expands from. Choose... applies at once.", kGlossaryPath,
     kChooseGlossaryButton, L"Glossary Files (*.glo)\0*.glo\0\0", L"\\Quorel\\Glossaries"},
};

using Getter = int (*)();
using Setter = int (*)(int);
struct Access {
  Getter get;
  Setter set;
};
// In the options store's order, "Keyboard size" first.
const Access kAccess[] = {
    {PARAMETERS_GetSizeOption, PARAMETERS_SetSizeOption},
    {PARAMETERS_GetAtKeyOption, PARAMETERS_SetAtKeyOption},
    {PARAMETERS_GetSidebarOption, PARAMETERS_SetSidebarOption},
    {PARAMETERS_GetNumbersOption, PARAMETERS_SetNumbersOption},
    {PARAMETERS_GetShiftingOption, PARAMETERS_SetShiftingOption},
    {PARAMETERS_GetArrowsOption, PARAMETERS_SetArrowsOption},
    {PARAMETERS_GetSymbolsOption, PARAMETERS_SetSymbolsOption},
    {PARAMETERS_GetSlidesOption, PARAMETERS_SetSlidesOption},
    {PARAMETERS_GetSlidePreviewPosition, PARAMETERS_SetSlidePreviewPosition},
    {PARAMETERS_GetSlideToChoiceOption, PARAMETERS_SetSlideToChoiceOption},
    {PARAMETERS_GetSlideDistance, PARAMETERS_SetSlideDistance},
    {PARAMETERS_GetSlideStep, PARAMETERS_SetSlideStep},
    {PARAMETERS_GetExpansionOption, PARAMETERS_SetExpansionOption},
    {PARAMETERS_GetNbLettersForSuggest, PARAMETERS_SetNbLettersForSuggest},
    {PARAMETERS_GetExpansionPreviewOrder, PARAMETERS_SetExpansionPreviewOrder},
    {PARAMETERS_GetSpaceAfterExpansion, PARAMETERS_SetSpaceAfterExpansion},
    {PARAMETERS_GetRepeatDelay, PARAMETERS_SetRepeatDelay},
    {PARAMETERS_GetMinimumHighlightTime, PARAMETERS_SetMinimumHighlightTime},
    // The place and the slides font are the keyboard's and the font chooser's, on no page.
    {PARAMETERS_GetXOption, PARAMETERS_SetXOption},
    {PARAMETERS_GetYOption, PARAMETERS_SetYOption},
    {PARAMETERS_GetPreviewFontSize, PARAMETERS_SetPreviewFontSize},
    {PARAMETERS_GetPreviewFontBold, PARAMETERS_SetPreviewFontBold},
    {PARAMETERS_GetPreviewFontItalic, PARAMETERS_SetPreviewFontItalic},
    {PARAMETERS_GetCompleteWords, PARAMETERS_SetCompleteWords},
    {PARAMETERS_GetLearnWords, PARAMETERS_SetLearnWords},
    {PARAMETERS_GetCompletionsShown, PARAMETERS_SetCompletionsShown},
    {PARAMETERS_GetLearnInTerminals, PARAMETERS_SetLearnInTerminals},
    {PARAMETERS_GetCapitalAfterSentence, PARAMETERS_SetCapitalAfterSentence},
    {PARAMETERS_GetPeriodWithTwoSpaces, PARAMETERS_SetPeriodWithTwoSpaces},
    {PARAMETERS_GetWordLanguage, PARAMETERS_SetWordLanguage},
    {PARAMETERS_GetMoveAwayFromText, PARAMETERS_SetMoveAwayFromText},
    {PARAMETERS_GetShowOnTextBoxTap, PARAMETERS_SetShowOnTextBoxTap},
};
constexpr int kSettingCount = 32;

struct Row {
  const Setting* setting = nullptr;
  int page = 0;
  HWND caption = nullptr;
  HWND control = nullptr;
  HWND unit = nullptr;
  HWND meaning = nullptr;
  HWND arrows = nullptr;  // the up-down control of a number
  int value = 0;  // as the store holds it
};

struct FileControls {
  HWND caption = nullptr;
  HWND path = nullptr;
  HWND button = nullptr;
  HWND meaning = nullptr;
};

struct Program {
  FileControls files[2];
  HWND forget_button = nullptr;
  HWND forget_meaning = nullptr;
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HWND tabs = nullptr;
  std::vector<Row> rows;
  HFONT font = nullptr;
  HFONT small = nullptr;
  int dpi = 96;  // the scale the window is laid out at
  HWND focus = nullptr;  // the control that had the focus when the window was left
};
Program program;

std::wstring Wide(std::u16string_view text) { return {text.begin(), text.end()}; }

HWND Child(const wchar_t* window_class, const std::wstring& text, DWORD style, int id, HFONT font) {
  HWND child = CreateWindowExW(0, window_class, text.c_str(), WS_CHILD | style, 0, 0, 10, 10,
                               program.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               program.instance, nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

StoreRange RangeOf(int option) {
  StoreRange range;
  int zero_kept = 0;
  PARAMETERS_GetOptionInfo(option, nullptr, nullptr, &range.lowest, &range.highest, &zero_kept);
  range.zero_kept = zero_kept != 0;
  return range;
}

void ShowValue(const Row& row, int value) {
  if (row.setting->control == Control::kNumber) {
    SetWindowTextW(row.control, std::to_wstring(value).c_str());
    return;
  }
  int index = -1;
  for (std::size_t i = 0; i < row.setting->choices.size(); ++i) {
    if (row.setting->choices[i].value == value) index = static_cast<int>(i);
  }
  SendMessageW(row.control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ShowStoredValues() {
  for (Row& row : program.rows) {
    row.value = kAccess[row.setting->option].get();
    ShowValue(row, row.value);
  }
}

// Whether a row shows the value the store held when it was last read: the user has not
// touched it.
bool ShowsStoredValue(const Row& row) {
  if (row.setting->control == Control::kNumber) {
    wchar_t text[32] = {};
    GetWindowTextW(row.control, text, 32);
    return text == std::to_wstring(row.value);
  }
  const LRESULT index = SendMessageW(row.control, CB_GETCURSEL, 0, 0);
  return index >= 0 && static_cast<std::size_t>(index) < row.setting->choices.size() &&
         row.setting->choices[static_cast<std::size_t>(index)].value == row.value;
}

// Another program (the keyboard's menu, a second look at the options) may have changed a
// value while this window was away: what the user has not touched here shows the store's.
void ShowValuesChangedElsewhere() {
  for (Row& row : program.rows) {
    const int stored = kAccess[row.setting->option].get();
    if (stored == row.value) continue;
    if (ShowsStoredValue(row)) ShowValue(row, stored);
    row.value = stored;
  }
}

void RestoreDefaults() {
  for (const Row& row : program.rows) {
    int fallback = 0;
    if (PARAMETERS_GetOptionInfo(row.setting->option, nullptr, &fallback, nullptr, nullptr, nullptr)) {
      ShowValue(row, fallback);
    }
  }
}

void ShowPage(int page) {
  for (const Row& row : program.rows) {
    const int show = row.page == page ? SW_SHOW : SW_HIDE;
    for (HWND part : {row.caption, row.control, row.unit, row.meaning, row.arrows}) {
      if (part != nullptr) ShowWindow(part, show);
    }
  }
  for (int i = 0; i < 2; ++i) {
    const int show = kFileRows[i].page == page ? SW_SHOW : SW_HIDE;
    const FileControls& file = program.files[i];
    for (HWND part : {file.caption, file.path, file.button, file.meaning}) ShowWindow(part, show);
  }
  for (HWND part : {program.forget_button, program.forget_meaning}) {
    ShowWindow(part, page == kWordsPage ? SW_SHOW : SW_HIDE);
  }
}

void ShowPaths() {
  wchar_t path[MAX_PATH] = {};
  SetWindowTextW(program.files[0].path,
                 PARAMETERS_GetCustomSlidesFile(path, MAX_PATH) ? path : L"(none)");
  path[0] = 0;
  SetWindowTextW(program.files[1].path, PARAMETERS_GetGlossaryFile(path, MAX_PATH) ? path : L"(none)");
}

// The running keyboard's window, or null.
HWND RunningKeyboard() {
  QUOREL_WINDOW keyboard = nullptr;
  return GLOBAL_GetQuorelWindow(&keyboard) && keyboard != nullptr && IsWindow(keyboard)
             ? keyboard
             : nullptr;
}

void PostToKeyboard(int (*message_of)(unsigned int*), WPARAM parameter) {
  HWND keyboard = RunningKeyboard();
  unsigned int message = 0;
  if (keyboard != nullptr && message_of(&message) && message != 0) {
    PostMessageW(keyboard, message, parameter, 0);
  }
}


// Chosen as the keyboard's menu chooses it; the keyboard loads it at once and says so
// when it cannot.
void ChooseFile(int which) {
  const FileRow& row = kFileRows[which];
  const std::wstring folder = platform::win32::DocumentsFolder() + row.folder;
  wchar_t path[MAX_PATH] = {};
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = program.window;
  dialog.lpstrFilter = row.filter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return;
  if (which == 0) {
    PARAMETERS_SetSlidesOption(0);
    PARAMETERS_SetCustomSlidesFile(path);
    for (Row& shown : program.rows) {
      if (shown.setting->option == 7) {
        shown.value = 0;
        ShowValue(shown, 0);
      }
    }
    PostToKeyboard(GLOBAL_GetQuorelLoadSlideFileMsg, 0);
  } else {
    PARAMETERS_SetGlossaryFile(path);
    PostToKeyboard(GLOBAL_GetQuorelLoadGlossaryMsg, 0);
  }
  ShowPaths();
}

// The running keyboard forgets them itself, since it would write back the words it holds;
// without one, the file is rewritten here. The words the user took out of the suggestions
// stay out either way.
void ForgetLearnedWords() {
  if (MessageBoxW(program.window,
                  L"Forget every word Quorel learned from your typing?\n\nThe words you took "
                  L"out of the suggestions stay out.",
                  kTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    return;
  }
  bool done = false;
  if (HWND keyboard = RunningKeyboard()) {
    DWORD_PTR answer = 0;
    done = SendMessageTimeoutW(keyboard, kForgetLearnedWordsMessage, 0, 0, SMTO_ABORTIFHUNG,
                               5000, &answer) != 0 &&
           answer == 1;
  } else {
    done = true;
    for (int language = 0; language < kWordLanguageCount; ++language) {
      std::u16string path;
      done = LearnedWordsPath(&path, language) && ForgetLearnedFile(path) && done;
    }
  }
  if (done) {
    MessageBoxW(program.window, L"The learned words are forgotten.", kTitle, MB_OK | MB_ICONINFORMATION);
  } else {
    MessageBoxW(program.window,
                L"Quorel could not forget the learned words: a file of learned words in "
                L"Documents\\Quorel could not be written.",
                kTitle, MB_OK | MB_ICONWARNING);
  }
}

// Checks every changed value first: one out of range writes nothing at all. A stored value
// the user did not touch is kept as it is, in the program's range or not.
bool Apply() {
  std::vector<std::pair<Row*, int>> wanted;
  for (Row& row : program.rows) {
    int value = row.value;
    if (row.setting->control == Control::kNumber) {
      wchar_t text[32] = {};
      GetWindowTextW(row.control, text, 32);
      const std::wstring typed = text;
      const NumberField field =
          ReadNumberField(*row.setting, AcceptedValues(*row.setting, RangeOf(row.setting->option)),
                          row.value, std::u16string(typed.begin(), typed.end()));
      value = field.value;
      if (const auto& refusal = field.refusal) {
        TabCtrl_SetCurSel(program.tabs, row.page);
        ShowPage(row.page);
        MessageBoxW(program.window, Wide(*refusal).c_str(), kTitle, MB_OK | MB_ICONWARNING);
        SetFocus(row.control);
        return false;
      }
    } else {
      const int index = static_cast<int>(SendMessageW(row.control, CB_GETCURSEL, 0, 0));
      if (index >= 0 && index < static_cast<int>(row.setting->choices.size())) {
        value = row.setting->choices[static_cast<std::size_t>(index)].value;
      }
    }
    if (value != row.value) wanted.emplace_back(&row, value);
  }
  std::vector<const Setting*> changed;
  for (auto& [row, value] : wanted) {
    kAccess[row->setting->option].set(value);
    row->value = value;
    changed.push_back(row->setting);
  }
  const std::optional<int> parameter = OptionsChangedParameter(changed);
  if (parameter) PostToKeyboard(GLOBAL_GetQuorelOptionsChangedMsg, static_cast<WPARAM>(*parameter));
  return true;
}

void LayOut() {
  const platform::win32::Scale s = platform::win32::ScaleOf(program.window);
  RECT real;
  GetClientRect(program.window, &real);
  const RECT client = {0, 0, s.Design(real.right), s.Design(real.bottom)};
  s.Move(program.tabs, 8, 8, client.right - 16, client.bottom - 56);
  RECT sheet = {s.Real(8), s.Real(8), s.Real(client.right - 8), s.Real(client.bottom - 48)};
  TabCtrl_AdjustRect(program.tabs, FALSE, &sheet);
  sheet = {s.Design(sheet.left), s.Design(sheet.top), s.Design(sheet.right), s.Design(sheet.bottom)};
  std::vector<int> next_top(Pages().size(), sheet.top + 8);
  // A row is 54 pixels high where the page has the room, closer on a page that would not
  // hold its rows (and the Words page its button) so.
  std::vector<int> rows_on(Pages().size(), 0);
  for (const Row& row : program.rows) ++rows_on[static_cast<std::size_t>(row.page)];
  for (const FileRow& file : kFileRows) ++rows_on[static_cast<std::size_t>(file.page)];
  std::vector<int> step(Pages().size(), 54);
  for (std::size_t page = 0; page < step.size(); ++page) {
    const int room = sheet.bottom - sheet.top - 8 - (page == static_cast<std::size_t>(kWordsPage) ? 52 : 0);
    if (rows_on[page] > 0) step[page] = std::clamp(room / rows_on[page], 46, 54);
  }
  for (Row& row : program.rows) {
    int& top = next_top[static_cast<std::size_t>(row.page)];
    s.Move(row.caption, sheet.left + 8, top + 3, 170, 20);
    const bool number = row.setting->control == Control::kNumber;
    s.Move(row.control, sheet.left + 184, top, number ? 80 : 280, number ? 24 : 300);
    // The arrows sit at the number's right edge, which they take from it.
    if (row.arrows != nullptr) SendMessageW(row.arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(row.control), 0);
    if (row.unit != nullptr) s.Move(row.unit, sheet.left + 270, top + 3, 120, 20);
    s.Move(row.meaning, sheet.left + 184, top + 27, sheet.right - sheet.left - 192, 18);
    top += step[static_cast<std::size_t>(row.page)];
  }
  for (int i = 0; i < 2; ++i) {
    int& top = next_top[static_cast<std::size_t>(kFileRows[i].page)];
    const FileControls& file = program.files[i];
    s.Move(file.caption, sheet.left + 8, top + 3, 170, 20);
    s.Move(file.path, sheet.left + 184, top + 3, sheet.right - sheet.left - 300, 20);
    s.Move(file.button, sheet.right - 108, top, 96, 26);
    s.Move(file.meaning, sheet.left + 184, top + 27, sheet.right - sheet.left - 192, 18);
    top += step[static_cast<std::size_t>(kFileRows[i].page)];
  }
  {
    int& top = next_top[kWordsPage];
    s.Move(program.forget_button, sheet.left + 184, top, 220, 28);
    s.Move(program.forget_meaning, sheet.left + 184, top + 31, sheet.right - sheet.left - 192, 18);
  }
  const int y = client.bottom - 38;
  s.Move(GetDlgItem(program.window, kRestoreButton), 8, y, 130, 28);
  s.Move(GetDlgItem(program.window, kHelpButton), 8 + 136, y, 70, 28);
  s.Move(GetDlgItem(program.window, kOkButton), client.right - 8 - 3 * 96, y, 90, 28);
  s.Move(GetDlgItem(program.window, kCancelButton), client.right - 8 - 2 * 96, y, 90, 28);
  s.Move(GetDlgItem(program.window, kApplyButton), client.right - 8 - 96, y, 90, 28);
}

// The system's message font at the window's scale, and its italic for the meanings.
void MakeFonts() {
  if (program.font != nullptr) DeleteObject(program.font);
  if (program.small != nullptr) DeleteObject(program.small);
  program.font = platform::win32::MessageFontFor(program.window);
  program.small = platform::win32::MessageFontFor(program.window, false, true);
}

void OnCreate(HWND window) {
  program.window = window;
  program.dpi = platform::win32::ScaleOf(window).dpi;
  platform::win32::SetWindowIcons(window, program.instance, kProgramIcon, program.dpi);
  MakeFonts();
  program.tabs =
      Child(WC_TABCONTROLW, L"", WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, kTabs, program.font);
  int page_number = 0;
  for (const Page& page : Pages()) {
    const std::wstring title = Wide(page.title);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(title.c_str());
    TabCtrl_InsertItem(program.tabs, page_number, &item);
    for (const Setting& setting : page.settings) {
      Row row;
      row.setting = &setting;
      row.page = page_number;
      row.caption = Child(L"STATIC", Wide(setting.caption) + L":", SS_LEFT, 0, program.font);
      const int id = kFirstSetting + setting.option;
      if (setting.control == Control::kNumber) {
        row.control = Child(L"EDIT", L"", ES_NUMBER | WS_BORDER | WS_TABSTOP, id, program.font);
        SendMessageW(row.control, EM_LIMITTEXT, 9, 0);
        // Arrows for a pen, and the arrow keys, step through the values the option takes
        // (OnArrows); the field keeps showing a stored value as it is until then.
        row.arrows = Child(UPDOWN_CLASSW, L"", UDS_ALIGNRIGHT | UDS_ARROWKEYS, kFirstArrows + setting.option,
                           program.font);
        SendMessageW(row.arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(row.control), 0);
        // Room both ways: the arrows' own position never moves (OnArrows refuses it).
        SendMessageW(row.arrows, UDM_SETRANGE32, static_cast<WPARAM>(-100000), 100000);
        SendMessageW(row.arrows, UDM_SETPOS32, 0, 0);
        row.unit = Child(L"STATIC", Wide(setting.unit), SS_LEFT, 0, program.font);
      } else {
        row.control = Child(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, id,
                            program.font);
        for (const Choice& choice : setting.choices) {
          SendMessageW(row.control, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(Wide(choice.label).c_str()));
        }
      }
      row.meaning = Child(L"STATIC", Wide(setting.meaning), SS_LEFT, 0, program.small);
      program.rows.push_back(row);
    }
    ++page_number;
  }
  for (int i = 0; i < 2; ++i) {
    const FileRow& row = kFileRows[i];
    FileControls& file = program.files[i];
    file.caption = Child(L"STATIC", row.caption, SS_LEFT, 0, program.font);
    file.path = Child(L"STATIC", L"", SS_LEFT | SS_PATHELLIPSIS, row.path_id, program.font);
    file.button = Child(L"BUTTON", L"C&hoose...", BS_PUSHBUTTON | WS_TABSTOP, row.button_id, program.font);
    file.meaning = Child(L"STATIC", row.meaning, SS_LEFT, 0, program.small);
  }
  program.forget_button = Child(L"BUTTON", L"&Forget every learned word...",
                                BS_PUSHBUTTON | WS_TABSTOP, kForgetWordsButton, program.font);
  program.forget_meaning =
      Child(L"STATIC", L"Removes the words learned from your typing; the shipped words stay.",
            SS_LEFT, 0, program.small);
  ShowPaths();
  // The pages' controls lie over the tab control.
  SetWindowPos(program.tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Child(L"BUTTON", L"&Restore defaults", WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, kRestoreButton, program.font);
  // F1, for a pen: the manual at the options' section.
  Child(L"BUTTON", L"&Help", WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, kHelpButton, program.font);
  Child(L"BUTTON", L"OK", WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP, kOkButton, program.font);
  Child(L"BUTTON", L"Cancel", WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, kCancelButton, program.font);
  Child(L"BUTTON", L"&Apply", WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, kApplyButton, program.font);
  ShowStoredValues();
  LayOut();
  ShowPage(0);
  // The page tabs come first: a keyboard user starts on them, and Tab goes on to the page.
  program.focus = program.tabs;
}

// An arrow beside a number pressed: the field steps to the next value the option takes.
// The arrows' own count is not used (1: taken).
LRESULT OnArrows(const NMUPDOWN& change) {
  for (Row& row : program.rows) {
    if (row.arrows != change.hdr.hwndFrom) continue;
    wchar_t text[32] = {};
    GetWindowTextW(row.control, text, 32);
    const std::wstring shown = text;
    const int next = StepNumber(AcceptedValues(*row.setting, RangeOf(row.setting->option)),
                                std::u16string(shown.begin(), shown.end()), change.iDelta);
    SetWindowTextW(row.control, std::to_wstring(next).c_str());
  }
  return 1;
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_SIZE:
      if (program.tabs != nullptr) LayOut();
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another scale: fonts made for it, and laid out anew.
      MakeFonts();
      for (const Row& row : program.rows) {
        for (HWND part : {row.caption, row.control, row.unit}) {
          if (part != nullptr) SendMessageW(part, WM_SETFONT, reinterpret_cast<WPARAM>(program.font), TRUE);
        }
        SendMessageW(row.meaning, WM_SETFONT, reinterpret_cast<WPARAM>(program.small), TRUE);
      }
      for (const FileControls& file : program.files) {
        for (HWND part : {file.caption, file.path, file.button}) {
          SendMessageW(part, WM_SETFONT, reinterpret_cast<WPARAM>(program.font), TRUE);
        }
        SendMessageW(file.meaning, WM_SETFONT, reinterpret_cast<WPARAM>(program.small), TRUE);
      }
      SendMessageW(program.forget_button, WM_SETFONT, reinterpret_cast<WPARAM>(program.font), TRUE);
      SendMessageW(program.forget_meaning, WM_SETFONT, reinterpret_cast<WPARAM>(program.small), TRUE);
      for (int id : {static_cast<int>(kTabs), static_cast<int>(kRestoreButton), static_cast<int>(kHelpButton),
                     static_cast<int>(kOkButton), static_cast<int>(kCancelButton),
                     static_cast<int>(kApplyButton)}) {
        SendMessageW(GetDlgItem(window, id), WM_SETFONT, reinterpret_cast<WPARAM>(program.font), TRUE);
      }
      // The system's rectangle keeps the window where the user moves it; without one it is
      // as large on the glass as before where it is. The window's own scale now, whatever
      // the message says.
      const int dpi = platform::win32::ScaleOf(window).dpi;
      if (dpi > 0 && dpi != program.dpi) {
        platform::win32::FollowScale(window, program.dpi, wparam, lparam);
        program.dpi = dpi;
        platform::win32::SetWindowIcons(window, program.instance, kProgramIcon, dpi);
      }
      LayOut();
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      // Texts on the page take its white, not the window's grey.
      SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->idFrom == kTabs && header->code == TCN_SELCHANGE) ShowPage(TabCtrl_GetCurSel(program.tabs));
      if (header->code == UDN_DELTAPOS) return OnArrows(*reinterpret_cast<const NMUPDOWN*>(lparam));
      return 0;
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case kChooseSlidesButton:
          ChooseFile(0);
          return 0;
        case kChooseGlossaryButton:
          ChooseFile(1);
          return 0;
        case kForgetWordsButton:
          ForgetLearnedWords();
          return 0;
        case kRestoreButton:
          RestoreDefaults();
          return 0;
        case kHelpButton:
          platform::win32::OpenManualAt(window, L"options");
          return 0;
        case kApplyButton:
          Apply();
          return 0;
        case kOkButton:
          if (Apply()) DestroyWindow(window);
          return 0;
        case kCancelButton:
          DestroyWindow(window);
          return 0;
        default:
          return 0;
      }
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) program.focus = focus;
        return 0;
      }
      if (program.tabs != nullptr) {
        PARAMETERS_ReloadOptions();
        ShowValuesChangedElsewhere();
        ShowPaths();
      }
      // The control that had the focus has it again.
      if (program.focus != nullptr && IsWindow(program.focus) && IsWindowVisible(program.focus)) {
        SetFocus(program.focus);
        return 0;
      }
      return DefWindowProcW(window, message, wparam, lparam);
    case WM_ENDSESSION:
      // An installer asked to replace the program's files; every change is saved already.
      if (wparam != FALSE && (static_cast<DWORD>(lparam) & ENDSESSION_CLOSEAPP) != 0) {
        DestroyWindow(window);
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages; true when the key was taken.
bool PageKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB ||
      (GetKeyState(VK_CONTROL) & 0x8000) == 0 || (GetKeyState(VK_MENU) & 0x8000) != 0) {
    return false;
  }
  if (message.hwnd != program.window && !IsChild(program.window, message.hwnd)) return false;
  const int pages = static_cast<int>(Pages().size());
  const int step = (GetKeyState(VK_SHIFT) & 0x8000) != 0 ? pages - 1 : 1;
  const int page = (TabCtrl_GetCurSel(program.tabs) + step) % pages;
  TabCtrl_SetCurSel(program.tabs, page);
  ShowPage(page);
  SetFocus(program.tabs);  // not on a control of the page now hidden
  return true;
}

}  // namespace

int Run(HINSTANCE instance, int show) {
  static_assert(sizeof(kAccess) / sizeof(kAccess[0]) == kSettingCount);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
  if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    // One at a time: the first comes forward.
    for (int tries = 0; tries < 100; ++tries) {
      HWND running = FindWindowW(kClass, nullptr);
      if (running != nullptr) {
        if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
        break;
      }
      Sleep(50);
    }
    CloseHandle(mutex);
    return 0;
  }
  INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                   ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  program.instance = instance;
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIcon));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClass;
  RegisterClassExW(&window_class);
  const platform::win32::Scale screen = platform::win32::ScaleOf(nullptr);
  RECT frame = {0, 0, screen.Real(640), screen.Real(480)};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  HWND window = CreateWindowExW(0, kClass, kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  // Sized again at the window's own scale: the screen's, asked before there was a window,
  // may be another than the monitor's it opens on.
  const platform::win32::Scale own = platform::win32::ScaleOf(window);
  if (own.dpi != screen.dpi) {
    RECT sized = {0, 0, own.Real(640), own.Real(480)};
    AdjustWindowRectEx(&sized, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(window, nullptr, 0, 0, sized.right - sized.left, sized.bottom - sized.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(window, show);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (PageKey(message)) continue;
    if (message.message == WM_KEYDOWN && message.wParam == VK_F1) {
      platform::win32::OpenManualAt(window, L"options");
      continue;
    }
    if (IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (mutex != nullptr) CloseHandle(mutex);
  return 0;
}

}  // namespace quorel::options_program

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  return quorel::options_program::Run(instance, show);
}
