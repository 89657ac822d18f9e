#include "keyboard/preview/preview_list.h"

#include <algorithm>
#include <cstdint>

#include "keyboard/keyboard_windows.h"
#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/panels.h"
#include "keyboard/render/render.h"
#include "library/options/options.h"
#include "platform/drawing.h"
#include "platform/list_box.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace quorel::keyboard {

namespace {

ListContent& Content() {
  static ListContent content = ListContent::kNothing;
  return content;
}

}  // namespace

ListContent ShownListContent() { return Content(); }

void SetShownListContent(ListContent content) { Content() = content; }

void SetListFont(platform::FontHandle font) {
  const platform::WindowHandle list = Windows().list;
  if (list == 0) return;
  platform::ListSetFont(list, font);
  if (SuggestionRowHeight() > platform::ListRowHeight(list)) {
    platform::ListSetRowHeight(list, SuggestionRowHeight());
  }
}

void HidePreviewList() {
  platform::ListClear(Windows().list);
  platform::ShowWindowQuietly(Windows().list, false);
  Content() = ListContent::kNothing;
}

ListRoom RoomAroundKeyboard() {
  ListRoom room;
  room.metrics = platform::GetScreenMetrics();
  platform::GetWindowScreenRect(Windows().main, &room.keyboard);
  room.row_height = platform::ListRowHeight(Windows().list);
  // On the keyboard's own monitor: with a monitor above the tablet, the room above the
  // keyboard on the whole virtual screen is not room the list can use.
  room.work = platform::WorkAreaNearest(Windows().main);
  const platform::Rect monitor = platform::MonitorAreaNearest(Windows().main);
  const platform::ScreenMetrics& metrics = room.metrics;
  if (room.row_height > 0) {
    room.above = (room.keyboard.top - monitor.top - 2 * metrics.border_height) / room.row_height;
    room.below = (monitor.bottom - 2 * (metrics.border_height + metrics.border_width) -
                  room.keyboard.bottom) /
                 room.row_height;
  }
  return room;
}

void PlaceListOverLetters(int rows, int widest, bool above, const ListRoom& room) {
  const platform::ScreenMetrics& metrics = room.metrics;
  const platform::Rect& keyboard = room.keyboard;
  const platform::WindowHandle list = Windows().list;
  const int text_width = widest + platform::MeasureTextWidth(Windows().slides_font, u"Mi");
  const int width = text_width + 2 * metrics.border_width;
  const int height = room.row_height * rows + 2 * metrics.border_height;
  const Span panel = MainPanelSpan(GetOption(OptionId::kSize), GetOption(OptionId::kSidebar));
  std::int64_t left = static_cast<std::int64_t>(keyboard.left) + ToDevice(panel.left) +
                      (ToDevice(panel.width) - text_width) / 2;
  const platform::Rect& work = room.work;
  left = std::min(left, static_cast<std::int64_t>(work.right) - width);
  left = std::max(left, static_cast<std::int64_t>(work.left));
  const int top = above ? keyboard.top - height + 1 : keyboard.bottom;
  platform::PlaceWindow(list, static_cast<int>(left), top, width, height);
}

void ShowListNotice(std::u16string_view text) {
  const platform::WindowHandle list = Windows().list;
  platform::ListClear(list);
  platform::ListAddRow(list, text, 0, false);
  SetShownListContent(ListContent::kNotice);
  const ListRoom room = RoomAroundKeyboard();
  PlaceListOverLetters(1, platform::MeasureTextWidth(Windows().slides_font, text),
                       room.above >= room.below, room);
  platform::ListSelectRow(list, -1);
  platform::Repaint(list);
  platform::ShowWindowQuietly(list, true);
}

}  // namespace quorel::keyboard
