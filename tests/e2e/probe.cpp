// Reads what the end-to-end tests check from inside the Wine desktop and writes it to a
// file, since the console output of programs started on a virtual desktop is lost.
//   probe text FILE            the text of Wine's notepad, as UTF-8
//   probe window CLASS FILE    "left top right bottom" of a top-level window, or "none"
//   probe client CLASS FILE    the screen point of that window's client origin, "x y"
//   probe block FILE           the keyboard window field of the shared block, or "none"
//   probe place CLASS X Y W H  moves and sizes a top-level window (keeps the test's windows
//                              apart: an activated window is drawn over a top-most one)
#include <windows.h>

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
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"text") return WriteFile(argv[2], NotepadText()) ? 0 : 1;
  if (argc == 3 && std::wstring(argv[1]) == L"block") return WriteFile(argv[2], KeyboardField()) ? 0 : 1;
  if (argc == 4 && std::wstring(argv[1]) == L"window") {
    return WriteFile(argv[3], WindowRect(argv[2])) ? 0 : 1;
  }
  if (argc == 7 && std::wstring(argv[1]) == L"place") {
    HWND window = FindWindowW(argv[2], nullptr);
    if (window == nullptr) return 1;
    return SetWindowPos(window, nullptr, _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]),
                        _wtoi(argv[6]), SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"client") {
    return WriteFile(argv[3], ClientOrigin(argv[2])) ? 0 : 1;
  }
  return 2;
}
