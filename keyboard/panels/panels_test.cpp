#include "keyboard/panels/panels.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

#include "keyboard/key_kinds.h"
#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/panels/panel_tables.h"
#include "library/options/options.h"
#include "platform/fake/fake_system.h"
#include "tests/support/engine_reset.h"

namespace quorel::keyboard {
namespace {

constexpr platform::WindowHandle kSensor = 0x42;
constexpr std::u16string_view kSizeFolders[] = {u"small", u"medium", u"large", u"finger"};

std::u16string Bitmap(int size, std::u16string_view name, std::u16string_view suffix = u".bmp") {
  std::u16string path = u"C:\\Program Files\\Quorel\\Quorel bitmaps\\";
  path += kSizeFolders[size - 1];
  path += u'\\';
  path += name;
  path += suffix;
  return path;
}

void AddAllBitmaps(int size) {
  for (int kind = 1; kind <= kPanelKindCount; ++kind) {
    platform::fake::System().files[Bitmap(size, PanelKindName(static_cast<PanelKind>(kind)))];
  }
}

const Panel& SlotPanel(Slot slot) { return *PanelRecord(SlotRecord(slot)); }

platform::Rect PanelRect(const Panel& panel) {
  return {panel.left, panel.top, panel.right + 1, panel.bottom + 1};
}

KeyboardState With(int caps, int shift, int number, int accent) {
  KeyboardState state;
  state.caps_lock = caps;
  state.shift = shift;
  state.number_mode = number;
  state.accent_mode = accent;
  return state;
}

class PanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngineForTest();
    SetPanelWindow(kSensor);
    Use(1, 1);
  }

  static void Use(int size, int sidebar) {
    SetOption(OptionId::kSize, size);
    SetOption(OptionId::kSidebar, sidebar);
  }

  static KeyHit Hit(int x, int y) {
    KeyHit hit;
    HitTest(x, y, &hit);
    return hit;
  }

  // The client point of a cell of a slot, offset from the cell's top-left corner.
  static KeyHit HitCell(Slot slot, int cell, int dx = 1, int dy = 1) {
    const Panel& panel = SlotPanel(slot);
    return Hit(panel.left + panel.columns[cell % panel.column_count].start + dx,
               panel.top + panel.rows[cell / panel.column_count].start + dy);
  }
};

TEST_F(PanelsTest, EveryVariantFillsItsSlotsGridWithKnownEntries) {
  for (int value = 1; value <= kPanelKindCount; ++value) {
    const auto kind = static_cast<PanelKind>(value);
    SCOPED_TRACE(value);
    ASSERT_NE(PanelKindName(kind), nullptr);
    const SlotShape shape = ShapeOf(1, SlotOf(kind));
    for (int symbols : {0, 1, 2}) {
      const VariantCells cells = CellsOf(kind, symbols);
      EXPECT_EQ(cells.cells.size(), shape.rows.size() * shape.columns.size());
      EXPECT_TRUE(cells.half_cells.empty() || cells.half_cells.size() == cells.cells.size());
      if (SlotHoldsCharacters(SlotOf(kind))) continue;
      for (char16_t entry : cells.cells) EXPECT_TRUE(entry >= 1 && entry <= kind::kLastKind);
    }
  }
  EXPECT_EQ(PanelKindName(PanelKind::kNone), nullptr);
  EXPECT_EQ(PanelKindName(static_cast<PanelKind>(33)), nullptr);
  EXPECT_EQ(std::u16string(PanelKindName(PanelKind::kRightSidebarArrows)), u"RightSidebarArrows");
}

