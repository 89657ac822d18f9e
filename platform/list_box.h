// The preview list: a pop-up list box that never activates.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace platform {

void ListClear(WindowHandle list);
// Appends the row, or inserts it at the top; returns its row number.
int ListAddRow(WindowHandle list, std::u16string_view text, std::intptr_t item_data,
               bool at_top);
int ListRowCount(WindowHandle list);
void ListSelectRow(WindowHandle list, int row);  // -1: no selection
int ListSelectedRow(WindowHandle list);          // -1: none
std::intptr_t ListRowData(WindowHandle list, int row);
int ListRowHeight(WindowHandle list);  // of row 0
// The row nearest to a point of the list's client area.
int ListRowNearest(WindowHandle list, Point point);
// The font sets the rows' height to the font's; a row height set after it overrides that.
void ListSetFont(WindowHandle list, FontHandle font);
void ListSetRowHeight(WindowHandle list, int height);
// Rows changed between a hold and its end are drawn once, after the end; a hidden list is
// not held (ending a hold would show it).
void ListHoldDrawing(WindowHandle list, bool hold);

}  // namespace platform
