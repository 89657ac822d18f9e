// The keyboard's face: six panels side by side, each showing one of 32 variants chosen by
// the keyboard state and the options, placed by size-dependent geometry tables.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace quorel::keyboard {

// The variants; the names are also the base names of their images.
enum class PanelKind : int {
  kNone = 0,
  kCaption = 1, kLetterNormal, kLetterAcute, kLetterCircum, kLetterGrave, kLetterUmlaut,
  kCapsNormal, kCapsAcute, kCapsCircum, kCapsGrave, kCapsUmlaut, kNumberCalcul, kNumberPhone,
  kNumberShifted, kSymbolNormal, kSymbolPunctuation, kSymbolAcute, kSymbolCircum, kSymbolGrave,
  kSymbolUmlaut, kSymbolShifted, kLeftAbc, kLeft123, kRightAbc, kRight123, kLeftAccents,
  kLeftArrows, kRightAccents, kRightArrows, kSidebarAccents, kLeftSidebarArrows,
  kRightSidebarArrows,
};
constexpr int kPanelKindCount = 32;
const char16_t* PanelKindName(PanelKind kind);  // null for kNone and unknown values

// The six slots, left to right as "Side bar position" 1 puts them (the caption on top).
enum Slot : int { kCaptionSlot, kMainSlot, kSymbolSlot, kModeSlot, kSideBlockSlot, kSideBarSlot };
constexpr int kSlotCount = 6;
constexpr int kPanelRecords = 10;

// Inclusive pixel extent of a row or column, relative to the panel's origin.
struct Extent {
  int start = 0;
  int end = 0;
};
// Margins taken off a key's rectangle when it is shown by inversion.
struct Inset {
  int before = 0;  // top or left
  int after = 0;   // bottom or right
};

struct Panel {
  int left = 0, top = 0, right = 0, bottom = 0;  // client coordinates, inclusive
  int row_count = 0, column_count = 0;
  const Extent* rows = nullptr;
  const Extent* columns = nullptr;
  const Inset* row_insets = nullptr;  // null: no insets
  const Inset* column_insets = nullptr;
  bool holds_characters = false;  // else the entries are key kinds
  bool has_half_cells = false;
  std::u16string cells;       // row by row
  std::u16string half_cells;  // the lower-right halves, when present
  PanelKind kind = PanelKind::kNone;
  PanelKind alternative = PanelKind::kNone;  // the main panel's capital variant
  std::u16string image, image_inverted;      // empty: no such file
  std::u16string alt_image, alt_image_inverted;
  platform::WindowHandle window = 0;
  std::uint32_t highlight_bits = 0;
};

// The cell index in the high 16 bits, the panel record in the low 16; -1 for none.
using CellId = std::int32_t;
constexpr CellId kNoCell = -1;
inline CellId MakeCellId(int cell, int panel) { return (cell << 16) | panel; }
inline int CellOf(CellId id) { return static_cast<int>(static_cast<std::uint32_t>(id) >> 16); }
inline int PanelOf(CellId id) { return id & 0xFFFF; }

struct KeyHit {
  CellId cell = kNoCell;
  std::uint16_t kind = 0;
  std::uint16_t parameter = 0;
};

// Client size of the keyboard for "Keyboard size" 1..4 (other values: medium).
struct ClientSize {
  int width = 0;
  int height = 0;
};
ClientSize KeyboardClientSize(int size);
// Left edge and width of the main panel for a size and "Side bar position".
struct Span {
  int left = 0;
  int width = 0;
};
Span MainPanelSpan(int size, int sidebar_position);

// The key under a client point; false between rows or columns and outside every panel.
bool HitTest(int x, int y, KeyHit* hit);
// The client point in design pixels under a device point of the window: within a panel as
// its picture is drawn there, elsewhere as the window scales.
platform::Point DesignPointOf(platform::Point device);
// Where a panel record's picture lies in the window, in device pixels; false for a record not
// in use.
bool PanelDeviceArea(int index, platform::Rect* area);

// The colour of the window between the panels, as the art paints its gutters.
struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};
inline constexpr Rgb kGutter{0xd0, 0xd5, 0xdb};

// The panel window every build draws into (the sensor window), or 0.
void SetPanelWindow(platform::WindowHandle window);
// Chooses each slot's variant from the state and options and rebuilds the slots whose
// inputs changed (all of them when forced), drawing them.
void RefreshPanels(bool force);
// Shows every toggle key (accents, locks, latched modifiers) as its state says.
void RefreshToggleHighlights();
// The variant each slot shows for the keyboard's state and options now.
std::array<PanelKind, kSlotCount> VariantsShown();

// The merged key through a cell: its outer rectangle, its inner (inset) rectangle and the
// image point of its top-left corner. Rectangles are exclusive at right and bottom.
struct KeyRects {
  platform::Rect outer;
  platform::Rect inner;
  int source_x = 0;
  int source_y = 0;
};
bool GetKeyRects(CellId cell, KeyRects* rects);
void HighlightKey(CellId cell);    // copy from the inverted image, or invert the inner rect
void UnhighlightKey(CellId cell);  // copy from the normal image
bool IsHighlighted(CellId cell);

const Panel* PanelRecord(int index);  // null when the record is not in use
int SlotRecord(Slot slot);            // -1 before the slot was first built

// Forgets every panel and remembered build input, as at process start.
void ResetPanelsForTest();

}  // namespace quorel::keyboard
