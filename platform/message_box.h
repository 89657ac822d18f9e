// Message boxes: OK button, no owner, brought to the foreground.
#pragma once

#include "platform/types.h"

namespace platform {

void ShowMessage(std::u16string_view text, std::u16string_view caption);

}  // namespace platform
