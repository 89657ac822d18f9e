// The artwork of the keyboard: one image per panel variant and keyboard size, drawn on the
// geometry of the panel tables, and its pressed twin that the keyboard copies a pressed key
// from.
#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/panel_tables.h"
#include "keyboard/panels/panels.h"
#include "tools/panel_art/bitmap.h"
#include "tools/panel_art/typeface.h"

namespace quorel::art {

constexpr int kSizeCount = 4;  // "Keyboard size" 1..4
std::string_view SizeFolder(int size);

// Every variant is drawn as "Symbols" 0 shows it, under its own name; "SymbolNormal" is
// drawn once more for each of the values 1 and 2, whose whole cells the keyboard looks for
// under the names OptionImageName gives.
struct DrawnVariant {
  keyboard::PanelKind kind = keyboard::PanelKind::kNone;
  int symbols = 0;
};
std::vector<DrawnVariant> DrawnVariants();
// The base name of a drawn variant's image.
std::string VariantName(keyboard::PanelKind kind, int symbols = 0);

// One key of a panel: the run of equal cells it spans, with its boxes relative to the panel.
// `outer` is the cells' extents; `face` is `outer` less the highlight insets, so what lies
// between them is exactly the border the keyboard leaves alone when it inverts a key.
struct KeyBox {
  int first_row = 0, last_row = 0, first_column = 0, last_column = 0;
  char16_t entry = 0;
  char16_t half_entry = 0;  // the digit half of a symbol cell, or 0
  Box outer;
  Box face;
};

struct PanelLayout {
  keyboard::PanelKind kind = keyboard::PanelKind::kNone;
  keyboard::Slot slot = keyboard::kCaptionSlot;
  int width = 0;
  int height = 0;
  keyboard::SlotShape shape;
  std::vector<KeyBox> keys;  // in cell order of their first cell
};

PanelLayout LayOutPanel(int size, keyboard::PanelKind kind, int symbols = 0);

struct PanelArt {
  Image normal;
  Image pressed;  // every key pressed, borders as in `normal`
};

// At `dpi`, every box covers the device pixels keyboard::DeviceOf gives its design pixels,
// and the text is set anew at its size there.
PanelArt DrawPanel(const Typefaces& faces, int size, keyboard::PanelKind kind, int symbols = 0,
                   int dpi = 96);

// The colour between keys and panels, which the keyboard's window shows where no panel is.
Color GutterColor();
// The whole keyboard as the art places its panels, each variant in its slot for a size and
// "Side bar position" (a slot of kind kNone stays empty), every key pressed or none: the
// picture the keyboard must compose from its panels' images.
Image DrawKeyboard(const Typefaces& faces, int size, int sidebar, int dpi,
                   const std::array<DrawnVariant, keyboard::kSlotCount>& shown, bool pressed);

// Where a variant's image lives below the output folder: "<size>/<percent>/<Variant>.png".
// The size folder itself is left to a user's own images, which the keyboard takes first at
// 100 %.
std::filesystem::path ImagePath(const std::filesystem::path& out, int size,
                                keyboard::PanelKind kind, bool pressed, int symbols = 0,
                                int dpi = 96);

// Writes both images of every drawn variant at every size and every scale of
// keyboard::kArtDpis below `out`/"Quorel bitmaps".
bool WriteArtwork(const std::filesystem::path& out, const Typefaces& faces, std::string* error,
                  std::span<const int> dpis = keyboard::kArtDpis);

}  // namespace quorel::art
