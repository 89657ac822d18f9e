// The end-to-end driver's eyes and hands inside the Wine desktop. Started once on the test
// desktop as `probe serve PORT_FILE`, it listens on a loopback port (written to PORT_FILE)
// and answers one request a connection: a line of tab-separated UTF-8 words, answered with
// UTF-8 text, after which it closes the connection. Console output of programs started on
// a virtual desktop is lost, and starting a Wine process for every question cost a second
// and could hang; one process that answers in milliseconds cannot leave the driver waiting
// past its own deadline.
//
// Every message sent to another program's window goes through SendMessageTimeout, so a
// hung window makes an answer "timeout" instead of a hung probe.
//
// Windows are named by class and title; "*" stands for any title. Controls of a window
// are named by their numeric id or by their class (the first of that class).
//
//   ping                         "pong"
//   text                         the text of Wine's notepad
//   window CLASS [TITLE]         "left top right bottom", "hidden" or "none"
//   count CLASS                  how many top-level windows of that class exist
//   iconic CLASS                 "iconic" when the window is minimised, "normal", or "none"
//   client CLASS [TITLE]         the screen point of the window's client origin, "x y"
//   foreground                   the class of the foreground window, or "none"
//   caret                        the foreground thread's caret: "CLASS left top right bottom"
//   control-text CLASS TITLE CONTROL      the text of a control (an edit box)
//   control-rect CLASS TITLE CONTROL      where a control lies on the screen, as "window" says
//   tab-rect CLASS TITLE CONTROL INDEX    where a tab of a tab control lies on the screen
//   row-rect CLASS TITLE CONTROL ROW      where a row of a list view lies on the screen
//   row-count CLASS TITLE CONTROL         how many rows a list view has
//   selected-rows CLASS TITLE CONTROL     the selected rows of a list view, one a line, or
//                                         "none"
//   list-rows CLASS TITLE CONTROL         the rows of a list box, one a line; CONTROL "-"
//                                         is the top-level window itself
//   listview-rows CLASS TITLE CONTROL     the rows of a list view, one a line, columns
//                                         separated by tabs (read across processes)
//   checked CLASS TITLE CONTROL           "checked", "unchecked" or "indeterminate"
//   dialog TITLE                 the texts of the dialog box's static controls (a message
//                                box's message), or "none"
//   buttons TITLE                the dialog box's buttons, "id<TAB>text" a line
//   press TITLE BUTTON           presses a button of that dialog box, by id or by text
//   button-rect TITLE BUTTON     where that button lies on the screen, as "window" says
//   set-text TITLE ID TEXT       sets the text of a control of that dialog box
//   menu-keys KEY...             sends up, down, right, left, return or escape to the open
//                                pop-up menu
//   keys                         every virtual key the system holds down, by name, or
//                                "none"
//   screen                       the size of the primary display, "width height"
//   block                        the keyboard window field of the shared block, or "none"
//   hold-block                   keeps the shared block open from now on (the block lives
//                                only while a process has it open), "held"
//   held-block                   the keyboard window field of the held block
//   post CLASS MSG WPARAM [LPARAM]  posts a message to a top-level window
//   sync CLASS                   returns once the window's thread has handled every message
//                                posted to it before: a sent message is handled before the
//                                posted ones of the same wait, so the second one waits for
//                                them
//   place CLASS X Y W H          moves and sizes a top-level window without activating it
//   memory CLASS                 working set and peak of the window's process, "now peak" MB
//   password-box                 opens a window of the probe's own, "QuorelPasswordWindow",
//                                in front, with the focus in a password edit box; "shown"
//   reg-get KEY NAME             a value under HKEY_CURRENT_USER: "dword N", "sz TEXT" or
//                                "none"
//   reg-dword KEY NAME N         writes a DWORD value
//   reg-sz KEY NAME TEXT         writes a string value
//   reg-delete KEY [NAME]        deletes a value, or without NAME the key and all below it
//   hold-file PATH               opens the file with no sharing and keeps it open, as a
//                                sync client or a scanner may: "held"
//   let-go-file PATH             closes it again: "let go"
//   quit                         ends the probe
//
// Started as `probe record-url FILE ADDRESS` instead, it writes ADDRESS to FILE and ends: the
// tests make it the program that opens web addresses.
//
// An answer that begins with "error:" says why a request could not be carried out.
#include <winsock2.h>
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr UINT kSendTimeoutMs = 2000;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::string Error(const std::string& why) { return "error: " + why; }

