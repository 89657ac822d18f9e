// Pictures other than BMP that the keyboard draws from: PNG (the art at every scale) and GIF
// (a user's own). Each is decoded once into the bytes of a plain 32-bit top-down BMP, which
// the drawing code copies from as it copies from a BMP file. JPEG is not decoded: the
// decoder's JPEG reader writes past its tables on a damaged file, and a lossy format blurs
// key legends anyway; a .jpeg found draws nothing, as it did before pictures were decoded.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// Nothing for bytes that are no picture of those kinds, or one claiming more than 16 million
// pixels: a damaged or hostile file never takes the keyboard down or its memory.
std::optional<std::vector<std::uint8_t>> DecodeToBmp(const std::uint8_t* bytes, std::size_t size);

}  // namespace platform
