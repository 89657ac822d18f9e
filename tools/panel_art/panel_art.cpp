#include "tools/panel_art/panel_art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <system_error>

#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/panel_drawing.h"
#include "tools/panel_art/legends.h"
#include "tools/panel_art/png.h"

namespace quorel::art {

namespace {

using keyboard::PanelKind;

constexpr std::array<std::string_view, kSizeCount> kSizeFolders = {"small", "medium", "large",
                                                                   "finger"};

// Pixel sizes of each legend role, and the free margin inside a key face, per keyboard size.
// The two smaller keyboards set their words bold: at eight to ten pixels the regular strokes
// fade to grey.
struct TypeScale {
  int letter, half, word, icon, mark, stand_in, caption;
  Weight word_weight;
  int padding;
};
constexpr std::array<TypeScale, kSizeCount> kTypeScales = {{
    {12, 9, 8, 11, 22, 8, 10, Weight::kBold, 1},
    {15, 11, 10, 14, 28, 9, 11, Weight::kBold, 2},
    {20, 14, 12, 18, 38, 11, 12, Weight::kRegular, 2},
    {31, 21, 16, 28, 56, 14, 12, Weight::kRegular, 3},
}};

const TypeScale& ScaleOf(int size) {
  return kTypeScales[static_cast<std::size_t>(std::clamp(size, 1, kSizeCount) - 1)];
}

// The type of a size set at a scale: the text is drawn anew at its pixel size there, never
// enlarged from the 100 % art.
TypeScale ScaleOf(int size, int dpi) {
  TypeScale scale = ScaleOf(size);
  for (int* pixels : {&scale.letter, &scale.half, &scale.word, &scale.icon, &scale.mark,
                      &scale.stand_in, &scale.caption}) {
    *pixels = std::max(1, static_cast<int>(std::lround(*pixels * dpi / 96.0)));
  }
  return scale;
}

int PixelsOf(const TypeScale& scale, Role role) {
  switch (role) {
    case Role::kLetter:
      return scale.letter;
    case Role::kHalf:
      return scale.half;
    case Role::kWord:
      return scale.word;
    case Role::kIcon:
      return scale.icon;
    case Role::kMark:
      return scale.mark;
    case Role::kStandIn:
      return scale.stand_in;
    case Role::kCaption:
      return scale.caption;
  }
  return scale.letter;
}

// A calm light theme: pale keys on grey lines, a dark caption, and one blue for pressed.
struct Gradient {
  Color top, bottom;
};
struct Theme {
  Color line{0x8c, 0x94, 0x9e};
  Color gutter{keyboard::kGutter.r, keyboard::kGutter.g, keyboard::kGutter.b};
  Color diagonal{0xb4, 0xbb, 0xc4};
  Gradient character{{0xfb, 0xfc, 0xfd}, {0xec, 0xef, 0xf2}};
  Gradient special{{0xe4, 0xe8, 0xed}, {0xd3, 0xd9, 0xe0}};
  Gradient pressed{{0x3d, 0x7e, 0xdb}, {0x2b, 0x66, 0xbf}};
  Color ink{0x1b, 0x21, 0x28};
  Color special_ink{0x2c, 0x34, 0x3e};
  Color muted_ink{0x76, 0x80, 0x8c};
  Color pressed_ink{0xff, 0xff, 0xff};
  Color pressed_muted_ink{0xd2, 0xe0, 0xf5};
  Color caption{0x2a, 0x2f, 0x37};
  Color caption_separator{0x3b, 0x42, 0x4c};
  Color caption_ink{0xe8, 0xeb, 0xef};
  Color caption_pressed{0x5a, 0x65, 0x73};
  Color close_pressed{0xc9, 0x3a, 0x2e};
  Color grip_light{0x7a, 0x84, 0x90};
  Color grip_shadow{0x17, 0x1a, 0x1f};
};
constexpr Theme kTheme;

Color Mix(Color a, Color b, double t) {
  auto channel = [t](std::uint8_t x, std::uint8_t y) {
    return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
  };
  return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

// A panel's tables drawn at a scale: a box of design pixels of the panel covers the device
// pixels that keyboard::DeviceOf gives them, from the panel's own corner, which lies at
// (origin_x, origin_y) device pixels of the image. The keyboard places a panel's picture and
// its keys by the same rule (keyboard::PanelToDevice), so the art meets its rectangles at
// every scale. Shapes are drawn in design pixels; text and gradients at device pixels.
class Canvas {
 public:
  Canvas(Image& image, int dpi, int origin_x = 0, int origin_y = 0)
      : image_(image), dpi_(dpi), origin_x_(origin_x), origin_y_(origin_y) {}
  Image& image() const { return image_; }
  int dpi() const { return dpi_; }
  int X(int design) const { return origin_x_ + keyboard::DeviceOf(design, dpi_); }
  int Y(int design) const { return origin_y_ + keyboard::DeviceOf(design, dpi_); }
  Box Device(const Box& design) const {
    return {X(design.left), Y(design.top), X(design.right + 1) - 1, Y(design.bottom + 1) - 1};
  }
  void Fill(const Box& design, Color color) const { image_.Fill(Device(design), color); }
  void Set(int x, int y, Color color) const { Fill({x, y, x, y}, color); }

 private:
  Image& image_;
  int dpi_;
  int origin_x_;
  int origin_y_;
};

// Top to bottom over the device rows of a design box.
void FillGradient(const Canvas& canvas, const Box& design, Gradient gradient) {
  const Box box = canvas.Device(design);
  for (int y = box.top; y <= box.bottom; ++y) {
    const double t = box.Height() > 1 ? double(y - box.top) / (box.Height() - 1) : 0.0;
    canvas.image().Fill({box.left, y, box.right, y}, Mix(gradient.top, gradient.bottom, t));
  }
}

// ---- Keys of a panel -----------------------------------------------------------------------

// The same runs the keyboard's hit test merges: equal entries along the row and along the
// column of a cell make one key whose box bounds both runs.
KeyBox KeyThrough(const PanelLayout& layout, std::u16string_view cells, int cell) {
  const int columns = static_cast<int>(layout.shape.columns.size());
  const int rows = static_cast<int>(layout.shape.rows.size());
  const int row = cell / columns;
  const int column = cell % columns;
  auto at = [&](int r, int c) { return cells[static_cast<std::size_t>(r * columns + c)]; };
  KeyBox key;
  key.entry = at(row, column);
  key.first_row = key.last_row = row;
  key.first_column = key.last_column = column;
  while (key.first_column > 0 && at(row, key.first_column - 1) == key.entry) --key.first_column;
  while (key.last_column + 1 < columns && at(row, key.last_column + 1) == key.entry) {
    ++key.last_column;
  }
  while (key.first_row > 0 && at(key.first_row - 1, column) == key.entry) --key.first_row;
  while (key.last_row + 1 < rows && at(key.last_row + 1, column) == key.entry) ++key.last_row;

  const auto& shape = layout.shape;
  key.outer = {shape.columns[static_cast<std::size_t>(key.first_column)].start,
               shape.rows[static_cast<std::size_t>(key.first_row)].start,
               shape.columns[static_cast<std::size_t>(key.last_column)].end,
               shape.rows[static_cast<std::size_t>(key.last_row)].end};
  key.face = key.outer;
  if (shape.row_insets != nullptr) {
    key.face.top += shape.row_insets[key.first_row].before;
    key.face.bottom -= shape.row_insets[key.last_row].after;
  }
  if (shape.column_insets != nullptr) {
    key.face.left += shape.column_insets[key.first_column].before;
    key.face.right -= shape.column_insets[key.last_column].after;
  }
  return key;
}

// ---- Legends -------------------------------------------------------------------------------

// Words and the halves of the symbol cells follow the size's weight; other lines keep theirs.
Weight WeightOf(const TypeScale& scale, const LegendLine& line) {
  return line.role == Role::kWord || line.role == Role::kHalf ? scale.word_weight : line.weight;
}

struct PlacedLine {
  const LegendLine* line;
  int pixels;
  Weight weight;
  int x;
  int baseline;
};

struct PlacedLegend {
  std::vector<PlacedLine> lines;
  Box ink;
};

Box Union(const Box& a, const Box& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

Box Shifted(const Box& box, int dx, int dy) {
  return {box.left + dx, box.top + dy, box.right + dx, box.bottom + dy};
}

// Stacks the lines centred in `area`, `shrink` pixels below the type scale. False when the
// ink would not fit.
bool PlaceLegend(const Typefaces& faces, const TypeScale& scale, const Legend& legend,
                 const Box& area, int shrink, PlacedLegend* placed) {
  PlacedLegend result;
  const int gap = std::max(1, scale.word / 4);
  int cursor = 0;  // top of the next line's nominal box, relative to the stack
  for (const LegendLine& line : legend) {
    const int pixels = std::max(5, PixelsOf(scale, line.role) - shrink);
    Weight weight = WeightOf(scale, line);
    Ink ink = faces.Measure(weight, pixels, line.text);
    // A lone dot in the regular face is a pixel or two at the small sizes: set it bold.
    if (line.text.size() == 1 && weight == Weight::kRegular && !ink.box.Empty() &&
        ink.box.Width() * ink.box.Height() * 30 <= pixels * pixels) {
      weight = Weight::kBold;
      ink = faces.Measure(weight, pixels, line.text);
    }
    if (ink.box.Empty()) continue;
    // Text sits on its baseline with the capital height as its box; other ink is its own box.
    const int nominal_top =
        line.placement == Placement::kText ? -faces.CapHeight(weight, pixels) : ink.box.top;
    const int nominal_bottom = line.placement == Placement::kText ? -1 : ink.box.bottom;
    const int baseline = cursor - nominal_top;
    const int x = -(ink.box.left + ink.box.right + 1) / 2;
    result.lines.push_back({&line, pixels, weight, x, baseline});
    result.ink = Union(result.ink, Shifted(ink.box, x, baseline));
    cursor = baseline + nominal_bottom + 1 + gap;
  }
  if (result.lines.empty()) return false;
  if (result.ink.Width() > area.Width() || result.ink.Height() > area.Height()) return false;
  // Stacked lines that fill the key from edge to edge look crammed: leave them some air.
  if (result.lines.size() > 1 && result.ink.Height() * 6 > area.Height() * 5) return false;

  const int stack_height = cursor - gap;
  const int centre_x = area.left + area.Width() / 2;
  int top = area.top + (area.Height() - stack_height + 1) / 2;
  // Ink above the capitals (accents) or below the baseline must still stay on the key.
  top = std::max(top, area.top - result.ink.top);
  top = std::min(top, area.bottom - result.ink.bottom);
  for (PlacedLine& line : result.lines) {
    line.x += centre_x;
    line.baseline += top;
  }
  result.ink = Shifted(result.ink, centre_x, top);
  *placed = std::move(result);
  return true;
}

bool Covered(const Typefaces& faces, const TypeScale& scale, const Legend& legend) {
  return std::all_of(legend.begin(), legend.end(), [&](const LegendLine& line) {
    return faces.Covers(WeightOf(scale, line), line.text);
  });
}

// The first candidate that fits at full size; else the last one the faces can set, shrunk
// until it fits; the written fallback only when the faces lack the candidates' glyphs.
void DrawLegend(Image& image, const Typefaces& faces, const TypeScale& scale, const KeyLook& look,
                const Box& area, Color color) {
  const Legend* chosen = nullptr;
  const Legend* last = nullptr;
  PlacedLegend placed;
  for (const Legend& legend : look.candidates) {
    if (!Covered(faces, scale, legend)) continue;
    last = &legend;
    if (PlaceLegend(faces, scale, legend, area, 0, &placed)) {
      chosen = &legend;
      break;
    }
  }
  if (chosen == nullptr) {
    if (last == nullptr) last = &look.fallback;
    if (last->empty()) return;
    bool fitted = false;
    for (int shrink = 0; shrink < 40 && !fitted; ++shrink) {
      fitted = PlaceLegend(faces, scale, *last, area, shrink, &placed);
    }
    if (!fitted) return;
  }
  for (const PlacedLine& line : placed.lines) {
    faces.Draw(image, line.weight, line.pixels, line.line->text, line.x, line.baseline, color);
  }
}

// ---- Drawn shapes --------------------------------------------------------------------------

int Stroke(int size) { return size >= 3 ? 2 : 1; }

// An open bracket lying on its back, the sign printed on space bars.
void DrawSpaceBar(const Canvas& image, const Box& face, int size, Color color) {
  const int stroke = Stroke(size);
  const int width = std::clamp(face.Width() * 2 / 5, 7, face.Width() - 4);
  const int tick = std::max(3, face.Height() / 5);
  const int left = face.left + (face.Width() - width) / 2;
  const int bottom = face.top + (face.Height() + tick) / 2;
  image.Fill({left, bottom - stroke + 1, left + width - 1, bottom}, color);
  image.Fill({left, bottom - tick + 1, left + stroke - 1, bottom}, color);
  image.Fill({left + width - stroke, bottom - tick + 1, left + width - 1, bottom}, color);
}

// Rows of raised dots: the caption can be taken hold of here.
void DrawGrip(const Canvas& image, const Box& face, int size) {
  const int pitch = size >= 3 ? 4 : 3;
  const int rows = 3;
  const int length = face.Width() * 3 / 5;
  const int count = std::max(2, length / pitch);
  const int left = face.left + (face.Width() - (count - 1) * pitch - 2) / 2;
  const int top = face.top + (face.Height() - (rows - 1) * pitch - 2) / 2;
  for (int row = 0; row < rows; ++row) {
    // Every other row is offset half a pitch, as a knurled grip is.
    const int shift = (row % 2) * (pitch / 2);
    for (int i = 0; i < count - (row % 2); ++i) {
      const int x = left + i * pitch + shift;
      const int y = top + row * pitch;
      image.Set(x + 1, y + 1, kTheme.grip_shadow);
      image.Set(x, y, kTheme.grip_light);
    }
  }
}

// A little keyboard: the window's own icon, where the system menu opens.
void DrawSystemMenu(const Canvas& image, const Box& face, Color color) {
  const int width = std::min(face.Width() - 8, face.Height() + 2) | 1;
  const int height = std::max(7, width * 3 / 5);
  const int left = face.left + (face.Width() - width) / 2;
  const int top = face.top + (face.Height() - height) / 2;
  const Box frame{left, top, left + width - 1, top + height - 1};
  image.Fill({frame.left + 1, frame.top, frame.right - 1, frame.top}, color);
  image.Fill({frame.left + 1, frame.bottom, frame.right - 1, frame.bottom}, color);
  image.Fill({frame.left, frame.top + 1, frame.left, frame.bottom - 1}, color);
  image.Fill({frame.right, frame.top + 1, frame.right, frame.bottom - 1}, color);
  // Rows of key dots and a space bar inside the frame.
  const int inner_rows = (height - 3) / 2;
  for (int row = 0; row < inner_rows - 1; ++row) {
    for (int x = frame.left + 2; x <= frame.right - 2; x += 2) {
      image.Set(x, frame.top + 2 + row * 2, color);
    }
  }
  const int bar_y = frame.top + 2 + (inner_rows - 1) * 2;
  image.Fill({frame.left + width / 4 + 1, bar_y, frame.right - width / 4 - 1, bar_y}, color);
}

void DrawMinimise(const Canvas& image, const Box& face, int size, Color color) {
  const int stroke = Stroke(size) == 2 && face.Height() > 20 ? 2 : 1;
  const int width = std::min(face.Width() - 6, 10);
  const int left = face.left + (face.Width() - width) / 2;
  const int y = face.top + face.Height() / 2 + 3;
  image.Fill({left, y, left + width - 1, y + stroke - 1}, color);
}

// ---- Faces ---------------------------------------------------------------------------------

// A key's border: the inset pixels on the edge of its cells are grid line, any further inset
// pixels (the side bar of the large sizes) are gutter around a smaller key.
void DrawBorder(const Canvas& image, const KeyBox& key) {
  const Box& o = key.outer;
  const Box& f = key.face;
  image.Fill(o, kTheme.gutter);
  if (f.left > o.left) image.Fill({o.left, o.top, o.left, o.bottom}, kTheme.line);
  if (f.right < o.right) image.Fill({o.right, o.top, o.right, o.bottom}, kTheme.line);
  if (f.top > o.top) image.Fill({o.left, o.top, o.right, o.top}, kTheme.line);
  if (f.bottom < o.bottom) image.Fill({o.left, o.bottom, o.right, o.bottom}, kTheme.line);
}

Color InkOf(const KeyLook& look, bool pressed) {
  if (look.tone == Tone::kCaption || look.tone == Tone::kCaptionClose) return kTheme.caption_ink;
  if (look.muted) return pressed ? kTheme.pressed_muted_ink : kTheme.muted_ink;
  if (pressed) return kTheme.pressed_ink;
  return look.tone == Tone::kSpecial ? kTheme.special_ink : kTheme.ink;
}

void PaintFace(const Canvas& image, const KeyBox& key, const KeyLook& look, bool pressed) {
  switch (look.tone) {
    case Tone::kCaption:
    case Tone::kCaptionClose: {
      Color fill = kTheme.caption;
      if (pressed)
        fill = look.tone == Tone::kCaptionClose ? kTheme.close_pressed : kTheme.caption_pressed;
      image.Fill(key.outer, fill);
      // A faint separator between the caption's buttons, on the first pixel of each.
      if (key.first_column > 0) {
        image.Fill({key.outer.left, key.outer.top + 3, key.outer.left, key.outer.bottom - 3},
                   kTheme.caption_separator);
      }
      return;
    }
    case Tone::kCharacter:
      FillGradient(image, key.face, pressed ? kTheme.pressed : kTheme.character);
      return;
    case Tone::kSpecial:
      FillGradient(image, key.face, pressed ? kTheme.pressed : kTheme.special);
      return;
  }
}

void DrawShape(const Canvas& image, const KeyBox& key, const KeyLook& look, int size, Color ink) {
  switch (look.shape) {
    case Shape::kNone:
      return;
    case Shape::kSpaceBar:
      DrawSpaceBar(image, key.face, size, ink);
      return;
    case Shape::kGrip:
      DrawGrip(image, key.face, size);
      return;
    case Shape::kSystemMenu:
      DrawSystemMenu(image, key.face, ink);
      return;
    case Shape::kMinimise:
      DrawMinimise(image, key.face, size, ink);
      return;
  }
}

Box Padded(const Box& box, int padding) {
  return {box.left + padding, box.top + padding, box.right - padding, box.bottom - padding};
}

// A symbol cell split by its diagonal: the pixels the hit test gives to the digit half start
// on the line from the cell's lower-left corner upwards to the right.
void DrawHalfCell(const Canvas& canvas, const Typefaces& faces, const PanelLayout& layout,
                  const KeyBox& key, bool pressed, int size) {
  const keyboard::Extent& column = layout.shape.columns[static_cast<std::size_t>(key.first_column)];
  const keyboard::Extent& row = layout.shape.rows[static_cast<std::size_t>(key.first_row)];
  const Color line = pressed ? Mix(kTheme.pressed.top, kTheme.pressed_ink, 0.45) : kTheme.diagonal;
  // One device pixel wide, from the cell's lower-left corner up to the right.
  const Box face = canvas.Device(key.face);
  const int column_start = canvas.X(column.start);
  const int row_end = canvas.Y(row.end + 1) - 1;
  for (int y = face.top; y <= face.bottom; ++y) {
    const int x = column_start + (row_end - y);
    if (face.Contains(x, y)) canvas.image().Set(x, y, line);
  }
  Image& image = canvas.image();
  const TypeScale scale = ScaleOf(size, canvas.dpi());
  const Box& f = key.face;
  const int w = f.Width();
  const int h = f.Height();
  const Box upper_left{f.left + 1, f.top + 1, f.left + w * 3 / 5 - 1, f.top + h * 3 / 5 - 1};
  const Box lower_right{f.left + w * 2 / 5 + 1, f.top + h * 2 / 5 + 1, f.right - 1, f.bottom - 1};
  const KeyLook mark = HalfCellLook(key.entry, faces);
  const KeyLook digit = HalfCellLook(key.half_entry, faces);
  DrawLegend(image, faces, scale, mark, canvas.Device(upper_left), InkOf(mark, pressed));
  DrawLegend(image, faces, scale, digit, canvas.Device(lower_right), InkOf(digit, pressed));
}

void DrawKey(const Canvas& image, const Typefaces& faces, const PanelLayout& layout,
             const KeyBox& key, int size, bool pressed) {
  const bool characters = keyboard::SlotHoldsCharacters(layout.slot);
  KeyLook look = characters ? CharacterLook(key.entry, faces)
                            : KindLook(key.entry, layout.slot == keyboard::kCaptionSlot);
  // The wide keys of the accent variants type a lone mark; drawn at letter size it would be
  // a speck, so it gets the large size of the accent keys. It keeps its baseline: an
  // apostrophe centred on a key reads as a bar.
  if (characters && !look.muted && (key.last_column > key.first_column)) {
    for (Legend& legend : look.candidates) {
      for (LegendLine& line : legend) line.role = Role::kMark;
    }
  }
  if (look.tone != Tone::kCaption && look.tone != Tone::kCaptionClose) DrawBorder(image, key);
  PaintFace(image, key, look, pressed);
  if (key.half_entry != 0) {
    DrawHalfCell(image, faces, layout, key, pressed, size);
    return;
  }
  const Color ink = InkOf(look, pressed);
  DrawShape(image, key, look, size, ink);
  DrawLegend(image.image(), faces, ScaleOf(size, image.dpi()), look,
             image.Device(Padded(key.face, ScaleOf(size).padding)), ink);
}

}  // namespace

std::string_view SizeFolder(int size) {
  return kSizeFolders[static_cast<std::size_t>(std::clamp(size, 1, kSizeCount) - 1)];
}

std::vector<DrawnVariant> DrawnVariants() {
  std::vector<DrawnVariant> variants;
  for (int kind = 1; kind <= keyboard::kPanelKindCount; ++kind) {
    variants.push_back({static_cast<PanelKind>(kind), 0});
  }
  for (int symbols : {1, 2}) variants.push_back({PanelKind::kSymbolNormal, symbols});
  return variants;
}

std::string VariantName(PanelKind kind, int symbols) {
  std::u16string wide = keyboard::OptionImageName(kind, symbols);
  if (wide.empty() && keyboard::PanelKindName(kind) != nullptr) {
    wide = keyboard::PanelKindName(kind);
  }
  return std::string(wide.begin(), wide.end());  // the names are ASCII
}

PanelLayout LayOutPanel(int size, PanelKind kind, int symbols) {
  PanelLayout layout;
  layout.kind = kind;
  layout.slot = keyboard::SlotOf(kind);
  layout.shape = keyboard::ShapeOf(size, layout.slot);
  layout.width = layout.shape.columns.back().end + 1;
  layout.height = layout.shape.rows.back().end + 1;
  const keyboard::VariantCells cells = keyboard::CellsOf(kind, symbols);
  const int count = static_cast<int>(layout.shape.rows.size() * layout.shape.columns.size());
  if (cells.cells.size() != static_cast<std::size_t>(count)) return layout;
  std::vector<bool> done(static_cast<std::size_t>(count), false);
  for (int cell = 0; cell < count; ++cell) {
    if (done[static_cast<std::size_t>(cell)]) continue;
    KeyBox key = KeyThrough(layout, cells.cells, cell);
    if (cells.half_cells.size() == static_cast<std::size_t>(count)) {
      key.half_entry = cells.half_cells[static_cast<std::size_t>(cell)];
    }
    const int columns = static_cast<int>(layout.shape.columns.size());
    for (int r = key.first_row; r <= key.last_row; ++r) {
      for (int c = key.first_column; c <= key.last_column; ++c) {
        if (cells.cells[static_cast<std::size_t>(r * columns + c)] == key.entry) {
          done[static_cast<std::size_t>(r * columns + c)] = true;
        }
      }
    }
    layout.keys.push_back(key);
  }
  return layout;
}

Color GutterColor() { return kTheme.gutter; }

Image DrawKeyboard(const Typefaces& faces, int size, int sidebar, int dpi,
                   const std::array<DrawnVariant, keyboard::kSlotCount>& shown, bool pressed) {
  const keyboard::ClientSize client = keyboard::KeyboardClientSize(size);
  Image image(keyboard::DeviceOf(client.width, dpi), keyboard::DeviceOf(client.height, dpi),
              kTheme.gutter);
  for (int slot = 0; slot < keyboard::kSlotCount; ++slot) {
    const DrawnVariant& variant = shown[static_cast<std::size_t>(slot)];
    if (variant.kind == PanelKind::kNone) continue;
    const auto where = static_cast<keyboard::Slot>(slot);
    const Canvas canvas(image, dpi,
                        keyboard::DeviceOf(keyboard::SlotLeft(size, sidebar, where), dpi),
                        keyboard::DeviceOf(keyboard::SlotTop(size, where), dpi));
    const PanelLayout layout = LayOutPanel(size, variant.kind, variant.symbols);
    for (const KeyBox& key : layout.keys) DrawKey(canvas, faces, layout, key, size, pressed);
  }
  return image;
}

PanelArt DrawPanel(const Typefaces& faces, int size, PanelKind kind, int symbols, int dpi) {
  const PanelLayout layout = LayOutPanel(size, kind, symbols);
  const int width = keyboard::DeviceOf(layout.width, dpi);
  const int height = keyboard::DeviceOf(layout.height, dpi);
  PanelArt art{Image(width, height, kTheme.gutter), Image(width, height, kTheme.gutter)};
  const Canvas normal(art.normal, dpi);
  const Canvas pressed(art.pressed, dpi);
  for (const KeyBox& key : layout.keys) {
    DrawKey(normal, faces, layout, key, size, false);
    DrawKey(pressed, faces, layout, key, size, true);
  }
  return art;
}

std::filesystem::path ImagePath(const std::filesystem::path& out, int size, PanelKind kind,
                                bool pressed, int symbols, int dpi) {
  const std::string name = VariantName(kind, symbols) + (pressed ? "_inv" : "");
  return out / "Quorel bitmaps" / SizeFolder(size) / std::to_string(dpi * 100 / 96) /
         (name + ".png");
}

bool WriteArtwork(const std::filesystem::path& out, const Typefaces& faces, std::string* error,
                  std::span<const int> dpis) {
  for (int size = 1; size <= kSizeCount; ++size) {
    for (int dpi : dpis) {
      std::error_code failed;
      std::filesystem::create_directories(
          ImagePath(out, size, PanelKind::kCaption, false, 0, dpi).parent_path(), failed);
      if (failed) {
        if (error != nullptr) *error = "cannot create a folder below " + out.string();
        return false;
      }
      for (const DrawnVariant& variant : DrawnVariants()) {
        const PanelArt art = DrawPanel(faces, size, variant.kind, variant.symbols, dpi);
        for (bool pressed : {false, true}) {
          const std::filesystem::path path =
              ImagePath(out, size, variant.kind, pressed, variant.symbols, dpi);
          if (!WritePng(path, pressed ? art.pressed : art.normal)) {
            if (error != nullptr) *error = "cannot write " + path.string();
            return false;
          }
        }
      }
    }
  }
  return true;
}

}  // namespace quorel::art