// SendMessageTimeout with the probe's bound; false when the window did not answer.
bool Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                          kSendTimeoutMs, &answer) == 0) {
    return false;
  }
  if (result != nullptr) *result = static_cast<LRESULT>(answer);
  return true;
}

HWND TopWindow(const std::wstring& window_class, const std::wstring& title = L"*") {
  return FindWindowW(window_class.c_str(), title == L"*" ? nullptr : title.c_str());
}

HWND Control(HWND parent, const std::wstring& name) {
  if (parent == nullptr) return nullptr;
  if (name == L"-") return parent;
  wchar_t* end = nullptr;
  const long id = std::wcstol(name.c_str(), &end, 10);
  if (!name.empty() && *end == L'\0') return GetDlgItem(parent, static_cast<int>(id));
  return FindWindowExW(parent, nullptr, name.c_str(), nullptr);
}

std::string WindowText(HWND window) {
  LRESULT length = 0;
  if (!Ask(window, WM_GETTEXTLENGTH, 0, 0, &length)) return "timeout";
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  if (!Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &length)) {
    return "timeout";
  }
  text.resize(static_cast<std::size_t>(length));
  return Utf8(text);
}

// The message loop of a window's own thread, until the window is gone.
DWORD PumpMessages() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

// Starts a window of that class on a thread of its own and waits until it shows.
std::string OpenWindowOnThread(const wchar_t* window_class, LPTHREAD_START_ROUTINE thread_main,
                               const char* failure) {
  if (FindWindowW(window_class, nullptr) != nullptr) return Error("already open");
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, thread_main, ready, 0, nullptr);
  const bool shown = thread != nullptr && WaitForSingleObject(ready, 5000) == WAIT_OBJECT_0;
  if (thread != nullptr) CloseHandle(thread);
  CloseHandle(ready);
  return shown ? "shown" : Error(failure);
}

// The password window lives on a thread of its own, which pumps its messages; the probe's
// own thread only answers requests.
DWORD WINAPI PasswordWindowThread(void* ready) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = L"QuorelPasswordWindow";
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"Password", WS_OVERLAPPEDWINDOW,
                                600, 40, 400, 100, nullptr, nullptr, window_class.hInstance,
                                nullptr);
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | ES_PASSWORD | ES_AUTOHSCROLL, 10, 10, 360, 28,
                              window, nullptr, window_class.hInstance, nullptr);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(edit);
  SetEvent(static_cast<HANDLE>(ready));
  return PumpMessages();
}

std::string OpenPasswordWindow() {
  return OpenWindowOnThread(L"QuorelPasswordWindow", PasswordWindowThread,
                            "the password window did not open");
}

// A window of a single button, which takes the focus but no text; shown without taking the
// foreground, on a thread of its own like the password window.
DWORD WINAPI ButtonWindowThread(void* ready) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = L"QuorelButtonWindow";
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"Buttons", WS_OVERLAPPEDWINDOW,
                                680, 440, 320, 100, nullptr, nullptr, window_class.hInstance,
                                nullptr);
  CreateWindowExW(0, L"BUTTON", L"Press", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10,
                  10, 280, 40, window, nullptr, window_class.hInstance, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetEvent(static_cast<HANDLE>(ready));
  return PumpMessages();
}

std::string OpenButtonWindow() {
  return OpenWindowOnThread(L"QuorelButtonWindow", ButtonWindowThread,
                            "the button window did not open");
}

// Files the probe holds open, each with no sharing: nobody else may read or replace them.
std::vector<std::pair<std::wstring, HANDLE>> held_files;

std::string HoldFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Error("cannot open the file");
  held_files.emplace_back(path, file);
  return "held";
}

