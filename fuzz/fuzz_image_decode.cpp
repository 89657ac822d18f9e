// Feeds arbitrary bytes to the picture decoder, as a user's own picture in the keyboard's
// folder or a damaged art file would reach it. It must never crash or read past the bytes,
// and what it gives back must be a whole BMP: its headers name the size of its pixels.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/image_decode.h"

namespace {

std::uint32_t Read32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
         (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto bmp = platform::DecodeToBmp(data, size);
  if (!bmp) return 0;
  if (bmp->size() < 54 || (*bmp)[0] != 'B' || (*bmp)[1] != 'M') {
    std::fprintf(stderr, "DecodeToBmp: no BMP header\n");
    std::abort();
  }
  const std::int64_t width = static_cast<std::int32_t>(Read32(bmp->data() + 18));
  const std::int64_t height = -static_cast<std::int64_t>(static_cast<std::int32_t>(Read32(bmp->data() + 22)));
  if (width <= 0 || height <= 0 || Read32(bmp->data() + 10) != 54 ||
      static_cast<std::int64_t>(bmp->size()) != 54 + width * height * 4 ||
      Read32(bmp->data() + 2) != bmp->size()) {
    std::fprintf(stderr, "DecodeToBmp: the headers do not name the pixels given\n");
    std::abort();
  }
  return 0;
}
