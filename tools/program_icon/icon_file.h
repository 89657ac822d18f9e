// The Windows icon file: a directory of images, the small ones as 32-bit BGRA bitmaps with
// their transparency mask, the 256-pixel one as PNG (as the system's own icons store it).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/program_icon/canvas.h"

namespace quorel::icon {

struct IconImage {
  int size = 0;
  std::vector<Rgba> pixels;  // size * size, rows from the top
};

// Empty when an image's pixels do not match its size or a size is outside 1..256.
std::vector<std::uint8_t> EncodeIco(std::span<const IconImage> images);

// A zlib stream (RFC 1950) of `data`: deflate with fixed codes and a greedy match search.
std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data);

// An RGBA PNG of one square image; empty when the pixels do not match the size.
std::vector<std::uint8_t> EncodePng(const IconImage& image);

// The whole icon of the keyboard program, every size of IconSizes().
std::vector<std::uint8_t> ProgramIcon();

}  // namespace quorel::icon
