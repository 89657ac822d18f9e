#include "keyboard/preview/preview_list.h"

#include "keyboard/keyboard_windows.h"
#include "platform/list_box.h"
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

void HidePreviewList() {
  platform::ListClear(Windows().list);
  platform::ShowWindowQuietly(Windows().list, false);
  Content() = ListContent::kNothing;
}

}  // namespace quorel::keyboard
