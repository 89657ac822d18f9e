#include "tools/program_icon/icon_art.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quorel::icon {

namespace {

// The sizes a window asks for at the common scales: 16, 20, 24 and 32 for a small icon,
// 32, 40, 48 and 64 for a large one, 256 for the shell's largest view.
constexpr std::array<int, 8> kSizes = {16, 20, 24, 32, 40, 48, 64, 256};

// One row of keys: its top, its height and the widths of its keys left to right.
struct KeyRow {
  int top;
  int height;
  std::vector<int> widths;
};

struct Layout {
  int size;
  double body_left, body_top, body_right, body_bottom, body_radius;
  int grid_left;
  int gap;
  std::vector<KeyRow> rows;
  int pressed_row, pressed_key;
  double key_radius = 0;
  int bevel = 0;       // the darker lower edge of a key, in pixels
  double outline = 0;  // of the keyboard and the pen
  double tip_x, tip_y, end_x, end_y, pen_radius;
  double nib, cone, cap;  // lengths along the pen
  bool crisp_pen = false;
  int shadow = 0;  // how far the shadows fall, 0 for none
};

// Each layout puts the keys on whole pixels; the rows of one size add up to one width. The
// pens of the small sizes lie at 45 degrees with their edges between pixel centres, so
// that they come out as clean steps two pixels wide.
const Layout* LayoutOf(int size) {
  // clang-format off
  static const std::array<Layout, kSizes.size()> layouts = {{
      {.size = 16,
       .body_left = 0, .body_top = 6, .body_right = 16, .body_bottom = 16, .body_radius = 2.5,
       .grid_left = 1, .gap = 1,
       .rows = {{7, 2, {2, 2, 2, 2, 2}}, {10, 2, {2, 2, 2, 2, 2}}, {13, 2, {2, 8, 2}}},
       .pressed_row = 0, .pressed_key = 2,
       .outline = 0.7,
       .tip_x = 8.75, .tip_y = 7.75, .end_x = 15.75, .end_y = 0.75, .pen_radius = 0.75,
       .nib = 1.4, .cone = 0.1, .cap = 2.5, .crisp_pen = true},
      {.size = 20,
       .body_left = 0, .body_top = 7, .body_right = 20, .body_bottom = 20, .body_radius = 2.7,
       .grid_left = 1, .gap = 1,
       .rows = {{8, 3, {3, 3, 2, 3, 3}}, {12, 3, {2, 3, 3, 3, 3}}, {16, 3, {3, 10, 3}}},
       .pressed_row = 0, .pressed_key = 2,
       .outline = 0.75,
       .tip_x = 10.75, .tip_y = 9.75, .end_x = 19.75, .end_y = 0.75, .pen_radius = 0.75,
       .nib = 1.4, .cone = 0.8, .cap = 3, .crisp_pen = true},
      {.size = 24,
       .body_left = 0, .body_top = 9, .body_right = 24, .body_bottom = 24, .body_radius = 3,
       .grid_left = 2, .gap = 1,
       .rows = {{11, 3, {3, 3, 3, 3, 4}}, {15, 3, {4, 3, 3, 3, 3}}, {19, 3, {3, 12, 3}}},
       .pressed_row = 0, .pressed_key = 2,
       .outline = 0.8,
       .tip_x = 12.75, .tip_y = 11.75, .end_x = 23.75, .end_y = 0.75, .pen_radius = 0.75,
       .nib = 1.4, .cone = 1.5, .cap = 3.5, .crisp_pen = true},
      {.size = 32,
       .body_left = 0, .body_top = 12, .body_right = 32, .body_bottom = 31, .body_radius = 3.5,
       .grid_left = 2, .gap = 1,
       .rows = {{14, 3, {3, 3, 3, 3, 3, 3, 4}},
                {18, 3, {4, 3, 3, 3, 3, 3, 3}},
                {22, 3, {5, 3, 3, 3, 3, 6}},
                {26, 3, {3, 3, 12, 3, 3}}},
       .pressed_row = 0, .pressed_key = 3,
       .bevel = 1, .outline = 1,
       .tip_x = 16.75, .tip_y = 14.75, .end_x = 30.75, .end_y = 0.75, .pen_radius = 1.5,
       .nib = 1.5, .cone = 3.5, .cap = 4, .crisp_pen = true,
       .shadow = 1},
      {.size = 40,
       .body_left = 1, .body_top = 16, .body_right = 39, .body_bottom = 39, .body_radius = 4.5,
       .grid_left = 3, .gap = 1,
       .rows = {{18, 4, {4, 4, 4, 4, 4, 4, 4}},
                {23, 4, {5, 4, 4, 4, 4, 4, 3}},
                {28, 4, {6, 4, 4, 4, 4, 7}},
                {33, 4, {4, 4, 14, 4, 4}}},
       .pressed_row = 1, .pressed_key = 3,
       .key_radius = 0.8, .bevel = 1, .outline = 1,
       .tip_x = 22.2, .tip_y = 23.8, .end_x = 37.5, .end_y = 2.5, .pen_radius = 2.5,
       .nib = 2, .cone = 6, .cap = 5,
       .shadow = 1},
      {.size = 48,
       .body_left = 1, .body_top = 21, .body_right = 47, .body_bottom = 46, .body_radius = 5,
       .grid_left = 4, .gap = 1,
       .rows = {{24, 4, {4, 4, 4, 4, 4, 4, 4, 5}},
                {29, 4, {7, 4, 4, 4, 4, 4, 7}},
                {34, 4, {9, 4, 4, 4, 4, 10}},
                {39, 4, {4, 4, 20, 4, 4}}},
       .pressed_row = 1, .pressed_key = 3,
       .key_radius = 0.8, .bevel = 1, .outline = 1,
       .tip_x = 25.2, .tip_y = 29.8, .end_x = 45, .end_y = 3, .pen_radius = 3,
       .nib = 2.5, .cone = 7, .cap = 6,
       .shadow = 1},
      {.size = 64,
       .body_left = 2, .body_top = 26, .body_right = 62, .body_bottom = 58, .body_radius = 6.5,
       .grid_left = 5, .gap = 2,
       .rows = {{29, 5, {5, 5, 5, 5, 5, 5, 5, 5}},
                {36, 5, {8, 5, 5, 5, 5, 5, 9}},
                {43, 5, {12, 5, 5, 5, 5, 12}},
                {50, 5, {5, 5, 26, 5, 5}}},
       .pressed_row = 1, .pressed_key = 4,
       .key_radius = 1, .bevel = 1, .outline = 1,
       .tip_x = 40, .tip_y = 37.5, .end_x = 60, .end_y = 3.5, .pen_radius = 3,
       .nib = 2.5, .cone = 7, .cap = 6,
       .shadow = 2},
      {.size = 256,
       .body_left = 8, .body_top = 100, .body_right = 248, .body_bottom = 236, .body_radius = 26,
       .grid_left = 27, .gap = 6,
       .rows = {{119, 20, {20, 20, 20, 20, 20, 20, 20, 20}},
                {145, 20, {33, 20, 20, 20, 20, 20, 33}},
                {171, 20, {46, 20, 20, 20, 20, 46}},
                {197, 20, {20, 20, 98, 20, 20}}},
       .pressed_row = 1, .pressed_key = 4,
       .key_radius = 4, .bevel = 3, .outline = 4,
       .tip_x = 160, .tip_y = 150, .end_x = 240, .end_y = 14, .pen_radius = 11,
       .nib = 10, .cone = 27, .cap = 24,
       .shadow = 6},
  }};
  // clang-format on
  for (const Layout& layout : layouts) {
    if (layout.size == size) return &layout;
  }
  return nullptr;
}

struct Palette {
  Rgba body_top{0x46, 0x4e, 0x5a, 255};
  Rgba body_bottom{0x25, 0x2a, 0x31, 255};
  Rgba body_edge{0x14, 0x17, 0x1c, 255};
  Rgba key_top{0xff, 0xff, 0xff, 255};
  Rgba key_bottom{0xe0, 0xe5, 0xeb, 255};
  Rgba key_edge{0xa3, 0xac, 0xb7, 255};
  Rgba pressed_top{0x55, 0x98, 0xf0, 255};
  Rgba pressed_bottom{0x2b, 0x66, 0xbf, 255};
  Rgba pressed_edge{0x1d, 0x4a, 0x8f, 255};
  Rgba pen_light{0xff, 0xff, 0xff, 255};
  Rgba pen_shade{0xbc, 0xc5, 0xd0, 255};
  Rgba pen_edge{0x1a, 0x1f, 0x26, 255};
  Rgba cone_light{0xd5, 0xdb, 0xe2, 255};
  Rgba cone_shade{0x7b, 0x85, 0x92, 255};
  Rgba nib{0x2a, 0x2f, 0x37, 255};
  Rgba cap_light{0x5a, 0x9c, 0xf2, 255};
  Rgba cap_shade{0x24, 0x5c, 0xb0, 255};
  Rgba shadow{0x00, 0x00, 0x00, 255};
};
constexpr Palette kPalette;

// ---- The keyboard ---------------------------------------------------------------------

void DrawKeyboard(Canvas& canvas, const Layout& l) {
  if (l.shadow > 0) {
    // A soft shadow below the keyboard: a few widening layers, each faint.
    for (int step = l.shadow; step >= 1; --step) {
      const double spread = step * 0.5;
      canvas.Fill(
          RoundRect(l.body_left - spread, l.body_top + l.shadow - spread, l.body_right + spread,
                    l.body_bottom + l.shadow * 0.5 + spread, l.body_radius + spread),
          Solid(kPalette.shadow), 90 / l.shadow);
    }
  }
  canvas.Fill(RoundRect(l.body_left, l.body_top, l.body_right, l.body_bottom, l.body_radius),
              Solid(kPalette.body_edge));
  const double o = l.outline;
  canvas.Fill(RoundRect(l.body_left + o, l.body_top + o, l.body_right - o, l.body_bottom - o,
                        l.body_radius - o),
              Vertical(kPalette.body_top, kPalette.body_bottom, l.body_top, l.body_bottom));

  for (std::size_t r = 0; r < l.rows.size(); ++r) {
    const KeyRow& row = l.rows[r];
    int x = l.grid_left;
    for (std::size_t k = 0; k < row.widths.size(); ++k) {
      const int w = row.widths[k];
      const bool pressed =
          static_cast<int>(r) == l.pressed_row && static_cast<int>(k) == l.pressed_key;
      const Rgba top = pressed ? kPalette.pressed_top : kPalette.key_top;
      const Rgba bottom = pressed ? kPalette.pressed_bottom : kPalette.key_bottom;
      const Rgba edge = pressed ? kPalette.pressed_edge : kPalette.key_edge;
      const double y0 = row.top;
      const double y1 = row.top + row.height;
      if (l.bevel > 0) {
        canvas.Fill(RoundRect(x, y0, x + w, y1, l.key_radius), Solid(edge));
        canvas.Fill(RoundRect(x, y0, x + w, y1 - l.bevel, l.key_radius),
                    Vertical(top, bottom, y0, y1 - l.bevel));
      } else {
        canvas.Fill(RoundRect(x, y0, x + w, y1, l.key_radius), Vertical(top, bottom, y0, y1));
      }
      x += w + l.gap;
    }
  }
}

// ---- The pen --------------------------------------------------------------------------

// Along the pen's axis, from the tip: the graphite nib, the cone and the barrel, which
// ends in a rounded blue cap.
struct PenFrame {
  double tip_x, tip_y;
  double ux, uy;  // unit vector from the tip towards the cap
  double length;
  double radius;
  double nib_end, cone_end, cap_start;

