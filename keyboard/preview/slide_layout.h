// Where the slide preview list goes and which of its rows a slide points at: plain
// arithmetic on a snapshot of the screen, taken when a new key and direction is looked up.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace quorel::keyboard {

struct SlideSnapshot {
  int virtual_left = 0;
  int virtual_top = 0;
  int virtual_right = 0;  // left + width
  int virtual_bottom = 0;
  int virtual_width = 0;
  int virtual_height = 0;
  platform::Rect keyboard;  // the keyboard window on the screen
  int row_height = 0;       // of one row of the preview list
  int border_width = 0;
  int border_height = 0;
  platform::Point down;  // the pen-down point on the screen
  int distance = 0;      // "Slide distance"
  int step = 0;          // "Slide step"
  platform::Rect monitor;  // the keyboard's own monitor, where its list opens
};

// How many matches a slide in `direction` can reach before the pen meets the screen's edge,
// 1..100.
int ListLimit(const SlideSnapshot& snapshot, int direction, bool slide_to_choice);

// True when the list of `rows` rows goes above the keyboard (and then runs bottom up).
bool ListGoesAbove(const SlideSnapshot& snapshot, int rows);

// The list's left edge for "Slide preview position" `position`, before it is kept inside
// the work area; 64 bits because nothing bounds it until then.
std::int64_t ListLeftEdge(const SlideSnapshot& snapshot, int direction, int position, int rows,
                          int width);

// The left edge moved into [work.left, work.right - width]; the left bound wins.
int ClampIntoWorkArea(std::int64_t left, int width, const platform::Rect& work);

// The row a slide of `level` selects among `rows` rows: the first match is always the row
// nearest the keyboard. -1 for an empty list.
int RowForLevel(int level, int rows, bool reversed_order);

}  // namespace quorel::keyboard
