// QuorelEditor: the slide file and the glossary edited in one window. The data live in the
// library; every change is written at once and the running keyboard told to reload.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

#include "editor/edited_file.h"
#include "editor/editor_resources.h"
#include "editor/editor_timings.h"
#include "editor/editor_windows.h"
#include "platform/win32/documents_folder.h"
#include "platform/win32/manual.h"
#include "platform/image_decode.h"

namespace quorel::editor {

namespace {

constexpr wchar_t kMainClass[] = L"TQuorelEditorForm";
constexpr wchar_t kTitle[] = L"Quorel Editor";
constexpr wchar_t kMutexName[] = L"Local\\PelmarikQuorelEditor";
constexpr UINT kSpecialKeyMessage = WM_APP + 1;  // the keyboard posts tapped special keys

enum ControlId : int {
  kPageControl = 100,
  kDirectionCombo,
  kLetterEdit,
  kSpecialKeyCombo,
  kFindEdit,
  kSlidesList,
  kGlossaryList,
  kNewButton,
  kOpenButton,
  kSaveAsButton,
  kCloseButton,
  kAddButton,
  kEditButton,
  kDeleteButton,
  kMoveUpButton,
  kMoveDownButton,
  kStatusBar,
  kTabLabel,
  kUndoButton,
  kKeyboardNotice,
  kUseFileButton,
  kReadNotice,
  kReadAgainButton,
  kRedoButton,
  kHelpButton,
};

constexpr int kTabHeight = 137;
constexpr int kSideWidth = 123;
constexpr int kBottomHeight = 59;
constexpr int kMinimumWidth = 755;
constexpr int kMinimumHeight = 450;
constexpr COLORREF kStripColour = RGB(0xdc, 0xe6, 0xf2);

const wchar_t* const kTabLabels[4] = {L"Set Direction:", L"Set Letter:", L"Set Special Key:",
                                      L"Find Short Form:"};
const wchar_t* const kTabCaptions[4] = {L"Slides by direction", L"Letter slides",
                                        L"Special key slides", L"Glossary"};

struct Editor {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HWND QuorelEditorPageControl = nullptr;
  HWND tab_label = nullptr;
  HWND filters[4] = {};
  HWND slidesListView = nullptr;
  HWND glossaryListView = nullptr;
  HWND statusBar = nullptr;
  HWND currentListView = nullptr;  // the list of the current tab
  int dpi = 96;           // the scale the window is laid out at
  HFONT font = nullptr;  // the system's message font at the window's scale
  HFONT bold = nullptr;
  std::wstring shipped_slides_dir;
  std::wstring slides_dir;
  std::wstring glossaries_dir;
  std::wstring slide_file;
  std::wstring glossary_file;
  int query_direction = 0;
  WORD query_kind = kCharacterKey;
  WORD query_parameter = 255;
  bool query_exact = false;  // the letter tab: parameter 255 is the letter U+00FF
  EditedFile files[2];       // the slide file and the glossary against the disk
  HWND keyboard_notice = nullptr;
  HWND use_file_button = nullptr;
  HWND read_notice = nullptr;  // a file that could not be read, and a way to try again
  HWND read_again_button = nullptr;
  int commands = 0;  // commands under way: a file is not read again beneath one
  HWND focus = nullptr;  // the control that had the focus when the window was left
  bool tabs_by_keys = false;  // a key on the tab control is being handled
  bool formReady = false;
};
Editor editor;

int Tab() { return TabCtrl_GetCurSel(editor.QuorelEditorPageControl); }
FileKind CurrentFile() { return FileOfTab(Tab()); }
std::wstring& FileName(FileKind file) {
  return file == FileKind::kSlides ? editor.slide_file : editor.glossary_file;
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

EditedFile& Edited(FileKind file) { return editor.files[file == FileKind::kSlides ? 0 : 1]; }

// What the disk says of a file now; reading it is not needed, so a file another program
// holds without sharing still has one.
DiskStamp StampOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return {};
  return {true, (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
          (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
              data.ftLastWriteTime.dwLowDateTime};
}

// Commands that change a file run inside one: the file is not read again beneath them.
struct Command {
  Command() { ++editor.commands; }
  ~Command() { --editor.commands; }
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;
};

void ShowStatus() {
  const FileKind file = CurrentFile();
  const std::wstring& name = FileName(file);
  std::wstring text;
  if (!Edited(file).Read()) {
    text = L"Not read: " + name;
  } else if (Edited(file).Unsaved()) {
    text = L"Not saved: the last change is not in " + name;
  } else if (!name.empty() && FileExists(name)) {
    text = name;
  }
  SendMessageW(editor.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// --- lists ---------------------------------------------------------------------------------

void AdjustColumns(HWND list) {
  RECT client;
  GetClientRect(list, &client);
  // The client area already leaves out a vertical scroll bar that shows.
  const int rest = client.right - ListView_GetColumnWidth(list, 0);
  ListView_SetColumnWidth(list, 1, std::max(rest, 20));
}

std::wstring SlideCell(const QUOREL_CHAR* preview, const QUOREL_CHAR* text) {
  return Wide(ExpansionCell(Utf16(Or(text)), Utf16(Or(preview))));
}

void FillSlidesList() {
  HWND list = editor.currentListView;
  ClearRows(list);
  if (editor.query_exact) {
    DICO_SetExactQueryCriteria(editor.query_direction, editor.query_kind, editor.query_parameter);
  } else {
    DICO_SetQueryCriteria(editor.query_direction, editor.query_kind, editor.query_parameter);
  }
  int index = 0;
  while (DICO_Query(&index)) {
    int direction = 0;
    unsigned short kind = 0;
    unsigned short parameter = 0;
    const QUOREL_CHAR* preview = nullptr;
    const QUOREL_CHAR* text = nullptr;
    if (!DICO_GetSlideDefinition(index, &direction, &kind, &parameter, &preview, &text)) continue;
    const std::wstring caption = editor.query_direction != 0 ? SlideKeyCaption(kind, parameter)
                                                             : DirectionCaption(direction);
    AppendRow(list, index, caption, SlideCell(preview, text));
  }
  RowsFilled(list);
  AdjustColumns(list);
}

void FillGlossaryList() {
  HWND list = editor.glossaryListView;
  ClearRows(list);
  GLOSSARY_SetQueryCriteria(nullptr);
  GLOSSARY_ENTRY entry = nullptr;
  while (GLOSSARY_Query(&entry)) {
    const QUOREL_CHAR* short_form = nullptr;
    const QUOREL_CHAR* preview = nullptr;
    const QUOREL_CHAR* long_form = nullptr;
    if (!GLOSSARY_GetGlossaryEntry(entry, &short_form, &preview, &long_form)) continue;
    AppendRow(list, reinterpret_cast<LPARAM>(entry), Or(short_form),
              SlideCell(preview, long_form));
  }
  RowsFilled(list);
  AdjustColumns(list);
}

// The rows of the current tab again, as its filter lists them.
void RefillCurrentList() {
  const int tab = Tab();
  if (tab == kGlossaryTab) {
    FillGlossaryList();
  } else if ((tab == 1 && TextOf(editor.filters[1]).empty()) || editor.query_kind == 0) {
    ClearRows(editor.currentListView);  // no letter or no key chosen: nothing listed
  } else {
    FillSlidesList();
  }
}

void SelectRowsOf(const std::vector<ItemHandle>& handles) {
  HWND list = editor.currentListView;
  const std::unordered_set<ItemHandle> wanted(handles.begin(), handles.end());
  // Every row's selection is a message of the list's: beyond a screenful the first row
  // alone is selected and shown.
  constexpr std::size_t kMostSelected = 1000;
  const bool all = wanted.size() <= kMostSelected;
  bool first = true;
  for (int row = 0; row < RowCount(list); ++row) {
    if (wanted.count(RowHandle(list, row)) == 0) continue;
    if (!first && !all) break;
    if (first) {
      SelectOnly(list, row);
      CentreRow(list, row);
      first = false;
    } else {
      ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
  }
}

void ShowUndo() {
  EnableWindow(GetDlgItem(editor.window, kUndoButton), JournalOf(CurrentFile()).CanUndo());
  EnableWindow(GetDlgItem(editor.window, kRedoButton), JournalOf(CurrentFile()).CanRedo());
}

// A change in words, for the journal to say what Undo and Redo take: "deleting 3 entries".
UndoJournal::About Change(const wchar_t* doing, int count = 1) {
  const bool slides = CurrentFile() == FileKind::kSlides;
  std::wstring what = std::wstring(doing) + L" ";
  if (count == 1) {
    what += slides ? L"a slide" : L"an entry";
  } else {
    what += std::to_wstring(count) + (slides ? L" slides" : L" entries");
  }
  return {Tab(), Utf16(what)};
}

void SayOnStatusBar(const std::wstring& text) {
  SendMessageW(editor.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The name of the file the keyboard types slides from, when it is not the one edited here:
// a shipped file ("Use slides for"), or another file of the user's that the keyboard's menu
// or the options program chose. Empty when the keyboard uses this one.
std::wstring OtherKeyboardSlideFile() {
  switch (PARAMETERS_GetSlidesOption()) {
    case 1:
      return L"CapsOnlySlides.txt";
    case 2:
      return L"MinimumSlides.txt";
    default:
      break;
  }
  wchar_t path[MAX_PATH] = {};
  if (!PARAMETERS_GetCustomSlidesFile(path, MAX_PATH) || path[0] == 0 ||
      lstrcmpiW(path, editor.slide_file.c_str()) == 0) {
    return L"";
  }
  const wchar_t* name = wcsrchr(path, L'\\');
  return name != nullptr ? name + 1 : path;
}

// A file that could not be read shows why nothing is saved to it, and a way to read it
// again; it takes the place of the keyboard's notice.
bool ShowReadNotice() {
  const FileKind file = CurrentFile();
  const bool shown = !Edited(file).Read();
  if (shown) {
    const std::wstring notice = FileName(file) +
                                L" could not be read (another program may hold it). Nothing is "
                                L"saved to it until it is read.";
    SetWindowTextW(editor.read_notice, notice.c_str());
  }
  ShowWindow(editor.read_notice, shown ? SW_SHOW : SW_HIDE);
  ShowWindow(editor.read_again_button, shown ? SW_SHOW : SW_HIDE);
  return shown;
}

// The name of the glossary the keyboard expands from, when it is not the one edited here
// (its menu's Load glossary... chose another). Empty when the keyboard uses this one.
std::wstring OtherKeyboardGlossary() {
  wchar_t path[MAX_PATH] = {};
  if (editor.glossary_file.empty() || !PARAMETERS_GetGlossaryFile(path, MAX_PATH) ||
      path[0] == 0 || lstrcmpiW(path, editor.glossary_file.c_str()) == 0) {
    return L"";
  }
  const wchar_t* name = wcsrchr(path, L'\\');
  return name != nullptr ? name + 1 : path;
}

// Edits of a file the keyboard does not type from would be saved and never typed: the
// editor says so, and offers to switch.
void ShowKeyboardNotice() {
  const bool glossary = Tab() == kGlossaryTab;
  const std::wstring other = glossary                      ? OtherKeyboardGlossary()
                             : editor.slide_file.empty() ? L""
                                                         : OtherKeyboardSlideFile();
  const bool shown = !ShowReadNotice() && !other.empty();
  if (shown) {
    const std::wstring notice = (glossary ? L"The keyboard expands from " : L"The keyboard types slides from ") +
                                other + L", not from this file.";
    SetWindowTextW(editor.keyboard_notice, notice.c_str());
  }
  ShowWindow(editor.keyboard_notice, shown ? SW_SHOW : SW_HIDE);
  ShowWindow(editor.use_file_button, shown ? SW_SHOW : SW_HIDE);
}

// --- queries ---------------------------------------------------------------------------------

void DirectionComboBoxChange() {
  if (!editor.formReady) return;
  const int index = static_cast<int>(SendMessageW(editor.filters[0], CB_GETCURSEL, 0, 0));
  WriteMru(L"mru main direction combo index", index);
  editor.query_direction = index + 1;
  editor.query_kind = kCharacterKey;
  editor.query_parameter = 255;
  editor.query_exact = false;
  FillSlidesList();
}

void LetterEditChange() {
  if (!editor.formReady) return;
  const std::wstring letter = TextOf(editor.filters[1]);
  if (letter.empty()) return;
  const Timer timer("a letter listed");
  WriteMru(L"mru main letter", letter[0]);
  editor.query_direction = 0;
  editor.query_kind = kCharacterKey;
  editor.query_parameter = letter[0];
  editor.query_exact = true;
  FillSlidesList();
}

void SpecialKeyComboBoxChange() {
  if (!editor.formReady) return;
  HWND combo = editor.filters[2];
  const int index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  WriteMru(L"mru main special key combo index", index);
  editor.query_direction = 0;
  editor.query_exact = false;
  // No key chosen: nothing to list, and Add has no key to give.
  editor.query_kind = 0;
  editor.query_parameter = 255;
  if (index < 0 || index >= static_cast<int>(std::size(kSpecialKeyNames))) {
    ClearRows(editor.currentListView);
    return;
  }
  const std::wstring name = Wide(kSpecialKeyNames[index]);
  unsigned short kind = 0;
  unsigned short parameter = 0;
  if (!KEYDEF_GetSpecialKey(name.c_str(), &kind, &parameter)) {
    ClearRows(editor.currentListView);
    return;
  }
  editor.query_kind = kind;
  editor.query_parameter = parameter;
  FillSlidesList();
}

void FindShortFormEditChange() {
  if (!editor.formReady) return;
  const Timer timer("find short form");
  HWND list = editor.currentListView;
  const std::wstring typed = TextOf(editor.filters[3]);
  const int row = FindRowStartingWith(list, typed);
  if (row < 0) {
    for (int selected : SelectedRows(list)) ListView_SetItemState(list, selected, 0, LVIS_SELECTED);
    return;
  }
  SelectOnly(list, row);
  // To the top of the list: the rows below it come into view, then the row itself.
  const int last = std::min(RowCount(list) - 1, row + ListView_GetCountPerPage(list) - 1);
  ListView_EnsureVisible(list, last, FALSE);
  ListView_EnsureVisible(list, row, FALSE);
}

void ShowCurrentPage() {
  const int tab = Tab();
  const bool glossary = tab == kGlossaryTab;
  ShowWindow(editor.slidesListView, glossary ? SW_HIDE : SW_SHOW);
  ShowWindow(editor.glossaryListView, glossary ? SW_SHOW : SW_HIDE);
  editor.currentListView = glossary ? editor.glossaryListView : editor.slidesListView;
  for (int i = 0; i < 4; ++i) ShowWindow(editor.filters[i], i == tab ? SW_SHOW : SW_HIDE);
  SetWindowTextW(editor.tab_label, kTabLabels[tab]);
  ShowStatus();
  switch (tab) {
    case 0:
      DirectionComboBoxChange();
      break;
    case 1:
      if (TextOf(editor.filters[1]).empty()) {
        // No letter: nothing of another tab stays listed, and Add has no key to give.
        editor.query_exact = false;
        ClearRows(editor.currentListView);
      } else {
        LetterEditChange();
      }
      break;
    case 2:
      SpecialKeyComboBoxChange();
      break;
    default:
      break;
  }
  SetFocus(editor.filters[tab]);
  AdjustColumns(editor.currentListView);
  ShowUndo();
  ShowKeyboardNotice();
}

// --- files -----------------------------------------------------------------------------------

struct Chooser {
  const wchar_t* filter;
  const wchar_t* extension;
  const std::wstring* folder;
};

Chooser ChooserOf(FileKind file) {
  if (file == FileKind::kSlides) {
    return {L"Slide Files (*.txt)\0*.txt\0\0", L"txt", &editor.slides_dir};
  }
  return {L"Glossary Files (*.glo)\0*.glo\0\0", L"glo", &editor.glossaries_dir};
}

// The save chooser never takes a file that exists: the user is told, and it stays open.
UINT_PTR CALLBACK saveDialogCanClose(HWND child, UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_NOTIFY) return 0;
  const auto* note = reinterpret_cast<const OFNOTIFYW*>(lparam);
  if (note->hdr.code != CDN_FILEOK) return 0;
  const std::wstring path = note->lpOFN->lpstrFile;
  if (!FileExists(path)) return 0;
  HWND chooser = GetParent(child);
  Tell(chooser, path + L" already exists", L"Please chose another filename");
  SetWindowLongPtrW(child, DWLP_MSGRESULT, 1);
  return 1;
}

bool ChooseFile(FileKind file, const wchar_t* title, bool save, std::wstring* path) {
  const Chooser chooser = ChooserOf(file);
  wchar_t name[MAX_PATH] = {};
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = editor.window;
  dialog.lpstrFilter = chooser.filter;
  dialog.lpstrFile = name;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = chooser.folder->c_str();
  dialog.lpstrDefExt = chooser.extension;
  dialog.lpstrTitle = title;
  if (save) {
    dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    dialog.lpfnHook = saveDialogCanClose;
    if (!GetSaveFileNameW(&dialog)) return false;
  } else {
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) return false;
  }
  *path = name;
  return true;
}

void Notify(FileKind file) {
  QUOREL_WINDOW keyboard = nullptr;
  if (!GLOBAL_GetQuorelWindow(&keyboard) || keyboard == nullptr) return;
  unsigned int message = 0;
  if (file == FileKind::kSlides) {
    GLOBAL_GetQuorelLoadSlideFileMsg(&message);
  } else {
    GLOBAL_GetQuorelLoadGlossaryMsg(&message);
  }
  if (message != 0) PostMessageW(keyboard, message, 0, 0);
}

// Reads the file into the library's set, anew: what it could not read is said on the strip,
// and nothing is written over it until it is read.
bool ReadInto(FileKind file, const std::wstring& path) {
  JournalOf(file).Clear();
  int read = 0;
  if (file == FileKind::kSlides) {
    DICO_ReleaseFromMemory();
    read = DICO_ReadFromSlideFile(path.c_str());
  } else {
    GLOSSARY_ReleaseFromMemory();
    read = GLOSSARY_ReadFromGlossaryFile(path.c_str());
  }
  Edited(file).Loaded(read != 0, StampOf(path));
  return read != 0;
}

void AfterGlossaryLoaded() {
  FillGlossaryList();
  SetWindowTextW(editor.filters[3], L"");
  SetFocus(editor.filters[3]);
}

// The file read again, its rows listed anew where they show.
bool ReadAgain(FileKind file) {
  const bool read = ReadInto(file, FileName(file));
  if (CurrentFile() == file) {
    RefillCurrentList();
    ShowStatus();
    ShowUndo();
    ShowKeyboardNotice();
  } else if (file == FileKind::kGlossary) {
    FillGlossaryList();
  }
  return read;
}

bool SaveAs(FileKind file);
bool HaveFile(FileKind file);

// Another program changed the file while a change of the user's is not in it: the editor
// never writes the other change away. The user keeps theirs in another file, or takes the
// file as it is now.
void AskAboutOutsideChange(FileKind file) {
  const std::wstring question =
      FileName(file) + L" was changed by another program, and your last change is not in it.\r\n\r\n"
      L"Yes saves your version in another file.\r\nNo reads the file again as it is now, "
      L"without your change.\r\nCancel keeps your change here for now.";
  switch (Tell(editor.window, question, L"Changed by another program",
               MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
      SaveAs(file);
      break;
    case IDNO:
      ReadAgain(file);
      break;
    default:
      break;
  }
}

// Before a command changes the file: it must be the file the editor read, as it read it.
// A file changed by another program, with nothing of the user's unsaved, is read again and
// the command not carried out: the rows it was asked on may have changed.
bool ReadyToChange(FileKind file) {
  if (!HaveFile(file)) return false;
  switch (Edited(file).Check(StampOf(FileName(file)))) {
    case EditedFile::Step::kGoOn:
      return true;
    case EditedFile::Step::kNotRead:
      // The user may have closed what held it: tried once more before refusing.
      if (ReadAgain(file)) return true;
      Tell(editor.window,
           FileName(file) + L" could not be read, so nothing is saved to it.\r\n\r\nIf another "
                            L"program has it open, close it there and use Read again.",
           L"Cannot save", MB_OK | MB_ICONWARNING);
      return false;
    case EditedFile::Step::kReadAgain:
      ReadAgain(file);
      Tell(editor.window,
           FileName(file) + L" was changed by another program and has been read again.\r\n\r\n"
                            L"Nothing was changed; please do it again on the file as it is now.",
           kTitle, MB_OK | MB_ICONINFORMATION);
      return false;
    case EditedFile::Step::kAsk:
      AskAboutOutsideChange(file);
      return false;
  }
  return false;
}

// Writes a file from the library's set, unless another program changed it meanwhile; the
// keyboard reloads only what reached the disk.
bool WriteAndNotify(FileKind file) {
  const std::wstring& name = FileName(file);
  EditedFile& edited = Edited(file);
  edited.Changed();
  const EditedFile::Step step = edited.Check(StampOf(name));
  if (step != EditedFile::Step::kGoOn) {
    ShowStatus();
    if (step != EditedFile::Step::kNotRead) AskAboutOutsideChange(file);
    return false;
  }
  const int written = file == FileKind::kSlides ? DICO_WriteToSlideFile(name.c_str())
                                                : GLOSSARY_WriteToGlossaryFile(name.c_str());
  if (written != 0) edited.Saved(StampOf(name));
  ShowStatus();
  if (written != 0) Notify(file);
  return written != 0;
}

void SaveAndNotify() {
  const Timer timer("save and notify");
  WriteAndNotify(CurrentFile());
  ShowUndo();
  // Another program may have switched the keyboard to another file meanwhile.
  if (CurrentFile() == FileKind::kSlides) {
    PARAMETERS_ReloadOptions();
    ShowKeyboardNotice();
  }
}

void SetConfiguredFile(FileKind file, const std::wstring& path) {
  FileName(file) = path;
  if (file == FileKind::kSlides) {
    PARAMETERS_SetCustomSlidesFile(path.c_str());
  } else {
    PARAMETERS_SetGlossaryFile(path.c_str());
  }
}

// With no file configured, a change first asks where it goes; false when the user cancels.
void MakeNewFile(FileKind file, const std::wstring& path);

// With no file configured, a change first asks where it goes, and the file is made there
// as New makes it; false when the user cancels.
bool HaveFile(FileKind file) {
  if (!FileName(file).empty()) return true;
  std::wstring path;
  if (!ChooseFile(file, L"New", true, &path)) return false;
  MakeNewFile(file, path);
  return true;
}

// Open and New leave the file edited: a change of the user's that is not on disk is kept in
// another file first, or dropped when the user says so. False: stay with this file.
bool NothingLostLeaving(FileKind file) {
  if (!Edited(file).Unsaved()) return true;
  const std::wstring question =
      L"Your last change to " + FileName(file) + L" is not saved.\r\n\r\nYes saves it in "
      L"another file first.\r\nNo goes on without it.\r\nCancel stays with this file.";
  switch (Tell(editor.window, question, kTitle, MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
      return SaveAs(file);
    case IDNO:
      return true;
    default:
      return false;
  }
}

void NewButtonClick() {
  const FileKind file = CurrentFile();
  if (!NothingLostLeaving(file)) return;
  std::wstring path;
  if (ChooseFile(file, L"New", true, &path)) MakeNewFile(file, path);
}

// A new slide file is a copy of the shipped template; a new glossary is empty.
void MakeNewFile(FileKind file, const std::wstring& path) {
  SetConfiguredFile(file, path);
  if (file == FileKind::kSlides) {
    CopyFileW((editor.shipped_slides_dir + L"\\CapsOnlySlides.txt").c_str(), path.c_str(), TRUE);
    ReadInto(file, path);
  } else {
    JournalOf(file).Clear();
    GLOSSARY_ReleaseFromMemory();
    const int written = GLOSSARY_WriteToGlossaryFile(path.c_str());
    Edited(file).Loaded(written != 0, StampOf(path));
    AfterGlossaryLoaded();
  }
  Notify(file);
  ShowCurrentPage();
}

void OpenButtonClick() {
  const FileKind file = CurrentFile();
  if (!NothingLostLeaving(file)) return;
  std::wstring path;
  if (!ChooseFile(file, nullptr, false, &path)) return;
  SetConfiguredFile(file, path);
  ReadInto(file, path);
  if (file == FileKind::kGlossary) AfterGlossaryLoaded();
  Notify(file);
  ShowCurrentPage();
}

// The set is written to the new file first; only a file that was written becomes the one
// edited, and the one the keyboard types from. False when nothing was saved.
bool SaveAs(FileKind file) {
  std::wstring path;
  if (!ChooseFile(file, L"Save As", true, &path)) return false;
  const int written = file == FileKind::kSlides ? DICO_WriteToSlideFile(path.c_str())
                                                : GLOSSARY_WriteToGlossaryFile(path.c_str());
  if (written == 0) {
    Tell(editor.window, path + L" could not be written; nothing was changed.", L"Cannot save",
         MB_OK | MB_ICONWARNING);
    return false;
  }
  SetConfiguredFile(file, path);
  Edited(file).Saved(StampOf(path));
  Notify(file);
  ShowStatus();
  ShowKeyboardNotice();
  return true;
}

void SaveAsButtonClick() { SaveAs(CurrentFile()); }

// --- editing ---------------------------------------------------------------------------------

// Once a slide was added for a key chosen in the dialog, the tab lists that key, with the
// new row selected.
void ListAddedKey(const AddedSlide& added) {
  const int tab = Tab();
  if (tab == 1) {
    const wchar_t letter[2] = {static_cast<wchar_t>(added.parameter), 0};
    SetWindowTextW(editor.filters[1], letter);  // lists the letter
  } else {
    const QUOREL_CHAR* name = nullptr;
    if (!KEYDEF_GetSpecialKeyName(added.kind, added.parameter, &name) || name == nullptr) return;
    SendMessageW(editor.filters[2], CB_SETCURSEL,
                 static_cast<WPARAM>(SpecialKeyIndex(Utf16(name))), 0);
    SpecialKeyComboBoxChange();
  }
  SelectRowsOf({added.index});
}

void AddButtonClick() {
  const Command command;
  const int tab = Tab();
  const FileKind file = CurrentFile();
  if (!ReadyToChange(file)) return;
  INT_PTR answer = IDCANCEL;
  JournalOf(file).Begin(Change(L"adding"));
  if (tab == 0) {
    answer = AddSlideDialog(editor.window, 2, 1, editor.currentListView, editor.query_direction,
                            kCharacterKey, 255, false);
  } else if (tab == kGlossaryTab) {
    answer = AddExpansionDialog(editor.window, editor.currentListView);
  } else {
    // The key listed, when there is one (U+00FF is a letter like any other); without one,
    // the key is left to choose in the dialog.
    const bool letter = tab == 1;
    const std::wstring typed = TextOf(editor.filters[1]);
    const bool chosen = letter ? !typed.empty() : editor.query_kind != 0;
    const WORD parameter = letter ? (chosen ? typed[0] : 255) : editor.query_parameter;
    AddedSlide added;
    answer = AddSlideDialog(editor.window, chosen ? 1 : 0, 2, editor.currentListView, 0,
                            letter ? kCharacterKey : editor.query_kind, parameter, chosen, &added);
    if (answer == IDOK && !chosen) ListAddedKey(added);
  }
  JournalOf(file).End();
  if (answer == IDOK) SaveAndNotify();
}

void EditButtonClick() {
  const int tab = Tab();
  const std::vector<int> selected = SelectedRows(editor.currentListView);
  if (auto refusal = CheckEdit(CurrentFile(), static_cast<int>(selected.size()))) {
    Tell(editor.window, *refusal);
    return;
  }
  const Command command;
  if (!ReadyToChange(CurrentFile())) return;
  const LPARAM handle = RowHandle(editor.currentListView, selected[0]);
  INT_PTR answer = IDCANCEL;
  JournalOf(CurrentFile()).Begin(Change(L"editing"));
  if (tab == kGlossaryTab) {
    answer = EditExpansionDialog(editor.window, editor.currentListView,
                                 reinterpret_cast<GLOSSARY_ENTRY>(handle));
  } else {
    answer = EditSlideDialog(editor.window, tab == 0 ? 2 : 1, tab == 0 ? 1 : 2,
                             static_cast<int>(handle), editor.currentListView);
  }
  JournalOf(CurrentFile()).End();
  if (answer == IDOK) SaveAndNotify();
}

void DeleteButtonClick() {
  const FileKind file = CurrentFile();
  const std::vector<int> selected = SelectedRows(editor.currentListView);
  if (auto refusal = CheckDelete(file, static_cast<int>(selected.size()))) {
    Tell(editor.window, *refusal);
    return;
  }
  if (Tell(editor.window, Wide(DeleteQuestion(file, static_cast<int>(selected.size()))),
           L"Confirm delete", MB_YESNO) != IDYES) {
    return;
  }
  const Command command;
  if (!ReadyToChange(file)) return;
  const Timer timer("delete with its save");
  // All at once, the last row first, as one change: a hundred thousand rows take no longer
  // than reading them.
  std::vector<ItemHandle> handles;
  handles.reserve(selected.size());
  for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
    handles.push_back(RowHandle(editor.currentListView, *row));
  }
  UndoJournal& journal = JournalOf(file);
  journal.Begin(Change(L"deleting", static_cast<int>(selected.size())));
  journal.DeletingAll(StoreOf(file), handles);
  StoreOf(file).DeleteAll(handles);
  DeleteRows(editor.currentListView, selected);
  journal.End();
  // The row that came after the first one deleted: a keyboard user goes on from there.
  const int next = std::min(selected.front(), RowCount(editor.currentListView) - 1);
  if (next >= 0) {
    SelectOnly(editor.currentListView, next);
    ListView_EnsureVisible(editor.currentListView, next, FALSE);
  }
  SaveAndNotify();
}

void MoveSelected(int step) {
  HWND list = editor.currentListView;
  const FileKind file = CurrentFile();
  const std::vector<int> selected = SelectedRows(list);
  std::vector<std::u16string> captions;
  const int count = RowCount(list);
  for (int row = 0; row < count; ++row) captions.push_back(Utf16(RowCaption(list, row)));
  const Command command;
  if (auto refusal = CheckMove(file, step, selected, captions)) {
    Tell(editor.window, *refusal);
  } else if (ReadyToChange(file)) {
    const Timer timer("move with its save");
    const int row = selected[0];
    const int other = row + step;
    const LPARAM a = RowHandle(list, row);
    const LPARAM b = RowHandle(list, other);
    const int swapped = file == FileKind::kSlides
                            ? DICO_SwapSlideDefinitions(static_cast<int>(a), static_cast<int>(b))
                            : GLOSSARY_SwapGlossaryEntries(reinterpret_cast<GLOSSARY_ENTRY>(a),
                                                           reinterpret_cast<GLOSSARY_ENTRY>(b));
    if (swapped != 0) {
      JournalOf(file).Begin(Change(L"moving"));
      JournalOf(file).Swapped(StoreOf(file), a, b);
      JournalOf(file).End();
    }
    // The library swapped the records' contents: each row keeps its handle, the texts swap.
    const std::wstring cell = RowCell(list, row);
    SetRowTexts(list, row, RowCaption(list, other), RowCell(list, other));
    SetRowTexts(list, other, Wide(captions[static_cast<std::size_t>(row)]), cell);
    SelectOnly(list, other);
    ListView_EnsureVisible(list, std::clamp(other + 2 * step, 0, count - 1), FALSE);
    // A move that changed nothing writes nothing: the backup keeps the last real change.
    if (swapped != 0) SaveAndNotify();
  }
  SetFocus(list);
}

// The tab a change was made on, with its filter set to list the item: what Undo and Redo
// change is shown, never changed out of sight.
void ShowTabFor(int tab, const std::optional<Item>& item) {
  if (item && tab == 0) {
    SendMessageW(editor.filters[0], CB_SETCURSEL, static_cast<WPARAM>(item->direction - 1), 0);
  } else if (item && tab == 1 && item->kind == kCharacterKey) {
    const wchar_t letter[2] = {static_cast<wchar_t>(item->parameter), 0};
    SetWindowTextW(editor.filters[1], letter);
  } else if (item && tab == 2) {
    const QUOREL_CHAR* name = nullptr;
    if (KEYDEF_GetSpecialKeyName(item->kind, item->parameter, &name) && name != nullptr) {
      SendMessageW(editor.filters[2], CB_SETCURSEL, static_cast<WPARAM>(SpecialKeyIndex(Utf16(name))), 0);
    }
  }
  if (tab != Tab()) {
    TabCtrl_SetCurSel(editor.QuorelEditorPageControl, tab);
    WriteMru(L"mru main tab index", tab);
  }
  ShowCurrentPage();
}

// Takes back the last change of the current tab's file (undo), or does again what was
// taken back (redo); saved and told to the keyboard like any change, on the tab it was made
// on, its rows selected, and said on the status bar.
void TakeStep(bool undo) {
  const FileKind file = CurrentFile();
  UndoJournal& journal = JournalOf(file);
  if (undo ? !journal.CanUndo() : !journal.CanRedo()) return;
  const Command command;
  if (!ReadyToChange(file)) return;
  const Timer timer(undo ? "undo with its save" : "redo with its save");
  const UndoJournal::Taken taken = undo ? journal.Undo(StoreOf(file)) : journal.Redo(StoreOf(file));
  const std::optional<Item> first =
      taken.touched.empty() ? std::nullopt : StoreOf(file).Get(taken.touched.front());
  ShowTabFor(taken.about.tab, first);
  RefillCurrentList();
  SelectRowsOf(taken.touched);
  SaveAndNotify();
  if (!Edited(file).Unsaved()) {
    SayOnStatusBar((undo ? L"Undone: " : L"Redone: ") + Wide(taken.about.what));
  }
  SetFocus(editor.currentListView);
}

void UndoButtonClick() { TakeStep(true); }
void RedoButtonClick() { TakeStep(false); }

void UseFileButtonClick() {
  if (CurrentFile() == FileKind::kGlossary) {
    PARAMETERS_SetGlossaryFile(editor.glossary_file.c_str());
    Notify(FileKind::kGlossary);
  } else {
    PARAMETERS_SetSlidesOption(0);
    PARAMETERS_SetCustomSlidesFile(editor.slide_file.c_str());
    Notify(FileKind::kSlides);  // the keyboard reads the options and this file
  }
  ShowKeyboardNotice();
  SetFocus(editor.filters[Tab()]);
}

// A change that is not on disk is saved once more at close; when that fails too, the user
// chooses: keep it in another file, close without it, or stay. False: stay.
bool NothingLostAtClose() {
  for (const FileKind file : {FileKind::kSlides, FileKind::kGlossary}) {
    if (!Edited(file).Unsaved() || WriteAndNotify(file)) continue;
    const bool slides = file == FileKind::kSlides;
    const std::wstring question =
        L"The last change to " + FileName(file) + L" could not be saved.\r\n\r\n" +
        L"Do you want to save the " + (slides ? L"slide file" : L"glossary") +
        L" in another file?\r\nNo closes the editor without the change; Cancel keeps it open.";
    // Signing out waits for the answer, with the reason shown on the system's own screen.
    ShutdownBlockReasonCreate(editor.window, (L"A change to " + FileName(file) + L" is not saved.").c_str());
    const int answer = Tell(editor.window, question, kTitle, MB_YESNOCANCEL | MB_ICONWARNING);
    ShutdownBlockReasonDestroy(editor.window);
    if (answer == IDNO) continue;
    if (answer != IDYES || !SaveAs(file)) return false;
  }
  return true;
}

// A special key tapped on the keyboard while the special key combo has the focus.
void OnSpecialKeyMessage(WPARAM kind, LPARAM parameter) {
  if (!editor.formReady) return;
  const QUOREL_CHAR* name = nullptr;
  if (!KEYDEF_GetSpecialKeyName(static_cast<int>(kind), static_cast<int>(parameter), &name) ||
      name == nullptr) {
    return;
  }
  const int found = SpecialKeyIndex(Utf16(name));
  SendMessageW(editor.filters[2], CB_SETCURSEL, static_cast<WPARAM>(found), 0);
  SpecialKeyComboBoxChange();
}

// --- the window ------------------------------------------------------------------------------

LRESULT CALLBACK LetterEditKeyPress(HWND edit, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR, DWORD_PTR) {
  // A control character (Ctrl and a letter) is no letter to list.
  if (message == WM_CHAR && wparam < L' ' && wparam != VK_BACK) return 0;
  // A character beyond U+FFFF comes as two halves: neither is listed, the pair is refused.
  if (message == WM_CHAR && IS_HIGH_SURROGATE(wparam)) return 0;
  if (message == WM_CHAR && IS_LOW_SURROGATE(wparam)) {
    Tell(GetAncestor(edit, GA_ROOT), kWideCharacterRefusal);
    return 0;
  }
  if (message == WM_CHAR) {
    // A typed character replaces the one before.
    SetWindowTextW(edit, L"");
    if (wparam == L' ') {
      Tell(GetAncestor(edit, GA_ROOT), kSpaceRefusal);
      wparam = VK_BACK;
    }
    if (wparam == VK_BACK) {
      if (editor.currentListView != nullptr) ClearRows(editor.currentListView);
      return 0;
    }
  }
  return DefSubclassProc(edit, message, wparam, lparam);
}

HWND Child(const wchar_t* window_class, const wchar_t* text, DWORD style, int id,
           DWORD ex_style = 0) {
  HWND child = CreateWindowExW(ex_style, window_class, text, WS_CHILD | WS_VISIBLE | style, 0, 0,
                               10, 10, editor.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               editor.instance, nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(editor.font), FALSE);
  return child;
}

HWND MakeList(int id) {
  HWND list = Child(WC_LISTVIEWW, L"",
                    LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | LVS_OWNERDATA |
                        WS_BORDER | WS_TABSTOP,
                    id);
  ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  LVCOLUMNW column = {};
  column.mask = LVCF_WIDTH | LVCF_TEXT;
  // 150 pixels at 100 %, as wide on the glass at every scale.
  column.cx = ScaleOf(editor.window).Real(150);
  column.pszText = const_cast<wchar_t*>(L"Short");
  ListView_InsertColumn(list, 0, &column);
  column.cx = 450;
  column.pszText = const_cast<wchar_t*>(L"Expansion");
  ListView_InsertColumn(list, 1, &column);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(PreviewListFont(ScaleOf(editor.window).dpi)),
               FALSE);
  return list;
}

void LayOut() {
  const Scale s = ScaleOf(editor.window);
  RECT client;
  GetClientRect(editor.window, &client);
  SendMessageW(editor.statusBar, WM_SIZE, 0, 0);
  const int width = s.Design(client.right);
  const int height = s.Design(client.bottom);
  s.Move(editor.QuorelEditorPageControl, 0, 0, width, kTabHeight);
  RECT sheet = {0, 0, s.Real(width), s.Real(kTabHeight)};
  TabCtrl_AdjustRect(editor.QuorelEditorPageControl, FALSE, &sheet);
  sheet = {s.Design(sheet.left), s.Design(sheet.top), s.Design(sheet.right), s.Design(sheet.bottom)};
  const int middle = (sheet.top + sheet.bottom) / 2;
  // The strip runs across the sheet, the filter control on it.
  s.Move(editor.tab_label, sheet.left + 6, middle - 16, sheet.right - sheet.left - 12, 32);
  for (HWND filter : editor.filters) s.Move(filter, sheet.left + 150, middle - 12, 200, 300);
  s.Move(editor.filters[1], sheet.left + 150, middle - 12, 24, 24);
  s.Move(editor.filters[3], sheet.left + 150, middle - 12, 120, 24);
  // Beside the filter, when the keyboard types from another file than this one.
  const int button_left = sheet.right - 12 - 110;
  const int notice_left = sheet.left + 362;
  // The notice of a file not read stands in the same place, taking precedence.
  for (HWND notice : {editor.keyboard_notice, editor.read_notice}) {
    s.Move(notice, notice_left, middle - 15, std::max<int>(button_left - 8 - notice_left, 60), 30);
  }
  for (HWND button : {editor.use_file_button, editor.read_again_button}) {
    s.Move(button, button_left, middle - 12, 110, 24);
  }

  const int list_top = kTabHeight + 4;
  const int bottom_top = height - kBottomHeight;
  const HWND side[] = {GetDlgItem(editor.window, kNewButton), GetDlgItem(editor.window, kOpenButton),
                       GetDlgItem(editor.window, kSaveAsButton), GetDlgItem(editor.window, kCloseButton),
                       GetDlgItem(editor.window, kHelpButton)};
  for (int i = 0; i < 5; ++i) s.Move(side[i], 12, list_top + 8 + i * 40, kSideWidth - 24, 30);
  for (HWND list : {editor.slidesListView, editor.glossaryListView}) {
    s.Move(list, kSideWidth, list_top, width - kSideWidth - 8, bottom_top - list_top - 4);
    AdjustColumns(list);
  }
  const int button_top = bottom_top + 4;
  s.Move(GetDlgItem(editor.window, kAddButton), kSideWidth, button_top, 60, 26);
  s.Move(GetDlgItem(editor.window, kEditButton), kSideWidth + 66, button_top, 60, 26);
  s.Move(GetDlgItem(editor.window, kDeleteButton), kSideWidth + 132, button_top, 60, 26);
  s.Move(GetDlgItem(editor.window, kUndoButton), kSideWidth + 198, button_top, 60, 26);
  s.Move(GetDlgItem(editor.window, kRedoButton), kSideWidth + 264, button_top, 60, 26);
  s.Move(GetDlgItem(editor.window, kMoveUpButton), width - 8 - 170, button_top, 80, 26);
  s.Move(GetDlgItem(editor.window, kMoveDownButton), width - 8 - 84, button_top, 84, 26);
}

// A picture file as a bitmap: a BMP as the system loads it, a PNG decoded.
HBITMAP LoadPicture(const std::wstring& path) {
  if (path.size() > 4 && path.compare(path.size() - 4, 4, L".bmp") == 0) {
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  }
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  std::vector<std::uint8_t> bytes(std::min<DWORD>(GetFileSize(file, nullptr), 16u << 20));
  DWORD read = 0;
  const bool whole = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                     read == bytes.size();
  CloseHandle(file);
  if (!whole) return nullptr;
  const auto bmp = platform::DecodeToBmp(bytes.data(), bytes.size());
  if (!bmp) return nullptr;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bmp->data() + sizeof(BITMAPFILEHEADER));
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT,
                                  bmp->data() + sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER),
                                  info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

// The four tab pictures drawn at build time, at the scale drawn nearest to the window's;
// null unless all of them load.
HIMAGELIST TabPictures(const std::wstring& exe_dir, int dpi, SIZE* size) {
  static constexpr int kScales[] = {96, 120, 144, 168, 192, 216, 240, 288};
  int nearest = 96;
  for (int scale : kScales) {
    if (std::abs(scale - dpi) < std::abs(nearest - dpi)) nearest = scale;
  }
  for (int scale : {nearest, 96}) {
    const std::wstring folder =
        exe_dir + L"\\Quorel bitmaps\\editor\\" + std::to_wstring(scale * 100 / 96) + L"\\";
    const wchar_t* extension = L".png";
    const Scale s{scale};
    size->cx = s.Real(165);
    size->cy = s.Real(83);
    HIMAGELIST list = ImageList_Create(size->cx, size->cy, ILC_COLOR24, 4, 0);
    if (list == nullptr) return nullptr;
    bool whole = true;
    for (int i = 0; i < 4 && whole; ++i) {
      HBITMAP picture = LoadPicture(folder + L"tab" + std::to_wstring(i) + extension);
      whole = picture != nullptr && ImageList_Add(list, picture, nullptr) >= 0;
      if (picture != nullptr) DeleteObject(picture);
    }
    if (whole) return list;
    ImageList_Destroy(list);
  }
  return nullptr;
}

// The tabs show their pictures at the window's scale.
void ShowTabPictures() {
  wchar_t exe_dir[MAX_PATH] = {};
  UTILS_GetRunningExeDirectory(exe_dir, MAX_PATH);
  SIZE size = {};
  HIMAGELIST pictures = TabPictures(exe_dir, ScaleOf(editor.window).dpi, &size);
  if (pictures == nullptr) return;
  HIMAGELIST old = TabCtrl_SetImageList(editor.QuorelEditorPageControl, pictures);
  if (old != nullptr) ImageList_Destroy(old);
  const Scale s = ScaleOf(editor.window);
  TabCtrl_SetItemSize(editor.QuorelEditorPageControl, size.cx + s.Real(8), size.cy + s.Real(6));
}

// Fonts at the window's scale, for every control.
void MakeFonts() {
  if (editor.font != nullptr) DeleteObject(editor.font);
  if (editor.bold != nullptr) DeleteObject(editor.bold);
  editor.font = platform::win32::MessageFontFor(editor.window);
  editor.bold = platform::win32::MessageFontFor(editor.window, true);
}

// Moved to a monitor of another scale: fonts, pictures and list rows made for it, the
// window as large on the glass as before, laid out anew. The rectangle the system suggests
// is not read: a message sent by another program carries none it could point at.
void OnDpiChanged(int dpi, WPARAM wparam, LPARAM lparam) {
  if (dpi <= 0 || dpi == editor.dpi) return;
  const int was = editor.dpi;
  editor.dpi = dpi;
  platform::win32::SetWindowIcons(editor.window, editor.instance, IDI_EDITOR, dpi);
  MakeFonts();
  EnumChildWindows(
      editor.window,
      [](HWND child, LPARAM) -> BOOL {
        if (GetParent(child) == editor.window) {
          SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(editor.font), FALSE);
        }
        return TRUE;
      },
      0);
  SendMessageW(editor.tab_label, WM_SETFONT, reinterpret_cast<WPARAM>(editor.bold), FALSE);
  for (HWND list : {editor.slidesListView, editor.glossaryListView}) {
    SendMessageW(list, WM_SETFONT,
                 reinterpret_cast<WPARAM>(PreviewListFont(ScaleOf(editor.window).dpi)), TRUE);
  }
  ShowTabPictures();
  // The columns keep their width on the glass.
  for (HWND list : {editor.slidesListView, editor.glossaryListView}) {
    ListView_SetColumnWidth(list, 0, MulDiv(ListView_GetColumnWidth(list, 0), dpi, was));
  }
  // The system's rectangle keeps the window where the user moves it.
  platform::win32::FollowScale(editor.window, was, wparam, lparam);
  LayOut();
  InvalidateRect(editor.window, nullptr, TRUE);
}

void FormCreate(HWND window) {
  editor.window = window;
  editor.dpi = ScaleOf(window).dpi;
  platform::win32::SetWindowIcons(window, editor.instance, IDI_EDITOR, editor.dpi);
  MakeFonts();
  // The keyboard addresses the editor through the shared block from now on.
  GLOBAL_SetQuorelEditorCurrentDialog(window);
  wchar_t exe_dir[MAX_PATH] = {};
  UTILS_GetRunningExeDirectory(exe_dir, MAX_PATH);
  editor.shipped_slides_dir = std::wstring(exe_dir) + L"\\Quorel slidefiles";
  const std::wstring documents = platform::win32::DocumentsFolder();
  editor.slides_dir = documents + L"\\Quorel\\Slidefiles";
  editor.glossaries_dir = documents + L"\\Quorel\\Glossaries";

  // In the tab order: a user without a pen reaches the tabs too.
  editor.QuorelEditorPageControl =
      Child(WC_TABCONTROLW, L"", TCS_MULTILINE | TCS_RAGGEDRIGHT | WS_CLIPSIBLINGS | WS_TABSTOP,
            kPageControl);
  // Each tab shows its picture; without the pictures, its label.
  ShowTabPictures();
  const bool pictures = TabCtrl_GetImageList(editor.QuorelEditorPageControl) != nullptr;
  if (pictures) {
    SetWindowLongPtrW(editor.QuorelEditorPageControl, GWL_STYLE,
                      GetWindowLongPtrW(editor.QuorelEditorPageControl, GWL_STYLE) | TCS_FIXEDWIDTH);
  }
  for (int i = 0; i < 4; ++i) {
    TCITEMW item = {};
    item.mask = pictures ? TCIF_IMAGE : TCIF_TEXT;
    item.iImage = i;
    item.pszText = const_cast<wchar_t*>(kTabCaptions[i]);
    TabCtrl_InsertItem(editor.QuorelEditorPageControl, i, &item);
  }
  editor.tab_label = Child(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE | WS_CLIPSIBLINGS, kTabLabel);
  SendMessageW(editor.tab_label, WM_SETFONT, reinterpret_cast<WPARAM>(editor.bold), FALSE);
  editor.filters[0] = Child(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kDirectionCombo);
  for (std::u16string_view name : kDirectionNames) {
    SendMessageW(editor.filters[0], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  }
  editor.filters[1] = Child(L"EDIT", L"", ES_CENTER | WS_BORDER | WS_TABSTOP, kLetterEdit);
  SendMessageW(editor.filters[1], EM_LIMITTEXT, 1, 0);
  SetWindowSubclass(editor.filters[1], LetterEditKeyPress, 1, 0);
  editor.filters[2] = Child(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kSpecialKeyCombo);
  for (std::u16string_view name : kSpecialKeyNames) {
    SendMessageW(editor.filters[2], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  }
  SendMessageW(editor.filters[2], CB_SETMINVISIBLE, 14, 0);
  editor.filters[3] = Child(L"EDIT", L"", ES_LOWERCASE | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kFindEdit);
  // As long as the longest short form the add/edit dialog takes.
  SendMessageW(editor.filters[3], EM_LIMITTEXT, kLongestShortForm, 0);

  editor.keyboard_notice = Child(L"STATIC", L"", SS_LEFT | WS_CLIPSIBLINGS, kKeyboardNotice);
  editor.use_file_button =
      Child(L"BUTTON", L"Use this &file", BS_PUSHBUTTON | WS_TABSTOP, kUseFileButton);
  editor.read_notice = Child(L"STATIC", L"", SS_LEFT | WS_CLIPSIBLINGS, kReadNotice);
  editor.read_again_button =
      Child(L"BUTTON", L"&Read again", BS_PUSHBUTTON | WS_TABSTOP, kReadAgainButton);

  // Bottom to top: the tab control, the strip, the filter controls and the notice on it.
  constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(editor.QuorelEditorPageControl, HWND_BOTTOM, 0, 0, 0, 0, kOrderOnly);
  SetWindowPos(editor.tab_label, HWND_TOP, 0, 0, 0, 0, kOrderOnly);
  for (HWND filter : editor.filters) SetWindowPos(filter, HWND_TOP, 0, 0, 0, 0, kOrderOnly);
  // Over the strip, after the filter controls in the tab order.
  for (HWND notice : {editor.keyboard_notice, editor.use_file_button, editor.read_notice,
                      editor.read_again_button}) {
    SetWindowPos(notice, editor.filters[0], 0, 0, 0, 0, kOrderOnly);
  }
  editor.slidesListView = MakeList(kSlidesList);
  editor.glossaryListView = MakeList(kGlossaryList);
  // Each button answers Alt and its underlined letter.
  Child(L"BUTTON", L"&New     ", BS_PUSHBUTTON | WS_TABSTOP, kNewButton);
  Child(L"BUTTON", L"&Open    ", BS_PUSHBUTTON | WS_TABSTOP, kOpenButton);
  Child(L"BUTTON", L"Save A&s", BS_PUSHBUTTON | WS_TABSTOP, kSaveAsButton);
  Child(L"BUTTON", L"&Close    ", BS_PUSHBUTTON | WS_TABSTOP, kCloseButton);
  // F1, for a pen: the manual at the editor's section.
  Child(L"BUTTON", L"&Help", BS_PUSHBUTTON | WS_TABSTOP, kHelpButton);
  Child(L"BUTTON", L"&Add", BS_PUSHBUTTON | WS_TABSTOP, kAddButton);
  Child(L"BUTTON", L"&Edit", BS_PUSHBUTTON | WS_TABSTOP, kEditButton);
  Child(L"BUTTON", L"&Delete", BS_PUSHBUTTON | WS_TABSTOP, kDeleteButton);
  // Ctrl+Z, for a pen: takes back the last change.
  Child(L"BUTTON", L"&Undo", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, kUndoButton);
  // Ctrl+Y, for a pen: does again what Undo took back.
  Child(L"BUTTON", L"Red&o", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, kRedoButton);
  Child(L"BUTTON", L"Move U&p", BS_PUSHBUTTON | WS_TABSTOP, kMoveUpButton);
  Child(L"BUTTON", L"Move Do&wn", BS_PUSHBUTTON | WS_TABSTOP, kMoveDownButton);
  editor.statusBar = Child(STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, kStatusBar);
  const int whole_width[] = {-1};  // one panel
  SendMessageW(editor.statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(whole_width));

  // Where the user left it; nothing is queried or stored until the window is ready.
  RestoreRect(window, L"mru main form");
  TabCtrl_SetCurSel(editor.QuorelEditorPageControl, std::clamp(ReadMru(L"mru main tab index", 0), 0, 3));
  SendMessageW(editor.filters[0], CB_SETCURSEL,
               static_cast<WPARAM>(ReadMru(L"mru main direction combo index", 0)), 0);
  const wchar_t letter[2] = {static_cast<wchar_t>(ReadMru(L"mru main letter", 97) & 0xFFFF), 0};
  SetWindowTextW(editor.filters[1], letter);
  SendMessageW(editor.filters[2], CB_SETCURSEL,
               static_cast<WPARAM>(ReadMru(L"mru main special key combo index", 0)), 0);

  const Timer timer("start: files read and the glossary listed");
  wchar_t path[MAX_PATH] = {};
  if (PARAMETERS_GetCustomSlidesFile(path, MAX_PATH) && path[0] != 0) {
    editor.slide_file = path;
    ReadInto(FileKind::kSlides, path);
  }
  path[0] = 0;
  if (PARAMETERS_GetGlossaryFile(path, MAX_PATH) && path[0] != 0) {
    editor.glossary_file = path;
    ReadInto(FileKind::kGlossary, path);
  }
  editor.currentListView = editor.glossaryListView;
  FillGlossaryList();
  LayOut();
  editor.formReady = true;
}

void OnCommand(WPARAM wparam) {
  const int id = LOWORD(wparam);
  const int code = HIWORD(wparam);
  switch (id) {
    case kDirectionCombo:
      if (code == CBN_SELCHANGE) DirectionComboBoxChange();
      break;
    case kLetterEdit:
      if (code == EN_CHANGE) LetterEditChange();
      break;
    case kSpecialKeyCombo:
      if (code == CBN_SELCHANGE) SpecialKeyComboBoxChange();
      // While the combo has the focus, a special key tapped on the keyboard comes here.
      if (code == CBN_SETFOCUS && editor.formReady) GLOBAL_SetQuorelEditorSpecialKeyMsg(kSpecialKeyMessage);
      if (code == CBN_KILLFOCUS) GLOBAL_SetQuorelEditorSpecialKeyMsg(0);
      break;
    case kFindEdit:
      if (code == EN_CHANGE) FindShortFormEditChange();
      break;
    case kNewButton:
      NewButtonClick();
      break;
    case kOpenButton:
      OpenButtonClick();
      break;
    case kSaveAsButton:
      SaveAsButtonClick();
      break;
    case kCloseButton:
      SendMessageW(editor.window, WM_CLOSE, 0, 0);
      break;
    case kAddButton:
      AddButtonClick();
      break;
    case kEditButton:
      EditButtonClick();
      break;
    case kDeleteButton:
      DeleteButtonClick();
      break;
    case kMoveUpButton:
      MoveSelected(-1);
      break;
    case kMoveDownButton:
      MoveSelected(1);
      break;
    case kUndoButton:
      UndoButtonClick();
      break;
    case kRedoButton:
      RedoButtonClick();
      break;
    case kHelpButton:
      platform::win32::OpenManualAt(editor.window, L"editor");
      break;
    case kUseFileButton:
      UseFileButtonClick();
      break;
    case kReadAgainButton:
      ReadAgain(CurrentFile());
      break;
    default:
      break;
  }
}

LRESULT CALLBACK MainProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      FormCreate(window);
      return 0;
    case WM_SIZE:
      if (editor.formReady) LayOut();
      return 0;
    case WM_MOVE:
      if (editor.formReady) StoreRect(window, L"mru main form");
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      const Scale s = ScaleOf(window);
      limits->ptMinTrackSize = {s.Real(kMinimumWidth), s.Real(kMinimumHeight)};
      return 0;
    }
    case WM_DPICHANGED:
      // The window's own scale now, whatever the message says.
      OnDpiChanged(ScaleOf(window).dpi, wparam, lparam);
      return 0;
    case WM_ACTIVATE:
      // The control that had the focus has it again: the keyboard's keys go on to it.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) editor.focus = focus;
      } else {
        // The options program may have changed which file the keyboard types from, and
        // another program either file: one the user has no change of is read again.
        PARAMETERS_ReloadOptions();
        if (editor.formReady && editor.commands == 0) {
          for (const FileKind file : {FileKind::kSlides, FileKind::kGlossary}) {
            if (!FileName(file).empty() &&
                Edited(file).Check(StampOf(FileName(file))) == EditedFile::Step::kReadAgain) {
              ReadAgain(file);
            }
          }
        }
        if (editor.formReady) ShowKeyboardNotice();
        if (editor.focus != nullptr && IsWindow(editor.focus)) {
          SetFocus(editor.focus);
          return 0;
        }
      }
      return DefWindowProcW(window, message, wparam, lparam);
    case WM_COMMAND:
      OnCommand(wparam);
      return 0;
    case WM_CTLCOLORSTATIC:
      // The tab's label and the notice on its coloured strip.
      if (reinterpret_cast<HWND>(lparam) == editor.tab_label ||
          reinterpret_cast<HWND>(lparam) == editor.keyboard_notice ||
          reinterpret_cast<HWND>(lparam) == editor.read_notice) {
        static HBRUSH strip = CreateSolidBrush(kStripColour);
        SetBkColor(reinterpret_cast<HDC>(wparam), kStripColour);
        SetTextColor(reinterpret_cast<HDC>(wparam), RGB(0x1b, 0x21, 0x28));
        return reinterpret_cast<LRESULT>(strip);
      }
      return DefWindowProcW(window, message, wparam, lparam);
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->idFrom == kPageControl && header->code == TCN_SELCHANGE) {
        const Timer timer("tab change");
        WriteMru(L"mru main tab index", Tab());
        ShowCurrentPage();
        // Tabs changed with the arrow keys keep the focus on the tabs.
        if (editor.tabs_by_keys) SetFocus(editor.QuorelEditorPageControl);
      } else if (header->idFrom == kSlidesList || header->idFrom == kGlossaryList) {
        if (header->code == NM_DBLCLK) EditButtonClick();
        if (header->code == LVN_GETDISPINFOW) GiveRowText(reinterpret_cast<NMLVDISPINFOW*>(lparam));
        // A letter typed in a list: the row it begins, as a list view of its own rows finds it.
        if (header->code == LVN_ODFINDITEMW) {
          return FindRow(*reinterpret_cast<const NMLVFINDITEMW*>(lparam));
        }
      }
      return 0;
    }
    case kSpecialKeyMessage:
      OnSpecialKeyMessage(wparam, lparam);
      return 0;
    case WM_QUERYENDSESSION:
      // Logging off: a change not on disk is saved first, or the user is asked.
      return NothingLostAtClose() ? TRUE : FALSE;
    case WM_ENDSESSION:
      // An installer asked, and the question above was answered: the editor closes without
      // asking it again.
      if (wparam != FALSE && (static_cast<DWORD>(lparam) & ENDSESSION_CLOSEAPP) != 0) {
        GLOBAL_SetQuorelEditorSpecialKeyMsg(0);
        GLOBAL_SetQuorelEditorCurrentDialog(nullptr);
        DestroyWindow(window);
      }
      return 0;
    case WM_CLOSE:
      if (!NothingLostAtClose()) return 0;
      GLOBAL_SetQuorelEditorSpecialKeyMsg(0);
      GLOBAL_SetQuorelEditorCurrentDialog(nullptr);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      DICO_ReleaseFromMemory();
      GLOSSARY_ReleaseFromMemory();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

// The editor that runs already, when there is one: brought forward.
bool BroughtForward() {
  QUOREL_WINDOW running = nullptr;
  GLOBAL_GetQuorelEditorCurrentDialog(&running);
  if (running == nullptr || !IsWindow(running)) running = FindWindowW(kMainClass, nullptr);
  if (running == nullptr) return false;
  HWND top = GetAncestor(running, GA_ROOT);
  if (IsIconic(top)) {
    ShowWindow(top, SW_RESTORE);
  } else {
    SetForegroundWindow(running);
    ShowWindow(top, SW_SHOW);
  }
  return true;
}

// The keyboard's way through the editor, before the dialog keys see it: Ctrl+Tab and
// Ctrl+Shift+Tab change tabs, Ctrl+Z undoes, Ctrl+Y redoes, and in a list Delete deletes, Enter and F2
// edit, Insert adds. True when the key was taken.
bool EditorKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || !editor.formReady) return false;
  if (message.hwnd != editor.window && !IsChild(editor.window, message.hwnd)) return false;
  if (message.wParam == VK_F1) {
    platform::win32::OpenManualAt(editor.window, L"editor");
    return true;
  }
  // AltGr is Ctrl and Alt together, and types letters on many layouts: no shortcut.
  const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
                       (GetKeyState(VK_MENU) & 0x8000) == 0;
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  if (control && message.wParam == VK_TAB) {
    const int tab = (Tab() + (shift ? 3 : 1)) % 4;
    TabCtrl_SetCurSel(editor.QuorelEditorPageControl, tab);
    WriteMru(L"mru main tab index", tab);
    ShowCurrentPage();
    return true;
  }
  // The filter boxes hold searches, not the user's work: Ctrl+Z is always the editor's.
  if (control && message.wParam == 'Z') {
    UndoButtonClick();
    return true;
  }
  if (control && message.wParam == 'Y') {
    RedoButtonClick();
    return true;
  }
  if (control || message.hwnd != editor.currentListView) return false;
  switch (message.wParam) {
    case VK_DELETE:
      DeleteButtonClick();
      return true;
    case VK_RETURN:
    case VK_F2:
      EditButtonClick();
      return true;
    case VK_INSERT:
      AddButtonClick();
      return true;
    default:
      return false;
  }
}

}  // namespace

int Run(HINSTANCE instance, int show) {
  // One editor at a time, also when two start together.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
  if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    for (int tries = 0; tries < 100 && !BroughtForward(); ++tries) Sleep(50);
    CloseHandle(mutex);
    return 0;
  }
  if (BroughtForward()) return 0;

  INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                   ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                       ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  editor.instance = instance;
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = MainProcedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kMainClass;
  RegisterClassExW(&window_class);
  // The design size: a client area of 739 x 639.
  const Scale screen = ScaleOf(nullptr);
  RECT frame = {0, 0, screen.Real(739), screen.Real(639)};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  HWND window = CreateWindowExW(0, kMainClass, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show);
  ShowCurrentPage();
  UpdateWindow(window);
  NoteReady();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (EditorKey(message)) continue;
    editor.tabs_by_keys =
        message.message == WM_KEYDOWN && message.hwnd == editor.QuorelEditorPageControl;
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    editor.tabs_by_keys = false;
  }
  WriteTimings();
  if (mutex != nullptr) CloseHandle(mutex);
  return 0;
}

}  // namespace quorel::editor

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  return quorel::editor::Run(instance, show);
}
