// The keyboard program: its entry point, its single-instance rule, and the procedures of
// its three windows. The procedures only translate messages into calls of the engine.
#include <windows.h>
#include <windowsx.h>

#include <objbase.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

#include "keyboard/expansion/expansion.h"
#include "keyboard/expansion/text_privacy.h"
#include "keyboard/key_kinds.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/menu/menu.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/panels/panel_drawing.h"
#include "keyboard/panels/panels.h"
#include "keyboard/pen/pen.h"
#include "keyboard/pen_timings.h"
#include "keyboard/placement/caret_room.h"
#include "keyboard/placement/placement.h"
#include "keyboard/placement/text_box_tap.h"
#include "keyboard/preview/preview_list.h"
#include "keyboard/preview/slide_preview.h"
#include "keyboard/render/render.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "platform/display.h"
#include "platform/drawing.h"
#include "platform/background.h"
#include "platform/focus.h"
#include "platform/input.h"
#include "platform/win32/background_work.h"
#include "platform/win32/dpi_scale.h"
#include "platform/win32/password_watch.h"
#include "platform/win32/user_input_watch.h"
#include "platform/window.h"

// Newer than the toolchain's headers.
constexpr UINT WM_GETDPISCALEDSIZE_MESSAGE = 0x02E4;
#ifndef WM_POINTERACTIVATE
#define WM_POINTERACTIVATE 0x024B
#endif
#ifndef PA_NOACTIVATE
#define PA_NOACTIVATE 3
#endif

