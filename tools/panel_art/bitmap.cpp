#include "tools/panel_art/bitmap.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace quorel::art {

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
constexpr int kPixelsPerMeter = 3780;  // 96 dpi, what the system's own tools write

// The images are written with 32 bits a pixel, the layout of the screen: the keyboard copies
// their rows straight from the file to the window, with no conversion and no second copy.
constexpr int kWrittenBits = 32;

// Each row of a BMP is padded to a multiple of four bytes.
int RowBytes(int width, int bits) { return (width * bits + 31) / 32 * 4; }

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
std::uint32_t Get16(const std::vector<std::uint8_t>& in, std::size_t at) {
  return static_cast<std::uint32_t>(in[at]) | static_cast<std::uint32_t>(in[at + 1]) << 8;
}
std::uint32_t Get32(const std::vector<std::uint8_t>& in, std::size_t at) {
  return Get16(in, at) | Get16(in, at + 2) << 16;
}

}  // namespace

Image::Image(int width, int height, Color fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

Color Image::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

void Image::Set(int x, int y, Color color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
          static_cast<std::size_t>(x)] = color;
}

void Image::Fill(const Box& box, Color color) {
  for (int y = std::max(box.top, 0); y <= std::min(box.bottom, height_ - 1); ++y) {
    for (int x = std::max(box.left, 0); x <= std::min(box.right, width_ - 1); ++x) {
      Set(x, y, color);
    }
  }
}

void Image::Blend(int x, int y, Color color, int coverage) {
  if (coverage <= 0) return;
  if (coverage >= 255) {
    Set(x, y, color);
    return;
  }
  const Color under = At(x, y);
  auto mix = [coverage](std::uint8_t ink, std::uint8_t paper) {
    return static_cast<std::uint8_t>((ink * coverage + paper * (255 - coverage) + 127) / 255);
  };
  Set(x, y, {mix(color.r, under.r), mix(color.g, under.g), mix(color.b, under.b)});
}

void Image::Paste(const Image& source, int x, int y) {
  for (int sy = 0; sy < source.height(); ++sy) {
    for (int sx = 0; sx < source.width(); ++sx) Set(x + sx, y + sy, source.At(sx, sy));
  }
}

bool WriteBmp(const std::filesystem::path& path, const Image& image) {
  const int row_bytes = RowBytes(image.width(), kWrittenBits);
  const std::uint32_t pixel_bytes = static_cast<std::uint32_t>(row_bytes * image.height());
  std::vector<std::uint8_t> out;
  out.reserve(kFileHeaderBytes + kInfoHeaderBytes + pixel_bytes);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  Put32(out, kFileHeaderBytes + kInfoHeaderBytes + pixel_bytes);
  Put32(out, 0);
  Put32(out, kFileHeaderBytes + kInfoHeaderBytes);
  // BITMAPINFOHEADER: a positive height means the rows are stored bottom-up.
  Put32(out, kInfoHeaderBytes);
  Put32(out, static_cast<std::uint32_t>(image.width()));
  Put32(out, static_cast<std::uint32_t>(image.height()));
  Put16(out, 1);
  Put16(out, kWrittenBits);
  Put32(out, 0);  // BI_RGB
  Put32(out, pixel_bytes);
  Put32(out, kPixelsPerMeter);
  Put32(out, kPixelsPerMeter);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      const Color c = image.At(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
      out.push_back(0);
    }
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

std::optional<Image> ReadBmp(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> in(static_cast<std::size_t>(file.tellg()));
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(in.data()), static_cast<std::streamsize>(in.size()))) {
    return std::nullopt;
  }
  if (in.size() < kFileHeaderBytes + kInfoHeaderBytes || in[0] != 'B' || in[1] != 'M') {
    return std::nullopt;
  }
  const std::uint32_t offset = Get32(in, 10);
  const auto width = static_cast<std::int32_t>(Get32(in, 18));
  const auto height = static_cast<std::int32_t>(Get32(in, 22));
  const int bits = static_cast<int>(Get16(in, 28));
  if (Get32(in, 14) < kInfoHeaderBytes || Get16(in, 26) != 1 || (bits != 24 && bits != 32) ||
      Get32(in, 30) != 0 || width <= 0 || width > 32767 || height == 0 || height > 32767 ||
      height < -32767) {
    return std::nullopt;
  }
  const int rows = height < 0 ? -height : height;
  const int row_bytes = RowBytes(width, bits);
  if (offset + static_cast<std::size_t>(row_bytes) * static_cast<std::size_t>(rows) > in.size()) {
    return std::nullopt;
  }
  Image image(width, rows);
  for (int stored = 0; stored < rows; ++stored) {
    const int y = height > 0 ? rows - 1 - stored : stored;
    const std::size_t row = offset + static_cast<std::size_t>(stored) * row_bytes;
    for (int x = 0; x < width; ++x) {
      const std::size_t at = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bits / 8);
      image.Set(x, y, {in[at + 2], in[at + 1], in[at]});
    }
  }
  return image;
}

}  // namespace quorel::art
