// Message boxes: OK button, no owner, brought to the foreground.
#pragma once

#include "platform/types.h"

namespace platform {

void ShowMessage(std::u16string_view text, std::u16string_view caption);
// The same, owned by a window, which it keeps disabled while it is up.
void ShowMessageOwned(WindowHandle owner, std::u16string_view text, std::u16string_view caption);

}  // namespace platform
