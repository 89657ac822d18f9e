#include "platform/text.h"

#include <windows.h>

namespace platform {

bool IsLetterOrDigit(char16_t c) { return IsCharAlphaNumericW(static_cast<WCHAR>(c)) != 0; }

}  // namespace platform
