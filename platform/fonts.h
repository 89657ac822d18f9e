// Fonts for text drawn by the programs.
#pragma once

#include "platform/types.h"

namespace platform {

struct FontDescription {
  int height = 0;  // negative: character height in pixels
  int weight = 400;
  bool italic = false;
  std::u16string face;  // at most 31 characters
};

// Returns 0 when no font could be made.
FontHandle CreateFontFrom(const FontDescription& description);

}  // namespace platform