namespace quorel::keyboard {

LRESULT CALLBACK SensorProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

namespace {

constexpr wchar_t kMainClass[] = L"QuorelMainWindow5.02";
constexpr wchar_t kSensorClass[] = L"QuorelSensorWindow5.02";
constexpr wchar_t kTitle[] = L"Quorel";
constexpr wchar_t kPenServiceProperty[] = L"MicrosoftTabletPenServiceProperty";
// Of that property: no press-and-hold, and no flicks, which would take a quick sideways
// slide across the suggestion list for a command of the system's.
constexpr UINT_PTR kNoPressAndHold = 0x00000001;
constexpr UINT_PTR kNoFlicks = 0x00010000;
// Held by the running keyboard: two quick starts never make two keyboards.
constexpr wchar_t kSingleKeyboardMutex[] = L"Local\\PelmarikQuorelKeyboard5.02";
// How long a second start waits for the first keyboard's window to appear.
constexpr DWORD kFirstWindowWaitMs = 10000;
constexpr int kMainIcon = 206;
// Posted by the watch of the user's input: a press or a key away from the keyboard.
constexpr UINT kUserActedElsewhere = WM_APP + 0x40;
// Posted to itself at start: the word lists are read once the keyboard is up.
constexpr UINT kLoadWords = WM_APP + 0x41;
// The learned words are saved this often when they changed.
constexpr UINT_PTR kSaveWordsTimer = 0x5157;
constexpr UINT kSaveWordsEveryMs = 30000;
// How long the exit waits for the learned words to be read and written: within what the
// system grants a program at sign-out.
constexpr std::uint32_t kSaveAtExitMs = 4500;
// Posted by the watch of UI Automation: an answer about the focused control.
constexpr UINT kFocusAnswered = WM_APP + 0x42;
// Posted by the background worker: jobs ended, their results wait for this thread.
constexpr UINT kBackgroundDone = WM_APP + 0x43;
// Whether the system has removed the watch of the user's input is looked at this often.
constexpr UINT_PTR kInputWatchTimer = 0x5158;
constexpr UINT kInputWatchEveryMs = 5000;
// Where the caret is, looked at this often as well as at every change of focus and of the
// window in front. The system's own word of a caret's move comes only with its word of
// every move of every object in every program, all of it on the pen's thread; a look at
// the caret costs no other program anything.
constexpr UINT_PTR kCaretTimer = 0x515A;
constexpr UINT kCaretEveryMs = 250;
// Built to type into windows that run as administrator (its manifest asks for uiAccess).
#ifdef QUOREL_UIACCESS
constexpr bool kUiAccess = true;
#else
constexpr bool kUiAccess = false;
#endif

struct Program {
  HINSTANCE instance = nullptr;
  HWINEVENTHOOK switch_hook = nullptr;
  HWINEVENTHOOK foreground_hook = nullptr;
  HWINEVENTHOOK focus_hook = nullptr;
  // The element that last took the focus: its window, object and child.
  HWND last_focus = nullptr;
  LONG last_focus_object = 0;
  LONG last_focus_child = 0;
  int monitor_dpi = 96;  // of the monitor the keyboard is on
  HWND last_foreground = nullptr;
  WNDPROC list_procedure = nullptr;
};
Program program;

PenTimings timings;

// A list press counts as the pen on the keyboard; the list's press record is below.
bool PenOnKeyboard();

HWND Handle(platform::WindowHandle window) { return reinterpret_cast<HWND>(window); }
platform::WindowHandle Opaque(HWND window) { return reinterpret_cast<platform::WindowHandle>(window); }

// Registers a window class of the program unless it is registered already.
void RegisterClassOnce(const wchar_t* name, WNDPROC procedure, HICON icon, HBRUSH background) {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(program.instance, name, &existing)) return;
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = program.instance;
  window_class.hIcon = icon;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = background;
  window_class.lpszClassName = name;
  RegisterClassExW(&window_class);
}

void CreateSensorWindow(HWND main) {
  // Between panels, where a panel's picture rounds short of the next at some scales, the
  // window shows the art's gutter.
  static HBRUSH gutter = CreateSolidBrush(RGB(kGutter.r, kGutter.g, kGutter.b));
  RegisterClassOnce(kSensorClass, SensorProcedure, nullptr, gutter);
  const ClientSize client = KeyboardClientSize(GetOption(OptionId::kSize));
  CreateWindowExW(WS_EX_NOACTIVATE, kSensorClass, L"", WS_CHILD | WS_VISIBLE, 0, 0,
                  ToDevice(client.width), ToDevice(client.height), main, nullptr,
                  program.instance, nullptr);
}

// The scale to lay out at: the art nearest to the monitor's, for the size in use.
void ChooseDisplayScale() { quorel::keyboard::ChooseDisplayScale(program.monitor_dpi); }

// --- the preview list -------------------------------------------------------------------

// A press on the list, from pen down to pen up.
struct ListPress {
  bool down = false;
  POINT at = {};
  int row = -1;
};
ListPress list_press;

bool PenOnKeyboard() { return Press().pressed || list_press.down; }

// When the pen last left the keyboard or its list: between two taps the hand is on its way
// to the next key, and a keyboard that stepped aside then would take that tap elsewhere.
DWORD pen_lifted_at = GetTickCount() - 60000;
constexpr DWORD kStillAfterPenMs = 800;
void PenLifted() { pen_lifted_at = GetTickCount(); }
bool PenOnOrJustOffKeyboard() {
  return PenOnKeyboard() || GetTickCount() - pen_lifted_at < kStillAfterPenMs;
}

// A tap on the list picks the row under the pen and, at pen up, its suggestion; a slide
// across a row, two rows' heights or more to either side and mostly sideways, takes its
// completion away instead. The list never takes the focus from the application the user
// types into, and holds the pen from down to up so that a slide ends here wherever it
// leaves the list.
LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_POINTERACTIVATE:
      return PA_NOACTIVATE;
    // The list box class has double-clicks: a quick second tap comes as one, and is a tap.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const LRESULT found = SendMessageW(list, LB_ITEMFROMPOINT, 0, lparam);
      list_press = {true, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)},
                    HIWORD(found) == 0 ? static_cast<int>(LOWORD(found)) : -1};
      if (list_press.row >= 0) SendMessageW(list, LB_SETCURSEL, list_press.row, 0);
      SetCapture(list);
      return 0;
    }
    case WM_LBUTTONUP: {
      const ListPress press = list_press;
      list_press = ListPress();
      PenLifted();
      if (GetCapture() == list) ReleaseCapture();
      if (!press.down) return 0;
      const int dx = std::abs(GET_X_LPARAM(lparam) - press.at.x);
      const int dy = std::abs(GET_Y_LPARAM(lparam) - press.at.y);
      const int row_height = std::max(1, static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)));
      RECT client;
      GetClientRect(list, &client);
      if (dx >= 2 * row_height && dx >= 2 * dy) {
        ListSwiped(press.row);
      } else if (PtInRect(&client, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)})) {
        ListTapped();
        RefreshAfterKeys();
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      // Another window took the pen: the press ends with nothing done.
      if (reinterpret_cast<HWND>(lparam) != list) list_press = ListPress();
      return 0;
    default:
      return CallWindowProcW(program.list_procedure, list, message, wparam, lparam);
  }
}

