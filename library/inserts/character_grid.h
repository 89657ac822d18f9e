// The unicode picker's grid: where its controls go, which code each cell shows, and the
// text a code inserts. Every character can be picked, beyond the first 65,536 too.
#pragma once

#include <string>
#include <string_view>

#include "platform/types.h"

namespace quorel {

// Codes run from 0 to U+10FFFF and wrap around.
inline constexpr int kCodeCount = 0x110000;
inline constexpr int kLargestCode = kCodeCount - 1;
// Enough digits for the largest code.
inline constexpr int kCodeDigits = 7;
// The picker's default and smallest window, and the result box's limit.
inline constexpr int kPickerDefaultWidth = 320;
inline constexpr int kPickerDefaultHeight = 300;
inline constexpr int kPickerResultLimit = 255;

// What the layout reads off the window and its controls.
struct PickerMeasures {
  int width = 0;   // outer width and height of the dialog window
  int height = 0;
  int cell = 0;    // the side of a cell: the grid font's text height + 4
  int code_box_width = 0;
  int code_box_height = 0;
  int label_width = 0;   // its text and a border on either side
  int label_height = 0;
  int menu_bar_height = 0;
  int caption_height = 0;
  int frame_width = 0;   // the window's frame, both sides together
};

struct PickerLayout {
  int columns = 0;
  int rows = 0;
  int grid_left = 0;
  int grid_top = 0;
  int cell = 0;
  platform::Rect label;
  platform::Rect code_box;
  platform::Rect up_down;
  platform::Rect result_box;
};

PickerLayout LayOutPicker(const PickerMeasures& measures);

// The codes one grid shows.
int PageSize(const PickerLayout& layout);

// The cell under a point of the dialog's client area; false outside the grid.
bool CellAt(const PickerLayout& layout, platform::Point point, int* row, int* column);

// The rectangle of a cell, sharing its border lines with its neighbours.
platform::Rect CellRect(const PickerLayout& layout, int row, int column);

// Any whole number as a code: taken modulo the code count.
int WrapCode(long long code);

// The code a cell shows when the grid starts at first_code.
int CodeOfCell(const PickerLayout& layout, int first_code, int row, int column);

// True when the grid from first_code shows the code, and where.
bool FindCode(const PickerLayout& layout, int first_code, int code, int* row, int* column);

// The first code one page back (direction -1) or forward (+1) from a code.
int PageFrom(const PickerLayout& layout, int code, int direction);

// The code typed into the code box: its digits, wrapped; false when it holds no digit.
bool ParseCode(std::u16string_view text, int* code);

// The text a code inserts and its cell shows: one unit, a surrogate pair beyond U+FFFF, and
// nothing for the halves of a pair (U+D800 to U+DFFF), which no program can type alone.
std::u16string CharacterOf(int code);

}  // namespace quorel
