// Reads what the end-to-end tests check from inside the Wine desktop and writes it to a
// file, since the console output of programs started on a virtual desktop is lost.
//   probe text FILE            the text of Wine's notepad, as UTF-8
//   probe window CLASS FILE    "left top right bottom" of a top-level window, "hidden"
//                              when it is not visible, or "none"
//   probe count CLASS FILE     how many top-level windows of that class exist
//   probe client CLASS FILE    the screen point of that window's client origin, "x y"
//   probe block FILE           the keyboard window field of the shared block, or "none"
//   probe watch FILE           holds the shared block open until the keyboard window is
//                              gone (at most 30 s), then writes its keyboard window field
//   probe post CLASS MSG WPARAM posts a message to a top-level window (as another program
//                              that asks the keyboard to reload does)
//   probe place CLASS X Y W H  moves and sizes a top-level window (keeps the test's windows
//                              apart: an activated window is drawn over a top-most one)
//   probe memory CLASS FILE    the working set and peak working set of the process that
//                              owns that top-level window, "now MB peak MB"
//   probe dialog TITLE FILE    the texts of the static controls of the dialog box with that
//                              title (a message box's message), or "none"
//   probe dialog-text TITLE ID TEXT   sets the text of a control of that dialog box
//   probe dialog-press TITLE ID       presses a button of that dialog box
//   probe menu-keys KEY...     sends up, down, return or escape to the open pop-up menu,
//                              as a user's keyboard would
//   probe screen FILE          the size of the primary display, "width height"
//   probe foreground FILE      the class of the foreground window, or "none"
//   probe keys FILE            which of Shift, Ctrl, Alt and the Windows key the system
//                              holds down, e.g. "shift" or "none"
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

bool WriteFile(const wchar_t* path, const std::string& text) {
  FILE* file = _wfopen(path, L"wb");
  if (file == nullptr) return false;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  return true;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::string NotepadText() {
  HWND notepad = FindWindowW(L"Notepad", nullptr);
  if (notepad == nullptr) return "(no notepad)";
  HWND edit = FindWindowExW(notepad, nullptr, L"Edit", nullptr);
  if (edit == nullptr) return "(no edit)";
  LRESULT length = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return Utf8(text);
}

std::string WindowRect(const wchar_t* window_class) {
  HWND window = FindWindowW(window_class, nullptr);
  RECT rect;
  if (window == nullptr || !GetWindowRect(window, &rect)) return "none";
  if (!IsWindowVisible(window)) return "hidden";
  char line[96];
  std::snprintf(line, sizeof(line), "%ld %ld %ld %ld", rect.left, rect.top, rect.right,
                rect.bottom);
  return line;
}

std::string ClientOrigin(const wchar_t* window_class) {
  HWND window = FindWindowW(window_class, nullptr);
  POINT origin = {0, 0};
  if (window == nullptr || !ClientToScreen(window, &origin)) return "none";
  char line[64];
  std::snprintf(line, sizeof(line), "%ld %ld", origin.x, origin.y);
  return line;
}

std::string ForegroundClass() {
  HWND window = GetForegroundWindow();
  wchar_t name[256];
  if (window == nullptr || GetClassNameW(window, name, 256) == 0) return "none";
  return Utf8(name);
}

std::string CountWindows(const wchar_t* window_class) {
  struct Search {
    const wchar_t* window_class;
    int count;
  } search = {window_class, 0};
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

std::string KeyboardField() {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, L"Local\\PelmarikQuorelMap5.02");
  if (mapping == nullptr) return "none";
  const auto* fields = static_cast<const DWORD*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 52));
  std::string result = "none";
  if (fields != nullptr) {
    char line[32];
    std::snprintf(line, sizeof(line), "%lx", static_cast<unsigned long>(fields[3]));
    result = line;
    UnmapViewOfFile(fields);
  }
  CloseHandle(mapping);
  return result;
}

std::string HeldModifiers() {
  const struct {
    int key;
    const char* name;
  } modifiers[] = {
      {VK_SHIFT, "shift"}, {VK_CONTROL, "control"}, {VK_MENU, "alt"}, {VK_LWIN, "windows"}};
  std::string held;
  for (const auto& modifier : modifiers) {
    if ((GetAsyncKeyState(modifier.key) & 0x8000) == 0) continue;
    if (!held.empty()) held += ' ';
    held += modifier.name;
  }
  return held.empty() ? "none" : held;
}

