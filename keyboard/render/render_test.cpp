#include "keyboard/render/render.h"

#include <gtest/gtest.h>

#include <vector>

#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/keyboard_state.h"
#include "library/options/options.h"
#include "platform/fake/fake_system.h"
#include "tests/support/engine_reset.h"

namespace quorel::keyboard {
namespace {

using Op = platform::fake::DrawOperation;

constexpr platform::WindowHandle kSensor = 0x42;
constexpr platform::PaintContext kPaint = 0x77;
constexpr std::u16string_view kFolder = u"C:\\Program Files\\Quorel\\Quorel bitmaps\\";

std::u16string Image(std::u16string_view size, std::u16string_view name,
                     std::u16string_view suffix = u".bmp") {
  std::u16string path(kFolder);
  path += size;
  path += u'\\';
  path += name;
  path += suffix;
  return path;
}

void AddFile(const std::u16string& path) { platform::fake::System().files[path]; }

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngineForTest();
    SetPanelWindow(kSensor);
    SetOption(OptionId::kSize, 1);
    SetOption(OptionId::kSidebar, 1);
  }

  static std::vector<Op>& Draws() { return platform::fake::System().draws; }
};

TEST_F(RenderTest, FindImageTakesTheFirstFormatInTheSizesFolderOnly) {
  struct Case {
    const char* name;
    int size;
    std::vector<std::u16string> files;
    PanelKind kind;
    bool inverted;
    std::u16string expected;
  } const cases[] = {
      {"PngBeforeBmp",
       1,
       {Image(u"small", u"Caption", u".bmp"), Image(u"small", u"Caption", u".png")},
       PanelKind::kCaption,
       false,
       Image(u"small", u"Caption", u".png")},
      {"BmpBeforeGif",
       2,
       {Image(u"medium", u"LeftAbc", u".gif"), Image(u"medium", u"LeftAbc", u".bmp")},
       PanelKind::kLeftAbc,
       false,
       Image(u"medium", u"LeftAbc", u".bmp")},
      {"Jpeg",
       4,
       {Image(u"finger", u"LetterGrave", u".jpeg")},
       PanelKind::kLetterGrave,
       false,
       Image(u"finger", u"LetterGrave", u".jpeg")},
      {"MediumLooksInMediumOnly",
       2,
       {Image(u"small", u"Caption"), Image(u"large", u"Caption")},
       PanelKind::kCaption,
       false,
       u""},
      {"Inverted",
       3,
       {Image(u"large", u"Caption"), Image(u"large", u"Caption_inv", u".png")},
       PanelKind::kCaption,
       true,
       Image(u"large", u"Caption_inv", u".png")},
      {"NoInvertedImage", 3, {Image(u"large", u"Caption")}, PanelKind::kCaption, true, u""},
      {"NoKind", 1, {Image(u"small", u"Caption")}, PanelKind::kNone, false, u""},
      {"KindOutOfRange", 1, {Image(u"small", u"Caption")}, static_cast<PanelKind>(33), false, u""},
      {"SizeOutOfRange", 5, {Image(u"small", u"Caption")}, PanelKind::kCaption, false, u""},
  };
  for (const Case& c : cases) {
    platform::fake::System().files.clear();
    for (const auto& file : c.files) AddFile(file);
    SetOption(OptionId::kSize, c.size);
    EXPECT_EQ(FindImage(c.kind, c.inverted), c.expected) << c.name;
  }
  EXPECT_TRUE(platform::fake::System().message_boxes.empty());

  platform::fake::System().exe_path.clear();
  EXPECT_EQ(FindImage(PanelKind::kCaption, false), u"");
  ASSERT_EQ(platform::fake::System().message_boxes.size(), 1u);
  EXPECT_EQ(platform::fake::System().message_boxes[0].text, u"Can't find running exe directory.");
  EXPECT_EQ(platform::fake::System().message_boxes[0].caption, u"Quorel");
}

