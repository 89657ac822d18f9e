#include "platform/shell.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_text.h"

namespace platform {

bool ShellOpen(std::u16string_view file, std::uint32_t wait_limit_ms) {
  const std::wstring name = win32::Wide(file);
  SHELLEXECUTEINFOW open = {};
  open.cbSize = sizeof(open);
  open.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  open.lpFile = name.c_str();
  open.nShow = SW_SHOWNORMAL;
  const auto execute =
      win32::SystemFunction<decltype(&ShellExecuteExW)>(L"shell32.dll", "ShellExecuteExW");
  if (execute == nullptr || !execute(&open)) return false;
  // A document handed to a program that was running already comes back without a process.
  if (open.hProcess != nullptr) {
    WaitForInputIdle(open.hProcess, wait_limit_ms);
    CloseHandle(open.hProcess);
  }
  return true;
}

bool StartProgram(std::u16string_view application) {
  const std::wstring name = win32::Wide(application);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(name.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace platform
