// The keyboard composed from its panel images where the keyboard puts them is the whole
// keyboard as the art generator draws it, at every size and scale: no column between two
// panels left unpainted or shifted, and every pressed key's picture exactly on its key.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/panels/panel_tables.h"
#include "keyboard/panels/panels.h"
#include "library/options/options.h"
#include "platform/fake/fake_system.h"
#include "tools/panel_art/panel_art.h"
#include "tools/panel_art/typeface.h"

namespace quorel::art {
namespace {

constexpr platform::WindowHandle kSensor = 77;

struct Counts {
  int misdrawn_columns = 0;    // columns of the composed keyboard unlike the whole drawing
  int misplaced_inverses = 0;  // pressed keys whose picture misses their key
  int keys = 0;
};

class Composition : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    faces_ = Typefaces::Open(QUOREL_DEJAVU_DIR, &error).release();
    ASSERT_NE(faces_, nullptr) << error;
  }
  static void TearDownTestSuite() {
    delete faces_;
    faces_ = nullptr;
  }

  // The keyboard as it builds its panels on the fake system, with the art's files there.
  static void BuildKeyboard(int size, int sidebar, int dpi) {
    platform::fake::Reset();
    ResetOptionsForTest();
    keyboard::ResetPanelsForTest();
    keyboard::State() = keyboard::KeyboardState();
    SetOption(OptionId::kSize, size);
    SetOption(OptionId::kSidebar, sidebar);
    keyboard::SetDisplayDpi(dpi);
    const std::u16string folder = u"C:\\Program Files\\Quorel\\Quorel bitmaps\\" +
                                  Utf16(std::string(SizeFolder(size))) + u"\\" +
                                  Utf16(std::to_string(dpi * 100 / 96)) + u"\\";
    for (const DrawnVariant& variant : DrawnVariants()) {
      for (const char* end : {".png", "_inv.png"}) {
        platform::fake::System().files[folder + Utf16(VariantName(variant.kind, variant.symbols) + end)] = "art";
      }
    }
    keyboard::SetPanelWindow(kSensor);
    keyboard::RefreshPanels(true);
  }

  static std::u16string Utf16(const std::string& text) { return {text.begin(), text.end()}; }

  // The drawn images of the variant an image path names.
  const PanelArt& ArtOf(const std::u16string& path, int size, int dpi, bool* pressed) {
    std::u16string name = path.substr(path.rfind(u'\\') + 1);
    name.resize(name.size() - 4);  // ".png"
    *pressed = name.size() > 4 && name.ends_with(u"_inv");
    if (*pressed) name.resize(name.size() - 4);
    for (const DrawnVariant& variant : DrawnVariants()) {
      if (Utf16(VariantName(variant.kind, variant.symbols)) != name) continue;
      auto [at, added] = art_.try_emplace(name);
      if (added) at->second = DrawPanel(*faces_, size, variant.kind, variant.symbols, dpi);
      return at->second;
    }
    ADD_FAILURE() << "no art named " << std::string(name.begin(), name.end());
    return art_.begin()->second;
  }

  // Replays what the keyboard drew onto a window of its client size.
  Image Replay(int size, int dpi, Image canvas) {
    for (const platform::fake::DrawOperation& draw : platform::fake::System().draws) {
      if (draw.kind != platform::fake::DrawOperation::kCopy) continue;
      bool pressed = false;
      const PanelArt& art = ArtOf(draw.image, size, dpi, &pressed);
      const Image& source = pressed ? art.pressed : art.normal;
      for (int y = draw.target.top; y < draw.target.bottom; ++y) {
        for (int x = draw.target.left; x < draw.target.right; ++x) {
          const int sx = draw.source_x + x - draw.target.left;
          const int sy = draw.source_y + y - draw.target.top;
          // Past the image's edge nothing is copied: a hole in the window.
          const bool inside = sx < source.width() && sy < source.height();
          canvas.Set(x, y, inside ? source.At(sx, sy) : Color{255, 0, 255});
        }
      }
    }
    return canvas;
  }

