// An RGB canvas and the file format the keyboard draws from: uncompressed 32-bit bottom-up
// BMP, which it copies to the screen straight from the mapped file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace quorel::art {

struct Color {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Color&) const = default;
};

// Inclusive pixel box, as the panel tables count extents.
struct Box {
  int left = 0, top = 0, right = -1, bottom = -1;
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
  bool Empty() const { return right < left || bottom < top; }
  bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

class Image {
 public:
  Image() = default;
  Image(int width, int height, Color fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  Color At(int x, int y) const;
  void Set(int x, int y, Color color);  // outside the canvas: nothing
  void Fill(const Box& box, Color color);
  // Lays `color` over a pixel with coverage 0..255, the way anti-aliased ink is laid.
  void Blend(int x, int y, Color color, int coverage);
  // Copies all of `source` with its top-left pixel at (x, y), clipped to the canvas.
  void Paste(const Image& source, int x, int y);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Color> pixels_;
};

bool WriteBmp(const std::filesystem::path& path, const Image& image);
// Reads back what WriteBmp writes (24- or 32-bit BI_RGB, either row order); nothing for
// anything else.
std::optional<Image> ReadBmp(const std::filesystem::path& path);

}  // namespace quorel::art
