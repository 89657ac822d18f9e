#include "tools/panel_art/panel_art.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "keyboard/panels/keyboard_state.h"
#include "keyboard/panels/panel_drawing.h"
#include "library/options/options.h"
#include "platform/fake/fake_system.h"
#include "tools/panel_art/bitmap.h"
#include "tools/panel_art/png.h"
#include "tools/panel_art/typeface.h"

namespace quorel::art {
namespace {

using keyboard::PanelKind;

int Luma(Color c) { return (299 * c.r + 587 * c.g + 114 * c.b) / 1000; }

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  std::vector<std::uint8_t> bytes(file ? static_cast<std::size_t>(file.tellg()) : 0);
  file.seekg(0);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// One run of the generator for the whole suite, into a folder of its own.
class ArtworkTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    out_ = std::filesystem::temp_directory_path() /
           ("quorel_panel_art_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(out_);
    std::string error;
    faces_ = Typefaces::Open(QUOREL_DEJAVU_DIR, &error).release();
    ASSERT_NE(faces_, nullptr) << error;
    // 100 % and one scale between: every scale is drawn by the same code.
    ASSERT_TRUE(WriteArtwork(out_, *faces_, &error, kScales)) << error;
  }
  static void TearDownTestSuite() {
    std::filesystem::remove_all(out_);
    delete faces_;
    faces_ = nullptr;
  }

  static Image Read(int size, PanelKind kind, bool pressed = false, int symbols = 0) {
    std::optional<Image> image = ReadPng(ImagePath(out_, size, kind, pressed, symbols));
    return image ? *image : Image();
  }

  static constexpr int kScales[] = {96, 144};
  static inline std::filesystem::path out_;
  static inline Typefaces* faces_ = nullptr;
};

TEST(BmpTest, RowsAreStoredBottomUpInBlueGreenRedWithPadding) {
  Image image(3, 2);
  image.Set(0, 0, {1, 2, 3});
  image.Set(0, 1, {4, 5, 6});
  const auto path = std::filesystem::temp_directory_path() /
                    ("quorel_bmp_test_" + std::to_string(::getpid()) + ".bmp");
  ASSERT_TRUE(WriteBmp(path, image));
  const std::vector<std::uint8_t> bytes = FileBytes(path);
  std::filesystem::remove(path);
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);  // 9 bytes of pixels padded to 12 per row
  EXPECT_EQ(bytes[54], 6);                // the bottom row comes first, blue first
  EXPECT_EQ(bytes[56], 4);
  EXPECT_EQ(bytes[54 + 12], 3);
  EXPECT_EQ(bytes[54 + 14], 1);
}

TEST(PngTest, WhatIsWrittenReadsBackPixelForPixel) {
  Image image(37, 5, {0xd0, 0xd5, 0xdb});
  for (int x = 0; x < 37; ++x) image.Set(x, x % 5, {static_cast<std::uint8_t>(x * 7), 0x80, 0xff});
  const auto path = std::filesystem::temp_directory_path() /
                    ("quorel_png_test_" + std::to_string(::getpid()) + ".png");
  ASSERT_TRUE(WritePng(path, image));
  const std::optional<Image> read = ReadPng(path);
  std::filesystem::remove(path);
  ASSERT_TRUE(read.has_value());
  ASSERT_EQ(read->width(), 37);
  ASSERT_EQ(read->height(), 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 37; ++x) ASSERT_EQ(read->At(x, y), image.At(x, y)) << x << "," << y;
  }
}

