// The floor under the keyboard's answer to the pen: a bare top-most window that never
// takes the focus and, at each pen down, only inverts a key-sized rectangle and sends one
// key press and release in one SendInput, timed from the handler's entry as the keyboard
// times itself. What the keyboard takes beyond this is its own.
//
//   quorel_floor.exe OUT_FILE X Y     the window at (X, Y); the figures go to OUT_FILE when
//                                     the window is closed
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kClass[] = L"QuorelFloor";
constexpr int kWidth = 300;
constexpr int kHeight = 100;
constexpr int kKeySize = 40;

std::wstring out_path;
double ticks_per_microsecond = 1;
std::vector<double> highlights;
std::vector<double> inputs;

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Since(LONGLONG start) { return static_cast<double>(Now() - start) / ticks_per_microsecond; }

void Report(FILE* file, const char* what, std::vector<double> samples) {
  if (samples.empty()) {
    std::fprintf(file, "%s: no samples\n", what);
    return;
  }
  std::sort(samples.begin(), samples.end());
  std::fprintf(file, "%s: %zu samples, median %.0f us, 99th percentile %.0f us\n", what,
               samples.size(), samples[samples.size() / 2],
               samples[std::min(samples.size() - 1, samples.size() * 99 / 100)]);
}

void PenDown(HWND window, int x, int y) {
  const LONGLONG start = Now();
  HDC context = GetDC(window);
  const RECT key = {x - kKeySize / 2, y - kKeySize / 2, x + kKeySize / 2, y + kKeySize / 2};
  InvertRect(context, &key);
  ReleaseDC(window, context);
  highlights.push_back(Since(start));
  INPUT keys[2] = {};
  for (INPUT& input : keys) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = 'K';
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW('K', MAPVK_VK_TO_VSC));
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
  inputs.push_back(Since(start));
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
      PenDown(window, static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
      return 0;
    case WM_LBUTTONUP: {
      // The inverted key goes back as the pen lifts, as a key's highlight does.
      HDC context = GetDC(window);
      RECT all = {0, 0, kWidth, kHeight};
      FillRect(context, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      ReleaseDC(window, context);
      return 0;
    }
    case WM_DESTROY: {
      if (FILE* file = _wfopen(out_path.c_str(), L"w")) {
        Report(file, "pen down to highlight", highlights);
        Report(file, "pen down to first input", inputs);
        std::fclose(file);
      }
      PostQuitMessage(0);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (words == nullptr || count != 4) {
    std::fwprintf(stderr, L"usage: quorel_floor OUT_FILE X Y\n");
    return 2;
  }
  out_path = words[1];
  const int x = _wtoi(words[2]);
  const int y = _wtoi(words[3]);
  LocalFree(words);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  ticks_per_microsecond = static_cast<double>(frequency.QuadPart) / 1e6;

  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszClassName = kClass;
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST, kClass, L"Floor",
                                WS_POPUP | WS_BORDER, x, y, kWidth, kHeight, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
