// Drawing the keyboard: panel images from files beside the program, rectangle copies and
// inversion, the full repaint, the shifted-pressed look, and the slides font.
#pragma once

#include <string>

#include "keyboard/panels/panels.h"
#include "platform/drawing.h"
#include "platform/fonts.h"

namespace quorel::keyboard {

// The image of a variant for the current "Keyboard size": the first of .png, .bmp, .gif and
// .jpeg that exists under "<exe folder>\Quorel bitmaps\<size>\" (with "_inv" for the
// inverted image); empty when there is none.
std::u16string FindImage(PanelKind kind, bool inverted);

// While a paint is in progress every drawing step goes to its context.
void BeginPainting(platform::PaintContext paint);
void EndPainting();
platform::PaintContext CurrentPaintContext();  // 0 outside a paint

// The full repaint: every panel's image, then every highlighted key.
void PaintAll(platform::PaintContext paint);

// Draws a key in its shifted-pressed look (from the main panel's capital variant) or in its
// ordinary pressed look.
void DrawKeyFromAlternative(CellId cell, bool show_alternative);

// The height a row of the preview list has at least, so that a finger can take it: two
// thirds of a key of the letter panel as the keyboard shows it (0 before it is built).
int SuggestionRowHeight();
// The preview list's font as the options describe it, else Tahoma bold grown with the rows
// (9 pt at the smallest keys), at a dpi (0: the screen's, which the system's font dialog
// counts points at).
platform::FontDescription SlidesFontDescription(int dpi);
platform::FontHandle CreateSlidesFont();

}  // namespace quorel::keyboard
