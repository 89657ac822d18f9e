// Pictures other than BMP that the keyboard draws from: PNG (the art at the larger scales),
// GIF and JPEG (a user's own). Each is decoded once into the bytes of a plain 32-bit
// top-down BMP, which the drawing code copies from as it copies from a BMP file.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::win32 {

// Nothing for bytes that are no picture of those kinds, or one larger than 32767 pixels a
// side: a damaged or hostile file never takes the keyboard down.
std::optional<std::vector<std::uint8_t>> DecodeToBmp(const std::uint8_t* bytes, std::size_t size);

}  // namespace platform::win32
