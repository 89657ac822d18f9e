#include "platform/win32/manual.h"

// After windows.h, which they need.
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "platform/files.h"
#include "platform/shell.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// "C:\Program Files\Quorel\manual\quorelmanual.htm" as "file:///C:/Program%20Files/...".
std::wstring FileAddress(const std::wstring& path) {
  std::wstring address = L"file:///";
  for (wchar_t c : path) {
    if (c == L'\\') {
      address += L'/';
    } else if (c == L' ' || c == L'%' || c == L'#') {
      wchar_t escaped[4] = {};
      wsprintfW(escaped, L"%%%02X", static_cast<unsigned>(c));
      address += escaped;
    } else {
      address += c;
    }
  }
  return address;
}

// The command the system runs for web addresses, with the address in place of its "%1".
bool OpenAddress(const std::wstring& address) {
  const auto query = SystemFunction<decltype(&AssocQueryStringW)>(L"shlwapi.dll", "AssocQueryStringW");
  if (query == nullptr) return false;
  wchar_t command[2048] = {};
  DWORD size = 2048;
  if (FAILED(query(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, L"http", L"open", command, &size))) {
    return false;
  }
  std::wstring line = command;
  bool placed = false;
  for (const wchar_t* mark : {L"%1", L"%L", L"%l"}) {
    for (std::size_t at = line.find(mark); at != std::wstring::npos; at = line.find(mark, at)) {
      line.replace(at, 2, address);
      at += address.size();
      placed = true;
    }
  }
  if (!placed) line += L" \"" + address + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

void OpenManualAt(HWND owner, const wchar_t* section) {
  std::u16string exe;
  std::wstring path;
  if (GetRunningExePath(&exe)) {
    path = Wide(exe);
    path.resize(path.find_last_of(L'\\') + 1);
    path += L"manual\\quorelmanual.htm";
  }
  if (path.empty() || !FileExists(Utf16(path))) {
    MessageBoxW(owner, (L"The manual is missing: " + path).c_str(), L"Quorel",
                MB_OK | MB_ICONWARNING);
    return;
  }
  if (OpenAddress(FileAddress(path) + L"#" + section)) return;
  if (!ShellOpen(Utf16(path), 0)) {
    MessageBoxW(owner, (L"The manual could not be opened: " + path).c_str(), L"Quorel",
                MB_OK | MB_ICONWARNING);
  }
}

}  // namespace platform::win32
