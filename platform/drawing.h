// Drawing into a window: rectangles copied from image files, and inversion.
#pragma once

#include <string_view>

#include "platform/fonts.h"
#include "platform/types.h"

namespace platform {

// The device context of a paint in progress; 0 draws through the window's own context.
using PaintContext = std::uintptr_t;

// Loads the image file and copies the rectangle `target` (in the window's client area)
// from the image point (source_x, source_y). Nothing is drawn when the file does not load.
void CopyImageRect(std::u16string_view image_path, WindowHandle window, PaintContext paint,
                   const Rect& target, int source_x, int source_y);
// Inverts the pixels of the rectangle.
void InvertRect(WindowHandle window, PaintContext paint, const Rect& target);
// Width in pixels of a one-line text drawn in the font.
int MeasureTextWidth(FontHandle font, std::u16string_view text);

}  // namespace platform