std::string LetGoOfFile(const std::wstring& path) {
  for (auto held = held_files.begin(); held != held_files.end(); ++held) {
    if (held->first == path) {
      CloseHandle(held->second);
      held_files.erase(held);
      return "let go";
    }
  }
  return Error("not held");
}

std::string NotepadText() {
  HWND notepad = TopWindow(L"Notepad");
  if (notepad == nullptr) return "(no notepad)";
  HWND edit = FindWindowExW(notepad, nullptr, L"Edit", nullptr);
  if (edit == nullptr) return "(no edit)";
  return WindowText(edit);
}

std::string RectText(const RECT& rect) {
  char line[96];
  std::snprintf(line, sizeof(line), "%ld %ld %ld %ld", rect.left, rect.top, rect.right,
                rect.bottom);
  return line;
}

std::string WindowRect(HWND window) {
  RECT rect;
  if (window == nullptr || !GetWindowRect(window, &rect)) return "none";
  if (!IsWindowVisible(window)) return "hidden";
  return RectText(rect);
}

std::string ClientOrigin(HWND window) {
  POINT origin = {0, 0};
  if (window == nullptr || !ClientToScreen(window, &origin)) return "none";
  return std::to_string(origin.x) + " " + std::to_string(origin.y);
}

std::string ClassOf(HWND window) {
  wchar_t name[256];
  if (window == nullptr || GetClassNameW(window, name, 256) == 0) return "none";
  return Utf8(name);
}

std::string CountWindows(const std::wstring& window_class) {
  struct Search {
    const wchar_t* window_class;
    int count;
  } search = {window_class.c_str(), 0};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* found = reinterpret_cast<Search*>(data);
        wchar_t name[256] = {};
        GetClassNameW(window, name, 256);
        if (lstrcmpiW(name, found->window_class) == 0) ++found->count;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return std::to_string(search.count);
}

std::string ListRows(HWND list) {
  if (list == nullptr) return "none";
  LRESULT count = 0;
  if (!Ask(list, LB_GETCOUNT, 0, 0, &count)) return "timeout";
  std::string rows;
  for (LRESULT row = 0; row < count; ++row) {
    LRESULT length = 0;
    if (!Ask(list, LB_GETTEXTLEN, row, 0, &length)) return "timeout";
    if (length < 0) break;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    if (!Ask(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()), &length)) {
      return "timeout";
    }
    text.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
    rows += Utf8(text) + "\n";
  }
  return rows;
}

// A list view keeps its texts in its own process: the request and the answer travel
// through memory allocated there.
// A rectangle that a control of another process writes into the RECT it is given (its
// left set to `left` first), in screen coordinates as "window" gives them.
std::string RemoteRect(HWND control, UINT message, WPARAM wparam, LONG left) {
  if (control == nullptr) return "none";
  DWORD process_id = 0;
  GetWindowThreadProcessId(control, &process_id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               process_id);
  if (process == nullptr) return Error("cannot open the control's process");
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
  RECT rect = {left, 0, 0, 0};
  SIZE_T moved = 0;
  LRESULT found = 0;
  const bool answered =
      remote != nullptr && WriteProcessMemory(process, remote, &rect, sizeof(rect), &moved) &&
      Ask(control, message, wparam, reinterpret_cast<LPARAM>(remote), &found) && found != 0 &&
      ReadProcessMemory(process, remote, &rect, sizeof(rect), &moved);
  if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!answered) return "none";
  MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return RectText(rect);
}