TEST_F(ArtworkTest, EveryImageIsAPaletteOfItsPanelsSizeAndTheCaptionsFillTheClientArea) {
  for (int size = 1; size <= kSizeCount; ++size) {
    for (const DrawnVariant& variant : DrawnVariants()) {
      const keyboard::Slot slot = keyboard::SlotOf(variant.kind);
      const keyboard::SlotShape shape = keyboard::ShapeOf(size, slot);
      for (bool pressed : {false, true}) {
        const auto path = ImagePath(out_, size, variant.kind, pressed, variant.symbols);
        SCOPED_TRACE(path.string());
        const std::vector<std::uint8_t> bytes = FileBytes(path);
        ASSERT_GE(bytes.size(), 33u);
        EXPECT_EQ(bytes[25], 3);  // colour type: a palette
        const Image image = Read(size, variant.kind, pressed, variant.symbols);
        EXPECT_EQ(image.width(), shape.columns.back().end + 1);
        EXPECT_EQ(image.height(), shape.rows.back().end + 1);
      }
    }
    EXPECT_EQ(Read(size, PanelKind::kCaption).width(), keyboard::KeyboardClientSize(size).width);
    EXPECT_EQ(
        Read(size, PanelKind::kCaption).height() + Read(size, PanelKind::kLetterNormal).height(),
        keyboard::ClientHeight(size));
  }
}

// A palette of 256 colours keeps the drawn art within a step or two of every channel.
TEST_F(ArtworkTest, ThePaletteKeepsEveryPixelCloseToTheDrawnOne) {
  for (PanelKind kind : {PanelKind::kLetterNormal, PanelKind::kCapsCircum, PanelKind::kRightArrows}) {
    for (bool pressed : {false, true}) {
      const PanelArt drawn = DrawPanel(*faces_, 4, kind, 0, 144);
      const std::optional<Image> read = ReadPng(ImagePath(out_, 4, kind, pressed, 0, 144));
      ASSERT_TRUE(read.has_value());
      const Image& image = pressed ? drawn.pressed : drawn.normal;
      int worst = 0;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const Color a = image.At(x, y);
          const Color b = read->At(x, y);
          worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        }
      }
      EXPECT_LE(worst, 6) << static_cast<int>(kind) << (pressed ? " pressed" : "");
    }
  }
}

// At 150 % every key lies where the keyboard shows it at that scale: its outer box begins
// on a border pixel, its face is no border, and the image is the panel's size scaled.
TEST_F(ArtworkTest, ScaledArtIsAPngWhoseKeysLieWhereTheKeyboardPutsThem) {
  constexpr int kDpi = 144;
  for (int size = 1; size <= kSizeCount; ++size) {
    for (PanelKind kind : {PanelKind::kLetterNormal, PanelKind::kCaption, PanelKind::kRightAbc}) {
      const std::optional<Image> image = ReadPng(ImagePath(out_, size, kind, false, 0, kDpi));
      ASSERT_TRUE(image.has_value()) << size << " " << static_cast<int>(kind);
      const PanelLayout layout = LayOutPanel(size, kind);
      ASSERT_EQ(image->width(), keyboard::DeviceOf(layout.width, kDpi));
      ASSERT_EQ(image->height(), keyboard::DeviceOf(layout.height, kDpi));
      if (kind == PanelKind::kCaption) continue;  // its keys have no border
      for (const KeyBox& key : layout.keys) {
        const int left = keyboard::DeviceOf(key.outer.left, kDpi);
        const int top = keyboard::DeviceOf(key.outer.top, kDpi);
        const Color corner = image->At(left, top);
        EXPECT_TRUE(Luma(corner) < 225) << "key " << static_cast<int>(key.entry) << " at " << left;
        const int face_x = keyboard::DeviceOf(key.face.left, kDpi) + 1;
        const int face_y = keyboard::DeviceOf(key.face.top, kDpi) + 1;
        EXPECT_NE(image->At(face_x, face_y), corner) << "key " << static_cast<int>(key.entry);
      }
    }
  }
}

// Across the boundary of two neighbouring cells, on the first pixel row (or column) of their
// faces, where no legend is ever set.
struct Boundary {
  Color before, after;  // the last pixel of the one cell, the first of the next
  Color face;           // plain face of the first cell
};

