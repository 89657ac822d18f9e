#include "keyboard/render/render.h"

#include "keyboard/panels/display_scale.h"

#include <algorithm>

#include "keyboard/panels/panel_drawing.h"
#include "library/options/options.h"

namespace quorel::keyboard {

namespace {

// Tahoma 9 pt bold, the list's font at small keys, fills rows of about 14 pixels at 96 dpi;
// rows made taller for larger keys take a font grown with them.
platform::FontDescription DefaultSlidesFont(int dpi) {
  const int display_dpi = DisplayDpi();
  const int base_row = (14 * display_dpi + 48) / 96;
  const int points = std::max(9, 9 * SuggestionRowHeight() * 85 / (base_row * 100));
  return MakeFontDescription(u"Tahoma", points, true, false, dpi);
}

// The description the stored font settings give at a dpi, or false when no font name is
// stored.
bool StoredSlidesFont(platform::FontDescription* description, int dpi) {
  char16_t name[kFontNameChars];
  if (!GetStringSetting(StringSetting::kPreviewFontName, name, kFontNameChars)) return false;
  // The italic flag is a single byte in the system's font record.
  const bool italic = (GetOption(OptionId::kPreviewFontItalic) & 0xFF) != 0;
  *description = MakeFontDescription(name, GetOption(OptionId::kPreviewFontSize),
                                     GetOption(OptionId::kPreviewFontBold) != 0, italic, dpi);
  return true;
}

}  // namespace

std::u16string FindImage(PanelKind kind, bool inverted) { return LookUpImage(kind, inverted); }

void BeginPainting(platform::PaintContext paint) { SetPaintContext(paint); }

void EndPainting() { SetPaintContext(0); }

platform::PaintContext CurrentPaintContext() { return PaintContextNow(); }

void PaintAll(platform::PaintContext paint) {
  BeginPainting(paint);
  for (int index = 0; index < kPanelRecords; ++index) {
    const Panel* panel = PanelRecord(index);
    if (panel == nullptr) continue;
    CopyFromImage(panel->image, panel->window,
                  {panel->left, panel->top, panel->right + 1, panel->bottom + 1}, 0, 0);
  }
  // A merged key is drawn once, from whichever of its cells comes first.
  for (int index = 0; index < kPanelRecords; ++index) {
    const Panel* panel = PanelRecord(index);
    if (panel == nullptr) continue;
    const int cells = std::min(panel->row_count * panel->column_count, 32);
    std::uint32_t covered = 0;
    for (int cell = 0; cell < cells; ++cell) {
      if ((covered & (1u << cell)) != 0) continue;
      const CellId id = MakeCellId(cell, index);
      if ((panel->highlight_bits & (1u << cell)) != 0) HighlightKey(id);
      covered |= MergedKeyCells(id) | (1u << cell);
    }
  }
  EndPainting();
}

void DrawKeyFromAlternative(CellId cell, bool show_alternative) {
  const Panel* panel = PanelRecord(PanelOf(cell));
  KeyRects rects;
  if (cell < 0 || panel == nullptr || !GetKeyRects(cell, &rects)) return;
  if (panel->alt_image.empty() && panel->alt_image_inverted.empty()) return;
  const std::u16string& image = show_alternative ? panel->alt_image : panel->image;
  const std::u16string& inverted =
      show_alternative ? panel->alt_image_inverted : panel->image_inverted;
  if (!inverted.empty()) {
    CopyFromImage(inverted, panel->window, rects.outer, rects.source_x, rects.source_y);
    return;
  }
  CopyFromImage(image, panel->window, rects.outer, rects.source_x, rects.source_y);
  InvertArea(panel->window, rects.inner, {panel->left, panel->top});
}

int SuggestionRowHeight() {
  const int record = SlotRecord(kMainSlot);
  const Panel* panel = record >= 0 ? PanelRecord(record) : nullptr;
  if (panel == nullptr) return 0;
  // The tallest key of one row, as it is shown: the rows may differ by a pixel or two, and
  // a key merged over two rows is no measure.
  int lowest = 0, key = 0;
  for (int row = 0; row < panel->row_count; ++row) {
    KeyRects rects;
    if (!GetKeyRects(MakeCellId(row * panel->column_count, record), &rects)) continue;
    const platform::Rect shown = ToDevice(rects.outer);
    const int height = shown.bottom - shown.top;
    if (height <= 0) continue;
    if (lowest == 0 || height < lowest) lowest = height;
    if (height < 3 * lowest / 2) key = std::max(key, height);
  }
  return (2 * key + 2) / 3;
}

platform::FontDescription SlidesFontDescription(int dpi) {
  platform::FontDescription description;
  return StoredSlidesFont(&description, dpi) ? description : DefaultSlidesFont(dpi);
}

platform::FontHandle CreateSlidesFont() {
  // At the keyboard's own scale: the list's rows are as tall on the glass as its keys.
  platform::FontDescription description;
  if (StoredSlidesFont(&description, DisplayDpi())) {
    if (platform::FontHandle font = platform::CreateFontFrom(description); font != 0) return font;
  }
  return platform::CreateFontFrom(DefaultSlidesFont(DisplayDpi()));
}

}  // namespace quorel::keyboard
