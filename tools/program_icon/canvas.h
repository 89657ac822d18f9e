// A square RGBA canvas that shapes are painted on with anti-aliased edges. Coverage is
// counted on a fixed grid of samples per pixel, the shapes' tests use only IEEE-exact
// operations (built without fused multiply-adds) and blending is integer arithmetic, so the
// same picture comes out byte for byte on every machine.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace quorel::icon {

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba&) const = default;
};

// A region of the plane in pixel coordinates (x right, y down, pixel (i, j) covering
// [i, i+1) x [j, j+1)), with a box that holds all of it.
struct Shape {
  double left = 0, top = 0, right = 0, bottom = 0;
  std::function<bool(double x, double y)> inside;
};

// Colour of a point of a shape, by the point's pixel coordinates.
using Paint = std::function<Rgba(double x, double y)>;

Shape Rectangle(double left, double top, double right, double bottom);
Shape RoundRect(double left, double top, double right, double bottom, double radius);
Shape Disc(double x, double y, double radius);
// Points in `a` but not in `b`; `a`'s box.
Shape Without(Shape a, Shape b);

Paint Solid(Rgba color);
// From `top` at y0 to `bottom` at y1, held beyond them.
Paint Vertical(Rgba top, Rgba bottom, double y0, double y1);
Rgba Mix(Rgba a, Rgba b, double t);

class Canvas {
 public:
  explicit Canvas(int size);
  int size() const { return size_; }
  // Lays `paint` over the pixels that `shape` covers, each in proportion to its coverage,
  // with `opacity` 0..255 on top of the paint's own alpha. A `crisp` fill takes a pixel
  // whole when the shape covers half of it or more and leaves it alone otherwise: thin
  // diagonals stay clean steps at the smallest sizes instead of grey smears.
  void Fill(const Shape& shape, const Paint& paint, int opacity = 255, bool crisp = false);
  // Straight (not premultiplied) colour, row by row from the top.
  std::vector<Rgba> Pixels() const;

 private:
  struct Premultiplied {
    std::int64_t r = 0, g = 0, b = 0, a = 0;  // 0..255*255
  };
  int size_;
  std::vector<Premultiplied> pixels_;
};

}  // namespace quorel::icon
