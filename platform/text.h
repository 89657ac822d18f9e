// Character classification by the system's Unicode tables.
#pragma once

namespace platform {

bool IsLetterOrDigit(char16_t c);

}  // namespace platform

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Case mapping by the system's tables.
std::u16string ToUpper(std::u16string_view text);
std::u16string ToLower(std::u16string_view text);

// The current date or time in the user's default locale; `flags` as the system's date and
// time format calls take them (1 short date, 2 long date; 2 for a time without seconds).
std::u16string FormatDate(std::uint32_t flags);
std::u16string FormatTime(std::uint32_t flags);

}  // namespace platform
