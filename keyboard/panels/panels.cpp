#include "keyboard/panels/panels.h"

#include <algorithm>

#include "keyboard/key_kinds.h"
#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/panels/panel_drawing.h"
#include "keyboard/panels/panel_tables.h"
#include "library/options/options.h"

namespace quorel::keyboard {

namespace {

// What the variants were last chosen from; a refresh rebuilds only the slots these touch.
struct BuildInputs {
  bool caps = false;
  bool shift = false;
  bool capital = false;  // a new sentence's: the letters only
  bool number_mode = false;
  int accent_mode = 0;
  bool accents_block = false;
};

struct PanelsState {
  std::array<Panel, kPanelRecords> records{};
  std::array<bool, kPanelRecords> in_use{};
  std::array<int, kSlotCount> slots{-1, -1, -1, -1, -1, -1};
  bool built = false;
  BuildInputs last;
  platform::WindowHandle window = 0;
};

PanelsState& Panels() {
  static PanelsState state;
  return state;
}

// The options as the panels read them, odd stored values taken as their defaults.
struct PanelOptions {
  int size = 2;
  bool sidebar_first = false;   // "Side bar position" 1
  bool phone_numbers = false;   // "Numbers layout" 1
  bool deferred_shift = false;  // "Shifting" other than 1
  bool accents_block = true;    // "Arrows" 1
  int symbols = 0;
};

PanelOptions ReadOptions() {
  PanelOptions options;
  options.size = GetOption(OptionId::kSize);
  options.sidebar_first = GetOption(OptionId::kSidebar) == 1;
  options.phone_numbers = GetOption(OptionId::kNumbers) == 1;
  options.deferred_shift = GetOption(OptionId::kShifting) != 1;
  options.accents_block = GetOption(OptionId::kArrows) != 0;
  options.symbols = GetOption(OptionId::kSymbols);
  return options;
}

BuildInputs CurrentInputs(const PanelOptions& options) {
  const KeyboardState& state = State();
  BuildInputs inputs;
  inputs.caps = state.caps_lock != 0;
  inputs.shift = state.shift != 0;
  inputs.capital = state.capital != 0;
  inputs.number_mode = state.number_mode != 0;
  inputs.accent_mode = (state.accent_mode >= 0 && state.accent_mode <= 4) ? state.accent_mode : 0;
  inputs.accents_block = options.accents_block;
  return inputs;
}

PanelKind Offset(PanelKind first, int by) {
  return static_cast<PanelKind>(static_cast<int>(first) + by);
}

PanelKind ChooseVariant(Slot slot, const BuildInputs& in, const PanelOptions& options) {
  const bool first = options.sidebar_first;
  switch (slot) {
    case kCaptionSlot:
      return PanelKind::kCaption;
    case kMainSlot:
      if (in.number_mode) {
        if (in.shift) return PanelKind::kNumberShifted;
        return options.phone_numbers ? PanelKind::kNumberPhone : PanelKind::kNumberCalcul;
      }
      // Caps and shift together give lower case again.
      return Offset(in.caps != (in.shift || in.capital) ? PanelKind::kCapsNormal
                                                        : PanelKind::kLetterNormal,
                    in.accent_mode);
    case kSymbolSlot:
      if (in.accent_mode != 0) return Offset(PanelKind::kSymbolAcute, in.accent_mode - 1);
      if (in.shift) return PanelKind::kSymbolShifted;
      return in.number_mode ? PanelKind::kSymbolPunctuation : PanelKind::kSymbolNormal;
    case kModeSlot:
      if (in.number_mode) return first ? PanelKind::kRightAbc : PanelKind::kLeftAbc;
      return first ? PanelKind::kRight123 : PanelKind::kLeft123;
    case kSideBlockSlot:
      if (in.accents_block) return first ? PanelKind::kLeftAccents : PanelKind::kRightAccents;
      return first ? PanelKind::kLeftArrows : PanelKind::kRightArrows;
    case kSideBarSlot:
      if (!in.accents_block) return PanelKind::kSidebarAccents;
      return first ? PanelKind::kLeftSidebarArrows : PanelKind::kRightSidebarArrows;
  }
  return PanelKind::kNone;
}

}  // namespace

std::array<PanelKind, kSlotCount> VariantsShown() {
  const PanelOptions options = ReadOptions();
  const BuildInputs inputs = CurrentInputs(options);
  std::array<PanelKind, kSlotCount> shown{};
  for (int slot = 0; slot < kSlotCount; ++slot) {
    shown[static_cast<std::size_t>(slot)] = ChooseVariant(static_cast<Slot>(slot), inputs, options);
  }
  return shown;
}

namespace {

bool NeedsBuild(Slot slot, const BuildInputs& was, const BuildInputs& now) {
  const bool caps_shift_number =
      was.caps != now.caps || was.shift != now.shift || was.capital != now.capital ||
      was.number_mode != now.number_mode;
  const bool accent = was.accent_mode != now.accent_mode;
  switch (slot) {
    case kCaptionSlot:
      return false;
    case kMainSlot:
      return caps_shift_number || (accent && !now.number_mode);
    case kSymbolSlot:
      return caps_shift_number || accent;
    case kModeSlot:
      return was.number_mode != now.number_mode;
    case kSideBlockSlot:
    case kSideBarSlot:
      return was.accents_block != now.accents_block;
  }
  return false;
}

// The record that serves a slot: its own, or the first free one the first time.
Panel* SlotPanel(Slot slot) {
  PanelsState& panels = Panels();
  int& index = panels.slots[static_cast<std::size_t>(slot)];
  if (index < 0) {
    auto free = std::find(panels.in_use.begin(), panels.in_use.end(), false);
    if (free == panels.in_use.end()) return nullptr;
    *free = true;
    index = static_cast<int>(free - panels.in_use.begin());
  }
  return &panels.records[static_cast<std::size_t>(index)];
}

platform::Rect WholePanel(const Panel& panel) {
  return {panel.left, panel.top, panel.right + 1, panel.bottom + 1};
}

void BuildSlot(Slot slot, PanelKind kind, const BuildInputs& in, const PanelOptions& options) {
  Panel* record = SlotPanel(slot);
  if (record == nullptr) return;
  Panel& panel = *record;
  panel = Panel{};

  const SlotShape shape = ShapeOf(options.size, slot);
  panel.left = SlotLeft(options.size, options.sidebar_first ? 1 : 2, slot);
  panel.top = SlotTop(options.size, slot);
  panel.row_count = static_cast<int>(shape.rows.size());
  panel.column_count = static_cast<int>(shape.columns.size());
  panel.right = panel.left + shape.columns.back().end;
  panel.bottom = panel.top + shape.rows.back().end;
  panel.rows = shape.rows.data();
  panel.columns = shape.columns.data();
  panel.row_insets = shape.row_insets;
  panel.column_insets = shape.column_insets;

  const VariantCells cells = CellsOf(kind, options.symbols);
  panel.holds_characters = SlotHoldsCharacters(slot);
  panel.cells = cells.cells;
  panel.half_cells = cells.half_cells;
  panel.has_half_cells = !panel.half_cells.empty();

  panel.kind = kind;
  PanelImages images = LookUpImages(kind);
  panel.image = std::move(images.normal);
  panel.image_inverted = std::move(images.inverted);
  if (slot == kMainSlot && kind >= PanelKind::kLetterNormal && kind <= PanelKind::kLetterUmlaut) {
    panel.alternative = Offset(kind, 5);
    PanelImages alternative = LookUpImages(panel.alternative);
    panel.alt_image = std::move(alternative.normal);
    panel.alt_image_inverted = std::move(alternative.inverted);
  }
  panel.window = Panels().window;

  // With deferred shifting the letters keep their old face until the next full repaint,
  // although their keys already give the new variant.
  if (slot == kMainSlot && !in.number_mode && in.shift && options.deferred_shift) return;
  CopyFromImage(panel.image, panel.window, WholePanel(panel), 0, 0);
}

Panel* UsedPanel(int index) {
  if (index < 0 || index >= kPanelRecords || !Panels().in_use[static_cast<std::size_t>(index)]) {
    return nullptr;
  }
  return &Panels().records[static_cast<std::size_t>(index)];
}

bool WellFormed(const Panel& panel) {
  return panel.row_count > 0 && panel.column_count > 0 &&
         panel.cells.size() == static_cast<std::size_t>(panel.row_count * panel.column_count);
}

// The panel and cell a CellId names, or null for a stale or malformed id.
Panel* PanelOfCell(CellId id, int* cell) {
  if (id < 0) return nullptr;
  Panel* panel = UsedPanel(PanelOf(id));
  if (panel == nullptr || !WellFormed(*panel)) return nullptr;
  *cell = CellOf(id);
  if (*cell >= panel->row_count * panel->column_count) return nullptr;
  return panel;
}

// A merged key: the runs of equal entries through a cell, along its row and its column.
struct KeySpan {
  int first_row, last_row, first_column, last_column;
  char16_t entry;
};

KeySpan SpanOf(const Panel& panel, int cell) {
  const int columns = panel.column_count;
  const int row = cell / columns;
  const int column = cell % columns;
  const char16_t entry = panel.cells[static_cast<std::size_t>(cell)];
  auto at = [&](int r, int c) { return panel.cells[static_cast<std::size_t>(r * columns + c)]; };
  KeySpan span{row, row, column, column, entry};
  while (span.first_column > 0 && at(row, span.first_column - 1) == entry) --span.first_column;
  while (span.last_column + 1 < columns && at(row, span.last_column + 1) == entry) {
    ++span.last_column;
  }
  while (span.first_row > 0 && at(span.first_row - 1, column) == entry) --span.first_row;
  while (span.last_row + 1 < panel.row_count && at(span.last_row + 1, column) == entry) {
    ++span.last_row;
  }
  return span;
}

// The cells of the key's box that hold its entry.
std::uint32_t SpanBits(const Panel& panel, const KeySpan& span) {
  std::uint32_t bits = 0;
  for (int r = span.first_row; r <= span.last_row; ++r) {
    for (int c = span.first_column; c <= span.last_column; ++c) {
      const int cell = r * panel.column_count + c;
      if (cell < 32 && panel.cells[static_cast<std::size_t>(cell)] == span.entry) {
        bits |= 1u << cell;
      }
    }
  }
  return bits;
}

KeyRects RectsOf(const Panel& panel, const KeySpan& span) {
  const Extent& first_row = panel.rows[span.first_row];
  const Extent& last_row = panel.rows[span.last_row];
  const Extent& first_column = panel.columns[span.first_column];
  const Extent& last_column = panel.columns[span.last_column];
  KeyRects rects;
  rects.outer = {panel.left + first_column.start, panel.top + first_row.start,
                 panel.left + last_column.end + 1, panel.top + last_row.end + 1};
  rects.inner = rects.outer;
  if (panel.row_insets != nullptr) {
    rects.inner.top += panel.row_insets[span.first_row].before;
    rects.inner.bottom -= panel.row_insets[span.last_row].after;
  }
  if (panel.column_insets != nullptr) {
    rects.inner.left += panel.column_insets[span.first_column].before;
    rects.inner.right -= panel.column_insets[span.last_column].after;
  }
  rects.source_x = first_column.start;
  rects.source_y = first_row.start;
  return rects;
}

int FirstContaining(const Extent* extents, int count, int offset) {
  for (int i = 0; i < count; ++i) {
    if (extents[i].start <= offset && offset <= extents[i].end) return i;
  }
  return -1;
}

// Which state a toggle key's cell shows.
struct ToggleKey {
  std::uint16_t kind;
  bool (*on)(const KeyboardState&);
};

constexpr ToggleKey kToggleKeys[] = {
    {kind::kAcute, [](const KeyboardState& s) { return s.accent_mode == 1; }},
    {kind::kCircum, [](const KeyboardState& s) { return s.accent_mode == 2; }},
    {kind::kGrave, [](const KeyboardState& s) { return s.accent_mode == 3; }},
    {kind::kUmlaut, [](const KeyboardState& s) { return s.accent_mode == 4; }},
    {kind::kAlt, [](const KeyboardState& s) { return s.alt != 0; }},
    {kind::kCaps, [](const KeyboardState& s) { return s.caps_lock != 0; }},
    {kind::kControl, [](const KeyboardState& s) { return s.control != 0; }},
    {kind::kNumLock, [](const KeyboardState& s) { return s.num_lock != 0; }},
    {kind::kScrollLock, [](const KeyboardState& s) { return s.scroll_lock != 0; }},
    {kind::kShift, [](const KeyboardState& s) { return s.shift != 0 || s.capital != 0; }},
    {kind::kWindowsKey, [](const KeyboardState& s) { return s.windows_key != 0; }},
};

const ToggleKey* FindToggle(char16_t entry) {
  for (const ToggleKey& toggle : kToggleKeys) {
    if (toggle.kind == entry) return &toggle;
  }
  return nullptr;
}

}  // namespace

ClientSize KeyboardClientSize(int size) {
  return {SlotWidth(size, kCaptionSlot), ClientHeight(size)};
}

Span MainPanelSpan(int size, int sidebar_position) {
  return {SlotLeft(size, sidebar_position, kMainSlot), SlotWidth(size, kMainSlot)};
}

bool PanelDeviceArea(int index, platform::Rect* area) {
  const Panel* panel = UsedPanel(index);
  if (panel == nullptr) return false;
  *area = PanelToDevice({panel->left, panel->top},
                        {panel->left, panel->top, panel->right + 1, panel->bottom + 1});
  return true;
}

platform::Point DesignPointOf(platform::Point device) {
  platform::Rect area;
  for (int index = 0; index < kPanelRecords; ++index) {
    if (PanelDeviceArea(index, &area) && device.x >= area.left && device.x < area.right &&
        device.y >= area.top && device.y < area.bottom) {
      const Panel* panel = UsedPanel(index);
      return PanelToDesign({panel->left, panel->top}, device);
    }
  }
  return ToDesign(device);
}

bool HitTest(int x, int y, KeyHit* hit) {
  KeyHit found;
  bool any = false;
  for (int index = 0; index < kPanelRecords && !any; ++index) {
    const Panel* panel = UsedPanel(index);
    if (panel == nullptr || x < panel->left || x > panel->right || y < panel->top ||
        y > panel->bottom) {
      continue;
    }
    // The first panel containing the point decides, even when the point misses its cells.
    if (!WellFormed(*panel)) break;
    const int dx = x - panel->left;
    const int dy = y - panel->top;
    const int row = FirstContaining(panel->rows, panel->row_count, dy);
    const int column = FirstContaining(panel->columns, panel->column_count, dx);
    if (row < 0 || column < 0) break;
    const int cell = row * panel->column_count + column;
    char16_t entry = panel->cells[static_cast<std::size_t>(cell)];
    // The lower-right triangle of a cell, its diagonal included, is the half cell.
    if (panel->has_half_cells && static_cast<std::size_t>(cell) < panel->half_cells.size() &&
        dx - panel->columns[column].start >= panel->rows[row].end - dy) {
      entry = panel->half_cells[static_cast<std::size_t>(cell)];
    }
    found.cell = MakeCellId(cell, index);
    if (!panel->holds_characters) {
      found.kind = entry;
    } else if (entry == u' ') {
      found.kind = kind::kSpace;
    } else {
      found.kind = kind::kCharacter;
      found.parameter = entry;
    }
    any = true;
  }
  if (hit != nullptr) *hit = found;
  return any;
}

void SetPanelWindow(platform::WindowHandle window) { Panels().window = window; }

void RefreshPanels(bool force) {
  PanelsState& panels = Panels();
  const PanelOptions options = ReadOptions();
  const BuildInputs now = CurrentInputs(options);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const Slot which = static_cast<Slot>(slot);
    // A slot never built is built whatever the flag says, or it could not be hit.
    if (force || !panels.built || panels.slots[static_cast<std::size_t>(slot)] < 0 ||
        NeedsBuild(which, panels.last, now)) {
      BuildSlot(which, ChooseVariant(which, now, options), now, options);
    }
  }
  panels.last = now;
  panels.built = true;
}