class PanelTilingTest : public PanelsTest,
                        public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(PanelTilingTest, CellsTileTheClientAreaAndEachCentreHitsItsOwnCell) {
  const auto [size, sidebar] = GetParam();
  Use(size, sidebar);
  SetOption(OptionId::kSymbols, 1);  // whole cells: the centre of a half-cell key is ambiguous
  RefreshPanels(true);
  const ClientSize client = KeyboardClientSize(size);
  ASSERT_EQ(client.width, SlotPanel(kCaptionSlot).right + 1);

  std::vector<int> covered(static_cast<std::size_t>(client.width * client.height), 0);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const int record = SlotRecord(static_cast<Slot>(slot));
    ASSERT_EQ(record, slot);  // the first build fills the records in slot order
    const Panel& panel = *PanelRecord(record);
    for (int cell = 0; cell < panel.row_count * panel.column_count; ++cell) {
      const Extent& row = panel.rows[cell / panel.column_count];
      const Extent& column = panel.columns[cell % panel.column_count];
      for (int y = panel.top + row.start; y <= panel.top + row.end; ++y) {
        for (int x = panel.left + column.start; x <= panel.left + column.end; ++x) {
          ASSERT_TRUE(x < client.width && y < client.height) << x << "," << y;
          ++covered[static_cast<std::size_t>(y * client.width + x)];
        }
      }
      const KeyHit hit =
          Hit(panel.left + (column.start + column.end) / 2, panel.top + (row.start + row.end) / 2);
      EXPECT_EQ(hit.cell, MakeCellId(cell, record)) << "slot " << slot << " cell " << cell;
      EXPECT_NE(hit.kind, 0);
    }
  }
  for (std::size_t i = 0; i < covered.size(); ++i) {
    ASSERT_EQ(covered[i], 1) << "pixel " << i % client.width << "," << i / client.width;
  }
  const Span main = MainPanelSpan(size, sidebar);
  EXPECT_EQ(main.left, SlotPanel(kMainSlot).left);
  EXPECT_EQ(main.width, SlotPanel(kMainSlot).right - SlotPanel(kMainSlot).left + 1);
}

INSTANTIATE_TEST_SUITE_P(AllSizes, PanelTilingTest,
                         ::testing::Combine(::testing::Values(1, 2, 3, 4),
                                            ::testing::Values(1, 2)));

// At every scale the art is drawn at, design pixel v covers the device pixels from
// DeviceOf(v) to DeviceOf(v + 1) - 1, and DesignOf takes each of them back to v.
TEST(DisplayScale, DesignAndDevicePixelsMapBothWays) {
  for (int dpi : kArtDpis) {
    for (int v = -300; v <= 300; ++v) {
      ASSERT_LE(DeviceOf(v, dpi), DeviceOf(v + 1, dpi)) << dpi;
      for (int device = DeviceOf(v, dpi); device < DeviceOf(v + 1, dpi); ++device) {
        ASSERT_EQ(DesignOf(device, dpi), v) << "dpi " << dpi << " device " << device;
      }
    }
  }
  EXPECT_EQ(DeviceOf(100, 192), 200);
  EXPECT_EQ(DeviceOf(0x7fffffff, 288), 0x7fffffff);  // a stored option of any size
}

class ScaledHitTest : public PanelsTest,
                      public ::testing::WithParamInterface<std::tuple<int, int>> {};