  double Along(double x, double y) const { return (x - tip_x) * ux + (y - tip_y) * uy; }
  double Across(double x, double y) const { return -(x - tip_x) * uy + (y - tip_y) * ux; }

  // Half the pen's width `s` along it, for 0 <= s <= length.
  double HalfWidth(double s) const {
    const double nib_tip = radius * 0.25;
    const double nib_base = radius * 0.5;
    if (s < nib_end) return nib_tip + (nib_base - nib_tip) * s / nib_end;
    if (s < cone_end) return nib_base + (radius - nib_base) * (s - nib_end) / (cone_end - nib_end);
    if (s > length - radius) {
      const double rest = s - (length - radius);
      return std::sqrt(std::max(0.0, radius * radius - rest * rest));
    }
    return radius;
  }

  // The stretch of the pen from `from` to `to` along it, widened by `grow` on every side
  // (the outline wraps the tip and the cap too) and moved by (dx, dy).
  Shape Part(double from, double to, double grow, double dx = 0, double dy = 0) const {
    const PenFrame frame = *this;
    const double margin = radius + grow + 1;
    const double x0 = tip_x + dx, y0 = tip_y + dy;
    const double x1 = x0 + ux * length, y1 = y0 + uy * length;
    return {std::min(x0, x1) - margin, std::min(y0, y1) - margin, std::max(x0, x1) + margin,
            std::max(y0, y1) + margin, [frame, from, to, grow, dx, dy](double x, double y) {
              const double s = frame.Along(x - dx, y - dy);
              const double d = std::abs(frame.Across(x - dx, y - dy));
              if (s < from - grow || s > to + grow) return false;
              const double half = frame.HalfWidth(std::clamp(s, 0.0, frame.length)) + grow;
              const double beyond = s < 0 ? -s : std::max(0.0, s - frame.length);
              return d * d + beyond * beyond <= half * half;
            }};
  }