std::string ListViewRows(HWND view) {
  if (view == nullptr) return "none";
  DWORD process_id = 0;
  GetWindowThreadProcessId(view, &process_id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               process_id);
  if (process == nullptr) return Error("cannot open the list view's process");
  constexpr int kTextLength = 1024;
  const SIZE_T size = sizeof(LVITEMW) + kTextLength * sizeof(wchar_t);
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  std::string rows;
  if (remote == nullptr) {
    CloseHandle(process);
    return Error("cannot allocate in the list view's process");
  }
  LRESULT count = 0;
  LRESULT header = 0;
  LRESULT columns = 1;
  bool answered = Ask(view, LVM_GETITEMCOUNT, 0, 0, &count) &&
                  Ask(view, LVM_GETHEADER, 0, 0, &header);
  if (answered && header != 0) {
    answered = Ask(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, &columns);
    if (columns < 1) columns = 1;
  }
  for (LRESULT row = 0; answered && row < count; ++row) {
    for (LRESULT column = 0; answered && column < columns; ++column) {
      LVITEMW item = {};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.iSubItem = static_cast<int>(column);
      item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
      item.cchTextMax = kTextLength;
      std::vector<wchar_t> text(kTextLength, L'\0');
      SIZE_T moved = 0;
      LRESULT length = 0;
      answered = WriteProcessMemory(process, remote, &item, sizeof(item), &moved) &&
                 Ask(view, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote), &length) &&
                 ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(),
                                   kTextLength * sizeof(wchar_t), &moved);
      if (!answered) break;
      text.back() = L'\0';
      if (column > 0) rows += '\t';
      rows += Utf8(text.data());
    }
    rows += '\n';
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return answered ? rows : "timeout";
}

std::string CheckState(HWND button) {
  if (button == nullptr) return "none";
  LRESULT state = 0;
  if (!Ask(button, BM_GETCHECK, 0, 0, &state)) return "timeout";
  return state == BST_CHECKED ? "checked" : state == BST_INDETERMINATE ? "indeterminate" : "unchecked";
}

HWND FindDialog(const std::wstring& title) { return TopWindow(L"#32770", title); }

// The children of a dialog of one class, in order.
std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* child_class) {
  struct Search {
    const wchar_t* child_class;
    std::vector<HWND> found;
  } search = {child_class, {}};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (lstrcmpiW(name, search->child_class) == 0) search->found.push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string PlainText(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return Utf8(text);
}

std::string DialogStatics(const std::wstring& title) {
  HWND dialog = FindDialog(title);
  if (dialog == nullptr) return "none";
  std::string texts;
  for (HWND child : ChildrenOfClass(dialog, L"Static")) {
    const std::string text = PlainText(child);
    if (text.empty()) continue;
    if (!texts.empty()) texts += ' ';
    texts += text;
  }
  return texts;
}

std::string DialogButtons(const std::wstring& title) {
  HWND dialog = FindDialog(title);
  if (dialog == nullptr) return "none";
  std::string lines;
  for (HWND button : ChildrenOfClass(dialog, L"Button")) {
    lines += std::to_string(GetDlgCtrlID(button)) + "\t" + PlainText(button) + "\n";
  }
  return lines;
}

// A button's text without its access key mark, as a user reads it.
std::wstring Unmarked(const std::wstring& text) {
  std::wstring plain;
  for (wchar_t c : text) {
    if (c != L'&') plain += c;
  }
  return plain;
}

// A button of the dialog by id or by the text a user reads on it; null when there is none.
HWND FindButton(HWND dialog, const std::wstring& name) {
  wchar_t* end = nullptr;
  const int id = static_cast<int>(std::wcstol(name.c_str(), &end, 10));
  if (!name.empty() && *end == L'\0') return GetDlgItem(dialog, id);
  for (HWND button : ChildrenOfClass(dialog, L"Button")) {
    wchar_t text[256] = {};
    GetWindowTextW(button, text, 256);
    if (Unmarked(text) == Unmarked(name)) return button;
  }
  return nullptr;
}

std::string PressButton(const std::wstring& title, const std::wstring& name) {
  HWND dialog = FindDialog(title);
  if (dialog == nullptr) return Error("no dialog");
  HWND button = FindButton(dialog, name);
  if (button == nullptr) return Error("no such button");
  const int id = GetDlgCtrlID(button);
  return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button))
             ? "pressed"
             : Error("post failed");
}

std::string ButtonRect(const std::wstring& title, const std::wstring& name) {
  HWND dialog = FindDialog(title);
  return dialog == nullptr ? "none" : WindowRect(FindButton(dialog, name));
}

