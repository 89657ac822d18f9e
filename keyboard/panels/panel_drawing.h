// Image lookup, the paint in progress and the two drawing steps, shared by the panel
// builds here and the renderer (whose FindImage and painting calls forward to these).
#pragma once

#include <cstdint>
#include <string>

#include "keyboard/panels/panels.h"
#include "platform/drawing.h"

namespace quorel::keyboard {

struct PanelImages {
  std::u16string normal;  // empty: no such file
  std::u16string inverted;
};

// Both images of a variant in one lookup, so a missing exe folder is reported once.
PanelImages LookUpImages(PanelKind kind);
std::u16string LookUpImage(PanelKind kind, bool inverted);

void SetPaintContext(platform::PaintContext paint);
platform::PaintContext PaintContextNow();

// Neither draws without a window; a copy from no file draws nothing.
void CopyFromImage(const std::u16string& image, platform::WindowHandle window,
                   const platform::Rect& target, int source_x, int source_y);
void InvertArea(platform::WindowHandle window, const platform::Rect& target);

// The cells of the merged key through a cell, as highlight bits; 0 for a bad id.
std::uint32_t MergedKeyCells(CellId cell);

}  // namespace quorel::keyboard
