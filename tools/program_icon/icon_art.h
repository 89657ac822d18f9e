// The picture of the keyboard program's icon: a dark keyboard with pale keys and a pen
// whose tip presses one key, which lights up in the keyboard's blue. Each icon size has
// its own layout on whole pixels, so that the keys stay crisp at 16 pixels.
#pragma once

#include <span>
#include <vector>

#include "tools/program_icon/canvas.h"

namespace quorel::icon {

// The sizes the icon file holds, smallest first.
std::span<const int> IconSizes();

// size * size pixels, row by row from the top; empty for a size not in IconSizes().
std::vector<Rgba> DrawIcon(int size);

}  // namespace quorel::icon