// The caret of the foreground window's thread: its window's class and its rectangle.
std::string Caret() {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  HWND foreground = GetForegroundWindow();
  if (foreground == nullptr || !GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info) ||
      info.hwndCaret == nullptr) {
    return "none";
  }
  return ClassOf(info.hwndCaret) + " " + std::to_string(info.rcCaret.left) + " " +
         std::to_string(info.rcCaret.top) + " " + std::to_string(info.rcCaret.right) + " " +
         std::to_string(info.rcCaret.bottom);
}

// The caret of the foreground window's thread on the screen: "left top right bottom".
std::string CaretOnScreen() {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  HWND foreground = GetForegroundWindow();
  if (foreground == nullptr || !GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info) ||
      info.hwndCaret == nullptr) {
    return "none";
  }
  RECT caret = info.rcCaret;
  MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&caret), 2);
  return RectText(caret);
}

// Notepad's text becomes `lines` numbered lines, its caret at the end, scrolled into view:
// as after typing that much, without a key or a click.
std::string FillNotepad(int lines) {
  HWND notepad = TopWindow(L"Notepad");
  HWND edit = notepad != nullptr ? FindWindowExW(notepad, nullptr, L"Edit", nullptr) : nullptr;
  if (edit == nullptr) return Error("no notepad");
  std::wstring text;
  for (int line = 1; line <= lines; ++line) {
    if (line > 1) text += L"\r\n";
    text += L"line " + std::to_wstring(line);
  }
  LRESULT ignored = 0;
  if (!Ask(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ignored) ||
      !Ask(edit, EM_SETSEL, text.size(), text.size(), &ignored) ||
      !Ask(edit, EM_SCROLLCARET, 0, 0, &ignored)) {
    return "timeout";
  }
  return "filled";
}

std::string PressMenuKeys(const std::vector<std::wstring>& names) {
  HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu == nullptr) return Error("no menu");
  for (const std::wstring& name : names) {
    const WPARAM key = name == L"up"       ? VK_UP
                       : name == L"down"   ? VK_DOWN
                       : name == L"return" ? VK_RETURN
                       : name == L"escape" ? VK_ESCAPE
                       : name == L"right"  ? VK_RIGHT
                       : name == L"left"   ? VK_LEFT
                                           : 0;
    if (key == 0) return Error("unknown menu key");
    PostMessageW(menu, WM_KEYDOWN, key, 1);
    PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
  }
  return "sent";
}

const char* KeyName(int key) {
  switch (key) {
    case VK_LBUTTON: return "lbutton";
    case VK_RBUTTON: return "rbutton";
    case VK_MBUTTON: return "mbutton";
    case VK_SHIFT: return "shift";
    case VK_CONTROL: return "control";
    case VK_MENU: return "alt";
    case VK_LWIN: return "windows";
    case VK_RWIN: return "rwindows";
    case VK_LSHIFT: return "lshift";
    case VK_RSHIFT: return "rshift";
    case VK_LCONTROL: return "lcontrol";
    case VK_RCONTROL: return "rcontrol";
    case VK_LMENU: return "lalt";
    case VK_RMENU: return "ralt";
    case VK_CAPITAL: return "capslock";
    default: return nullptr;
  }
}

std::string HeldKeys() {
  std::string held;
  for (int key = 1; key < 255; ++key) {
    if ((GetAsyncKeyState(key) & 0x8000) == 0) continue;
    if (!held.empty()) held += ' ';
    char hex[8];
    std::snprintf(hex, sizeof(hex), "vk%02x", key);
    held += KeyName(key) != nullptr ? KeyName(key) : hex;
  }
  return held.empty() ? "none" : held;
}

std::string ProcessMemory(HWND window) {
  DWORD id = 0;
  if (window == nullptr || GetWindowThreadProcessId(window, &id) == 0) return "none";
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  if (process == nullptr) return "none";
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  std::string result = "none";
  if (GetProcessMemoryInfo(process, &memory, sizeof(memory))) {
    char line[64];
    std::snprintf(line, sizeof(line), "%.1f %.1f",
                  static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0),
                  static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
    result = line;
  }
  CloseHandle(process);
  return result;
}

