// Rows a finger can take: the suggestion list's rows against the keys they are chosen with.
#include <gtest/gtest.h>

#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/panels.h"
#include "keyboard/preview/preview_list.h"
#include "keyboard/preview/preview_test_scene.h"
#include "keyboard/render/render.h"
#include "platform/list_box.h"

namespace quorel::keyboard {
namespace {

using namespace scene;

// A letter key of the keyboard as it is shown, in device pixels.
int LetterKeyHeight() {
  KeyRects rects;
  EXPECT_TRUE(GetKeyRects(MakeCellId(0, SlotRecord(kMainSlot)), &rects));
  const platform::Rect device = ToDevice(rects.outer);
  return device.bottom - device.top;
}

// At every size and scale a row is at least two thirds of a letter key as tall; the list's
// own font grows with the rows, and a font the user chose stays as chosen.
TEST(SuggestionRows, AreTwoThirdsOfAKeyAtEverySizeAndScaleWithTheFontGrown) {
  for (const bool chosen : {false, true}) {
    for (const int dpi : kArtDpis) {
      int smallest_font = 0;
      for (int size = 1; size <= 4; ++size) {
        SCOPED_TRACE(::testing::Message() << "size " << size << " at " << dpi << " dpi"
                                          << (chosen ? ", a font chosen" : ""));
        SetUpScene();
        if (chosen) {
          SetStringSetting(StringSetting::kPreviewFontName, u"Georgia");
          SetOption(OptionId::kPreviewFontSize, 9);
        }
        SetDisplayDpi(dpi);
        SetOption(OptionId::kSize, size);
        SetPanelWindow(12);
        RefreshPanels(true);
        SetListFont(1);
        EXPECT_GE(3 * platform::ListRowHeight(kList), 2 * LetterKeyHeight());
        const int font = -SlidesFontDescription(dpi).height;
        if (size == 1) smallest_font = font;
        if (chosen) {
          EXPECT_EQ(font, -MakeFontDescription(u"Georgia", 9, false, false, dpi).height);
        } else if (size == 4) {
          EXPECT_GT(font, smallest_font) << "the font did not grow with the rows";
        }
      }
    }
  }
  ResetEngineForTest();
}

}  // namespace
}  // namespace quorel::keyboard
