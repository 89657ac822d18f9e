#include "tools/panel_art/typeface.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

namespace quorel::art {

// A rendered glyph, kept: the same few hundred glyphs are measured and set again and again.
struct Glyph {
  int left = 0, top = 0;  // of the bitmap, from the pen origin on the baseline (y up)
  int width = 0, rows = 0;
  int advance = 0;
  std::vector<std::uint8_t> coverage;
};

struct Typefaces::Faces {
  FT_Library library = nullptr;
  FT_Face regular = nullptr;
  FT_Face bold = nullptr;
  std::map<std::tuple<Weight, int, char32_t>, Glyph> glyphs;

  ~Faces() {
    if (bold != nullptr) FT_Done_Face(bold);
    if (regular != nullptr) FT_Done_Face(regular);
    if (library != nullptr) FT_Done_FreeType(library);
  }

  FT_Face Of(Weight weight) const { return weight == Weight::kBold ? bold : regular; }

  // Light hinting snaps only vertically: stems stay crisp at the small size without the
  // letter shapes being squeezed sideways. A glyph that fails to render leaves no ink.
  const Glyph& Render(Weight weight, int pixels, char32_t character) {
    const auto key = std::make_tuple(weight, pixels, character);
    if (auto found = glyphs.find(key); found != glyphs.end()) return found->second;
    Glyph& glyph = glyphs[key];
    FT_Face face = Of(weight);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0 ||
        FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
      return glyph;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width * glyph.rows));
    for (int row = 0; row < glyph.rows; ++row) {
      const unsigned char* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
      std::copy(line, line + glyph.width,
                glyph.coverage.begin() + static_cast<std::ptrdiff_t>(row * glyph.width));
    }
    return glyph;
  }
};

Typefaces::Typefaces(std::unique_ptr<Faces> faces) : faces_(std::move(faces)) {}
Typefaces::~Typefaces() = default;

std::unique_ptr<Typefaces> Typefaces::Open(const std::filesystem::path& directory,
                                           std::string* error) {
  auto faces = std::make_unique<Faces>();
  if (FT_Init_FreeType(&faces->library) != 0) {
    if (error != nullptr) *error = "FreeType did not start";
    return nullptr;
  }
  const std::filesystem::path regular = directory / "DejaVuSans.ttf";
  const std::filesystem::path bold = directory / "DejaVuSans-Bold.ttf";
  for (auto [path, face] : {std::pair{&regular, &faces->regular}, std::pair{&bold, &faces->bold}}) {
    if (FT_New_Face(faces->library, path->string().c_str(), 0, face) != 0) {
      if (error != nullptr) *error = "cannot open the font " + path->string();
      return nullptr;
    }
  }
  return std::unique_ptr<Typefaces>(new Typefaces(std::move(faces)));
}

bool Typefaces::Covers(Weight weight, std::u32string_view text) const {
  FT_Face face = faces_->Of(weight);
  return std::all_of(text.begin(), text.end(),
                     [face](char32_t c) { return FT_Get_Char_Index(face, c) != 0; });
}

Ink Typefaces::Measure(Weight weight, int pixels, std::u32string_view text) const {
  Ink ink;
  int pen = 0;
  for (char32_t c : text) {
    const Glyph& glyph = faces_->Render(weight, pixels, c);
    if (glyph.width > 0 && glyph.rows > 0) {
      const Box box{pen + glyph.left, -glyph.top, pen + glyph.left + glyph.width - 1,
                    -glyph.top + glyph.rows - 1};
      if (ink.box.Empty()) {
        ink.box = box;
      } else {
        ink.box = {std::min(ink.box.left, box.left), std::min(ink.box.top, box.top),
                   std::max(ink.box.right, box.right), std::max(ink.box.bottom, box.bottom)};
      }
    }
    pen += glyph.advance;
  }
  ink.advance = pen;
  return ink;
}

int Typefaces::CapHeight(Weight weight, int pixels) const {
  return -Measure(weight, pixels, U"H").box.top;
}

void Typefaces::Draw(Image& image, Weight weight, int pixels, std::u32string_view text, int x,
                     int baseline, Color color) const {
  int pen = x;
  for (char32_t c : text) {
    const Glyph& glyph = faces_->Render(weight, pixels, c);
    for (int row = 0; row < glyph.rows; ++row) {
      for (int column = 0; column < glyph.width; ++column) {
        image.Blend(pen + glyph.left + column, baseline - glyph.top + row, color,
                    glyph.coverage[static_cast<std::size_t>(row * glyph.width + column)]);
      }
    }
    pen += glyph.advance;
  }
}

}  // namespace quorel::art
