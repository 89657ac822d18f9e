// The clipboard, read as Unicode text.
#pragma once

#include <string>

namespace platform {

bool OpenClipboard();  // no owner window
// The clipboard's text when it holds Unicode text; only while it is open.
bool ClipboardUnicodeText(std::u16string* text);
void CloseClipboard();

}  // namespace platform
