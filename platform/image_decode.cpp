#include "platform/image_decode.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// No single block of the decoder is larger than this: a chunk header of a damaged file can
// claim gigabytes that the file does not hold.
constexpr std::size_t kLargestBlock = 128u << 20;

void* BoundedMalloc(std::size_t size) { return size > kLargestBlock ? nullptr : std::malloc(size); }

void* BoundedRealloc(void* block, std::size_t size) {
  return size > kLargestBlock ? nullptr : std::realloc(block, size);
}

}  // namespace

// The decoder is a public-domain single header from Debian's libstb-dev, built here with
// only the formats it is safe with and no file access of its own.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_MALLOC(size) BoundedMalloc(size)
#define STBI_REALLOC(block, size) BoundedRealloc(block, size)
#define STBI_FREE(block) std::free(block)
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_MAX_DIMENSIONS 16384
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace platform {

namespace {

void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  Put16(at, value);
  Put16(at + 2, value >> 16);
}

// A BMP's file header and its info header, as the drawing code reads them.
constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr std::int64_t kMostPixels = 16 * 1024 * 1024;

}  // namespace

std::optional<std::vector<std::uint8_t>> DecodeToBmp(const std::uint8_t* bytes, std::size_t size) {
  if (bytes == nullptr || size == 0 || size > 0x7FFFFFFF) return std::nullopt;
  int width = 0;
  int height = 0;
  int channels = 0;
  // A few bytes can claim any size: the claim is read first, and nothing larger than the
  // largest panel at 300 % many times over is decoded.
  if (!stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &channels) ||
      width <= 0 || height <= 0 ||
      static_cast<std::int64_t>(width) * height > kMostPixels) {
    return std::nullopt;
  }
  const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4),
      stbi_image_free);
  if (pixels == nullptr || width <= 0 || height <= 0) return std::nullopt;

  const std::size_t pixel_bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  const std::size_t offset = kFileHeader + kInfoHeader;
  if (pixel_bytes > 0xFFFFFFFFu - offset) return std::nullopt;
  std::vector<std::uint8_t> bmp(offset + pixel_bytes);
  std::uint8_t* header = bmp.data();
  header[0] = 'B';
  header[1] = 'M';
  Put32(header + 2, static_cast<std::uint32_t>(bmp.size()));
  Put32(header + 10, static_cast<std::uint32_t>(offset));
  std::uint8_t* info = header + kFileHeader;
  Put32(info, kInfoHeader);
  Put32(info + 4, static_cast<std::uint32_t>(width));
  Put32(info + 8, static_cast<std::uint32_t>(-height));  // top-down, as decoded
  Put16(info + 12, 1);                                    // one plane
  Put16(info + 14, 32);                                   // bits per pixel, no compression
  // RGBA to the BGRX of the screen.
  std::uint8_t* out = bmp.data() + offset;
  const stbi_uc* in = pixels.get();
  for (std::size_t i = 0; i < pixel_bytes; i += 4) {
    out[i] = in[i + 2];
    out[i + 1] = in[i + 1];
    out[i + 2] = in[i];
    out[i + 3] = 0;
  }
  return bmp;
}

}  // namespace platform