  // Light on the upper side of the barrel, shaded on the lower.
  Paint Shaded(Rgba light, Rgba shade) const {
    const PenFrame frame = *this;
    return [frame, light, shade](double x, double y) {
      const double t = (frame.Across(x, y) / frame.radius + 1) / 2;
      return Mix(light, shade, (t - 0.25) / 0.75);
    };
  }
};

void DrawPen(Canvas& canvas, const Layout& l) {
  const double dx = l.end_x - l.tip_x;
  const double dy = l.end_y - l.tip_y;
  const double length = std::sqrt(dx * dx + dy * dy);
  const PenFrame pen{l.tip_x,      l.tip_y, dx / length,    dy / length,   length,
                     l.pen_radius, l.nib,   l.nib + l.cone, length - l.cap};

  if (l.shadow > 0) {
    for (int step = l.shadow; step >= 1; --step) {
      canvas.Fill(pen.Part(0, length, step * 0.5, l.shadow * 0.8, l.shadow * 0.8),
                  Solid(kPalette.shadow), 100 / l.shadow);
    }
  }
  const bool crisp = l.crisp_pen;
  canvas.Fill(pen.Part(0, length, l.outline), Solid(kPalette.pen_edge), 255, crisp);
  canvas.Fill(pen.Part(pen.cone_end, length, 0), pen.Shaded(kPalette.pen_light, kPalette.pen_shade),
              255, crisp);
  canvas.Fill(pen.Part(pen.nib_end, pen.cone_end, 0),
              pen.Shaded(kPalette.cone_light, kPalette.cone_shade), 255, crisp);
  canvas.Fill(pen.Part(0, pen.nib_end, 0), Solid(kPalette.nib), 255, crisp);
  canvas.Fill(pen.Part(pen.cap_start, length, 0),
              pen.Shaded(kPalette.cap_light, kPalette.cap_shade), 255, crisp);
}

}  // namespace

std::span<const int> IconSizes() { return kSizes; }

std::vector<Rgba> DrawIcon(int size) {
  const Layout* layout = LayoutOf(size);
  if (layout == nullptr) return {};
  Canvas canvas(size);
  DrawKeyboard(canvas, *layout);
  DrawPen(canvas, *layout);
  return canvas.Pixels();
}

}  // namespace quorel::icon