Boundary Across(const Image& image, const keyboard::SlotShape& shape, int row, int column,
                bool horizontal) {
  const auto& rows = shape.rows;
  const auto& columns = shape.columns;
  const auto r = static_cast<std::size_t>(row);
  const auto c = static_cast<std::size_t>(column);
  if (horizontal) {
    const int y = rows[r].start + (shape.row_insets ? shape.row_insets[r].before : 0);
    return {image.At(columns[c].end, y), image.At(columns[c + 1].start, y),
            image.At(columns[c].end - 3, y)};
  }
  const int x = columns[c].start + (shape.column_insets ? shape.column_insets[c].before : 0);
  const int face_top = rows[r].start + (shape.row_insets ? shape.row_insets[r].before : 0);
  return {image.At(x, rows[r].end), image.At(x, rows[r + 1].start), image.At(x, face_top)};
}

TEST_F(ArtworkTest, GridLinesRunBetweenDifferentKeysAndNeverThroughAMergedOne) {
  int merged = 0;
  for (int size = 1; size <= kSizeCount; ++size) {
    for (const DrawnVariant& variant : DrawnVariants()) {
      if (variant.kind == PanelKind::kCaption) continue;
      const keyboard::Slot slot = keyboard::SlotOf(variant.kind);
      const keyboard::SlotShape shape = keyboard::ShapeOf(size, slot);
      const std::u16string_view cells = keyboard::CellsOf(variant.kind, variant.symbols).cells;
      const int rows = static_cast<int>(shape.rows.size());
      const int columns = static_cast<int>(shape.columns.size());
      {
        // The pressed images share these borders; another test holds them to that.
        const Image image = Read(size, variant.kind, false, variant.symbols);
        ASSERT_GT(image.width(), 0);
        for (int r = 0; r < rows; ++r) {
          for (int c = 0; c < columns; ++c) {
            const char16_t entry = cells[static_cast<std::size_t>(r * columns + c)];
            for (bool horizontal : {true, false}) {
              if (horizontal ? c + 1 >= columns : r + 1 >= rows) continue;
              const char16_t next = cells[static_cast<std::size_t>(
                  horizontal ? r * columns + c + 1 : (r + 1) * columns + c)];
              const Boundary b = Across(image, shape, r, c, horizontal);
              SCOPED_TRACE(VariantName(variant.kind, variant.symbols) + " size " +
                           std::to_string(size) + " cell " + std::to_string(r * columns + c) +
                           (horizontal ? " right" : " down"));
              const int face = Luma(b.face);
              const int darkest = std::min(Luma(b.before), Luma(b.after));
              if (entry == next) {
                ++merged;
                EXPECT_GT(darkest, face - 20);
              } else {
                EXPECT_LT(darkest, face - 60);
              }
            }
          }
        }
      }
    }
  }
  EXPECT_GT(merged, 0);
}

TEST_F(ArtworkTest, PressedImagesChangeEveryFaceAndKeepEveryBorder) {
  for (int size = 1; size <= kSizeCount; ++size) {
    for (const DrawnVariant& variant : DrawnVariants()) {
      SCOPED_TRACE(VariantName(variant.kind, variant.symbols) + " size " + std::to_string(size));
      const PanelLayout layout = LayOutPanel(size, variant.kind, variant.symbols);
      const Image normal = Read(size, variant.kind, false, variant.symbols);
      const Image pressed = Read(size, variant.kind, true, variant.symbols);
      ASSERT_FALSE(layout.keys.empty());
      // Everything off the faces is border, which a pressed key must not disturb.
      Image off_faces = pressed;
      for (const KeyBox& key : layout.keys) off_faces.Fill(key.face, {});
      Image expected = normal;
      for (const KeyBox& key : layout.keys) expected.Fill(key.face, {});
      for (int y = 0; y < layout.height; ++y) {
        for (int x = 0; x < layout.width; ++x) {
          ASSERT_EQ(off_faces.At(x, y), expected.At(x, y)) << x << "," << y;
        }
      }
      for (const KeyBox& key : layout.keys) {
        const int x = key.face.right;
        const int y = key.face.top + key.face.Height() / 2;
        EXPECT_GT(std::abs(Luma(normal.At(x, y)) - Luma(pressed.At(x, y))), 40);
      }
    }
  }
}

