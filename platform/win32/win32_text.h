// Between the seam's UTF-16 and the wide strings of the Windows calls, which are the
// same 16-bit units.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform::win32 {

inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string Utf16(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

}  // namespace platform::win32
