// Character classification by the system's Unicode tables.
#pragma once

namespace platform {

bool IsLetterOrDigit(char16_t c);

}  // namespace platform