void RefreshToggleHighlights() {
  const KeyboardState& state = State();
  for (int index = 0; index < kPanelRecords; ++index) {
    const Panel* panel = UsedPanel(index);
    if (panel == nullptr || panel->holds_characters || !WellFormed(*panel)) continue;
    const int cells = panel->row_count * panel->column_count;
    for (int cell = 0; cell < cells; ++cell) {
      const ToggleKey* toggle = FindToggle(panel->cells[static_cast<std::size_t>(cell)]);
      if (toggle == nullptr) continue;
      const CellId id = MakeCellId(cell, index);
      const bool on = toggle->on(state);
      if (on == IsHighlighted(id)) continue;
      if (on) {
        HighlightKey(id);
      } else {
        UnhighlightKey(id);
      }
    }
  }
}

bool GetKeyRects(CellId id, KeyRects* rects) {
  int cell = 0;
  const Panel* panel = PanelOfCell(id, &cell);
  if (panel == nullptr) return false;
  if (rects != nullptr) *rects = RectsOf(*panel, SpanOf(*panel, cell));
  return true;
}

void HighlightKey(CellId id) {
  int cell = 0;
  Panel* panel = PanelOfCell(id, &cell);
  if (panel == nullptr) return;
  const KeySpan span = SpanOf(*panel, cell);
  const KeyRects rects = RectsOf(*panel, span);
  if (!panel->image_inverted.empty()) {
    CopyFromImage(panel->image_inverted, panel->window, rects.outer, rects.source_x,
                  rects.source_y);
  } else {
    // The inset keeps the grid lines of the key's border as they are.
    InvertArea(panel->window, rects.inner, {panel->left, panel->top});
  }
  panel->highlight_bits |= SpanBits(*panel, span);
}

