#include "platform/win32/image_decode.h"

#include <windows.h>

#include <cstring>
#include <memory>

// The decoder is a public-domain single header from Debian's libstb-dev, built here with
// only the formats the keyboard looks for and no file access of its own.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_ONLY_JPEG
#define STBI_MAX_DIMENSIONS 32767
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

namespace platform::win32 {

std::optional<std::vector<std::uint8_t>> DecodeToBmp(const std::uint8_t* bytes, std::size_t size) {
  if (bytes == nullptr || size == 0 || size > 0x7FFFFFFF) return std::nullopt;
  int width = 0;
  int height = 0;
  int channels = 0;
  const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4),
      stbi_image_free);
  if (pixels == nullptr || width <= 0 || height <= 0) return std::nullopt;

  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  const std::size_t pixel_bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixel_bytes);
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = -height;  // top-down, as decoded
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  std::vector<std::uint8_t> bmp(file.bfOffBits + pixel_bytes);
  std::memcpy(bmp.data(), &file, sizeof(file));
  std::memcpy(bmp.data() + sizeof(file), &info, sizeof(info));
  // RGBA to the BGRX of the screen.
  std::uint8_t* out = bmp.data() + file.bfOffBits;
  const stbi_uc* in = pixels.get();
  for (std::size_t i = 0; i < pixel_bytes; i += 4) {
    out[i] = in[i + 2];
    out[i + 1] = in[i + 1];
    out[i + 2] = in[i];
    out[i + 3] = 0;
  }
  return bmp;
}

}  // namespace platform::win32
