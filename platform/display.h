// The primary display's mode, and the work areas of the monitors.
#pragma once

#include "platform/types.h"

namespace platform {

struct DisplaySettings {
  int orientation = 0;  // 0 default, 1 turned 90 degrees, 2 turned 180, 3 turned 270
  int width = 0;        // pixels
  int height = 0;
  bool operator==(const DisplaySettings&) const = default;
};

// The current mode of the primary display; false when it cannot be read.
bool ReadDisplaySettings(DisplaySettings* settings);
// Switches the primary display at once, for this session only; the result is not known.
void ApplyDisplaySettings(const DisplaySettings& settings);

// The work area (the screen less the task bar) of the monitor nearest to the rectangle.
Rect WorkAreaNearestRect(const Rect& rect);
// The dots per inch of the monitor nearest to the rectangle.
int MonitorDpiNearestRect(const Rect& rect);

}  // namespace platform