HWND CreatePreviewList() {
  HWND list = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"LISTBOX",
                              nullptr, WS_POPUP | WS_BORDER | LBS_NOTIFY | LBS_HASSTRINGS, 0, 0,
                              0, 0, nullptr, nullptr, program.instance, nullptr);
  if (list != nullptr) {
    if (GlobalAddAtomW(kPenServiceProperty) != 0) {
      SetPropW(list, kPenServiceProperty, reinterpret_cast<HANDLE>(kNoPressAndHold | kNoFlicks));
    }
    program.list_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProcedure)));
  }
  return list;
}

void ReplaceSlidesFont() {
  if (Windows().slides_font != 0) DeleteObject(reinterpret_cast<HFONT>(Windows().slides_font));
  Windows().slides_font = CreateSlidesFont();
  SetListFont(Windows().slides_font);
}

// Every latched modifier goes up, on the system and on the keys.
void LetGoOfKeys() {
  LetGoOfModifiers();
  RefreshToggleHighlights();
}

// A uiAccess keyboard runs above the user's other programs, whose messages the system then
// drops: the messages by which the options program and the editor, old and new, tell it
// to read its options and files again are let through.
// The produce-key message is not one of them; it stays closed to the user's programs.
void OpenToTheSuitesMessages(HWND window) {
  if (!kUiAccess) return;
  for (UINT message : {kOptionsChangedMessage, kPreviewFontChangedMessage, kLoadGlossaryMessage,
                       kLoadSlideFileMessage, kForgetLearnedWordsMessage}) {
    ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
  }
}

// --- system events ----------------------------------------------------------------------

// The user went elsewhere: the word typed stays behind, and whether the control now typed
// into hides its text is asked anew.
void UserMovedAway() {
  ForgetTypedWord();
  platform::AskAboutFocusedControl();
}

// The focus or the caret may have moved: the keyboard comes, goes, or steps aside.
void FollowTheText() {
  FocusMoved(PenOnKeyboard());
  KeepCaretVisible(PenOnOrJustOffKeyboard());
}

// What the watch of the user's input heard: a press away from the keyboard may move the
// caret and the focus, a hardware key may move the caret; neither is the keyboard's typing.
void OnUserActed(WPARAM action) {
  switch (action) {
    case platform::win32::kPressed:
      PointerPressedElsewhere();
      UserMovedAway();
      break;
    case platform::win32::kReleased:
      // The focus a press moves has moved by the time it is let go: asked again.
      platform::AskAboutFocusedControl();
      PointerReleasedElsewhere(PenOnKeyboard());
      break;
    default:
      HardwareKeyTyped();
      ForgetTypedWord();
      break;
  }
}

// The system takes a low-level hook away, without a word, after it once answered too
// slowly: the keyboard's own keys that the watch never heard say so, and the watch starts
// anew, once in a while at most.
void CheckInputWatch() {
  constexpr DWORD kRestartAtMostEveryMs = 30000;
  static DWORD last_restart = GetTickCount() - kRestartAtMostEveryMs;
  const DWORD now = GetTickCount();
  if (now - last_restart >= kRestartAtMostEveryMs &&
      InputWatchLost(platform::win32::LastSentInput(), platform::win32::LastHeardInput(), now)) {
    last_restart = now;
    platform::win32::RestartUserInputWatch();
  }
}