constexpr wchar_t kBlockName[] = L"Local\\PelmarikQuorelMap5.02";

std::string KeyboardField(const DWORD* fields) {
  char line[32];
  std::snprintf(line, sizeof(line), "%lx", static_cast<unsigned long>(fields[3]));
  return line;
}

std::string BlockField() {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, kBlockName);
  if (mapping == nullptr) return "none";
  const auto* fields = static_cast<const DWORD*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 52));
  std::string result = "none";
  if (fields != nullptr) {
    result = KeyboardField(fields);
    UnmapViewOfFile(fields);
  }
  CloseHandle(mapping);
  return result;
}

// Kept for the probe's life once asked for.
const DWORD* held_block = nullptr;

std::string HoldBlock() {
  if (held_block != nullptr) return "held";
  HANDLE mapping =
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 52, kBlockName);
  if (mapping == nullptr) return Error("cannot open the shared block");
  held_block = static_cast<const DWORD*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 52));
  return held_block != nullptr ? "held" : Error("cannot map the shared block");
}

std::string RegistryGet(const std::wstring& key_name, const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key_name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return "none";
  }
  DWORD type = 0;
  BYTE data[4096] = {};
  DWORD size = sizeof(data) - sizeof(wchar_t);
  const LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data, &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return "none";
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD value = 0;
    std::memcpy(&value, data, sizeof(value));
    return "dword " + std::to_string(value);
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return "sz " + Utf8(text);
  }
  return "other " + std::to_string(type);
}

std::string RegistrySet(const std::wstring& key_name, const std::wstring& name, DWORD type,
                        const BYTE* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key_name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return Error("cannot create the key");
  }
  const LONG status = RegSetValueExW(key, name.c_str(), 0, type, data, size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? "written" : Error("cannot write the value");
}

std::string RegistryDelete(const std::vector<std::wstring>& words) {
  if (words.size() == 2) {
    const LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, words[1].c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? "deleted"
                                                                     : Error("cannot delete");
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, words[1].c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
    return "deleted";
  }
  const LONG status = RegDeleteValueW(key, words[2].c_str());
  RegCloseKey(key);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? "deleted"
                                                                   : Error("cannot delete");
}

unsigned long Number(const std::wstring& word) { return std::wcstoul(word.c_str(), nullptr, 0); }

bool quit = false;

