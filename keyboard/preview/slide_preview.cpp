#include "keyboard/preview/slide_preview.h"

#include <algorithm>
#include <string>

#include "keyboard/key_kinds.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/display_scale.h"
#include "keyboard/preview/preview_list.h"
#include "keyboard/preview/slide_class.h"
#include "keyboard/preview/slide_layout.h"
#include "keyboard/render/render.h"
#include "library/options/options.h"
#include "library/strings/file_text.h"
#include "platform/drawing.h"
#include "platform/list_box.h"
#include "platform/message_box.h"
#include "platform/screen.h"
#include "platform/text.h"
#include "platform/window.h"

namespace quorel::keyboard {

namespace {

constexpr std::u16string_view kCaption = u"Quorel";

struct PreviewRecord {
  SlidePreview preview;
  SlideSnapshot snapshot;
  // The key whose look a reset restores when the slide set is replaced mid-press.
  CellId cell = kNoCell;
};

PreviewRecord& Record() {
  static PreviewRecord record;
  return record;
}

SlidePreview& Current() { return Record().preview; }

// The capital a slide from a small letter would give when it gives only that; characters
// without one are their own partner.
char16_t UpperPartner(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if ((c >= 0xE0 && c <= 0xE5) || (c >= 0xE7 && c <= 0xF4) || c == 0xF6 ||
      (c >= 0xF9 && c <= 0xFD)) {
    return static_cast<char16_t>(c - 0x20);
  }
  switch (c) {
    case 0x00FF:
      return 0x0178;
    case 0x0161:
      return 0x0160;
    case 0x017E:
      return 0x017D;
    default:
      return c;
  }
}

bool IsAlphabetic(char16_t c) { return platform::IsLetterOrDigit(c) && !(c >= u'0' && c <= u'9'); }

SlideSnapshot TakeSnapshot(int down_x, int down_y) {
  const platform::ScreenMetrics metrics = platform::GetScreenMetrics();
  SlideSnapshot snapshot;
  snapshot.virtual_left = metrics.virtual_left;
  snapshot.virtual_top = metrics.virtual_top;
  snapshot.virtual_right = metrics.virtual_left + metrics.virtual_width;
  snapshot.virtual_bottom = metrics.virtual_top + metrics.virtual_height;
  snapshot.virtual_width = metrics.virtual_width;
  snapshot.virtual_height = metrics.virtual_height;
  platform::GetWindowScreenRect(Windows().main, &snapshot.keyboard);
  snapshot.monitor = platform::MonitorAreaNearest(Windows().main);
  snapshot.row_height = platform::ListRowHeight(Windows().list);
  snapshot.border_width = metrics.border_width;
  snapshot.border_height = metrics.border_height;
  // The screen is in device pixels; the pen's way, in design pixels, is as long on the glass.
  snapshot.down = platform::ClientToScreen(Windows().main, ToDevice(platform::Point{down_x, down_y}));
  snapshot.distance = ToDevice(GetOption(OptionId::kSlideDistance));
  snapshot.step = ToDevice(GetOption(OptionId::kSlideStep));
  return snapshot;
}

int WantedRow(int direction, int level, int x, int y) {
  const SlidePreview& preview = Current();
  if (preview.match_count <= 0) return -1;
  // Above the keyboard the pen may slide onto the list itself and point at its row.
  if (preview.list_above && direction == 1 && GetOption(OptionId::kSlideToChoice) == 1 &&
      Record().snapshot.row_height > 0) {
    const platform::Point screen =
        platform::ClientToScreen(Windows().main, ToDevice(platform::Point{x, y}));
    const platform::Point in_list = platform::ScreenToClient(Windows().list, screen);
    return std::clamp(platform::ListRowNearest(Windows().list, in_list), 0,
                      preview.match_count - 1);
  }
  return RowForLevel(level, preview.match_count, preview.reversed_order);
}

void ForgetTriple() {
  SlidePreview& preview = Current();
  preview.last_kind = 0;
  preview.last_parameter = 0xFF;
  preview.last_direction = 0;
  preview.selection = -1;
}

void ShowList(CellId cell, int direction, int level, int x, int y) {
  SlidePreview& preview = Current();
  const SlideSnapshot& snapshot = Record().snapshot;
  const platform::WindowHandle list = Windows().list;
  const platform::FontHandle font = Windows().slides_font;
  const int rows = preview.match_count;

  if (preview.state == 1) DrawKeyFromAlternative(cell, false);
  preview.state = 2;

  const bool above = ListGoesAbove(snapshot, rows);
  preview.list_above = above;
  preview.reversed_order = above;

  platform::ListClear(list);
  int widest = 0;
  for (int i = 0; i < rows; ++i) {
    const SlideDefinition* slide = KeyboardSlides().Get(preview.matches[i]);
    std::u16string_view label;
    if (slide != nullptr) label = slide->preview ? *slide->preview : slide->text;
    // Rows above the keyboard are stacked upwards, so the first match sits next to it.
    platform::ListAddRow(list, label, preview.matches[i], preview.reversed_order);
    widest = std::max(widest, platform::MeasureTextWidth(font, label));
  }
  const int text_width = widest + platform::MeasureTextWidth(font, u"Mi");
  const int width = text_width + 2 * snapshot.border_width;
  const int height = snapshot.row_height * rows + 2 * snapshot.border_height;

  const std::int64_t left =
      ListLeftEdge(snapshot, direction, GetOption(OptionId::kSlidePreviewPosition), rows, width);
  const int top = above ? snapshot.keyboard.top - height + 1 : snapshot.keyboard.bottom;
  platform::PlaceWindow(list,
                        ClampIntoWorkArea(left, width, platform::WorkAreaNearest(Windows().main)),
                        top, width, height);
  SetShownListContent(ListContent::kSlides);

  // Filling emptied the selection, and the row under the pen needs the list in its place.
  preview.selection = WantedRow(direction, level, x, y);
  platform::ListSelectRow(list, preview.selection);
  platform::Repaint(list);
  platform::ShowWindowQuietly(list, true);
}

}  // namespace

const SlidePreview& Preview() { return Current(); }

SlideSet& KeyboardSlides() {
  static SlideSet slides;
  return slides;
}

int UpdateSlidePreview(std::uint16_t kind, std::uint16_t parameter, CellId cell, int down_x,
                       int down_y, int x, int y) {
  const SlideClass slide = ClassifySlide(down_x, down_y, x, y);
  if (!slide.is_slide) {
    ResetSlidePreview(cell);
    return 0;
  }

  SlidePreview& preview = Current();
  if (kind == preview.last_kind && parameter == preview.last_parameter &&
      slide.direction == preview.last_direction) {
    // Pen moves come many times a second; only the selection may have changed.
    if (preview.match_count <= 1) return preview.match_count;
    const int row = WantedRow(slide.direction, slide.level, x, y);
    if (row != preview.selection) {
      platform::ListSelectRow(Windows().list, row);
      preview.selection = row;
    }
    return preview.match_count;
  }

  preview.last_kind = kind;
  preview.last_parameter = parameter;
  preview.last_direction = slide.direction;
  Record().cell = cell;
  Record().snapshot = TakeSnapshot(down_x, down_y);
  preview.list_limit =
      ListLimit(Record().snapshot, slide.direction, GetOption(OptionId::kSlideToChoice) == 1);

  // The exact query: a key for U+00FF must not take every key's slides through the
  // editor's wildcard parameter.
  SlideSet& slides = KeyboardSlides();
  slides.SetExactQuery(slide.direction, kind, parameter);
  preview.match_count = 0;
  for (int index; preview.match_count < preview.list_limit && slides.Query(&index);) {
    preview.matches[preview.match_count++] = index;
  }
  if (preview.match_count == 0) {
    ResetSlidePreview(cell);
    return 0;
  }

  if (kind == kind::kCharacter && IsAlphabetic(parameter) && preview.match_count == 1) {
    const SlideDefinition* only = slides.Get(preview.matches[0]);
    if (only != nullptr && only->text.size() == 1 && only->text[0] == UpperPartner(parameter)) {
      // A capital alone reads better on the key itself than in a one-row list.
      if (preview.state == 2 && ShownListContent() == ListContent::kSlides) HidePreviewList();
      if (preview.state != 1) {
        DrawKeyFromAlternative(cell, true);
        preview.state = 1;
      }
      preview.selection = -1;
      return 1;
    }
  }

  ShowList(cell, slide.direction, slide.level, x, y);
  return preview.match_count;
}

bool CommitSlide(std::uint16_t kind, std::uint16_t parameter, CellId cell, int down_x, int down_y,
                 int x, int y, bool produced_at_down) {
  if (kind == kind::kDragHandle) return false;
  if (UpdateSlidePreview(kind, parameter, cell, down_x, down_y, x, y) == 0) return false;

  const SlidePreview& preview = Current();
  int index = -1;
  if (preview.state == 2 && preview.selection >= 0 && preview.selection < preview.match_count) {
    index = preview.matches[preview.reversed_order ? preview.match_count - preview.selection - 1
                                                   : preview.selection];
  } else if (preview.state == 1) {
    index = preview.matches[0];
  }
  const SlideDefinition* chosen = KeyboardSlides().Get(index);
  if (chosen == nullptr) {
    // Every press ends with the preview gone, taken or not.
    ResetSlidePreview(cell);
    return false;
  }
  // The preview text is only a label; the definition's text is what was asked for.
  const std::u16string text = chosen->text;
  ResetSlidePreview(cell);
  TypeText(kind, parameter, produced_at_down, false, text);
  return true;
}

void ResetSlidePreview(CellId cell) {
  SlidePreview& preview = Current();
  if (preview.state == 1) {
    DrawKeyFromAlternative(cell, false);
  } else if (preview.state == 2 && ShownListContent() == ListContent::kSlides) {
    HidePreviewList();
  }
  preview.state = 0;
  ForgetTriple();
}

namespace {

// The file the options name: a shipped one by "Use slides for", or the user's own.
struct SlideSource {
  int option = -1;
  std::u16string custom;
  bool operator==(const SlideSource&) const = default;
};

SlideSource CurrentSlideSource() {
  SlideSource source;
  source.option = GetOption(OptionId::kSlides);
  if (source.option != 1 && source.option != 2) {
    char16_t buffer[kPathChars] = {};
    if (GetStringSetting(StringSetting::kCustomSlidesFile, buffer, kPathChars)) source.custom = buffer;
  }
  return source;
}

SlideSource& LoadedSource() {
  static SlideSource loaded;
  return loaded;
}

}  // namespace

void FollowSlideSource() {
  if (!(CurrentSlideSource() == LoadedSource())) LoadSlideSet();
}

void LoadSlideSet() {
  LoadedSource() = CurrentSlideSource();
  // Matches and list rows hold indices into the set about to be replaced.
  ResetSlidePreview(Record().cell);
  KeyboardSlides().Release();

  std::u16string path;
  const int source = GetOption(OptionId::kSlides);
  if (source == 1 || source == 2) {
    std::u16string directory;
    if (!GetRunningExeDirectory(&directory)) {
      platform::ShowMessage(u"Can't find running exe directory.", kCaption);
      return;
    }
    path = directory + u"\\Quorel slidefiles\\" +
           (source == 1 ? u"CapsOnlySlides.txt" : u"MinimumSlides.txt");
  } else {
    char16_t buffer[kPathChars] = {};
    if (!GetStringSetting(StringSetting::kCustomSlidesFile, buffer, kPathChars)) {
      platform::ShowMessage(
          u"Can't find custom slide file name\nNo slides will be available\nPlease load a slide "
          u"file",
          kCaption);
      return;
    }
    path = buffer;
  }
  // The reader tells the user itself when the file cannot be opened.
  ReadSlideFile(KeyboardSlides(), path);
}

void ResetSlidePreviewForTest() {
  Record() = PreviewRecord();
  LoadedSource() = SlideSource();
  KeyboardSlides().Release();
  SetShownListContent(ListContent::kNothing);
}

}  // namespace quorel::keyboard
