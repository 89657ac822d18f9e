#include "keyboard/panels/display_scale.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace quorel::keyboard {

namespace {

// Rounds towards minus infinity, for points left of or above the window too.
std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
  const std::int64_t quotient = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? quotient - 1 : quotient;
}

int& Dpi() {
  static int dpi = 96;
  return dpi;
}

}  // namespace

int DeviceOf(int design, int dpi) {
  // A stored option may be any number: the product is kept to what an int holds.
  return static_cast<int>(std::clamp<std::int64_t>(FloorDivide(std::int64_t{design} * dpi, 96),
                                                   std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

int DesignOf(int device, int dpi) {
  // The largest v with DeviceOf(v) <= device.
  return static_cast<int>(FloorDivide((std::int64_t{device} + 1) * 96 + dpi - 1, dpi) - 1);
}

void SetDisplayDpi(int art_dpi) { Dpi() = art_dpi > 0 ? art_dpi : 96; }

int DisplayDpi() { return Dpi(); }

int ToDevice(int design) { return DeviceOf(design, Dpi()); }

int ToDesign(int device) { return DesignOf(device, Dpi()); }

platform::Rect ToDevice(const platform::Rect& design) {
  return {ToDevice(design.left), ToDevice(design.top), ToDevice(design.right),
          ToDevice(design.bottom)};
}

platform::Point ToDevice(platform::Point design) { return {ToDevice(design.x), ToDevice(design.y)}; }

platform::Point ToDesign(platform::Point device) { return {ToDesign(device.x), ToDesign(device.y)}; }

platform::Rect PanelToDevice(platform::Point origin, const platform::Rect& design) {
  const int x = ToDevice(origin.x);
  const int y = ToDevice(origin.y);
  return {x + ToDevice(design.left - origin.x), y + ToDevice(design.top - origin.y),
          x + ToDevice(design.right - origin.x), y + ToDevice(design.bottom - origin.y)};
}

platform::Point PanelToDesign(platform::Point origin, platform::Point device) {
  return {origin.x + ToDesign(device.x - ToDevice(origin.x)),
          origin.y + ToDesign(device.y - ToDevice(origin.y))};
}

int ToDesignLength(int device_length) {
  return static_cast<int>(FloorDivide(std::int64_t{device_length} * 96, Dpi()));
}

}  // namespace quorel::keyboard