void CALLBACK OnSystemEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                            DWORD, DWORD) {
  if (event == EVENT_SYSTEM_SWITCHEND) {
    // The task switcher that a latched alt held open has ended: let go of alt.
    if (State().alt != 0) {
      State().alt = 0;
      Dispatch(kind::kAlt, 0);
      RefreshToggleHighlights();
    }
  } else if (event == EVENT_OBJECT_FOCUS) {
    // Another control, or another element of the same window (a browser's fields, which
    // share one window): the word is not where it was, and whether the element hides what
    // is typed is asked anew. The same element taking the focus again changes nothing.
    if (window != program.last_focus || object != program.last_focus_object ||
        child != program.last_focus_child) {
      ForgetTypedWord();
      platform::AskAboutFocusedControl();
    }
    program.last_focus = window;
    program.last_focus_object = object;
    program.last_focus_child = child;
    FollowTheText();
  } else if (event == EVENT_SYSTEM_FOREGROUND) {
    // The word being typed stays behind in the window the user left.
    UserMovedAway();
    // The desktop and the task bar are never where the user types.
    if (window != nullptr && !IsIconic(window) && !IsShellWindow(Opaque(window))) {
      program.last_foreground = window;
    }
    ForegroundWindowChanged();
    KeepCaretVisible(PenOnOrJustOffKeyboard());
  }
}

// --- the main window --------------------------------------------------------------------

// Whether `length` bytes at `address` lie on the stack of the thread running now.
bool OnThisThreadsStack(LPARAM address, std::size_t length) {
  using StackLimits = VOID(WINAPI*)(PULONG_PTR, PULONG_PTR);
  static const auto limits = reinterpret_cast<StackLimits>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetCurrentThreadStackLimits")));
  if (limits == nullptr || address == 0) return false;
  ULONG_PTR low = 0;
  ULONG_PTR high = 0;
  limits(&low, &high);
  const auto at = static_cast<ULONG_PTR>(address);
  return at >= low && at + length <= high;
}

// How often the learned words are saved; a measurement of the keyboard timing itself may
// save far more often, to time the pen while saves wait on the disk.
UINT SaveWordsEveryMs() {
  wchar_t value[16] = {};
  if (!timings.enabled() || GetEnvironmentVariableW(L"QUOREL_SAVE_WORDS_MS", value, 16) == 0) {
    return kSaveWordsEveryMs;
  }
  return std::clamp<UINT>(static_cast<UINT>(std::wcstoul(value, nullptr, 10)), 100,
                          kSaveWordsEveryMs);
}

