#include "platform/clipboard.h"

#include <windows.h>

namespace platform {

bool OpenClipboard() { return ::OpenClipboard(nullptr) != 0; }

bool ClipboardUnicodeText(std::u16string* text) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return false;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr) return false;
  const auto* locked = static_cast<const wchar_t*>(GlobalLock(data));
  if (locked == nullptr) return false;
  // The text may lack a terminator: never read past the memory block.
  std::size_t limit = GlobalSize(data) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < limit && locked[length] != 0) ++length;
  text->assign(reinterpret_cast<const char16_t*>(locked), length);
  GlobalUnlock(data);
  return true;
}

void CloseClipboard() { ::CloseClipboard(); }

}  // namespace platform