// The centre of every key as the screen shows it, at every scale, is that key.
TEST_P(ScaledHitTest, EveryKeysCentreOnTheScreenHitsItsOwnKey) {
  const auto [size, dpi] = GetParam();
  Use(size, 2);
  SetOption(OptionId::kSymbols, 1);
  RefreshPanels(true);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const Panel& panel = SlotPanel(static_cast<Slot>(slot));
    for (int cell = 0; cell < panel.row_count * panel.column_count; ++cell) {
      const Extent& row = panel.rows[cell / panel.column_count];
      const Extent& column = panel.columns[cell % panel.column_count];
      const int left = DeviceOf(panel.left + column.start, dpi);
      const int right = DeviceOf(panel.left + column.end + 1, dpi) - 1;
      const int top = DeviceOf(panel.top + row.start, dpi);
      const int bottom = DeviceOf(panel.top + row.end + 1, dpi) - 1;
      const KeyHit hit = Hit(DesignOf((left + right) / 2, dpi), DesignOf((top + bottom) / 2, dpi));
      EXPECT_EQ(hit.cell, MakeCellId(cell, SlotRecord(static_cast<Slot>(slot))))
          << "slot " << slot << " cell " << cell;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllSizesAndScales, ScaledHitTest,
                         ::testing::Combine(::testing::Values(1, 2, 3, 4),
                                            ::testing::ValuesIn(kArtDpis)));

TEST_F(PanelsTest, SmallSizeSideBarFirstPutsMainPanelAt55To175AndModeColumnAt209To239) {
  RefreshPanels(true);
  EXPECT_EQ(PanelRect(SlotPanel(kMainSlot)), (platform::Rect{55, 18, 176, 99}));
  EXPECT_EQ(PanelRect(SlotPanel(kModeSlot)), (platform::Rect{209, 18, 240, 99}));
}

struct VariantCase {
  const char* name;
  int caps, shift, number, accent, numbers_layout, arrows, sidebar;
  std::array<PanelKind, 5> expected;  // main panel to side bar
};

using K = PanelKind;
const VariantCase kVariantCases[] = {
    {"Plain",
     0,
     0,
     0,
     0,
     2,
     1,
     1,
     {K::kLetterNormal, K::kSymbolNormal, K::kRight123, K::kLeftAccents, K::kLeftSidebarArrows}},
    {"CapsAlone", 1, 0, 0, 0, 2, 1, 1, {K::kCapsNormal, K::kSymbolNormal}},
    {"ShiftAlone", 0, 1, 0, 0, 2, 1, 1, {K::kCapsNormal, K::kSymbolShifted}},
    {"CapsAndShiftGiveLowerCase", 1, 1, 0, 0, 2, 1, 1, {K::kLetterNormal, K::kSymbolShifted}},
    {"CapsGrave", 1, 0, 0, 3, 2, 1, 1, {K::kCapsGrave, K::kSymbolGrave}},
    {"AccentWinsTheSymbolStripOverShift", 0, 1, 0, 2, 2, 1, 1, {K::kCapsCircum, K::kSymbolCircum}},
    {"Umlaut", 0, 0, 0, 4, 2, 1, 1, {K::kLetterUmlaut, K::kSymbolUmlaut}},
    {"PhoneNumbers", 0, 0, 1, 0, 1, 1, 1, {K::kNumberPhone, K::kSymbolPunctuation, K::kRightAbc}},
    {"CalculatorNumbersSideBarLast",
     1,
     0,
     1,
     0,
     2,
     1,
     2,
     {K::kNumberCalcul, K::kSymbolPunctuation, K::kLeftAbc, K::kRightAccents,
      K::kRightSidebarArrows}},
    {"ShiftedNumbersWhateverThePhoneLayout",
     0,
     1,
     1,
     0,
     1,
     1,
     1,
     {K::kNumberShifted, K::kSymbolShifted, K::kRightAbc}},
    {"ShiftedNumbersWhateverTheCalculatorLayout",
     0,
     1,
     1,
     0,
     2,
     1,
     2,
     {K::kNumberShifted, K::kSymbolShifted, K::kLeftAbc}},
    {"AccentInNumberModeOnlyTouchesSymbols",
     0,
     0,
     1,
     1,
     2,
     1,
     1,
     {K::kNumberCalcul, K::kSymbolAcute, K::kRightAbc}},
    {"ArrowsSideBarFirst",
     0,
     0,
     0,
     0,
     2,
     0,
     1,
     {K::kLetterNormal, K::kSymbolNormal, K::kRight123, K::kLeftArrows, K::kSidebarAccents}},
    {"ArrowsSideBarLast",
     0,
     0,
     0,
     0,
     2,
     0,
     2,
     {K::kLetterNormal, K::kSymbolNormal, K::kLeft123, K::kRightArrows, K::kSidebarAccents}},
};

class VariantChoiceTest : public PanelsTest, public ::testing::WithParamInterface<VariantCase> {};

TEST_P(VariantChoiceTest, EachSlotShowsTheVariantTheStateAndOptionsGive) {
  const VariantCase& c = GetParam();
  SetOption(OptionId::kNumbers, c.numbers_layout);
  SetOption(OptionId::kArrows, c.arrows);
  SetOption(OptionId::kSidebar, c.sidebar);
  State() = With(c.caps, c.shift, c.number, c.accent);
  RefreshPanels(true);
  EXPECT_EQ(SlotPanel(kCaptionSlot).kind, K::kCaption);
  for (int slot = kMainSlot; slot < kSlotCount; ++slot) {
    const PanelKind expected = c.expected[static_cast<std::size_t>(slot - 1)];
    if (expected == K::kNone) continue;
    EXPECT_EQ(SlotPanel(Slot(slot)).kind, expected) << "slot " << slot;
  }
  // Only a lower-case letter panel has a capital variant to borrow from.
  const PanelKind main = c.expected[0];
  const bool lower = main >= K::kLetterNormal && main <= K::kLetterUmlaut;
  EXPECT_EQ(SlotPanel(kMainSlot).alternative,
            lower ? static_cast<PanelKind>(static_cast<int>(main) + 5) : K::kNone);
}

INSTANTIATE_TEST_SUITE_P(States, VariantChoiceTest, ::testing::ValuesIn(kVariantCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelsTest, HalfCellIsTheLowerRightTriangleDiagonalIncluded) {
  struct Case {
    int symbols, cell, dx, dy;
    char16_t expected;
  } const cases[] = {
      // small rows: 0-16, 17-32; columns: 0-15, 16-32
      {0, 0, 0, 0, u'-'},  {0, 0, 15, 16, u'1'}, {0, 0, 0, 16, u'1'}, {0, 0, 15, 1, u'1'},
      {0, 0, 14, 1, u'-'}, {0, 0, 8, 8, u'1'},   {0, 0, 7, 8, u'-'},  {0, 3, 0, 0, u'?'},
      {0, 3, 16, 0, u'4'}, {0, 3, 15, 0, u'4'},  {0, 3, 14, 0, u'?'}, {1, 0, 15, 16, u'1'},
      {1, 0, 0, 0, u'1'},  {2, 0, 15, 16, u'-'},
  };
  for (const Case& c : cases) {
    SetOption(OptionId::kSymbols, c.symbols);
    RefreshPanels(true);
    const KeyHit hit = HitCell(kSymbolSlot, c.cell, c.dx, c.dy);
    EXPECT_EQ(hit.kind, kind::kCharacter);
    EXPECT_EQ(hit.parameter, c.expected)
        << "symbols " << c.symbols << " cell " << c.cell << " at " << c.dx << "," << c.dy;
    EXPECT_EQ(hit.cell, MakeCellId(c.cell, kSymbolSlot));
  }
}

TEST_F(PanelsTest, CellEntriesBecomeKeys) {
  struct Case {
    const char* name;
    KeyboardState state;
    Slot slot;
    int cell;
    std::uint16_t kind, parameter;
  } const cases[] = {
      {"Letter", With(0, 0, 0, 0), kMainSlot, 7, kind::kCharacter, u'h'},
      {"SpaceLeftCell", With(0, 0, 0, 0), kMainSlot, 12, kind::kSpace, 0},
      {"SpaceRightCell", With(0, 0, 0, 0), kMainSlot, 17, kind::kSpace, 0},
      {"NoBreakSpaceIsACharacter", With(0, 1, 1, 0), kMainSlot, 13, kind::kCharacter, 0x00A0},
      {"NumberSpace", With(0, 0, 1, 0), kMainSlot, 12, kind::kSpace, 0},
      {"AcuteMark", With(0, 0, 0, 1), kMainSlot, 17, kind::kCharacter, 0x00B0},
      {"DragHandle", With(0, 0, 0, 0), kCaptionSlot, 2, kind::kDragHandle, 0},
      {"WideShift", With(0, 0, 0, 0), kSideBlockSlot, 5, kind::kShift, 0},
      {"NumbersKey", With(0, 0, 0, 0), kModeSlot, 4, kind::kNumbers, 0},
  };
  for (const Case& c : cases) {
    State() = c.state;
    RefreshPanels(true);
    const KeyHit hit = HitCell(c.slot, c.cell);
    EXPECT_EQ(hit.kind, c.kind) << c.name;
    EXPECT_EQ(hit.parameter, c.parameter) << c.name;
  }
}

struct HighlightCase {
  const char* name;
  int size;
  bool inverted_image;
  Slot slot;
  int cell;
  platform::Rect outer, inner;
  int source_x, source_y;
  int partner = -1;  // the other cell of a wide key
};

const HighlightCase kHighlightCases[] = {
    {"FirstLetterBmpOnly", 1, false, kMainSlot, 0, {55, 18, 75, 35}, {56, 19, 75, 34}, 0, 0},
    {"FirstLetterWithInverted", 1, true, kMainSlot, 0, {55, 18, 75, 35}, {56, 19, 75, 34}, 0, 0},
    {"InnerLetter", 1, false, kMainSlot, 7, {75, 35, 95, 51}, {76, 35, 95, 50}, 20, 17},
    {"LastLetterColumn", 1, true, kMainSlot, 29, {155, 83, 176, 99}, {156, 83, 175, 98}, 100, 65},
    {"LargeSideBar", 3, false, kSideBarSlot, 0, {0, 22, 50, 55}, {3, 24, 46, 54}, 0, 0},
    {"CaptionHasNoInsets", 1, false, kCaptionSlot, 1, {30, 0, 73, 18}, {30, 0, 73, 18}, 30, 0},
    {"WideSpace", 1, false, kMainSlot, 13, {55, 51, 95, 67}, {56, 51, 95, 66}, 0, 33, 12},
    {"WideShift", 2, true, kSideBlockSlot, 4, {33, 65, 77, 88}, {34, 65, 76, 87}, 0, 45, 5},
};

class HighlightTest : public PanelsTest, public ::testing::WithParamInterface<HighlightCase> {};

TEST_P(HighlightTest, InvertsTheInnerRectOrCopiesTheOuterFromTheInvertedImage) {
  const HighlightCase& c = GetParam();
  Use(c.size, 1);
  RefreshPanels(true);  // no images yet: nothing found, nothing drawn
  EXPECT_TRUE(platform::fake::System().draws.empty());
  AddAllBitmaps(c.size);
  const std::u16string name = PanelKindName(SlotPanel(c.slot).kind);
  if (c.inverted_image) platform::fake::System().files[Bitmap(c.size, name + u"_inv")];
  RefreshPanels(true);
  platform::fake::System().draws.clear();

  const CellId id = MakeCellId(c.cell, c.slot);
  KeyRects rects;
  ASSERT_TRUE(GetKeyRects(id, &rects));
  EXPECT_EQ(rects.outer, c.outer);
  EXPECT_EQ(rects.inner, c.inner);
  EXPECT_EQ(rects.source_x, c.source_x);
  EXPECT_EQ(rects.source_y, c.source_y);

  const CellId partner = MakeCellId(c.partner < 0 ? c.cell : c.partner, c.slot);
  HighlightKey(id);
  EXPECT_TRUE(IsHighlighted(id) && IsHighlighted(partner));
  UnhighlightKey(partner);
  EXPECT_FALSE(IsHighlighted(id) || IsHighlighted(partner));
  using Op = platform::fake::DrawOperation;
  const Op pressed =
      c.inverted_image
          ? Op{Op::kCopy, Bitmap(c.size, name + u"_inv"), kSensor, 0, c.outer, c.source_x,
               c.source_y}
          : Op{Op::kInvert, u"", kSensor, 0, c.inner, 0, 0};
  const Op released{Op::kCopy, Bitmap(c.size, name), kSensor, 0, c.outer, c.source_x, c.source_y};
  EXPECT_EQ(platform::fake::System().draws, (std::vector<Op>{pressed, released}));
}

INSTANTIATE_TEST_SUITE_P(Keys, HighlightTest, ::testing::ValuesIn(kHighlightCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelsTest, ToggleKeysShowTheState) {
  struct Case {
    const char* name;
    std::function<void(KeyboardState&)> set;
    std::set<std::uint16_t> lit;
  } const cases[] = {
      {"Nothing", [](KeyboardState&) {}, {}},
      {"Shift", [](KeyboardState& s) { s.shift = 1; }, {kind::kShift}},
      {"Acute", [](KeyboardState& s) { s.accent_mode = 1; }, {kind::kAcute}},
      {"Umlaut", [](KeyboardState& s) { s.accent_mode = 4; }, {kind::kUmlaut}},
      {"CapsAndControl",
       [](KeyboardState& s) { s.caps_lock = s.control = 1; },
       {kind::kCaps, kind::kControl}},
  };
  for (const Case& c : cases) {
    State() = KeyboardState{};
    c.set(State());
    RefreshPanels(true);
    RefreshToggleHighlights();
    for (Slot slot : {kCaptionSlot, kModeSlot, kSideBlockSlot, kSideBarSlot}) {
      const Panel& panel = SlotPanel(slot);
      for (int cell = 0; cell < panel.row_count * panel.column_count; ++cell) {
        EXPECT_EQ(IsHighlighted(MakeCellId(cell, SlotRecord(slot))),
                  c.lit.count(panel.cells[static_cast<std::size_t>(cell)]) != 0)
            << c.name << " slot " << slot << " cell " << cell;
      }
    }
  }
}

TEST_F(PanelsTest, ToggleHighlightsDrawOnlyWhatChanged) {
  AddAllBitmaps(1);
  RefreshPanels(true);
  auto& draws = platform::fake::System().draws;
  draws.clear();
  State().shift = 1;
  RefreshToggleHighlights();
  ASSERT_EQ(draws.size(), 1u);  // the wide shift key, inverted once
  EXPECT_EQ(draws[0].kind, platform::fake::DrawOperation::kInvert);
  RefreshToggleHighlights();
  EXPECT_EQ(draws.size(), 1u);
  State().shift = 0;
  RefreshToggleHighlights();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[1].image, Bitmap(1, u"LeftAccents"));
}

struct RebuildCase {
  const char* name;
  void (*start)();
  void (*change)();
  std::set<int> rebuilt;
  bool force = false;
};

const RebuildCase kRebuildCases[] = {
    {"NothingChanged", [] {}, [] {}, {}},
    {"Caps", [] {}, [] { State().caps_lock = 1; }, {kMainSlot, kSymbolSlot}},
    {"Shift", [] {}, [] { State().shift = 1; }, {kMainSlot, kSymbolSlot}},
    {"NumberMode", [] {}, [] { State().number_mode = 1; }, {kMainSlot, kSymbolSlot, kModeSlot}},
    {"AccentInLetterMode", [] {}, [] { State().accent_mode = 2; }, {kMainSlot, kSymbolSlot}},
    {"AccentInNumberMode",
     [] { State().number_mode = 1; },
     [] { State().accent_mode = 2; },
     {kSymbolSlot}},
    {"Arrows", [] {}, [] { SetOption(OptionId::kArrows, 0); }, {kSideBlockSlot, kSideBarSlot}},
    {"OtherModifiersTouchNothing", [] {}, [] { State().control = State().alt = 1; }, {}},
    {"Forced", [] {}, [] {}, {0, 1, 2, 3, 4, 5}, true},
};

class RebuildTest : public PanelsTest, public ::testing::WithParamInterface<RebuildCase> {};

TEST_P(RebuildTest, OnlySlotsWhoseInputsChangedAreRedrawn) {
  AddAllBitmaps(1);
  GetParam().start();
  RefreshPanels(true);
  platform::fake::System().draws.clear();
  GetParam().change();
  RefreshPanels(GetParam().force);
  std::set<int> drawn;
  for (const auto& draw : platform::fake::System().draws) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (draw.target == PanelRect(SlotPanel(Slot(slot)))) drawn.insert(slot);
    }
  }
  EXPECT_EQ(drawn, GetParam().rebuilt);
  EXPECT_EQ(platform::fake::System().draws.size(), drawn.size());
}

