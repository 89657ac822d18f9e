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

// "SymbolNormal" with "Symbols" 1 or 2 shows whole cells, digits or punctuation, and has
// images of its own for them: "SymbolNormal1" and "SymbolNormal2". The lookup takes them
// when the folder has them and the variant's own images otherwise. Empty for every other
// kind and value.
std::u16string OptionImageName(PanelKind kind, int symbols_option);

// The art's dpi to show at on a monitor of `monitor_dpi` at "Keyboard size" `size`: the
// nearest scale whose art is there, 96 when none is.
int ArtDpiFor(int monitor_dpi, int size);

void SetPaintContext(platform::PaintContext paint);
platform::PaintContext PaintContextNow();

// Neither draws without a window; a copy from no file draws nothing.
void CopyFromImage(const std::u16string& image, platform::WindowHandle window,
                   const platform::Rect& target, int source_x, int source_y);
// `origin`: the design corner of the panel the rectangle lies in.
void InvertArea(platform::WindowHandle window, const platform::Rect& target,
                platform::Point origin);

// The cells of the merged key through a cell, as highlight bits; 0 for a bad id.
std::uint32_t MergedKeyCells(CellId cell);

}  // namespace quorel::keyboard
