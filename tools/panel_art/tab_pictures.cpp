#include "tools/panel_art/tab_pictures.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "keyboard/panels/panels.h"
#include "tools/panel_art/panel_art.h"
#include "tools/panel_art/png.h"

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

// A picture drawn at a scale: positions and type in the design pixels of the 100 %
// picture, each put where keyboard::DeviceOf puts it.
struct Scaled {
  const Typefaces& faces;
  Image& image;
  int dpi;
  int At(int design) const { return keyboard::DeviceOf(design, dpi); }
  int Pixels(int design) const { return std::max(1, static_cast<int>(std::lround(design * dpi / 96.0))); }
  void Text(Weight weight, int pixels, std::u32string_view text, int x, int baseline,
            Color color) const {
    faces.Draw(image, weight, Pixels(pixels), text, At(x), At(baseline), color);
  }
};

void Centred(const Scaled& to, Weight weight, int pixels, std::u32string_view text, int x, int y,
             Color color) {
  const Ink ink = to.faces.Measure(weight, to.Pixels(pixels), text);
  const int cap = to.faces.CapHeight(weight, to.Pixels(pixels));
  to.faces.Draw(to.image, weight, to.Pixels(pixels), text, to.At(x) - ink.advance / 2,
                to.At(y) + cap / 2, color);
}

// A line of single device pixels from the centre outwards.
void Ray(const Scaled& to, int x0, int y0, double dx, double dy, int from, int to_step,
         Color color) {
  const double scale = to.dpi / 96.0;
  for (int step = static_cast<int>(from * scale); step <= static_cast<int>(to_step * scale); ++step) {
    to.image.Set(to.At(x0) + static_cast<int>(std::lround(dx * step)),
                 to.At(y0) + static_cast<int>(std::lround(dy * step)), color);
  }
}

void CompassRose(const Scaled& to) {
  const char32_t* const names[8] = {U"N", U"NE", U"E", U"SE", U"S", U"SW", U"W", U"NW"};
  const int cx = kTabPictureWidth / 2;
  const int cy = 49;
  for (int i = 0; i < 8; ++i) {
    const double angle = i * 3.14159265358979 / 4;
    const double dx = std::sin(angle);
    const double dy = -std::cos(angle);
    Ray(to, cx, cy, dx, dy, 4, i % 2 == 0 ? 14 : 11, i == 0 ? kAccent : kLine);
    const double reach = 22;
    Centred(to, Weight::kBold, 9, names[i], cx + static_cast<int>(std::lround(dx * reach * 1.7)),
            cy + static_cast<int>(std::lround(dy * reach)), i == 0 ? kAccent : kInk);
  }
  to.image.Fill({to.At(cx - 1), to.At(cy - 1), to.At(cx + 2) - 1, to.At(cy + 2) - 1}, kInk);
}

// A piece of a drawn panel, its top-left corner at (x, y) of the panel, pasted at `at`.
void PanelPiece(const Scaled& to, keyboard::PanelKind kind, int x, int y, int at = 4,
                int width = kTabPictureWidth - 8) {
  const PanelArt art = DrawPanel(to.faces, 2, kind, 0, to.dpi);
  const int device_width = to.At(width);
  const int device_height = to.At(kTabPictureHeight - 26);
  Image piece(device_width, device_height, kBackground);
  for (int row = 0; row < device_height; ++row) {
    for (int column = 0; column < device_width; ++column) {
      const int from_x = to.At(x) + column;
      const int from_y = to.At(y) + row;
      if (from_x < art.normal.width() && from_y < art.normal.height()) {
        piece.Set(column, row, art.normal.At(from_x, from_y));
      }
    }
  }
  to.image.Paste(piece, to.At(at), to.At(22));
}

void SampleShortForms(const Scaled& to) {
  const char32_t* const forms[3][2] = {
      {U"btw", U"by the way"}, {U"asap", U"as soon as we can"}, {U"fyi", U"for your info"}};
  for (int i = 0; i < 3; ++i) {
    const int baseline = 38 + i * 17;
    to.Text(Weight::kBold, 10, forms[i][0], 8, baseline, kAccent);
    to.Text(Weight::kRegular, 10, U"\u2192", 40, baseline, kMuted);
    to.Text(Weight::kRegular, 10, forms[i][1], 54, baseline, kInk);
  }
}

}  // namespace

Image DrawTabPicture(const Typefaces& faces, int tab, int dpi) {
  Image image(keyboard::DeviceOf(kTabPictureWidth, dpi), keyboard::DeviceOf(kTabPictureHeight, dpi),
              kBackground);
  const Scaled to{faces, image, dpi};
  to.Text(Weight::kBold, kLabelPixels, kLabels[tab], 6, kLabelBaseline, kInk);
  switch (tab) {
    case 0:
      CompassRose(to);
      break;
    case 1:
      PanelPiece(to, keyboard::PanelKind::kLetterNormal, 0, 0);
      break;
    case 2:
      PanelPiece(to, keyboard::PanelKind::kLeft123, 0, 0, 4, 52);
      PanelPiece(to, keyboard::PanelKind::kRightAbc, 0, 0, 58, 52);
      PanelPiece(to, keyboard::PanelKind::kLeftArrows, 0, 0, 112, 49);
      break;
    default:
      SampleShortForms(to);
      break;
  }
  // A frame in the panels' line colour, one design pixel wide.
  const int right = image.width() - 1;
  const int bottom = image.height() - 1;
  const int line = to.At(1) - 1;
  image.Fill({0, 0, right, line}, kLine);
  image.Fill({0, bottom - line, right, bottom}, kLine);
  image.Fill({0, 0, line, bottom}, kLine);
  image.Fill({right - line, 0, right, bottom}, kLine);
  return image;
}

std::filesystem::path TabPicturePath(const std::filesystem::path& out, int tab, int dpi) {
  return out / "Quorel bitmaps" / "editor" / std::to_string(dpi * 100 / 96) /
         ("tab" + std::to_string(tab) + ".png");
}

bool WriteTabPictures(const std::filesystem::path& out, const Typefaces& faces, std::string* error,
                      std::span<const int> dpis) {
  for (int dpi : dpis) {
    std::error_code failed;
    std::filesystem::create_directories(TabPicturePath(out, 0, dpi).parent_path(), failed);
    for (int tab = 0; tab < 4; ++tab) {
      const std::filesystem::path path = TabPicturePath(out, tab, dpi);
      if (failed || !WritePng(path, DrawTabPicture(faces, tab, dpi))) {
        if (error != nullptr) *error = "cannot write " + path.string();
        return false;
      }
    }
  }
  return true;
}

}  // namespace quorel::art
