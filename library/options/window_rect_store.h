// Remembered window rectangles, four REG_DWORD values per window under the editor's key:
// prefix + "_left", "_top", "_width" and "_height". The picker keeps its own as "unipick".
#pragma once

#include <string_view>

#include "platform/types.h"

namespace quorel {

constexpr std::u16string_view kEditorKey = u"Software\\Pelmarik Solutions\\Quorel\\Quorel Editor";

// Stores the window's screen rectangle. 0, or the error code of the first step that
// failed; a window whose rectangle cannot be had stores nothing.
long SaveWindowRect(std::u16string_view prefix, platform::WindowHandle window);

// The remembered rectangle, each missing value taking its default of 0, 0, 320, 300, and
// all four defaults when the rectangle lies wholly outside the virtual screen. Any out
// pointer may be null.
void LoadWindowRect(std::u16string_view prefix, int* left, int* top, int* width, int* height);

constexpr long kErrorInvalidWindowHandle = 1400;

}  // namespace quorel
