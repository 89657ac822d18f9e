// SPECIALS_PopupMenu: the special key menu for the editor's "Insert Macro ..." button.
#include <algorithm>
#include <array>

#include "library/api/api_support.h"
#include "library/inserts/insert_menu.h"
#include "library/win32/unicode_picker.h"

namespace {

// The text handed out stays until the next call; callers copy it at once.
std::array<char16_t, 1000> result;

}  // namespace

extern "C" const QUOREL_CHAR* SPECIALS_PopupMenu(QUOREL_WINDOW owner, int x, int y) {
  try {
    const std::optional<std::u16string> text = quorel::PickSpecial(
        reinterpret_cast<platform::WindowHandle>(owner), x, y, quorel::RunUnicodePicker);
    if (!text) return nullptr;
    std::size_t length = std::min(text->size(), result.size() - 1);
    // Never half a pair at the cut.
    if (length > 0 && length < text->size() && (*text)[length - 1] >= 0xD800 &&
        (*text)[length - 1] <= 0xDBFF) {
      --length;
    }
    std::copy_n(text->begin(), length, result.begin());
    result[length] = 0;
    return quorel::api::Out(result.data());
  } catch (...) {
    return nullptr;
  }
}