INSTANTIATE_TEST_SUITE_P(Changes, RebuildTest, ::testing::ValuesIn(kRebuildCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelsTest, DeferredShiftingKeepsTheOldLetterFaceButTypesCapitals) {
  AddAllBitmaps(1);
  SetOption(OptionId::kShifting, 2);
  RefreshPanels(true);
  platform::fake::System().draws.clear();
  State().shift = 1;
  RefreshPanels(false);
  const Panel& main = SlotPanel(kMainSlot);
  EXPECT_EQ(main.kind, PanelKind::kCapsNormal);
  EXPECT_EQ(HitCell(kMainSlot, 0).parameter, u'A');
  ASSERT_EQ(platform::fake::System().draws.size(), 1u);  // the symbol strip only
  EXPECT_EQ(platform::fake::System().draws[0].image, Bitmap(1, u"SymbolShifted"));

  // Digits are always drawn at once.
  State().number_mode = 1;
  RefreshPanels(false);
  EXPECT_EQ(platform::fake::System().draws[1].image, Bitmap(1, u"NumberShifted"));
}

TEST_F(PanelsTest, BadIdsAndOddValuesNeverCrash) {
  KeyHit hit;
  EXPECT_FALSE(HitTest(5, 5, &hit));  // nothing built yet
  EXPECT_EQ(hit.cell, kNoCell);
  EXPECT_EQ(SlotRecord(kMainSlot), -1);

  SetOption(OptionId::kSize, 9);
  SetOption(OptionId::kSidebar, 0);
  SetOption(OptionId::kSymbols, 7);
  SetOption(OptionId::kArrows, 5);
  State().accent_mode = 12;
  SetPanelWindow(0);
  RefreshPanels(false);  // a first refresh builds every slot even without force
  EXPECT_EQ(SlotPanel(kCaptionSlot).right, 321);  // medium geometry
  EXPECT_EQ(KeyboardClientSize(9).height, 132);
  EXPECT_EQ(SlotPanel(kMainSlot).kind, PanelKind::kLetterNormal);
  EXPECT_TRUE(SlotPanel(kSymbolSlot).has_half_cells);
  EXPECT_EQ(SlotPanel(kSideBlockSlot).kind, PanelKind::kRightAccents);
  EXPECT_TRUE(HitTest(10, 10, nullptr));
  EXPECT_FALSE(HitTest(-1, 10, nullptr));
  EXPECT_FALSE(HitTest(10, 132, &hit));
  EXPECT_EQ(hit.cell, kNoCell);

  for (CellId id : {kNoCell, MakeCellId(30, kMainSlot), MakeCellId(0, 6), MakeCellId(0, 0xFFFF),
                    MakeCellId(0x7FFF, 0)}) {
    KeyRects rects;
    EXPECT_FALSE(GetKeyRects(id, &rects)) << id;
    HighlightKey(id);
    UnhighlightKey(id);
    EXPECT_FALSE(IsHighlighted(id));
  }
  EXPECT_EQ(PanelRecord(-1), nullptr);
  EXPECT_EQ(PanelRecord(kPanelRecords), nullptr);
  EXPECT_EQ(SlotRecord(static_cast<Slot>(9)), -1);
  EXPECT_TRUE(platform::fake::System().draws.empty());  // no window: nothing drawn
}

TEST_F(PanelsTest, MissingExeFolderIsReportedOncePerVariantLookedUp) {
  platform::fake::System().exe_path.clear();
  RefreshPanels(true);
  // Six variants and the main panel's capitals.
  EXPECT_EQ(platform::fake::System().message_boxes.size(), 7u);
  EXPECT_EQ(platform::fake::System().message_boxes[0].text, u"Can't find running exe directory.");
  EXPECT_TRUE(SlotPanel(kMainSlot).image.empty());
}

}  // namespace
}  // namespace quorel::keyboard