  Counts Compare(int size, int sidebar, int dpi) {
    art_.clear();
    BuildKeyboard(size, sidebar, dpi);
    const Image whole = DrawKeyboard(*faces_, size, sidebar, dpi, PanelsShown(), false);
    const Image composed = Replay(size, dpi, Image(whole.width(), whole.height(), GutterColor()));
    Counts counts;
    for (int x = 0; x < whole.width(); ++x) {
      for (int y = 0; y < whole.height(); ++y) {
        const Color a = whole.At(x, y);
        const Color b = composed.At(x, y);
        if (a.r != b.r || a.g != b.g || a.b != b.b) {
          ++counts.misdrawn_columns;
          break;
        }
      }
    }
    // Each key pressed alone: its picture is the pressed drawing's, where the key is.
    const Image pressed_whole = DrawKeyboard(*faces_, size, sidebar, dpi, PanelsShown(), true);
    for (int record = 0; record < keyboard::kPanelRecords; ++record) {
      const keyboard::Panel* panel = keyboard::PanelRecord(record);
      if (panel == nullptr || panel->image_inverted.empty()) continue;
      for (int cell = 0; cell < panel->row_count * panel->column_count; ++cell) {
        keyboard::KeyRects rects;
        if (!keyboard::GetKeyRects(keyboard::MakeCellId(cell, record), &rects)) continue;
        platform::fake::System().draws.clear();
        keyboard::HighlightKey(keyboard::MakeCellId(cell, record));
        ++counts.keys;
        const Image drawn = Replay(size, dpi, composed);
        bool placed = true;
        const platform::Rect target = platform::fake::System().draws.empty()
                                          ? platform::Rect{}
                                          : platform::fake::System().draws.back().target;
        for (int y = target.top; y < target.bottom && placed; ++y) {
          for (int x = target.left; x < target.right && placed; ++x) {
            const Color a = pressed_whole.At(x, y);
            const Color b = drawn.At(x, y);
            placed = a.r == b.r && a.g == b.g && a.b == b.b;
          }
        }
        if (!placed || target.right <= target.left) ++counts.misplaced_inverses;
        keyboard::UnhighlightKey(keyboard::MakeCellId(cell, record));
      }
    }
    return counts;
  }

  // The variant each slot shows, as the keyboard chooses them.
  static std::array<DrawnVariant, keyboard::kSlotCount> PanelsShown() {
    std::array<DrawnVariant, keyboard::kSlotCount> shown{};
    const auto kinds = keyboard::VariantsShown();
    for (std::size_t slot = 0; slot < shown.size(); ++slot) {
      shown[slot] = {kinds[slot], GetOption(OptionId::kSymbols)};
    }
    return shown;
  }

  static inline Typefaces* faces_ = nullptr;
  std::map<std::u16string, PanelArt> art_;
};

TEST_F(Composition, EveryPanelMeetsTheWholeDrawingAtEverySizeAndScale) {
  for (int size = 1; size <= kSizeCount; ++size) {
    for (int dpi : keyboard::kArtDpis) {
      for (int sidebar : {1, 2}) {
        const Counts counts = Compare(size, sidebar, dpi);
        SCOPED_TRACE(::testing::Message() << "size " << size << " at " << dpi * 100 / 96
                                          << " %, side bar " << sidebar);
        std::printf("size %d at %3d %%, side bar %d: %3d columns misdrawn, %3d of %3d inverses misplaced\n",
                    size, dpi * 100 / 96, sidebar, counts.misdrawn_columns,
                    counts.misplaced_inverses, counts.keys);
        EXPECT_EQ(counts.misdrawn_columns, 0);
        EXPECT_EQ(counts.misplaced_inverses, 0);
        EXPECT_GT(counts.keys, 30);
      }
    }
  }
}

}  // namespace
}  // namespace quorel::art