void UnhighlightKey(CellId id) {
  int cell = 0;
  Panel* panel = PanelOfCell(id, &cell);
  if (panel == nullptr) return;
  const KeySpan span = SpanOf(*panel, cell);
  const KeyRects rects = RectsOf(*panel, span);
  CopyFromImage(panel->image, panel->window, rects.outer, rects.source_x, rects.source_y);
  panel->highlight_bits &= ~SpanBits(*panel, span);
}

std::uint32_t MergedKeyCells(CellId id) {
  int cell = 0;
  const Panel* panel = PanelOfCell(id, &cell);
  return panel == nullptr ? 0 : SpanBits(*panel, SpanOf(*panel, cell));
}

bool IsHighlighted(CellId id) {
  int cell = 0;
  const Panel* panel = PanelOfCell(id, &cell);
  return panel != nullptr && cell < 32 && (panel->highlight_bits & (1u << cell)) != 0;
}

const Panel* PanelRecord(int index) { return UsedPanel(index); }

int SlotRecord(Slot slot) {
  if (slot < 0 || slot >= kSlotCount) return -1;
  return Panels().slots[static_cast<std::size_t>(slot)];
}

void ResetPanelsForTest() {
  Panels() = PanelsState();
  SetPaintContext(0);
  SetDisplayDpi(96);
}

}  // namespace quorel::keyboard
