// The pictures of the editor's four tabs, 165 x 83, in the panels' style: a label over a
// compass rose of the eight directions, a part of the letter panel, a few special-key
// cells, and short forms with their expansions.
#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "keyboard/panels/display_scale.h"
#include "tools/panel_art/bitmap.h"
#include "tools/panel_art/typeface.h"

namespace quorel::art {

constexpr int kTabPictureWidth = 165;
constexpr int kTabPictureHeight = 83;

// At `dpi`: its design pixels where keyboard::DeviceOf puts them, its text set anew.
Image DrawTabPicture(const Typefaces& faces, int tab, int dpi = 96);

// Where the editor finds a tab's picture below the output folder: "editor/<percent>".
std::filesystem::path TabPicturePath(const std::filesystem::path& out, int tab, int dpi = 96);

// Writes the four pictures at every scale below `out`/"Quorel bitmaps"/"editor".
bool WriteTabPictures(const std::filesystem::path& out, const Typefaces& faces, std::string* error,
                      std::span<const int> dpis = keyboard::kArtDpis);

}  // namespace quorel::art
