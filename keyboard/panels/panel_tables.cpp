#include "keyboard/panels/panel_tables.h"

#include <array>
#include <iterator>

#include "keyboard/key_kinds.h"

namespace quorel::keyboard {

namespace {

template <std::size_t N>
constexpr std::u16string_view Kinds(const char16_t (&kinds)[N]) {
  return {kinds, N};
}

constexpr char16_t kCaptionKinds[] = {kind::kSysMenu, kind::kQuorel, kind::kDragHandle, kind::kMini,
                                      kind::kClose};
constexpr char16_t kLeftAbcKinds[] = {kind::kEsc, kind::kTab, kind::kCaps, kind::kControl,
                                      kind::kLetters};
constexpr char16_t kLeft123Kinds[] = {kind::kEsc, kind::kTab, kind::kCaps, kind::kControl,
                                      kind::kNumbers};
constexpr char16_t kRightAbcKinds[] = {kind::kBack, kind::kEnter, kind::kCaps, kind::kControl,
                                       kind::kLetters};
constexpr char16_t kRight123Kinds[] = {kind::kBack, kind::kEnter, kind::kCaps, kind::kControl,
                                       kind::kNumbers};
// Equal neighbours in a row of the side block make one wide key.
constexpr char16_t kLeftAccentsKinds[] = {kind::kEsc,    kind::kEsc,   kind::kTab,   kind::kTab,
                                          kind::kShift,  kind::kShift, kind::kGrave, kind::kAcute,
                                          kind::kCircum, kind::kUmlaut};
constexpr char16_t kLeftArrowsKinds[] = {
    kind::kEsc,   kind::kEsc,      kind::kTab,  kind::kTab,       kind::kShift,
    kind::kShift, kind::kWideLeft, kind::kLeft, kind::kWideRight, kind::kRight};
constexpr char16_t kRightAccentsKinds[] = {kind::kBack,   kind::kBack,  kind::kEnter, kind::kEnter,
                                           kind::kShift,  kind::kShift, kind::kAcute, kind::kGrave,
                                           kind::kUmlaut, kind::kCircum};
constexpr char16_t kRightArrowsKinds[] = {
    kind::kBack,  kind::kBack, kind::kEnter,    kind::kEnter, kind::kShift,
    kind::kShift, kind::kLeft, kind::kWideLeft, kind::kRight, kind::kWideRight};
constexpr char16_t kSidebarAccentsKinds[] = {kind::kHide, kind::kAdd, kind::kExpand, kind::kAccents,
                                             kind::kInfo};
constexpr char16_t kSidebarArrowsKinds[] = {kind::kHide, kind::kAdd, kind::kExpand, kind::kArrows,
                                            kind::kInfo};

constexpr std::u16string_view kPunctuation = u"-!,?.:'(/)";
constexpr std::u16string_view kDigits = u"1234567890";

struct VariantRow {
  PanelKind kind;
  std::u16string_view name;
  Slot slot;
  std::u16string_view cells;
};

// Letter panels: the same arrangement in every case and accent; the accent variants turn
// the two wide space keys into keys that type the accent's marks.
constexpr VariantRow kVariants[] = {
    {PanelKind::kCaption, u"Caption", kCaptionSlot, Kinds(kCaptionKinds)},
    {PanelKind::kLetterNormal, u"LetterNormal", kMainSlot,
     u"abcdef"
     u"ghijkl"
     u"  mn  "
     u"opqrst"
     u"uvwxyz"},
    {PanelKind::kLetterAcute, u"LetterAcute", kMainSlot,
     u"ábçdéf"
     u"ghíjkl"
     u"''mn\u00B0\u00B0"
     u"ópqrst"
     u"úvwxýz"},
    {PanelKind::kLetterCircum, u"LetterCircum", kMainSlot,
     u"âbcdêf"
     u"ghîjkl"
     u"^^mn^^"
     u"ôpqršt"
     u"ûvwxyž"},
    {PanelKind::kLetterGrave, u"LetterGrave", kMainSlot,
     u"àbcðèf"
     u"ghìjkl"
     u"``mn``"
     u"òpqrsþ"
     u"ùvwxyz"},
    {PanelKind::kLetterUmlaut, u"LetterUmlaut", kMainSlot,
     u"äbcdëf"
     u"ghïjkl"
     u"~~µñ\"\""
     u"öpqrßt"
     u"üvwxÿz"},
    {PanelKind::kCapsNormal, u"CapsNormal", kMainSlot,
     u"ABCDEF"
     u"GHIJKL"
     u"  MN  "
     u"OPQRST"
     u"UVWXYZ"},
    {PanelKind::kCapsAcute, u"CapsAcute", kMainSlot,
     u"ÁBÇDÉF"
     u"GHÍJKL"
     u"\u00B4\u00B4MN\u00B8\u00B8"
     u"ÓPQRST"
     u"ÚVWXÝZ"},
    {PanelKind::kCapsCircum, u"CapsCircum", kMainSlot,
     u"ÂBCDÊF"
     u"GHÎJKL"
     u"\u02C6\u02C6MN\u02C6\u02C6"
     u"ÔPQRŠT"
     u"ÛVWXYŽ"},
    {PanelKind::kCapsGrave, u"CapsGrave", kMainSlot,
     u"ÀBCÐÈF"
     u"GHÌJKL"
     u"``MN``"
     u"ÒPQRSÞ"
     u"ÙVWXYZ"},
    {PanelKind::kCapsUmlaut, u"CapsUmlaut", kMainSlot,
     u"ÄBCDËF"
     u"GHÏJKL"
     u"\u02DC\u02DCMÑ\u00A8\u00A8"
     u"ÖPQR\u00DFT"
     u"ÜVWXŸZ"},
    {PanelKind::kNumberCalcul, u"NumberCalcul", kMainSlot,
     u"<>=×÷+"
     u"¤°@789"
     u"  &456"
     u"¥¢%123"
     u"€£$*0#"},
    {PanelKind::kNumberPhone, u"NumberPhone", kMainSlot,
     u"<>=×÷+"
     u"¤°@123"
     u"  &456"
     u"¥¢%789"
     u"€£$*0#"},
    // U+00A0 is typed as a character, unlike the plain spaces of the other variants.
    {PanelKind::kNumberShifted, u"NumberShifted", kMainSlot,
     u"\u2020\u009D\u00AA\u00AC\u00BA\u00B1"
     u"\u2021\u0081\u007C\u00B9\u00B2\u00B3"
     u"\u00A0\u00A0\u00A6\u00BC\u00BD\u00BE"
     u"\u00E3\u00F5\u2030\u201A\u00AF\u00B7"
     u"\u00C3\u00D5\u0192\u201E\u00AD\u2026"},
    {PanelKind::kSymbolNormal, u"SymbolNormal", kSymbolSlot, kPunctuation},
    {PanelKind::kSymbolPunctuation, u"SymbolPunctuation", kSymbolSlot, kPunctuation},
    {PanelKind::kSymbolAcute, u"SymbolAcute", kSymbolSlot, u"¢©£®$™¥¶€§"},
    {PanelKind::kSymbolCircum, u"SymbolCircum", kSymbolSlot, u"‹›<>«»{}[]"},
    {PanelKind::kSymbolGrave, u"SymbolGrave", kSymbolSlot, u"åÅæÆøØœŒ–—"},
    {PanelKind::kSymbolUmlaut, u"SymbolUmlaut", kSymbolSlot, u"=#*@•&+%|¦"},
    {PanelKind::kSymbolShifted, u"SymbolShifted", kSymbolSlot,
     u"_\u00A1\u2018\u00BF\u2019;\"\u201C\\\u201D"},
    {PanelKind::kLeftAbc, u"LeftAbc", kModeSlot, Kinds(kLeftAbcKinds)},
    {PanelKind::kLeft123, u"Left123", kModeSlot, Kinds(kLeft123Kinds)},
    {PanelKind::kRightAbc, u"RightAbc", kModeSlot, Kinds(kRightAbcKinds)},
    {PanelKind::kRight123, u"Right123", kModeSlot, Kinds(kRight123Kinds)},
    {PanelKind::kLeftAccents, u"LeftAccents", kSideBlockSlot, Kinds(kLeftAccentsKinds)},
    {PanelKind::kLeftArrows, u"LeftArrows", kSideBlockSlot, Kinds(kLeftArrowsKinds)},
    {PanelKind::kRightAccents, u"RightAccents", kSideBlockSlot, Kinds(kRightAccentsKinds)},
    {PanelKind::kRightArrows, u"RightArrows", kSideBlockSlot, Kinds(kRightArrowsKinds)},
    {PanelKind::kSidebarAccents, u"SidebarAccents", kSideBarSlot, Kinds(kSidebarAccentsKinds)},
    {PanelKind::kLeftSidebarArrows, u"LeftSidebarArrows", kSideBarSlot, Kinds(kSidebarArrowsKinds)},
    {PanelKind::kRightSidebarArrows, u"RightSidebarArrows", kSideBarSlot,
     Kinds(kSidebarArrowsKinds)},
};
static_assert(std::size(kVariants) == kPanelKindCount);

constexpr bool VariantsFollowKinds() {
  for (std::size_t i = 0; i < std::size(kVariants); ++i) {
    if (static_cast<std::size_t>(kVariants[i].kind) != i + 1) return false;
  }
  return true;
}
static_assert(VariantsFollowKinds(), "the variant table is indexed by PanelKind");

// "SymbolNormal" by the "Symbols" option: punctuation with digit halves, digits, punctuation.
constexpr VariantCells kSymbolNormalCells[] = {
    {kPunctuation, kDigits}, {kDigits, {}}, {kPunctuation, {}}};

const VariantRow* FindVariant(PanelKind kind) {
  const int index = static_cast<int>(kind);
  if (index < 1 || index > kPanelKindCount) return nullptr;
  return &kVariants[index - 1];
}

// Geometry of one keyboard size. Every panel below the caption shares the five rows.
struct SizeGeometry {
  Extent caption_row[1];
  Extent rows[5];
  int panel_top;
  int client_height;
  Extent caption[5];
  Extent main[6];
  Extent symbol[2];
  Extent mode[1];
  Extent side_block[2];
  Extent side_bar[1];
  Inset row_insets[5];
  Inset side_bar_insets[1];
};

constexpr SizeGeometry kSizes[] = {
    {// small
     {{0, 17}},
     {{0, 16}, {17, 32}, {33, 48}, {49, 64}, {65, 80}},
     18,
     99,
     {{0, 29}, {30, 72}, {73, 194}, {195, 216}, {217, 239}},
     {{0, 19}, {20, 39}, {40, 59}, {60, 79}, {80, 99}, {100, 120}},
     {{0, 15}, {16, 32}},
     {{0, 30}},
     {{0, 16}, {17, 32}},
     {{0, 21}},
     {{1, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
     {{1, 1}}},
    {// medium
     {{0, 19}},
     {{0, 22}, {23, 44}, {45, 67}, {68, 89}, {90, 111}},
     20,
     132,
     {{0, 30}, {31, 79}, {80, 276}, {277, 298}, {299, 321}},
     {{0, 25}, {26, 53}, {54, 81}, {82, 109}, {110, 137}, {138, 164}},
     {{0, 21}, {22, 44}},
     {{0, 34}},
     {{0, 22}, {23, 43}},
     {{0, 32}},
     {{1, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
     {{1, 1}}},
    {// large
     {{0, 21}},
     {{0, 32}, {33, 64}, {65, 96}, {97, 128}, {129, 159}},
     22,
     182,
     {{0, 31}, {32, 82}, {83, 434}, {435, 456}, {457, 479}},
     {{0, 39}, {40, 79}, {80, 119}, {120, 159}, {160, 199}, {200, 240}},
     {{0, 32}, {33, 66}},
     {{0, 54}},
     {{0, 33}, {34, 66}},
     {{0, 49}},
     {{2, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
     {{3, 4}}},
    {// finger
     {{0, 21}},
     {{0, 56}, {57, 112}, {113, 168}, {169, 224}, {225, 280}},
     22,
     303,
     {{0, 31}, {32, 82}, {83, 752}, {753, 774}, {775, 797}},
     {{0, 67}, {68, 135}, {136, 203}, {204, 271}, {272, 339}, {340, 408}},
     {{0, 55}, {56, 112}},
     {{0, 92}},
     {{0, 56}, {57, 112}},
     {{0, 69}},
     {{1, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
     {{3, 4}}},
};

constexpr Inset kMainColumnInsets[] = {{1, 0}, {1, 0}, {1, 0}, {1, 0}, {1, 0}, {1, 1}};
constexpr Inset kSymbolColumnInsets[] = {{1, 0}, {1, 1}};
constexpr Inset kModeColumnInsets[] = {{1, 1}};
constexpr Inset kSideBlockColumnInsets[] = {{1, 1}, {0, 1}};

// Left to right below the caption, for "Side bar position" 1 and 2.
constexpr Slot kPlacement[2][5] = {
    {kSideBarSlot, kSideBlockSlot, kMainSlot, kSymbolSlot, kModeSlot},
    {kModeSlot, kMainSlot, kSymbolSlot, kSideBlockSlot, kSideBarSlot},
};

constexpr bool PanelsFillTheCaptionWidth() {
  for (const SizeGeometry& size : kSizes) {
    const int width = size.side_bar[0].end + size.side_block[1].end + size.main[5].end +
                      size.symbol[1].end + size.mode[0].end + 5;
    if (width != size.caption[4].end + 1) return false;
    if (size.client_height != size.panel_top + size.rows[4].end + 1) return false;
    if (size.panel_top != size.caption_row[0].end + 1) return false;
  }
  return true;
}
static_assert(PanelsFillTheCaptionWidth(), "the panels tile the client area");

const SizeGeometry& GeometryOf(int size) { return kSizes[(size >= 1 && size <= 4) ? size - 1 : 1]; }

}  // namespace

const char16_t* PanelKindName(PanelKind kind) {
  const VariantRow* row = FindVariant(kind);
  return row ? row->name.data() : nullptr;
}

VariantCells CellsOf(PanelKind kind, int symbols_option) {
  if (kind == PanelKind::kSymbolNormal) {
    return kSymbolNormalCells[(symbols_option == 1 || symbols_option == 2) ? symbols_option : 0];
  }
  const VariantRow* row = FindVariant(kind);
  return row ? VariantCells{row->cells, {}} : VariantCells{};
}

Slot SlotOf(PanelKind kind) {
  const VariantRow* row = FindVariant(kind);
  return row ? row->slot : kCaptionSlot;
}

bool SlotHoldsCharacters(Slot slot) { return slot == kMainSlot || slot == kSymbolSlot; }

SlotShape ShapeOf(int size, Slot slot) {
  const SizeGeometry& g = GeometryOf(size);
  switch (slot) {
    case kMainSlot:
      return {g.rows, g.main, g.row_insets, kMainColumnInsets};
    case kSymbolSlot:
      return {g.rows, g.symbol, g.row_insets, kSymbolColumnInsets};
    case kModeSlot:
      return {g.rows, g.mode, g.row_insets, kModeColumnInsets};
    case kSideBlockSlot:
      return {g.rows, g.side_block, g.row_insets, kSideBlockColumnInsets};
    case kSideBarSlot:
      return {g.rows, g.side_bar, g.row_insets, g.side_bar_insets};
    case kCaptionSlot:
    default:
      return {g.caption_row, g.caption, nullptr, nullptr};
  }
}

int SlotWidth(int size, Slot slot) { return ShapeOf(size, slot).columns.back().end + 1; }

int SlotLeft(int size, int sidebar_position, Slot slot) {
  if (slot == kCaptionSlot) return 0;
  int left = 0;
  for (Slot placed : kPlacement[sidebar_position == 1 ? 0 : 1]) {
    if (placed == slot) break;
    left += SlotWidth(size, placed);
  }
  return left;
}

int SlotTop(int size, Slot slot) { return slot == kCaptionSlot ? 0 : GeometryOf(size).panel_top; }

int ClientHeight(int size) { return GeometryOf(size).client_height; }

}  // namespace quorel::keyboard