// Pixels of a face that stand out from the plain face of their own row.
int InkIn(const Image& image, const Box& box) {
  int ink = 0;
  for (int y = box.top; y <= box.bottom; ++y) {
    const int paper = Luma(image.At(box.right, y));
    for (int x = box.left; x <= box.right; ++x) ink += std::abs(Luma(image.At(x, y)) - paper) > 60;
  }
  return ink;
}

TEST_F(ArtworkTest, EveryKeyShowsSomethingNormalAndPressed) {
  for (int size = 1; size <= kSizeCount; ++size) {
    for (const DrawnVariant& variant : DrawnVariants()) {
      const PanelLayout layout = LayOutPanel(size, variant.kind, variant.symbols);
      for (bool pressed : {false, true}) {
        const Image image = Read(size, variant.kind, pressed, variant.symbols);
        for (const KeyBox& key : layout.keys) {
          EXPECT_GE(InkIn(image, key.face), 3) << VariantName(variant.kind, variant.symbols)
                                               << " size " << size << " entry " << int(key.entry);
        }
      }
    }
  }
}

TEST_F(ArtworkTest, HalfCellsShowTheMarkAboveTheDiagonalAndTheDigitBelow) {
  for (int size = 1; size <= kSizeCount; ++size) {
    const PanelLayout layout = LayOutPanel(size, PanelKind::kSymbolNormal);
    const Image image = Read(size, PanelKind::kSymbolNormal);
    ASSERT_EQ(layout.keys.size(), 10u);
    for (const KeyBox& key : layout.keys) {
      SCOPED_TRACE("size " + std::to_string(size) + " digit " + std::to_string(key.half_entry));
      ASSERT_NE(key.half_entry, 0);
      const int row_end = layout.shape.rows[static_cast<std::size_t>(key.first_row)].end;
      const int column_start =
          layout.shape.columns[static_cast<std::size_t>(key.first_column)].start;
      int above = 0, below = 0;
      for (int y = key.face.top; y <= key.face.bottom; ++y) {
        for (int x = key.face.left; x <= key.face.right; ++x) {
          if (Luma(image.At(x, y)) > 120) continue;
          // The hit test gives the diagonal itself to the digit.
          (x - column_start >= row_end - y ? below : above) += 1;
        }
      }
      EXPECT_GT(above, 0);
      EXPECT_GT(below, 0);
      const int y = key.face.top + key.face.Height() / 2;
      EXPECT_NE(image.At(column_start + row_end - y, y), image.At(key.face.left, y));
    }
  }
}

// With "Symbols" 1 or 2 every cell of the strip is one key: no diagonal, one legend. The
// punctuation-only strip types what the number mode's punctuation strip types, so it looks
// the same.
TEST_F(ArtworkTest, WholeCellSymbolStripsShowOneLegendPerCell) {
  for (int size = 1; size <= kSizeCount; ++size) {
    SCOPED_TRACE("size " + std::to_string(size));
    const Image half_cells = Read(size, PanelKind::kSymbolNormal);
    for (int symbols : {1, 2}) {
      const PanelLayout layout = LayOutPanel(size, PanelKind::kSymbolNormal, symbols);
      ASSERT_EQ(layout.keys.size(), 10u);
      for (bool pressed : {false, true}) {
        const Image image = Read(size, PanelKind::kSymbolNormal, pressed, symbols);
        ASSERT_GT(image.width(), 0);
        for (const KeyBox& key : layout.keys) {
          EXPECT_EQ(key.half_entry, 0);
          // Near the top right of the face, where the half cells' diagonal runs and no
          // legend reaches.
          const int y = key.face.top + 1;
          const int x = layout.shape.columns[static_cast<std::size_t>(key.first_column)].start +
                        layout.shape.rows[static_cast<std::size_t>(key.first_row)].end - y;
          EXPECT_EQ(image.At(x, y), image.At(key.face.left, y)) << symbols << " " << pressed;
          if (!pressed) {
            EXPECT_NE(half_cells.At(x, y), half_cells.At(key.face.left, y));
          }
        }
      }
    }
    for (bool pressed : {false, true}) {
      const Image punctuation = Read(size, PanelKind::kSymbolPunctuation, pressed);
      const Image whole = Read(size, PanelKind::kSymbolNormal, pressed, 2);
      bool same = punctuation.width() == whole.width() && punctuation.height() == whole.height();
      for (int y = 0; same && y < whole.height(); ++y) {
        for (int x = 0; same && x < whole.width(); ++x)
          same = punctuation.At(x, y) == whole.At(x, y);
      }
      EXPECT_TRUE(same) << pressed;
    }
  }
}