// With "Symbols" 1 or 2 the strip's keys are whole cells, and their own images show them;
// a folder drawn before those images existed keeps working with the half-cell ones.
TEST_F(RenderTest, SymbolStripTakesTheImagesOfItsSymbolsValueWhenTheFolderHasThem) {
  const std::vector<std::u16string> all = {
      Image(u"small", u"SymbolNormal"),  Image(u"small", u"SymbolNormal_inv"),
      Image(u"small", u"SymbolNormal1"), Image(u"small", u"SymbolNormal1_inv"),
      Image(u"small", u"SymbolNormal2"), Image(u"small", u"SymbolNormal2_inv")};
  struct Case {
    const char* name;
    int symbols;
    std::vector<std::u16string> files;
    PanelKind kind;
    std::u16string normal, inverted;
  } const cases[] = {
      {"Digits", 1, all, PanelKind::kSymbolNormal, all[2], all[3]},
      {"Punctuation", 2, all, PanelKind::kSymbolNormal, all[4], all[5]},
      {"HalfCells", 0, all, PanelKind::kSymbolNormal, all[0], all[1]},
      {"StoredOutOfRange", 7, all, PanelKind::kSymbolNormal, all[0], all[1]},
      {"OlderFolder", 1, {all[0], all[1]}, PanelKind::kSymbolNormal, all[0], all[1]},
      // Never the half cells' pressed image under the whole cells.
      {"NoInvertedOfItsOwn",
       2,
       {all[0], all[1], Image(u"small", u"SymbolNormal2", u".png")},
       PanelKind::kSymbolNormal,
       Image(u"small", u"SymbolNormal2", u".png"),
       u""},
      {"OtherStrips",
       1,
       {Image(u"small", u"SymbolAcute"), all[2]},
       PanelKind::kSymbolAcute,
       Image(u"small", u"SymbolAcute"),
       u""},
  };
  for (const Case& c : cases) {
    platform::fake::System().files.clear();
    for (const auto& file : c.files) AddFile(file);
    SetOption(OptionId::kSymbols, c.symbols);
    EXPECT_EQ(FindImage(c.kind, false), c.normal) << c.name;
    EXPECT_EQ(FindImage(c.kind, true), c.inverted) << c.name;
  }

  // The panel build looks its images up the same way.
  platform::fake::System().files.clear();
  for (const auto& file : all) AddFile(file);
  SetOption(OptionId::kSymbols, 1);
  RefreshPanels(true);
  const Panel* strip = PanelRecord(SlotRecord(kSymbolSlot));
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->cells, u"1234567890");
  EXPECT_EQ(strip->image, all[2]);
  EXPECT_EQ(strip->image_inverted, all[3]);
}

TEST_F(RenderTest, PaintAllDrawsEveryPanelThenEachHighlightedKeyOnceIntoThePaint) {
  for (auto name : {u"Caption", u"LetterNormal", u"SymbolNormal", u"Right123", u"LeftAccents",
                    u"LeftSidebarArrows", u"LeftAccents_inv"}) {
    AddFile(Image(u"small", name));
  }
  RefreshPanels(true);
  HighlightKey(MakeCellId(12, kMainSlot));      // the left wide space key
  HighlightKey(MakeCellId(5, kSideBlockSlot));  // the wide shift key
  Draws().clear();

  PaintAll(kPaint);
  EXPECT_EQ(CurrentPaintContext(), 0u);
  const std::vector<Op> expected = {
      {Op::kCopy, Image(u"small", u"Caption"), kSensor, kPaint, {0, 0, 240, 18}, 0, 0},
      {Op::kCopy, Image(u"small", u"LetterNormal"), kSensor, kPaint, {55, 18, 176, 99}, 0, 0},
      {Op::kCopy, Image(u"small", u"SymbolNormal"), kSensor, kPaint, {176, 18, 209, 99}, 0, 0},
      {Op::kCopy, Image(u"small", u"Right123"), kSensor, kPaint, {209, 18, 240, 99}, 0, 0},
      {Op::kCopy, Image(u"small", u"LeftAccents"), kSensor, kPaint, {22, 18, 55, 99}, 0, 0},
      {Op::kCopy, Image(u"small", u"LeftSidebarArrows"), kSensor, kPaint, {0, 18, 22, 99}, 0, 0},
      {Op::kInvert, u"", kSensor, kPaint, {56, 51, 95, 66}, 0, 0},
      {Op::kCopy, Image(u"small", u"LeftAccents_inv"), kSensor, kPaint, {22, 51, 55, 67}, 0, 33},
  };
  EXPECT_EQ(Draws(), expected);
}

TEST_F(RenderTest, DeferredShiftingShowsCapitalsAtTheNextRepaint) {
  AddFile(Image(u"small", u"LetterNormal"));
  AddFile(Image(u"small", u"CapsNormal"));
  SetOption(OptionId::kShifting, 2);
  RefreshPanels(true);
  State().shift = 1;
  RefreshPanels(false);
  Draws().clear();
  PaintAll(kPaint);
  ASSERT_EQ(Draws().size(), 1u);
  EXPECT_EQ(Draws()[0].image, Image(u"small", u"CapsNormal"));
}

