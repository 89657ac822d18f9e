// The clipboard: read as Unicode text, watched through its sequence number, and saved and
// put back whole around the keyboard's own use of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

bool OpenClipboard();  // no owner window
// The clipboard's text when it holds Unicode text; only while it is open.
bool ClipboardUnicodeText(std::u16string* text);
void CloseClipboard();

// Changes each time any program puts something on the clipboard.
std::uint32_t ClipboardSequence();

// What the clipboard held, format by format (the formats kept in memory blocks; images
// travel as device-independent bitmaps).
struct SavedClipboard {
  struct Format {
    std::uint32_t format = 0;
    std::vector<std::uint8_t> data;
  };
  std::vector<Format> formats;
};
// False when the clipboard could not be read whole; nothing should be put back then.
bool SaveClipboard(SavedClipboard* saved);
// Empties the clipboard and puts the saved formats back, owned by `owner`.
bool RestoreClipboard(WindowHandle owner, const SavedClipboard& saved);

}  // namespace platform
