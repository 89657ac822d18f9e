// The one preview list the keyboard owns, shared by the slide preview, the glossary
// suggestions and the keyboard's notices. Its rows carry item data whose meaning depends on
// who filled it last: slide definition indices for a slide, entry pointers for suggestions.
#pragma once

#include <string_view>

#include "platform/screen.h"

namespace quorel::keyboard {

enum class ListContent { kNothing, kSlides, kSuggestions, kNotice };

// What the rows of the list hold now.
ListContent ShownListContent();
void SetShownListContent(ListContent content);

// Empties and hides the list.
void HidePreviewList();
// The list shows its rows in the font, each at least as tall as a finger can take.
void SetListFont(platform::FontHandle font);

// How many rows of the list fit above the keyboard and below it on the screen, and what
// that was judged on, which placing the list uses again.
struct ListRoom {
  int above = 0;
  int below = 0;
  platform::ScreenMetrics metrics;
  platform::Rect keyboard;
  platform::Rect work;  // the work area of the keyboard's monitor
  int row_height = 0;
};
ListRoom RoomAroundKeyboard();
// Sizes the list to `rows` rows with text up to `widest` pixels wide, and places it above
// or below the keyboard, centred over the letters where the eyes are while typing.
void PlaceListOverLetters(int rows, int widest, bool above, const ListRoom& room);

// A line of text in the list, on the side of the keyboard with more room, with no row
// selected; like every content of the list, it never takes the focus.
void ShowListNotice(std::u16string_view text);

}  // namespace quorel::keyboard
