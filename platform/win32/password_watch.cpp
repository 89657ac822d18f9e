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
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValueEx(int, BOOL, VARIANT*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCachedPropertyValue(int, VARIANT*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCachedPropertyValueEx(int, BOOL, VARIANT*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPatternAs(int pattern, REFIID iid, void** found) = 0;
};
struct AutomationTextRange : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Clone(AutomationTextRange** copy) = 0;
  virtual HRESULT STDMETHODCALLTYPE Compare(void*, BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareEndpoints(int, void*, int, int*) = 0;
  virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(int unit) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindAttribute(int, VARIANT, BOOL, void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindText(BSTR, BOOL, BOOL, void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetAttributeValue(int, VARIANT*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** rectangles) = 0;
};
// The text pattern of the newer kind, which tells where the caret is.
struct AutomationTextPattern2 : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE RangeFromPoint(POINT, void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE RangeFromChild(void*, void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSelection(void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVisibleRanges(void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DocumentRange(void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(int*) = 0;
  virtual HRESULT STDMETHODCALLTYPE RangeFromAnnotation(void*, void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCaretRange(BOOL* active, AutomationTextRange** range) = 0;
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
constexpr int kValueIsReadOnlyProperty = 30046;
constexpr int kIsValuePatternAvailableProperty = 30043;
constexpr int kTextPattern2 = 10024;
constexpr int kCharacterUnit = 0;
const IID kTextPattern2Interface = {0x506a921a, 0xfcc9, 0x409f, {0xb2, 0x3b, 0x37, 0xeb, 0x74, 0x10, 0x68, 0x72}};
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
  // What came with that answer, written before it and read after it.
  std::atomic<bool> read_only{false};
  std::atomic<bool> caret_known{false};
  std::atomic<std::int32_t> caret[4] = {0, 0, 0, 0};
};

// What an answer says beyond whether the element hides its text.
struct Details {
  bool read_only = false;
  bool caret_known = false;
  RECT caret = {};
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

// The first rectangle of a range, in screen pixels; false when it has none.
bool FirstRectangle(AutomationTextRange* range, RECT* rect) {
  SAFEARRAY* rectangles = nullptr;
  if (FAILED(range->GetBoundingRectangles(&rectangles)) || rectangles == nullptr) return false;
  bool found = false;
  double* values = nullptr;
  LONG low = 0;
  LONG high = -1;
  if (SafeArrayGetDim(rectangles) == 1 && SUCCEEDED(SafeArrayGetLBound(rectangles, 1, &low)) &&
      SUCCEEDED(SafeArrayGetUBound(rectangles, 1, &high)) && high - low + 1 >= 4 &&
      SUCCEEDED(SafeArrayAccessData(rectangles, reinterpret_cast<void**>(&values)))) {
    const double left = values[0];
    const double top = values[1];
    const double width = values[2];
    const double height = values[3];
    SafeArrayUnaccessData(rectangles);
    if (height > 0 && height < 1e6 && width >= 0 && width < 1e6 && left > -1e7 && left < 1e7 &&
        top > -1e7 && top < 1e7) {
      *rect = {static_cast<LONG>(left), static_cast<LONG>(top),
               static_cast<LONG>(left + (width < 1 ? 1 : width)), static_cast<LONG>(top + height)};
      found = true;
    }
  }
  SafeArrayDestroy(rectangles);
  return found;
}

// Where the element's caret lies, for an application that draws its own: the caret's range,
// or the character it stands before when the empty range has no rectangle.
bool AutomationCaret(AutomationElement* element, RECT* rect) {
  AutomationTextPattern2* pattern = nullptr;
  if (FAILED(element->GetCurrentPatternAs(kTextPattern2, kTextPattern2Interface,
                                          reinterpret_cast<void**>(&pattern))) ||
      pattern == nullptr) {
    return false;
  }
  bool found = false;
  BOOL active = FALSE;
  AutomationTextRange* range = nullptr;
  if (SUCCEEDED(pattern->GetCaretRange(&active, &range)) && range != nullptr) {
    // A caret of an element without the keyboard's focus is no place being typed at.
    found = active != FALSE && FirstRectangle(range, rect);
    AutomationTextRange* character = nullptr;
    if (!found && active != FALSE && SUCCEEDED(range->Clone(&character)) && character != nullptr) {
      if (SUCCEEDED(character->ExpandToEnclosingUnit(kCharacterUnit))) {
        found = FirstRectangle(character, rect);
        if (found) rect->right = rect->left + 1;
      }
      character->Release();
    }
    range->Release();
  }
  pattern->Release();
  return found;
}

AutomationAnswer Ask(Automation* automation, Details* details) {
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
  if (answer != AutomationAnswer::kNone) {
    // Only an element with a value says whether it is read-only; for one without (a
    // document), the property's default would answer in its place.
    VARIANT has_value;
    VARIANT read_only;
    if (Property(element, kIsValuePatternAvailableProperty, VT_BOOL, &has_value) &&
        has_value.boolVal != VARIANT_FALSE &&
        Property(element, kValueIsReadOnlyProperty, VT_BOOL, &read_only)) {
      details->read_only = read_only.boolVal != VARIANT_FALSE;
    }
    details->caret_known = AutomationCaret(element, &details->caret);
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
      Details details;
      const AutomationAnswer answer = Ask(automation, &details);
      // An answer to a question overtaken by another is no answer: the newer one is asked
      // next, the event being set again.
      if (question != watch.question) continue;
      watch.read_only = details.read_only;
      watch.caret_known = details.caret_known;
      watch.caret[0] = details.caret.left;
      watch.caret[1] = details.caret.top;
      watch.caret[2] = details.caret.right;
      watch.caret[3] = details.caret.bottom;
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
    control.read_only = win32::watch.read_only;
    control.caret_known = win32::watch.caret_known;
    control.caret = {win32::watch.caret[0], win32::watch.caret[1], win32::watch.caret[2],
                     win32::watch.caret[3]};
  }
  return control;
}

bool SystemCaretRect(Rect* screen_rect) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(0, &info) || info.hwndCaret == nullptr) return false;
  RECT caret = info.rcCaret;
  if (caret.bottom <= caret.top) return false;
  MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&caret), 2);
  *screen_rect = {caret.left, caret.top, caret.right, caret.bottom};
  return true;
}

}  // namespace platform
