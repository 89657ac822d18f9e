#include "tools/panel_art/tab_pictures.h"

#include <cmath>
#include <string>

#include "keyboard/panels/panels.h"
#include "tools/panel_art/panel_art.h"

namespace quorel::art {

namespace {

constexpr Color kBackground{0xf4, 0xf6, 0xf8};
constexpr Color kInk{0x1b, 0x21, 0x28};
constexpr Color kMuted{0x76, 0x80, 0x8c};
constexpr Color kLine{0x8c, 0x94, 0x9e};
constexpr Color kAccent{0x2b, 0x66, 0xbf};
constexpr int kLabelPixels = 12;
constexpr int kLabelBaseline = 14;

const char32_t* const kLabels[4] = {U"Slides by direction", U"Letter slides",
                                    U"Special key slides", U"Glossary"};

void Centred(const Typefaces& faces, Image& image, Weight weight, int pixels,
             std::u32string_view text, int x, int y, Color color) {
  const Ink ink = faces.Measure(weight, pixels, text);
  const int cap = faces.CapHeight(weight, pixels);
  faces.Draw(image, weight, pixels, text, x - ink.advance / 2, y + cap / 2, color);
}

// A line of single pixels from the centre outwards.
void Ray(Image& image, int x0, int y0, double dx, double dy, int from, int to, Color color) {
  for (int step = from; step <= to; ++step) {
    image.Set(x0 + static_cast<int>(std::lround(dx * step)),
              y0 + static_cast<int>(std::lround(dy * step)), color);
  }
}

void CompassRose(const Typefaces& faces, Image& image) {
  const char32_t* const names[8] = {U"N", U"NE", U"E", U"SE", U"S", U"SW", U"W", U"NW"};
  const int cx = kTabPictureWidth / 2;
  const int cy = 49;
  for (int i = 0; i < 8; ++i) {
    const double angle = i * 3.14159265358979 / 4;
    const double dx = std::sin(angle);
    const double dy = -std::cos(angle);
    Ray(image, cx, cy, dx, dy, 4, i % 2 == 0 ? 14 : 11, i == 0 ? kAccent : kLine);
    const double reach = 22;
    Centred(faces, image, Weight::kBold, 9, names[i],
            cx + static_cast<int>(std::lround(dx * reach * 1.7)),
            cy + static_cast<int>(std::lround(dy * reach)), i == 0 ? kAccent : kInk);
  }
  image.Fill({cx - 1, cy - 1, cx + 1, cy + 1}, kInk);
}

// A piece of a drawn panel, its top-left corner at (x, y) of the panel, pasted at `at`.
void PanelPiece(const Typefaces& faces, Image& image, keyboard::PanelKind kind, int x, int y,
                int at = 4, int width = kTabPictureWidth - 8) {
  const PanelArt art = DrawPanel(faces, 2, kind);
  const int height = kTabPictureHeight - 26;
  Image piece(width, height, kBackground);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      if (x + column < art.normal.width() && y + row < art.normal.height()) {
        piece.Set(column, row, art.normal.At(x + column, y + row));
      }
    }
  }
  image.Paste(piece, at, 22);
}

void SampleShortForms(const Typefaces& faces, Image& image) {
  const char32_t* const forms[3][2] = {
      {U"btw", U"by the way"}, {U"asap", U"as soon as we can"}, {U"fyi", U"for your info"}};
  for (int i = 0; i < 3; ++i) {
    const int baseline = 38 + i * 17;
    faces.Draw(image, Weight::kBold, 10, forms[i][0], 8, baseline, kAccent);
    faces.Draw(image, Weight::kRegular, 10, U"\u2192", 40, baseline, kMuted);
    faces.Draw(image, Weight::kRegular, 10, forms[i][1], 54, baseline, kInk);
  }
}

}  // namespace

Image DrawTabPicture(const Typefaces& faces, int tab) {
  Image image(kTabPictureWidth, kTabPictureHeight, kBackground);
  faces.Draw(image, Weight::kBold, kLabelPixels, kLabels[tab], 6, kLabelBaseline, kInk);
  switch (tab) {
    case 0:
      CompassRose(faces, image);
      break;
    case 1:
      PanelPiece(faces, image, keyboard::PanelKind::kLetterNormal, 0, 0);
      break;
    case 2:
      PanelPiece(faces, image, keyboard::PanelKind::kLeft123, 0, 0, 4, 52);
      PanelPiece(faces, image, keyboard::PanelKind::kRightAbc, 0, 0, 58, 52);
      PanelPiece(faces, image, keyboard::PanelKind::kLeftArrows, 0, 0, 112, 49);
      break;
    default:
      SampleShortForms(faces, image);
      break;
  }
  // A frame in the panels' line colour.
  for (int x = 0; x < kTabPictureWidth; ++x) {
    image.Set(x, 0, kLine);
    image.Set(x, kTabPictureHeight - 1, kLine);
  }
  for (int y = 0; y < kTabPictureHeight; ++y) {
    image.Set(0, y, kLine);
    image.Set(kTabPictureWidth - 1, y, kLine);
  }
  return image;
}

std::filesystem::path TabPicturePath(const std::filesystem::path& out, int tab) {
  return out / "Quorel bitmaps" / "editor" / ("tab" + std::to_string(tab) + ".bmp");
}

bool WriteTabPictures(const std::filesystem::path& out, const Typefaces& faces,
                      std::string* error) {
  std::error_code failed;
  std::filesystem::create_directories(TabPicturePath(out, 0).parent_path(), failed);
  for (int tab = 0; tab < 4; ++tab) {
    const std::filesystem::path path = TabPicturePath(out, tab);
    if (failed || !WriteBmp(path, DrawTabPicture(faces, tab))) {
      if (error != nullptr) *error = "cannot write " + path.string();
      return false;
    }
  }
  return true;
}

}  // namespace quorel::art
