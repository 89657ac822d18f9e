#include "platform/win32/password_watch.h"

// After windows.h, which they need.
#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <cstdint>
#include <cwchar>
#include <string>

#include "platform/focus.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// The two interfaces as far as they are used here, in their order: the toolchain's headers
// do not declare them.
struct AutomationElement : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetFocus() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRuntimeId(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindFirst(int, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindAll(int, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindFirstBuildCache(int, void*, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindAllBuildCache(int, void*, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE BuildUpdatedCache(void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValue(int property, VARIANT* value) = 0;
};
struct Automation : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CompareElements(void*, void*, BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareRuntimeIds(void*, void*, BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRootElement(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE ElementFromHandle(HWND, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE ElementFromPoint(POINT, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFocusedElement(AutomationElement** element) = 0;
};
constexpr int kIsPasswordProperty = 30019;
constexpr int kControlTypeProperty = 30003;
// The elements that take text: an edit box, a document, an editable combo box. An element
// of another kind (a pane a browser hands out while its accessibility is still starting)
// says nothing of the field typed into.
constexpr int kTextControlTypes[] = {50004, 50030, 50003};
const CLSID kAutomationClass = {0xff48dba4, 0x60ef, 0x4201, {0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e}};
const IID kAutomationInterface = {0x30cbe57d, 0xd9d0, 0x452a, {0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee}};

struct Watch {
  HANDLE thread = nullptr;
  HANDLE wake = nullptr;
  HWND notify = nullptr;
  UINT message = 0;
  std::atomic<bool> stopping{false};
  std::atomic<std::uint32_t> question{0};
  // The last answer with the question it answers, in one word so that both are read
  // together: the question above the low byte, the answer in it.
  std::atomic<std::uint64_t> answer{0};
};
Watch watch;

// A property of the element as a VARIANT of the wanted type; false when it has none.
bool Property(AutomationElement* element, int property, VARTYPE type, VARIANT* value) {
  VariantInit(value);
  if (SUCCEEDED(element->GetCurrentPropertyValue(property, value)) && value->vt == type) {
    return true;
  }
  VariantClear(value);
  return false;
}

AutomationAnswer Ask(Automation* automation) {
  AutomationElement* element = nullptr;
  const HRESULT found = automation->GetFocusedElement(&element);
  if (FAILED(found) || element == nullptr) return AutomationAnswer::kNone;
  AutomationAnswer answer = AutomationAnswer::kNone;
  VARIANT password;
  if (Property(element, kIsPasswordProperty, VT_BOOL, &password)) {
    if (password.boolVal != VARIANT_FALSE) {
      answer = AutomationAnswer::kHidesText;
    } else {
      VARIANT type;
      if (Property(element, kControlTypeProperty, VT_I4, &type)) {
        for (int text_type : kTextControlTypes) {
          if (type.lVal == text_type) answer = AutomationAnswer::kShowsText;
        }
      }
    }
  }
  element->Release();
  return answer;
}

DWORD WINAPI WatchThread(void*) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 0;
  Automation* automation = nullptr;
  if (SUCCEEDED(CoCreateInstance(kAutomationClass, nullptr, CLSCTX_INPROC_SERVER,
                                 kAutomationInterface, reinterpret_cast<void**>(&automation))) &&
      automation != nullptr) {
    while (WaitForSingleObject(watch.wake, INFINITE) == WAIT_OBJECT_0 && !watch.stopping) {
      const std::uint32_t question = watch.question;
      const AutomationAnswer answer = Ask(automation);
      // An answer to a question overtaken by another is no answer: the newer one is asked
      // next, the event being set again.
      if (question != watch.question) continue;
      watch.answer = (static_cast<std::uint64_t>(question) << 8) | static_cast<std::uint8_t>(answer);
      PostMessageW(watch.notify, watch.message, 0, 0);
    }
    automation->Release();
  }
  CoUninitialize();
  return 0;
}

// The file name of the program that owns a top-level window, asked once per window.
const std::u16string& ProgramOf(HWND window) {
  static HWND known_window = nullptr;
  static DWORD known_process = 0;
  static std::u16string known_program;
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  if (window == known_window && process_id == known_process) return known_program;
  known_window = window;
  known_process = process_id;
  known_program.clear();
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (process == nullptr) return known_program;
  wchar_t path[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  if (QueryFullProcessImageNameW(process, 0, path, &length)) {
    const wchar_t* name = std::wcsrchr(path, L'\\');
    known_program = Utf16(name != nullptr ? name + 1 : path);
  }
  CloseHandle(process);
  return known_program;
}

std::u16string ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return Utf16(name);
}

}  // namespace

void StartPasswordWatch(HWND notify, UINT message) {
  if (watch.thread != nullptr) return;
  watch.stopping = false;
  watch.notify = notify;
  watch.message = message;
  watch.wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (watch.wake == nullptr) return;
  watch.thread = CreateThread(nullptr, 0, WatchThread, nullptr, 0, nullptr);
  AskAboutFocusedControl();
}

void StopPasswordWatch() {
  if (watch.thread == nullptr) return;
  watch.stopping = true;
  SetEvent(watch.wake);
  // A question held up by a hung application is not waited for past a moment.
  WaitForSingleObject(watch.thread, 2000);
  CloseHandle(watch.thread);
  watch.thread = nullptr;
}

}  // namespace platform::win32

namespace platform {

std::uint32_t AskAboutFocusedControl() {
  const std::uint32_t question = ++win32::watch.question;
  if (win32::watch.wake != nullptr) SetEvent(win32::watch.wake);
  return question;
}

FocusedControl LookAtFocusedControl() {
  FocusedControl control;
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (GetGUIThreadInfo(0, &info)) {
    HWND focus = info.hwndFocus != nullptr ? info.hwndFocus : info.hwndActive;
    if (focus != nullptr) {
      control.control = reinterpret_cast<WindowHandle>(focus);
      control.control_class = win32::ClassOf(focus);
      control.control_style = static_cast<std::uint32_t>(GetWindowLongPtrW(focus, GWL_STYLE));
      const HWND top = GetAncestor(focus, GA_ROOT);
      control.window_class = win32::ClassOf(top);
      control.program = win32::ProgramOf(top);
    }
  }
  control.question = win32::watch.question;
  const std::uint64_t answer = win32::watch.answer;
  if ((answer >> 8) == control.question) {
    control.answer = static_cast<AutomationAnswer>(answer & 0xFF);
  }
  return control;
}

}  // namespace platform