std::string Answer(const std::vector<std::wstring>& words) {
  const std::size_t n = words.size();
  if (n == 0) return Error("empty request");
  const std::wstring& command = words[0];
  auto title = [&](std::size_t index) { return n > index ? words[index] : std::wstring(L"*"); };
  if (command == L"ping") return "pong";
  if (command == L"quit") {
    quit = true;
    return "bye";
  }
  if (command == L"text") return NotepadText();
  if (command == L"foreground") return ClassOf(GetForegroundWindow());
  if (command == L"password-box") return OpenPasswordWindow();
  if (command == L"caret") return Caret();
  if (command == L"caret-screen") return CaretOnScreen();
  if (command == L"button-window") return OpenButtonWindow();
  if (n == 2 && command == L"fill-notepad") return FillNotepad(_wtoi(words[1].c_str()));
  if (command == L"keys") return HeldKeys();
  if (command == L"screen") {
    return std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " +
           std::to_string(GetSystemMetrics(SM_CYSCREEN));
  }
  if (command == L"block") return BlockField();
  if (command == L"hold-block") return HoldBlock();
  if (command == L"held-block") return held_block != nullptr ? KeyboardField(held_block) : "none";
  if (command == L"menu-keys") return PressMenuKeys({words.begin() + 1, words.end()});
  if (n == 2 && command == L"hold-file") return HoldFile(words[1]);
  if (n == 2 && command == L"let-go-file") return LetGoOfFile(words[1]);
  if (n >= 2 && command == L"window") return WindowRect(TopWindow(words[1], title(2)));
  if (n == 2 && command == L"count") return CountWindows(words[1]);
  if (n == 2 && command == L"iconic") {
    HWND window = TopWindow(words[1]);
    return window == nullptr ? "none" : IsIconic(window) ? "iconic" : "normal";
  }
  if ((n == 2 || n == 3) && command == L"client") return ClientOrigin(TopWindow(words[1], title(2)));
  if (n == 2 && command == L"memory") return ProcessMemory(TopWindow(words[1]));
  if (n == 2 && command == L"dialog") return DialogStatics(words[1]);
  if (n == 2 && command == L"buttons") return DialogButtons(words[1]);
  if (n == 3 && command == L"press") return PressButton(words[1], words[2]);
  if (n == 3 && command == L"button-rect") return ButtonRect(words[1], words[2]);
  if (n == 4) {
    HWND control = Control(TopWindow(words[1], words[2]), words[3]);
    if (command == L"control-text") return control != nullptr ? WindowText(control) : "none";
    if (command == L"control-rect") return WindowRect(control);
    if (command == L"selected-rows") {
      std::string rows;
      LRESULT row = -1;
      while (control != nullptr && Ask(control, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                       LVNI_SELECTED, &row) && row >= 0) {
        rows += std::to_string(row) + "\n";
      }
      return rows.empty() ? "none" : rows;
    }
    if (command == L"row-count") {
      LRESULT count = 0;
      return control != nullptr && Ask(control, LVM_GETITEMCOUNT, 0, 0, &count)
                 ? std::to_string(count)
                 : "none";
    }
    if (command == L"list-rows") return ListRows(control);
    if (command == L"listview-rows") return ListViewRows(control);
    if (command == L"checked") return CheckState(control);
  }
  if (n == 5 && (command == L"tab-rect" || command == L"row-rect")) {
    HWND control = Control(TopWindow(words[1], words[2]), words[3]);
    const auto index = static_cast<WPARAM>(Number(words[4]));
    return command == L"tab-rect" ? RemoteRect(control, TCM_GETITEMRECT, index, 0)
                                  : RemoteRect(control, LVM_GETITEMRECT, index, LVIR_BOUNDS);
  }
  if (n == 4 && command == L"set-text") {
    HWND dialog = FindDialog(words[1]);
    return dialog != nullptr && SetDlgItemTextW(dialog, static_cast<int>(Number(words[2])),
                                                words[3].c_str())
               ? "set"
               : Error("no such dialog or control");
  }
  if ((n == 4 || n == 5) && command == L"post") {
    HWND window = TopWindow(words[1]);
    if (window == nullptr) return Error("no such window");
    return PostMessageW(window, static_cast<UINT>(Number(words[2])),
                        static_cast<WPARAM>(Number(words[3])),
                        n == 5 ? static_cast<LPARAM>(Number(words[4])) : 0)
               ? "posted"
               : Error("post failed");
  }
  if (n == 2 && command == L"sync") {
    HWND window = TopWindow(words[1]);
    if (window == nullptr) return Error("no such window");
    return Ask(window, WM_NULL, 0, 0, nullptr) && Ask(window, WM_NULL, 0, 0, nullptr) ? "synced"
                                                                                      : "timeout";
  }
  if (n == 6 && command == L"place") {
    HWND window = TopWindow(words[1]);
    if (window == nullptr) return Error("no such window");
    return SetWindowPos(window, nullptr, _wtoi(words[2].c_str()), _wtoi(words[3].c_str()),
                        _wtoi(words[4].c_str()), _wtoi(words[5].c_str()),
                        SWP_NOZORDER | SWP_NOACTIVATE)
               ? "placed"
               : Error("cannot place");
  }
  if (n == 3 && command == L"reg-get") return RegistryGet(words[1], words[2]);
  if (n == 4 && command == L"reg-dword") {
    const DWORD value = static_cast<DWORD>(Number(words[3]));
    return RegistrySet(words[1], words[2], REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value));
  }
  if (n == 4 && command == L"reg-sz") {
    return RegistrySet(words[1], words[2], REG_SZ, reinterpret_cast<const BYTE*>(words[3].c_str()),
                       static_cast<DWORD>((words[3].size() + 1) * sizeof(wchar_t)));
  }
  if ((n == 2 || n == 3) && command == L"reg-delete") return RegistryDelete(words);
  return Error("unknown request");
}