std::string ProcessMemory(const wchar_t* window_class) {
  HWND window = FindWindowW(window_class, nullptr);
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

HWND FindDialog(const wchar_t* title) { return FindWindowW(L"#32770", title); }

std::string DialogStatics(const wchar_t* title) {
  HWND dialog = FindDialog(title);
  if (dialog == nullptr) return "none";
  std::wstring texts;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM data) -> BOOL {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, L"Static") != 0) return TRUE;
        wchar_t text[1024] = {};
        GetWindowTextW(child, text, 1024);
        auto* all = reinterpret_cast<std::wstring*>(data);
        if (text[0] != 0) {
          if (!all->empty()) *all += L' ';
          *all += text;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return Utf8(texts);
}

bool PressMenuKeys(int count, wchar_t** names) {
  HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu == nullptr) return false;
  for (int i = 0; i < count; ++i) {
    const std::wstring name = names[i];
    const WPARAM key = name == L"up"       ? VK_UP
                       : name == L"down"   ? VK_DOWN
                       : name == L"return" ? VK_RETURN
                       : name == L"escape" ? VK_ESCAPE
                                           : 0;
    if (key == 0) return false;
    PostMessageW(menu, WM_KEYDOWN, key, 1);
    PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
    Sleep(100);
  }
  return true;
}

}  // namespace

// The block lives only while a process has it open: holding it lets the test see what
// the keyboard left in it when it ended.
std::string WatchKeyboardEnd() {
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 52,
                                      L"Local\\PelmarikQuorelMap5.02");
  if (mapping == nullptr) return "none";
  const auto* fields =
      static_cast<const volatile DWORD*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 52));
  if (fields == nullptr) return "none";
  for (int wait = 0; wait < 300 && FindWindowW(L"QuorelMainWindow5.02", nullptr) != nullptr;
       ++wait) {
    Sleep(100);
  }
  char line[32];
  std::snprintf(line, sizeof(line), "%lx", static_cast<unsigned long>(fields[3]));
  return line;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"text")
    return WriteFile(argv[2], NotepadText()) ? 0 : 1;
  if (argc == 3 && std::wstring(argv[1]) == L"block")
    return WriteFile(argv[2], KeyboardField()) ? 0 : 1;
  if (argc == 3 && std::wstring(argv[1]) == L"foreground")
    return WriteFile(argv[2], ForegroundClass()) ? 0 : 1;
  if (argc == 3 && std::wstring(argv[1]) == L"keys")
    return WriteFile(argv[2], HeldModifiers()) ? 0 : 1;
  if (argc == 3 && std::wstring(argv[1]) == L"watch")
    return WriteFile(argv[2], WatchKeyboardEnd()) ? 0 : 1;
  if (argc == 4 && std::wstring(argv[1]) == L"window") {
    return WriteFile(argv[3], WindowRect(argv[2])) ? 0 : 1;
  }
  if (argc == 5 && std::wstring(argv[1]) == L"post") {
    HWND window = FindWindowW(argv[2], nullptr);
    if (window == nullptr) return 1;
    return PostMessageW(window, static_cast<UINT>(wcstoul(argv[3], nullptr, 0)),
                        static_cast<WPARAM>(wcstoul(argv[4], nullptr, 0)), 0)
               ? 0
               : 1;
  }
  if (argc == 7 && std::wstring(argv[1]) == L"place") {
    HWND window = FindWindowW(argv[2], nullptr);
    if (window == nullptr) return 1;
    return SetWindowPos(window, nullptr, _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]),
                        _wtoi(argv[6]), SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
  }
  if (argc == 3 && std::wstring(argv[1]) == L"screen") {
    return WriteFile(argv[2], std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " +
                                  std::to_string(GetSystemMetrics(SM_CYSCREEN)))
               ? 0
               : 1;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"dialog") {
    return WriteFile(argv[3], DialogStatics(argv[2])) ? 0 : 1;
  }
  if (argc == 5 && std::wstring(argv[1]) == L"dialog-text") {
    HWND dialog = FindDialog(argv[2]);
    return dialog != nullptr && SetDlgItemTextW(dialog, _wtoi(argv[3]), argv[4]) ? 0 : 1;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"dialog-press") {
    HWND dialog = FindDialog(argv[2]);
    if (dialog == nullptr) return 1;
    const int id = _wtoi(argv[3]);
    HWND button = GetDlgItem(dialog, id);
    return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button))
               ? 0
               : 1;
  }
  if (argc >= 3 && std::wstring(argv[1]) == L"menu-keys") {
    return PressMenuKeys(argc - 2, argv + 2) ? 0 : 1;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"memory") {
    return WriteFile(argv[3], ProcessMemory(argv[2])) ? 0 : 1;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"count") {
    return WriteFile(argv[3], CountWindows(argv[2])) ? 0 : 1;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"client") {
    return WriteFile(argv[3], ClientOrigin(argv[2])) ? 0 : 1;
  }
  return 2;
}
