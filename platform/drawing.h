// Drawing into a window: rectangles copied from image files, and inversion.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/fonts.h"
#include "platform/types.h"

namespace platform {

// The device context of a paint in progress; 0 draws through the window's own context.
using PaintContext = std::uintptr_t;

// Loads the image file (BMP, PNG or GIF) and copies the rectangle `target` (in the
// window's client area) from the image point (source_x, source_y). Nothing is drawn when the
// file does not load.
void CopyImageRect(std::u16string_view image_path, WindowHandle window, PaintContext paint,
                   const Rect& target, int source_x, int source_y);
// Images are kept in memory once drawn, within a budget; forgotten, they are read again
// from their files (after the user's art may have changed).
void ForgetImages();
// Bytes of image kept in memory now.
std::size_t ImagesInMemory();
// The art at `scale` times 100 % is that much larger squared: the images in view still fit.
void SetImageMemoryBudget(double scale);
// Inverts the pixels of the rectangle.
void InvertRect(WindowHandle window, PaintContext paint, const Rect& target);
// Width in pixels of a one-line text drawn in the font.
int MeasureTextWidth(FontHandle font, std::u16string_view text);

}  // namespace platform
