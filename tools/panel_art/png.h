// The art's PNG files: a palette of at most 256 colours (exact when the image has no more;
// else each colour stands in for its nearest, a step or two of a channel away in the art's
// gradients and anti-aliased ink), compressed as far as zlib goes. The keyboard decodes
// them once into memory.
#pragma once

#include <filesystem>
#include <optional>

#include "tools/panel_art/bitmap.h"

namespace quorel::art {

bool WritePng(const std::filesystem::path& path, const Image& image);
// Reads back what WritePng writes, and 8-bit RGB; nothing for any other kind of PNG.
std::optional<Image> ReadPng(const std::filesystem::path& path);

}  // namespace quorel::art
