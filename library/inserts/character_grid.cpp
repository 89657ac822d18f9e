#include "library/inserts/character_grid.h"

#include <algorithm>

namespace quorel {

namespace {
constexpr int kMargin = 14;
}  // namespace

PickerLayout LayOutPicker(const PickerMeasures& m) {
  PickerLayout layout;
  layout.cell = std::max(1, m.cell);
  const int cell = layout.cell;
  layout.columns = std::max(0, (m.width - 48) / cell);
  layout.rows = std::max(
      0, (m.height - cell - m.code_box_height - m.menu_bar_height - m.caption_height - 20) / cell);
  layout.grid_left = kMargin;
  layout.grid_top = m.code_box_height + 10;
  const int grid_width = layout.columns * cell;

  // The label's bottom one pixel above the code box's bottom.
  const int label_width = m.label_width;
  const int label_top = m.code_box_height - m.label_height + 4;
  layout.label = {kMargin, label_top, kMargin + label_width, label_top + m.label_height};

  // The code box's right edge on the grid's, never over the label.
  const int box_left = std::max(grid_width - m.code_box_width + kMargin, label_width + 16);
  layout.code_box = {box_left, 5, box_left + m.code_box_width, 5 + m.code_box_height};

  // The up-down control in the middle of the strip right of the grid, on its vertical middle.
  const int g = grid_width + 1;
  const int up_down_left = g + (m.width - m.frame_width - kMargin - g) / 2;
  const int up_down_height = 2 * cell + 1;
  const int up_down_top = layout.grid_top + (layout.rows * cell - up_down_height) / 2;
  layout.up_down = {up_down_left, up_down_top, up_down_left + 18, up_down_top + up_down_height};

  const int result_top = layout.grid_top + layout.rows * cell + 5;
  layout.result_box = {kMargin, result_top, kMargin + grid_width + 1, result_top + cell};
  return layout;
}

int PageSize(const PickerLayout& layout) { return layout.columns * layout.rows; }

bool CellAt(const PickerLayout& layout, platform::Point point, int* row, int* column) {
  const int dx = point.x - layout.grid_left;
  const int dy = point.y - layout.grid_top;
  // Left of or above the grid is outside it, not row or column 0.
  if (dx < 0 || dy < 0) return false;
  const int r = dy / layout.cell;
  const int c = dx / layout.cell;
  if (r >= layout.rows || c >= layout.columns) return false;
  *row = r;
  *column = c;
  return true;
}

platform::Rect CellRect(const PickerLayout& layout, int row, int column) {
  const int left = layout.grid_left + column * layout.cell;
  const int top = layout.grid_top + row * layout.cell;
  return {left, top, left + layout.cell + 1, top + layout.cell + 1};
}

int WrapCode(long long code) {
  const long long wrapped = code % kCodeCount;
  return static_cast<int>(wrapped < 0 ? wrapped + kCodeCount : wrapped);
}

int CodeOfCell(const PickerLayout& layout, int first_code, int row, int column) {
  return WrapCode(static_cast<long long>(first_code) + column +
                  static_cast<long long>(row) * layout.columns);
}

bool FindCode(const PickerLayout& layout, int first_code, int code, int* row, int* column) {
  if (layout.columns <= 0) return false;
  const int offset = WrapCode(static_cast<long long>(code) - first_code);
  if (offset >= PageSize(layout)) return false;
  *row = offset / layout.columns;
  *column = offset % layout.columns;
  return true;
}

int PageFrom(const PickerLayout& layout, int code, int direction) {
  return WrapCode(static_cast<long long>(code) +
                  static_cast<long long>(direction) * PageSize(layout));
}

bool ParseCode(std::u16string_view text, int* code) {
  long long value = 0;
  bool digits = false;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') continue;  // the box takes digits only; pasted text may not
    digits = true;
    value = (value * 10 + (c - u'0')) % kCodeCount;
  }
  if (!digits) return false;
  *code = static_cast<int>(value);
  return true;
}

std::u16string CharacterOf(int code) {
  code = WrapCode(code);
  if (code >= 0xD800 && code <= 0xDFFF) return {};
  if (code <= 0xFFFF) return std::u16string(1, static_cast<char16_t>(code));
  const int offset = code - 0x10000;
  return {static_cast<char16_t>(0xD800 + (offset >> 10)),
          static_cast<char16_t>(0xDC00 + (offset & 0x3FF))};
}

}  // namespace quorel
