// Time on the user-interface thread.
#pragma once

#include <cstdint>

namespace platform {

std::uint32_t TickCount();  // milliseconds, wrapping
void Sleep(std::uint32_t milliseconds);

}  // namespace platform
