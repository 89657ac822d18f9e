#include "platform/clock.h"

#include <windows.h>

namespace platform {

std::uint32_t TickCount() { return GetTickCount(); }

void Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace platform
