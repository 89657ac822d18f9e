// Calls the library's special key menu as the editor's add/edit dialog does, for the
// end-to-end driver: `quorel_key_menu_host OUT_FILE`.
//
// The host shows a window and opens the menu from it at once, and again each time it is
// posted WM_APP. After each call OUT_FILE holds, in UTF-8, "call N", then "text" and the
// text returned (or "none"), then "dialog host" when the shared block names the host as the
// editor's current dialog again. While a dialog of the library is up, OUT_FILE.current
// holds the title of the editor's current dialog. While a menu is open, OUT_FILE.menu lists
// the items of every menu on the screen, "caption<TAB>left top right bottom" a line, so
// that the driver can click them as a user would.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "library/api/QuorelApi.h"

namespace {

constexpr wchar_t kClass[] = L"QuorelSpecialsHost";
std::wstring out_file;
int calls = 0;
HWND host = nullptr;

std::string Utf8(const wchar_t* text) {
  if (text == nullptr || *text == 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.pop_back();
  return out;
}

// Whole or not at all: written beside the file and moved over it.
void WriteFile(const std::wstring& path, const std::string& content) {
  const std::wstring temporary = path + L".part";
  FILE* file = _wfopen(temporary.c_str(), L"wb");
  if (file == nullptr) return;
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
  MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

BOOL CALLBACK ListMenu(HWND window, LPARAM lparam) {
  auto* lines = reinterpret_cast<std::string*>(lparam);
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (lstrcmpW(name, L"#32768") != 0 || !IsWindowVisible(window)) return TRUE;
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t caption[128] = {};
    if (GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION) <= 0) continue;
    RECT rect;
    if (!GetMenuItemRect(window, menu, static_cast<UINT>(i), &rect)) continue;
    char place[64];
    std::snprintf(place, sizeof(place), "\t%ld %ld %ld %ld\n", rect.left, rect.top, rect.right,
                  rect.bottom);
    *lines += Utf8(caption) + place;
  }
  return TRUE;
}

void ListMenus() {
  std::string lines;
  EnumThreadWindows(GetCurrentThreadId(), ListMenu, reinterpret_cast<LPARAM>(&lines));
  static std::string last;
  if (lines == last) return;
  last = lines;
  WriteFile(out_file + L".menu", lines);
}

// Every message of the menu's own loop passes here.
LRESULT CALLBACK MenuMessages(int code, WPARAM wparam, LPARAM lparam) {
  if (code == MSGF_MENU) ListMenus();
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// While a dialog of the library is up: the title of the editor's current dialog.
void NoteCurrentDialog() {
  QUOREL_WINDOW dialog = nullptr;
  GLOBAL_GetQuorelEditorCurrentDialog(&dialog);
  wchar_t title[128] = {};
  if (dialog != nullptr) GetWindowTextW(dialog, title, 128);
  WriteFile(out_file + L".current", Utf8(title));
}

void OpenMenu() {
  RECT rect;
  GetWindowRect(host, &rect);
  const QUOREL_CHAR* text = SPECIALS_PopupMenu(host, rect.left + 20, rect.bottom - 20);
  QUOREL_WINDOW dialog = nullptr;
  GLOBAL_GetQuorelEditorCurrentDialog(&dialog);
  std::string report = "call " + std::to_string(++calls) + "\n";
  report += text == nullptr ? std::string("none") : "text " + Utf8(text);
  report += dialog == host ? "\ndialog host\n" : "\ndialog other\n";
  WriteFile(out_file, report);
}

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_APP:
      OpenMenu();
      return 0;
    case WM_ENTERIDLE:
      if (wparam == MSGF_MENU) ListMenus();
      if (wparam == MSGF_DIALOGBOX) NoteCurrentDialog();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count < 2) return 2;
  out_file = arguments[1];

  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = HostProcedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kClass;
  RegisterClassW(&window_class);
  host = CreateWindowExW(0, kClass, L"Specials Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80,
                         420, 440, nullptr, nullptr, instance, nullptr);
  if (host == nullptr) return 1;
  SetForegroundWindow(host);
  // As the editor's add/edit dialog: the keyboard's special keys would come here.
  GLOBAL_SetQuorelEditorCurrentDialog(host);
  const HHOOK hook = SetWindowsHookExW(WH_MSGFILTER, MenuMessages, nullptr, GetCurrentThreadId());
  PostMessageW(host, WM_APP, 0, 0);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  return 0;
}