TEST_F(RenderTest, KeyFromAlternativeLooksPressedEitherWay) {
  struct Case {
    const char* name;
    bool capitals_inverted, letters_inverted, show;
    std::vector<Op> expected;
  };
  const platform::Rect outer{75, 18, 95, 35}, inner{76, 19, 95, 34};  // the 'b' key
  const auto copy = [&](std::u16string_view name) {
    return Op{Op::kCopy, Image(u"small", name), kSensor, 0, outer, 20, 0};
  };
  const Op invert{Op::kInvert, u"", kSensor, 0, inner, 0, 0};
  const Case cases[] = {
      {"CapitalFromInverted", true, false, true, {copy(u"CapsNormal_inv")}},
      {"CapitalInvertedByHand", false, true, true, {copy(u"CapsNormal"), invert}},
      {"OwnFromInverted", true, true, false, {copy(u"LetterNormal_inv")}},
      {"OwnInvertedByHand", true, false, false, {copy(u"LetterNormal"), invert}},
  };
  for (const Case& c : cases) {
    platform::fake::System().files.clear();
    AddFile(Image(u"small", u"LetterNormal"));
    AddFile(Image(u"small", u"CapsNormal"));
    if (c.capitals_inverted) AddFile(Image(u"small", u"CapsNormal_inv"));
    if (c.letters_inverted) AddFile(Image(u"small", u"LetterNormal_inv"));
    RefreshPanels(true);
    Draws().clear();
    DrawKeyFromAlternative(MakeCellId(1, kMainSlot), c.show);
    EXPECT_EQ(Draws(), c.expected) << c.name;
  }

  // Panels without capitals, and ids naming nothing, draw nothing.
  Draws().clear();
  DrawKeyFromAlternative(MakeCellId(0, kSymbolSlot), true);
  DrawKeyFromAlternative(kNoCell, true);
  DrawKeyFromAlternative(MakeCellId(40, kMainSlot), false);
  State().caps_lock = 1;
  RefreshPanels(false);
  Draws().clear();
  DrawKeyFromAlternative(MakeCellId(1, kMainSlot), true);
  EXPECT_TRUE(Draws().empty());
}

TEST_F(RenderTest, SlidesFontFollowsTheStoredSettingsElseTahomaNineBold) {
  struct Case {
    const char* name;
    int dpi;
    const char16_t* face;  // null: no font name stored
    int points, bold, italic;
    platform::FontDescription expected;
  } const cases[] = {
      {"TwelveAt96", 96, u"Verdana", 12, 0, 0, {-16, 400, false, u"Verdana"}},
      {"NineAt120", 120, u"Verdana", 9, 1, 1, {-15, 700, true, u"Verdana"}},
      {"TenAt96RoundsDown", 96, u"Arial", 10, 0, 0, {-13, 400, false, u"Arial"}},
      {"ItalicIsOneByte", 96, u"Arial", 10, 0, 0x100, {-13, 400, false, u"Arial"}},
      {"NoNameStored", 96, nullptr, 30, 0, 1, {-12, 700, false, u"Tahoma"}},
  };
  for (const Case& c : cases) {
    ResetEngineForTest();
    SetDisplayDpi(c.dpi);  // the list is set at the keyboard's own scale
    if (c.face != nullptr) SetStringSetting(StringSetting::kPreviewFontName, c.face);
    SetOption(OptionId::kPreviewFontSize, c.points);
    SetOption(OptionId::kPreviewFontBold, c.bold);
    SetOption(OptionId::kPreviewFontItalic, c.italic);
    const platform::FontDescription got = SlidesFontDescription(DisplayDpi());
    EXPECT_EQ(got.height, c.expected.height) << c.name;
    EXPECT_EQ(got.weight, c.expected.weight) << c.name;
    EXPECT_EQ(got.italic, c.expected.italic) << c.name;
    EXPECT_EQ(got.face, c.expected.face) << c.name;
  }
}

TEST_F(RenderTest, SlidesFontFallsBackToTahomaWhenTheStoredFaceCannotBeMade) {
  SetStringSetting(StringSetting::kPreviewFontName, u"Nowhere Sans");
  SetOption(OptionId::kPreviewFontSize, 12);
  platform::fake::System().missing_font_faces.insert(u"Nowhere Sans");
  EXPECT_NE(CreateSlidesFont(), 0u);
  ASSERT_EQ(platform::fake::System().fonts_created.size(), 1u);
  EXPECT_EQ(platform::fake::System().fonts_created[0].face, u"Tahoma");
  EXPECT_EQ(platform::fake::System().fonts_created[0].height, -12);

  platform::fake::System().missing_font_faces.clear();
  CreateSlidesFont();
  EXPECT_EQ(platform::fake::System().fonts_created.back().face, u"Nowhere Sans");
}

}  // namespace
}  // namespace quorel::keyboard
