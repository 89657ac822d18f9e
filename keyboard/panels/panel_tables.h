// The fixed data of the panels: what every variant holds in its cells, and where every slot
// sits for each keyboard size. Everything that draws or hit-tests reads it from here.
#pragma once

#include <span>
#include <string_view>

#include "keyboard/panels/panels.h"

namespace quorel::keyboard {

// The entries of a variant, row by row; `half_cells` is empty when it has none.
struct VariantCells {
  std::u16string_view cells;
  std::u16string_view half_cells;
};

// "SymbolNormal" shows what the "Symbols" option asks for (0 half cells, 1 digits,
// 2 punctuation; anything else as 0). Unknown kinds have no cells.
VariantCells CellsOf(PanelKind kind, int symbols_option);
// The slot that shows a variant; the caption slot for unknown kinds.
Slot SlotOf(PanelKind kind);
// The main panel and the symbol strip type characters; the others hold key kinds.
bool SlotHoldsCharacters(Slot slot);

// The grid of a slot at one size. The insets are null for the caption bar.
struct SlotShape {
  std::span<const Extent> rows;
  std::span<const Extent> columns;
  const Inset* row_insets = nullptr;
  const Inset* column_insets = nullptr;
};

// Sizes outside 1-4 get the medium geometry; positions other than 1 are position 2.
SlotShape ShapeOf(int size, Slot slot);
int SlotWidth(int size, Slot slot);
int SlotLeft(int size, int sidebar_position, Slot slot);
int SlotTop(int size, Slot slot);
int ClientHeight(int size);

}  // namespace quorel::keyboard
