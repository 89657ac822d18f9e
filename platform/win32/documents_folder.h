// The user's Documents folder (the shell's "personal" folder), without a trailing
// backslash; empty when the shell has none. Header only, for the programs that reach the
// system without the platform library.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <string>

namespace platform::win32 {

inline std::wstring DocumentsFolder() {
  wchar_t path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, path)) ? path : L"";
}

}  // namespace platform::win32
