// The unicode picker dialog of the library.
#pragma once

#include <string>

#include "platform/types.h"

namespace quorel {

// Shows the picker modally, owned by the window, which is the editor's current dialog
// again when it has closed. True with the result box's text on OK; false on Cancel,
// Escape and the close box.
bool RunUnicodePicker(platform::WindowHandle owner, std::u16string* text);

}  // namespace quorel
