#include "platform/text.h"

#include <windows.h>

namespace platform {

bool IsLetterOrDigit(char16_t c) { return IsCharAlphaNumericW(static_cast<WCHAR>(c)) != 0; }

}  // namespace platform

#include "platform/win32/win32_text.h"

namespace platform {

std::u16string ToUpper(std::u16string_view text) {
  std::wstring wide = win32::Wide(text);
  if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return win32::Utf16(wide);
}

std::u16string ToLower(std::u16string_view text) {
  std::wstring wide = win32::Wide(text);
  if (!wide.empty()) CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return win32::Utf16(wide);
}

std::u16string FormatDate(std::uint32_t flags) {
  wchar_t buffer[128] = {};
  int length = GetDateFormatW(LOCALE_USER_DEFAULT, flags, nullptr, nullptr, buffer, 128);
  return length > 0 ? win32::Utf16(buffer) : std::u16string();
}

std::u16string FormatTime(std::uint32_t flags) {
  wchar_t buffer[128] = {};
  int length = GetTimeFormatW(LOCALE_USER_DEFAULT, flags, nullptr, nullptr, buffer, 128);
  return length > 0 ? win32::Utf16(buffer) : std::u16string();
}

}  // namespace platform
