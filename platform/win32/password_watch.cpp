#include "platform/win32/password_watch.h"

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <oleauto.h>

#include <atomic>

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
const CLSID kAutomationClass = {0xff48dba4, 0x60ef, 0x4201, {0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e}};
const IID kAutomationInterface = {0x30cbe57d, 0xd9d0, 0x452a, {0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee}};

struct Watch {
  HANDLE thread = nullptr;
  HANDLE wake = nullptr;
  std::atomic<bool> stopping{false};
  std::atomic<bool> available{false};
  // Each focus move is a new question; an answer counts only for the latest one.
  std::atomic<unsigned> question{0};
  std::atomic<unsigned> answered{0};
  std::atomic<bool> hidden{true};  // the answer to the question `answered`
};
Watch watch;

// True unless the focused element says it shows what is typed.
bool Hides(Automation* automation) {
  AutomationElement* element = nullptr;
  // No answer (an application that does not answer in time) is no leave to learn.
  const HRESULT found = automation->GetFocusedElement(&element);
  if (FAILED(found) || element == nullptr) return true;
  VARIANT value;
  VariantInit(&value);
  const HRESULT asked = element->GetCurrentPropertyValue(kIsPasswordProperty, &value);
  element->Release();
  const bool shown = SUCCEEDED(asked) && value.vt == VT_BOOL && value.boolVal == VARIANT_FALSE;
  VariantClear(&value);
  return !shown;
}

DWORD WINAPI WatchThread(void*) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 0;
  Automation* automation = nullptr;
  if (SUCCEEDED(CoCreateInstance(kAutomationClass, nullptr, CLSCTX_INPROC_SERVER,
                                 kAutomationInterface, reinterpret_cast<void**>(&automation))) &&
      automation != nullptr) {
    watch.available = true;
    while (WaitForSingleObject(watch.wake, INFINITE) == WAIT_OBJECT_0 && !watch.stopping) {
      const unsigned question = watch.question;
      const bool hidden = Hides(automation);
      if (question == watch.question) {
        watch.hidden = hidden;
        watch.answered = question;
      }
    }
    watch.available = false;
    automation->Release();
  }
  CoUninitialize();
  return 0;
}

}  // namespace

void StartPasswordWatch() {
  if (watch.thread != nullptr) return;
  watch.stopping = false;
  watch.wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (watch.wake == nullptr) return;
  watch.thread = CreateThread(nullptr, 0, WatchThread, nullptr, 0, nullptr);
  NoteFocusMoved();
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

void NoteFocusMoved() {
  if (watch.wake == nullptr) return;
  ++watch.question;
  SetEvent(watch.wake);
}

bool FocusedElementHidesText() {
  if (!watch.available) return false;
  return watch.answered != watch.question || watch.hidden;
}

}  // namespace platform::win32
