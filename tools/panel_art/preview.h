// Whole keyboards put together from written images, to look at the artwork as a user sees
// it. Not shipped: the keyboard itself puts the panels together at run time.
#pragma once

#include <filesystem>
#include <optional>

#include "tools/panel_art/bitmap.h"

namespace quorel::art {

// Several keyboards of one size stacked: the usual states with "Side bar position" 2, one
// with a few keys pressed, and the variants that only position 1 shows. Nothing when an
// image is missing or unreadable.
std::optional<Image> ComposePreview(const std::filesystem::path& out, int size);

}  // namespace quorel::art
