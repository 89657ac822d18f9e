#include "tools/program_icon/canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quorel::icon {

namespace {

constexpr int kSamples = 8;  // per pixel along each axis
constexpr int kFullCoverage = kSamples * kSamples;
constexpr std::int64_t kOpaque = 255 * 255;

std::uint8_t Channel(double value) {
  return static_cast<std::uint8_t>(std::clamp(std::floor(value + 0.5), 0.0, 255.0));
}

}  // namespace

Shape Rectangle(double left, double top, double right, double bottom) {
  return {left, top, right, bottom,
          [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; }};
}

Shape RoundRect(double left, double top, double right, double bottom, double radius) {
  radius = std::clamp(radius, 0.0, std::min(right - left, bottom - top) / 2);
  return {left, top, right, bottom, [=](double x, double y) {
            if (x < left || x >= right || y < top || y >= bottom) return false;
            // The nearest point of the rectangle shrunk by the radius.
            const double cx = std::clamp(x, left + radius, right - radius);
            const double cy = std::clamp(y, top + radius, bottom - radius);
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
          }};
}

Shape Disc(double x0, double y0, double radius) {
  return {x0 - radius, y0 - radius, x0 + radius, y0 + radius, [=](double x, double y) {
            return (x - x0) * (x - x0) + (y - y0) * (y - y0) <= radius * radius;
          }};
}

Shape Without(Shape a, Shape b) {
  Shape result = a;
  result.inside = [a = std::move(a.inside), b = std::move(b.inside)](double x, double y) {
    return a(x, y) && !b(x, y);
  };
  return result;
}

Paint Solid(Rgba color) {
  return [color](double, double) { return color; };
}

Rgba Mix(Rgba a, Rgba b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto mix = [t](std::uint8_t x, std::uint8_t y) { return Channel(x + (y - x) * t); };
  return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a)};
}

Paint Vertical(Rgba top, Rgba bottom, double y0, double y1) {
  return [=](double, double y) { return Mix(top, bottom, y1 > y0 ? (y - y0) / (y1 - y0) : 0); };
}

Canvas::Canvas(int size)
    : size_(std::max(size, 0)),
      pixels_(static_cast<std::size_t>(size_) * static_cast<std::size_t>(size_)) {}

void Canvas::Fill(const Shape& shape, const Paint& paint, int opacity, bool crisp) {
  opacity = std::clamp(opacity, 0, 255);
  const int x0 = std::max(0, static_cast<int>(std::floor(shape.left)));
  const int y0 = std::max(0, static_cast<int>(std::floor(shape.top)));
  const int x1 = std::min(size_, static_cast<int>(std::ceil(shape.right)));
  const int y1 = std::min(size_, static_cast<int>(std::ceil(shape.bottom)));
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      int coverage = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          coverage += shape.inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
        }
      }
      if (crisp) coverage = 2 * coverage >= kFullCoverage ? kFullCoverage : 0;
      if (coverage == 0) continue;
      const Rgba color = paint(x + 0.5, y + 0.5);
      const std::int64_t alpha =
          (std::int64_t{color.a} * opacity * coverage + kFullCoverage / 2) / kFullCoverage;
      Premultiplied& p = pixels_[static_cast<std::size_t>(y * size_ + x)];
      auto over = [alpha](std::int64_t under, std::uint8_t ink) {
        return (ink * alpha + 127) / 255 + (under * (kOpaque - alpha) + kOpaque / 2) / kOpaque;
      };
      p.r = over(p.r, color.r);
      p.g = over(p.g, color.g);
      p.b = over(p.b, color.b);
      p.a = alpha + (p.a * (kOpaque - alpha) + kOpaque / 2) / kOpaque;
    }
  }
}

std::vector<Rgba> Canvas::Pixels() const {
  std::vector<Rgba> out;
  out.reserve(pixels_.size());
  for (const Premultiplied& p : pixels_) {
    const std::int64_t a = std::min<std::int64_t>(p.a, kOpaque);
    if (a == 0) {
      out.push_back({});
      continue;
    }
    auto straight = [a](std::int64_t c) {
      return static_cast<std::uint8_t>(std::min<std::int64_t>(255, (c * 255 + a / 2) / a));
    };
    out.push_back(
        {straight(p.r), straight(p.g), straight(p.b), static_cast<std::uint8_t>((a + 127) / 255)});
  }
  return out;
}

}  // namespace quorel::icon
