// While the pen slides from a key: the slide definitions of that key and direction, shown
// in the preview list (or as the key's capital when that is all there is), chosen by the
// slide's length, and typed at pen up.
#pragma once

#include <cstdint>

#include "keyboard/panels/panels.h"
#include "library/slides/slide_set.h"

namespace quorel::keyboard {

constexpr int kMaxSlideMatches = 100;

struct SlidePreview {
  int state = 0;  // 0 idle, 1 shifted key shown, 2 list shown
  std::uint16_t last_kind = 0;
  std::uint16_t last_parameter = 0xFF;
  int last_direction = 0;
  int selection = -1;
  int match_count = 0;
  int matches[kMaxSlideMatches] = {};
  bool list_above = false;
  bool reversed_order = false;
  int list_limit = 0;
};
const SlidePreview& Preview();

// The keyboard's slide set, read from the file the options name.
SlideSet& KeyboardSlides();

// Called on every pen move of a press (never for the drag handle); returns how many
// matches are previewed, 0 when the movement is no slide or finds none.
int UpdateSlidePreview(std::uint16_t kind, std::uint16_t parameter, CellId cell, int down_x,
                       int down_y, int x, int y);
// At pen up: types the chosen match and returns true, or false when the press was no slide
// (always for the drag handle). `produced_at_down` tells the text typer to take back the
// key already performed at pen down.
bool CommitSlide(std::uint16_t kind, std::uint16_t parameter, CellId cell, int down_x,
                 int down_y, int x, int y, bool produced_at_down);
// Removes the preview and restores the key's look.
void ResetSlidePreview(CellId cell);
// Releases the slide set and reads it anew from the file "Use slides for" names.
void LoadSlideSet();
// After the options were read again: reads the slide set anew when they now name another
// file than the one it was read from, so a file chosen in the options program types at once.
void FollowSlideSource();

void ResetSlidePreviewForTest();

}  // namespace quorel::keyboard
