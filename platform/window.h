// Windows and their messages, timers and the pen capture.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

void PostMessageTo(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam);
void SendMessageTo(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam);
void StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds);
void StopTimer(WindowHandle window, std::uintptr_t id);
void CapturePen(WindowHandle window);
void ReleasePen();
Point ClientToScreen(WindowHandle window, Point point);
Point ScreenToClient(WindowHandle window, Point point);
// Moves and sizes a window without changing its place in the z-order.
void PlaceWindow(WindowHandle window, int x, int y, int width, int height);
// Shows a window without activating it, or hides it.
void ShowWindowQuietly(WindowHandle window, bool show);
// Shows a window on top of other windows, never activating it.
void ShowOnTopQuietly(WindowHandle window);
// Visible and not minimised.
bool IsWindowShown(WindowHandle window);
void Repaint(WindowHandle window);

}  // namespace platform