std::vector<std::wstring> Words(const std::string& line) {
  std::vector<std::wstring> words;
  std::size_t start = 0;
  while (start <= line.size()) {
    std::size_t end = line.find('\t', start);
    if (end == std::string::npos) end = line.size();
    words.push_back(Wide(line.substr(start, end - start)));
    start = end + 1;
  }
  return words;
}

// One request a connection. A client that sends nothing is dropped after a few seconds,
// so it cannot keep the probe from answering the next one.
void Serve(SOCKET client) {
  DWORD receive_timeout = 5000;
  setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&receive_timeout),
             sizeof(receive_timeout));
  std::string line;
  char buffer[4096];
  while (line.find('\n') == std::string::npos && line.size() < 65536) {
    const int got = recv(client, buffer, sizeof(buffer), 0);
    if (got <= 0) break;
    line.append(buffer, static_cast<std::size_t>(got));
  }
  const std::size_t newline = line.find('\n');
  if (newline == std::string::npos) return;
  line.resize(newline);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::string answer = Answer(Words(line));
  std::size_t sent = 0;
  while (sent < answer.size()) {
    const int put = send(client, answer.data() + sent, static_cast<int>(answer.size() - sent), 0);
    if (put <= 0) break;
    sent += static_cast<std::size_t>(put);
  }
}

int ServeForever(const wchar_t* port_file) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return 1;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int length = sizeof(address);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(listener, 8) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return 1;
  }
  // Written whole under another name and then renamed, so the driver never reads half.
  const std::wstring partial = std::wstring(port_file) + L".partial";
  FILE* file = _wfopen(partial.c_str(), L"wb");
  if (file == nullptr) return 1;
  std::fprintf(file, "%u\n", static_cast<unsigned>(ntohs(address.sin_port)));
  std::fclose(file);
  if (!MoveFileExW(partial.c_str(), port_file, MOVEFILE_REPLACE_EXISTING)) return 1;
  while (!quit) {
    SOCKET client = accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    Serve(client);
    shutdown(client, SD_BOTH);
    closesocket(client);
  }
  closesocket(listener);
  WSACleanup();
  return 0;
}

}  // namespace

// Started as the program that opens web addresses (`probe record-url FILE ADDRESS`): the
// address it was given, written to FILE in UTF-8.
int RecordAddress(const wchar_t* file, const wchar_t* address) {
  FILE* out = _wfopen(file, L"wb");
  if (out == nullptr) return 1;
  const std::string text = Utf8(address);
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  return 0;
}

// `probe run FILE COMMAND-LINE`: runs the command line as it stands, as a deployment tool
// runs an uninstall string, waits for the program and writes its exit code to FILE (written
// whole under another name and then renamed). The driver keeps the deadline.
int RunAndReport(const wchar_t* file, const wchar_t* command_line) {
  std::wstring line = command_line;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  DWORD code = 0xFFFFFFFF;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  const std::wstring partial = std::wstring(file) + L".partial";
  FILE* out = _wfopen(partial.c_str(), L"wb");
  if (out == nullptr) return 1;
  std::fprintf(out, "%ld\n", static_cast<long>(code));
  std::fclose(out);
  return MoveFileExW(partial.c_str(), file, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

int wmain(int argc, wchar_t** argv) {
  // Every rectangle it tells is in the screen's own pixels, whatever scale the display has.
  SetProcessDPIAware();
  if (argc == 3 && std::wstring(argv[1]) == L"serve") return ServeForever(argv[2]);
  if (argc == 4 && std::wstring(argv[1]) == L"record-url") return RecordAddress(argv[2], argv[3]);
  if (argc == 4 && std::wstring(argv[1]) == L"run") return RunAndReport(argv[2], argv[3]);
  return 2;
}
