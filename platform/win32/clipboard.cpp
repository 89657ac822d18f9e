#include "platform/clipboard.h"

#include <windows.h>

#include <cstring>

namespace platform {

namespace {

// More than this is not worth holding in the keyboard's memory to put back.
constexpr std::size_t kLargestSavedClipboard = 64u << 20;

// Formats whose data is a system handle rather than a memory block; the system makes the
// bitmap and metafile forms again from the memory forms that are put back.
bool IsHandleFormat(UINT format) {
  switch (format) {
    case CF_BITMAP: case CF_METAFILEPICT: case CF_PALETTE: case CF_ENHMETAFILE:
    case CF_OWNERDISPLAY: case CF_DSPBITMAP: case CF_DSPMETAFILEPICT: case CF_DSPENHMETAFILE:
      return true;
    default:
      return (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
  }
}

}  // namespace

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

std::uint32_t ClipboardSequence() { return GetClipboardSequenceNumber(); }

bool SaveClipboard(SavedClipboard* saved) {
  saved->formats.clear();
  if (!::OpenClipboard(nullptr)) return false;
  bool whole = true;
  std::size_t total = 0;
  for (UINT format = EnumClipboardFormats(0); format != 0 && whole;
       format = EnumClipboardFormats(format)) {
    if (IsHandleFormat(format)) continue;
    HANDLE data = GetClipboardData(format);
    if (data == nullptr) continue;
    const SIZE_T size = GlobalSize(data);
    const void* locked = GlobalLock(data);
    if (locked == nullptr) continue;
    total += size;
    if (total > kLargestSavedClipboard) {
      whole = false;
    } else {
      const auto* bytes = static_cast<const std::uint8_t*>(locked);
      saved->formats.push_back({format, std::vector<std::uint8_t>(bytes, bytes + size)});
    }
    GlobalUnlock(data);
  }
  ::CloseClipboard();
  if (!whole) saved->formats.clear();
  return whole;
}

bool RestoreClipboard(WindowHandle owner, const SavedClipboard& saved) {
  if (!::OpenClipboard(reinterpret_cast<HWND>(owner))) return false;
  EmptyClipboard();
  for (const SavedClipboard::Format& format : saved.formats) {
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, format.data.empty() ? 1 : format.data.size());
    if (copy == nullptr) continue;
    if (void* target = GlobalLock(copy)) {
      if (!format.data.empty()) std::memcpy(target, format.data.data(), format.data.size());
      GlobalUnlock(copy);
      if (SetClipboardData(format.format, copy) != nullptr) continue;
    }
    GlobalFree(copy);
  }
  ::CloseClipboard();
  return true;
}

}  // namespace platform