// The keyboard inverts or copies exactly these rectangles, so the art must put its borders
// and faces where the keyboard's own panels say its keys are.
TEST(ArtworkGeometryTest, KeyBoxesAreTheKeyboardsOwnKeyRectangles) {
  std::set<std::pair<PanelKind, int>> seen;
  for (int size = 1; size <= kSizeCount; ++size) {
    for (int state = 0; state < 2 * 2 * 2 * 2 * 2 * 5 * 2 * 3; ++state) {
      platform::fake::Reset();
      ResetOptionsForTest();
      keyboard::ResetPanelsForTest();
      SetOption(OptionId::kSize, size);
      const int symbols = state / 320;
      SetOption(OptionId::kSymbols, symbols);
      SetOption(OptionId::kSidebar, 1 + state % 2);
      SetOption(OptionId::kArrows, state / 2 % 2);
      keyboard::KeyboardState& keys = keyboard::State();
      keys = {};
      keys.number_mode = state / 4 % 2;
      keys.shift = state / 8 % 2;
      keys.caps_lock = state / 16 % 2;
      keys.accent_mode = state / 32 % 5;
      SetOption(OptionId::kNumbers, 1 + state / 160 % 2);
      keyboard::RefreshPanels(true);
      for (int record = 0; record < keyboard::kPanelRecords; ++record) {
        const keyboard::Panel* panel = keyboard::PanelRecord(record);
        if (panel == nullptr) continue;
        // The image the keyboard looks for first.
        const int drawn = keyboard::OptionImageName(panel->kind, symbols).empty() ? 0 : symbols;
        seen.insert({panel->kind, drawn});
        const PanelLayout layout = LayOutPanel(size, panel->kind, drawn);
        ASSERT_EQ(layout.width, panel->right - panel->left + 1);
        ASSERT_EQ(layout.height, panel->bottom - panel->top + 1);
        for (const KeyBox& key : layout.keys) {
          const int cell = key.first_row * panel->column_count + key.first_column;
          keyboard::KeyRects rects;
          ASSERT_TRUE(keyboard::GetKeyRects(keyboard::MakeCellId(cell, record), &rects));
          SCOPED_TRACE(VariantName(panel->kind, drawn) + " cell " + std::to_string(cell));
          // The image shows what the key types.
          EXPECT_EQ(key.entry, panel->cells[static_cast<std::size_t>(cell)]);
          EXPECT_EQ(key.half_entry,
                    panel->has_half_cells ? panel->half_cells[static_cast<std::size_t>(cell)] : 0);
          auto client = [&](const Box& box) {
            return platform::Rect{panel->left + box.left, panel->top + box.top,
                                  panel->left + box.right + 1, panel->top + box.bottom + 1};
          };
          EXPECT_EQ(client(key.outer), rects.outer);
          EXPECT_EQ(client(key.face), rects.inner);
          EXPECT_EQ(key.outer.left, rects.source_x);
          EXPECT_EQ(key.outer.top, rects.source_y);
        }
      }
    }
  }
  EXPECT_EQ(seen.size(), DrawnVariants().size());
}

}  // namespace
}  // namespace quorel::art