void OnMainCreate(HWND window) {
  Windows().main = Opaque(window);
  platform::win32::SetWindowIcons(window, program.instance, kMainIcon,
                                  platform::win32::ScaleOf(window).dpi);
  OpenToTheSuitesMessages(window);
  PublishKeyboard(Opaque(window));
  // Made on another monitor than the system's first, it takes that monitor's scale.
  if (const int dpi = platform::win32::ScaleOf(window).dpi; dpi != program.monitor_dpi) {
    program.monitor_dpi = dpi;
    ChooseDisplayScale();
    const platform::Size size = KeyboardWindowSize(GetOption(OptionId::kSize));
    SetWindowPos(window, nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  CreateSensorWindow(window);
  Windows().list = Opaque(CreatePreviewList());
  ReplaceSlidesFont();
  LoadSlideSet();
  LoadGlossary();
  platform::win32::SetBackgroundNotify(window, kBackgroundDone);
  PostMessageW(window, kLoadWords, 0, 0);
  SetTimer(window, kSaveWordsTimer, SaveWordsEveryMs(), nullptr);
  SetTimer(window, kInputWatchTimer, kInputWatchEveryMs, nullptr);
  SetTimer(window, kCaretTimer, kCaretEveryMs, nullptr);
  program.switch_hook = SetWinEventHook(EVENT_SYSTEM_SWITCHEND, EVENT_SYSTEM_SWITCHEND, nullptr,
                                        OnSystemEvent, 0, 0,
                                        WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  program.foreground_hook = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND,
                                            nullptr, OnSystemEvent, 0, 0,
                                            WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  program.focus_hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
                                       OnSystemEvent, 0, 0,
                                       WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  // The word being typed ends when the user acts elsewhere; judged by these events, never
  // by where a busy application's caret happens to be.
  platform::win32::StartUserInputWatch(window, kUserActedElsewhere, window,
                                       Handle(Windows().list));
  platform::win32::StartPasswordWatch(window, kFocusAnswered);
}

void OnMainDestroy() {
  if (Windows().list != 0) DestroyWindow(Handle(Windows().list));
  Windows().list = 0;
  if (Windows().slides_font != 0) DeleteObject(reinterpret_cast<HFONT>(Windows().slides_font));
  Windows().slides_font = 0;
  KeyboardSlides().Release();
  KeyboardGlossary().Release();
  KillTimer(Handle(Windows().main), kSaveWordsTimer);
  KillTimer(Handle(Windows().main), kInputWatchTimer);
  KillTimer(Handle(Windows().main), kCaretTimer);
  KillTimer(Handle(Windows().main), kLeaveTextTimer);
  SaveLearnedWordsAtExit(kSaveAtExitMs);
  if (program.switch_hook != nullptr) UnhookWinEvent(program.switch_hook);
  if (program.foreground_hook != nullptr) UnhookWinEvent(program.foreground_hook);
  if (program.focus_hook != nullptr) UnhookWinEvent(program.focus_hook);
  platform::win32::StopUserInputWatch();
  platform::win32::StopPasswordWatch();
  ClearKeyboardWindow();
  Windows().main = 0;
  timings.Write();
  PostQuitMessage(0);
}

void RebuildSensorWindow(HWND window) {
  platform::ForgetImages();  // a new size, layout or scale draws from other files
  if (Windows().sensor != 0) DestroyWindow(Handle(Windows().sensor));
  CreateSensorWindow(window);
}

void OnOptionsChanged(HWND window, WPARAM rebuild_only_when_zero) {
  LoadOptions();
  FollowSlideSource();
  // Another size may have its art at other scales.
  if (rebuild_only_when_zero == 0) ChooseDisplayScale();
  PlaceKeyboardOnWorkArea(Opaque(window));
  if (rebuild_only_when_zero == 0) {
    RebuildSensorWindow(window);
    ReplaceSlidesFont();  // rows and font follow the size of the keys
  }
  // Back at the user's place, which may cover the caret.
  KeepCaretVisible(PenOnOrJustOffKeyboard());
}

// Moved to a monitor of another scale, or the scale changed: the keyboard is laid out
// again at the new one, and never activated. The system's rectangle, when it gave one,
// keeps the keyboard under the pen; a message another program posted or sent carries none
// that could be trusted to point anywhere, and is not read.
void OnDpiChanged(HWND window, int dpi, const platform::Rect* suggested) {
  if (dpi <= 0) return;
  program.monitor_dpi = dpi;
  platform::win32::SetWindowIcons(window, program.instance, kMainIcon,
                                  platform::win32::ScaleOf(window).dpi);
  if (!TakeMonitorScale(Opaque(window), dpi, suggested)) return;
  RebuildSensorWindow(window);
  ReplaceSlidesFont();
  HidePreviewList();  // it was placed at the old scale
}

LRESULT CALLBACK MainProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      OnMainCreate(window);
      return 0;
    case WM_DESTROY:
      OnMainDestroy();
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_POINTERACTIVATE:
      return PA_NOACTIVATE;
    case WM_WINDOWPOSCHANGED: {
      const auto* position = reinterpret_cast<const WINDOWPOS*>(lparam);
      // A keyboard standing aside for the caret keeps the user's place for its return.
      if (!IsIconic(window) && (position->flags & SWP_NOMOVE) == 0 && !KeyboardStandsAside()) {
        SetOption(OptionId::kX, position->x);
        SetOption(OptionId::kY, position->y);
      }
      break;
    }
    case WM_SYSCOMMAND: {
      LRESULT result = DefWindowProcW(window, message, wparam, lparam);
      if ((wparam & 0xFFF0) == SC_RESTORE && program.last_foreground != nullptr &&
          IsWindow(program.last_foreground) && IsWindowVisible(program.last_foreground) &&
          !IsIconic(program.last_foreground) &&
          !IsShellWindow(Opaque(program.last_foreground))) {
        SetForegroundWindow(program.last_foreground);
      }
      return result;
    }
    case WM_SIZE:
      // A hidden keyboard holds no key down: the user cannot see to let it go.
      if (wparam == SIZE_MINIMIZED) LetGoOfKeys();
      break;
    case WM_SHOWWINDOW:
      if (wparam == FALSE) LetGoOfKeys();
      break;
    case WM_ENDSESSION:
      if (wparam != FALSE) {
        LetGoOfKeys();
        SaveLearnedWordsAtExit(kSaveAtExitMs);  // the process may end without a WM_DESTROY
        // An installer asked, not a sign-out: the keyboard ends as when it is closed, and
        // the installer starts it again once the files are replaced.
        if ((static_cast<DWORD>(lparam) & ENDSESSION_CLOSEAPP) != 0) DestroyWindow(window);
      }
      return 0;
    case WM_DISPLAYCHANGE:
      // A turned or smaller screen may leave the keyboard off it: bring it back on.
      PostMessageW(window, kOptionsChangedMessage, 1, 0);
      break;
    case WM_SETTINGCHANGE:
      if (wparam == SPI_SETWORKAREA) PostMessageW(window, kOptionsChangedMessage, 1, 0);
      break;
    case kProduceKeyMessage:
      if (ProduceKeyAskedByMessage(static_cast<std::uint16_t>(wparam),
                                   static_cast<std::uint16_t>(lparam), kUiAccess)) {
        RefreshAfterKeys();
      }
      return 0;
    case kOptionsChangedMessage:
      OnOptionsChanged(window, wparam);
      return 0;
    case kPreviewFontChangedMessage:
      LoadOptions();
      ReplaceSlidesFont();
      return 0;
    case kLoadGlossaryMessage:
      LoadGlossary();
      return 0;
    case kLoadSlideFileMessage:
      LoadOptions();
      LoadSlideSet();
      return 0;
    case kUserActedElsewhere:
      OnUserActed(wparam);
      return 0;
    case kFocusAnswered:
      FocusAnswerArrived();
      FollowTheText();
      return 0;
    case kBackgroundDone:
      platform::RunFinishedBackgroundWork();
      return 0;
    case kLoadWords: {
      const LONGLONG start = PenTimings::Now();
      LoadWords();
      if (timings.enabled()) timings.WordsRead(start);
      return 0;
    }
    case kForgetLearnedWordsMessage:
      return ForgetLearnedWords() ? 1 : 0;
    case WM_TIMER:
      if (wparam == kSaveWordsTimer) {
        SaveLearnedWords();
        return 0;
      }
      if (wparam == kInputWatchTimer) {
        CheckInputWatch();
        return 0;
      }
      if (wparam == kCaretTimer) {
        KeepCaretVisible(PenOnOrJustOffKeyboard());
        return 0;
      }
      if (wparam == kLeaveTextTimer) {
        LeaveTextTimerFired(PenOnKeyboard());
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      RECT rect = {};
      const bool system = platform::win32::SuggestedRect(window, wparam, lparam, &rect);
      const platform::Rect suggested{rect.left, rect.top, rect.right, rect.bottom};
      OnDpiChanged(window, HIWORD(wparam), system ? &suggested : nullptr);
      return 0;
    }
    case WM_GETDPISCALEDSIZE_MESSAGE: {
      // The size the window will have on the monitor it is moving to: its art's there. The
      // system asks it from this very thread, in the move loop, with the answer's place on
      // this thread's stack; anything else (another program's message) is not written to.
      if (InSendMessage() || !KeyboardMoving() || wparam < 48 || wparam > 960 ||
          !OnThisThreadsStack(lparam, sizeof(SIZE))) {
        return FALSE;
      }
      const platform::Size size = KeyboardWindowSizeAt(static_cast<int>(wparam));
      auto* answer = reinterpret_cast<SIZE*>(lparam);
      answer->cx = size.width;
      answer->cy = size.height;
      return TRUE;
    }
    case WM_ENTERSIZEMOVE:
      KeyboardMoveBegan();
      break;
    case WM_EXITSIZEMOVE:
      KeyboardMoveEnded(Opaque(window));
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// The show command the program was started with, less the activation: the user's
// application keeps the focus from the very first moment.
int WithoutActivation(int show) {
  switch (show) {
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      return SW_SHOWNOACTIVATE;
    case SW_SHOW:
      return SW_SHOWNA;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
      return SW_SHOWMINNOACTIVE;
    case SW_SHOWMAXIMIZED:
      return SW_SHOWNOACTIVATE;
    default:
      return show;
  }
}

HWND CreateMainWindow(int show) {
  LoadOptions();
  program.monitor_dpi = platform::win32::ScaleOf(nullptr).dpi;
  ChooseDisplayScale();
  RegisterClassOnce(kMainClass, MainProcedure, LoadIconW(program.instance, MAKEINTRESOURCEW(kMainIcon)),
                    static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const platform::Size size = KeyboardWindowSize(GetOption(OptionId::kSize));
  const platform::Point at = KeyboardStartPosition(
      {GetOption(OptionId::kX), GetOption(OptionId::kY)}, size.width, size.height);
  // Made hidden and then shown without activation: a window made visible is activated
  // by some systems whatever its no-activate style says.
  HWND window = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_APPWINDOW | WS_EX_TOPMOST, kMainClass,
                                kTitle, WS_POPUP | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX,
                                at.x, at.y, size.width, size.height, nullptr, nullptr,
                                program.instance, nullptr);
  if (window == nullptr) return nullptr;
  PublishKeyboard(Opaque(window));
  // Whole on the work area from the start: at a larger scale the stored place may leave
  // its lower keys off the screen.
  PlaceKeyboardOnWorkArea(Opaque(window));
  // The first ShowWindow of a program may take the show command its launcher asked for,
  // which activates: the keyboard is shown by its position instead.
  const int quiet = WithoutActivation(show);
  if (quiet == SW_SHOWMINNOACTIVE || quiet == SW_HIDE) {
    ShowWindow(window, quiet);
  } else {
    platform::ShowOnTopQuietly(Opaque(window));
  }
  UpdateWindow(window);
  return window;
}

// The first keyboard's window; a second start that lost the race to the mutex waits for it
// a while, since the first may still be making it.
HWND FindRunningKeyboard(bool wait) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND running = FindWindowW(kMainClass, kTitle);
    if (running != nullptr || !wait || GetTickCount() - start >= kFirstWindowWaitMs) return running;
    Sleep(50);
  }
}

// A crash must not leave the user's only keyboard with Shift or Ctrl held down: the keys
// go up through the plainest call there is, and the crash goes on to the system.
LONG WINAPI LetGoOfKeysOnCrash(EXCEPTION_POINTERS*) {
  for (BYTE vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN}) {
    keybd_event(vk, static_cast<BYTE>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP, 0);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

// --- the sensor window ------------------------------------------------------------------

namespace {
// The pen's client point in design pixels, as the panel under it is drawn.
platform::Point DesignPoint(LPARAM lparam) {
  return DesignPointOf({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
}
}  // namespace

LRESULT CALLBACK SensorProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      Windows().sensor = Opaque(window);
      // The tablet's press-and-hold gesture would eat the pen's slides.
      if (GlobalAddAtomW(kPenServiceProperty) != 0) {
        SetPropW(window, kPenServiceProperty, reinterpret_cast<HANDLE>(kNoPressAndHold));
      }
      SetPanelWindow(Opaque(window));
      ResetKeyboardState();
      RefreshPanels(true);
      return 0;
    case WM_DESTROY:
      ResetKeyboardState();
      SetPanelWindow(0);
      Windows().sensor = 0;
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_POINTERACTIVATE:
      return PA_NOACTIVATE;
    case WM_ERASEBKGND: {
      // Only between the panels, which paint themselves: no flash of gutter over a key.
      // The paint that follows draws through the same context: its clipping is put back.
      HDC context = reinterpret_cast<HDC>(wparam);
      const int saved = SaveDC(context);
      platform::Rect area;
      for (int index = 0; index < kPanelRecords; ++index) {
        if (PanelDeviceArea(index, &area)) {
          ExcludeClipRect(context, area.left, area.top, area.right, area.bottom);
        }
      }
      RECT client;
      GetClientRect(window, &client);
      FillRect(context, &client, reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND)));
      RestoreDC(context, saved);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC context = BeginPaint(window, &paint);
      PaintAll(reinterpret_cast<platform::PaintContext>(context));
      EndPaint(window, &paint);
      if (timings.enabled()) timings.Painted();
      return 0;
    }
    // The pen's client points, in the design pixels of the panels' tables.
    case WM_LBUTTONDOWN: {
      if (timings.enabled()) timings.StartDown();
      const platform::Point at = DesignPoint(lparam);
      PenDown(at.x, at.y);
      if (timings.enabled()) timings.EndDown();
      return 0;
    }
    case WM_MOUSEMOVE: {
      const LONGLONG start = PenTimings::Now();
      const bool pressed = Press().pressed;
      const platform::Point at = DesignPoint(lparam);
      PenMove(at.x, at.y);
      if (pressed && timings.enabled()) timings.AddMove(start);
      return 0;
    }
    case WM_LBUTTONUP: {
      const LONGLONG start = PenTimings::Now();
      const platform::Point at = DesignPoint(lparam);
      PenUp(at.x, at.y);
      if (timings.enabled()) timings.AddUp(start);
      PenLifted();
      return 0;
    }
    case WM_CAPTURECHANGED:
      // Another window took the pen (a menu, a message box, the system): the press ends
      // here, with nothing performed and no key left lit or repeating.
      if (reinterpret_cast<HWND>(lparam) != window) PenCancel();
      return 0;
    case WM_CANCELMODE:
      PenCancel();
      return DefWindowProcW(window, message, wparam, lparam);
    case WM_TIMER:
      if (wparam == kRepeatTimer) RepeatTick();
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace quorel::keyboard

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  using namespace quorel::keyboard;
  program.instance = instance;
  SetUnhandledExceptionFilter(LetGoOfKeysOnCrash);
  EnsureCustomSlidesFile();
  EnsureGlossaryFile();

  // One keyboard at a time: a second start brings the first one back where the user can
  // reach it, and ends.
  HANDLE single = CreateMutexW(nullptr, FALSE, kSingleKeyboardMutex);
  const bool another = single == nullptr || GetLastError() == ERROR_ALREADY_EXISTS;
  HWND running = another ? FindRunningKeyboard(single != nullptr) : nullptr;
  if (running != nullptr || (another && single != nullptr)) {
    if (running != nullptr) BringKeyboardBack(Opaque(running));
    if (single != nullptr) CloseHandle(single);
    return 0;
  }
  // The help page and <launch> open through the shell, which wants COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  quorel::OpenSharedBlock();

  InstallExpansionHooks();
  InstallPlacementHooks();
  InstallMenuHooks();
  if (timings.enabled()) {
    SetHighlightObserver([] { timings.Highlighted(); });
    platform::SetInputObserver([] { timings.InputSent(); });
  }
  if (CreateMainWindow(show) == nullptr) return 0;
  // An installer that closes the keyboard to replace its files, in this or another user's
  // session, starts it again when it is done; never after a crash or a hang.
  RegisterApplicationRestart(nullptr, RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  if (single != nullptr) CloseHandle(single);
  return 0;
}
