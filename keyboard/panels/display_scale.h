// The keyboard is laid out in design pixels, 96 to the inch, as its tables give them; the
// screen it shows on has a scale of its own (150 % on a 12-inch tablet, 200 % on many).
// The art is drawn for a few scales, and the keyboard takes the one nearest the screen's
// and lays itself out at it, so every key is as large on the glass at every scale and its
// picture is never stretched. Design pixels turn into device pixels only here.
#pragma once

#include <array>

#include "platform/types.h"

namespace quorel::keyboard {

// The dots per inch the art is drawn at: 100 % to 300 %.
inline constexpr std::array<int, 8> kArtDpis = {96, 120, 144, 168, 192, 216, 240, 288};

// The device pixel where design pixel `design` begins at `dpi`. Design pixel v covers the
// device pixels from DeviceOf(v) up to DeviceOf(v + 1) - 1, so cells that meet in the
// tables meet on the screen, and the art generator draws with the same function.
int DeviceOf(int design, int dpi);
// The design pixel that covers device pixel `device`: the inverse of DeviceOf.
int DesignOf(int device, int dpi);

// The scale the keyboard shows at: the dpi of the art it draws from (ArtDpiFor).
void SetDisplayDpi(int art_dpi);
int DisplayDpi();
int ToDevice(int design);
int ToDesign(int device);
platform::Rect ToDevice(const platform::Rect& design);  // exclusive edges stay exclusive
platform::Point ToDevice(platform::Point design);
platform::Point ToDesign(platform::Point device);
// How many whole design pixels a length of device pixels holds (a screen's width).
int ToDesignLength(int device_length);

// A panel is drawn from its own corner: its picture holds design pixel v of the panel at
// device pixel DeviceOf(v), and the picture's corner lies at the device pixel of the panel's
// corner in the window. So a rectangle of the window that lies in the panel whose corner is
// at design point `origin` lies at these device pixels. Rounding each panel from the window's
// corner instead would cut or shift a column wherever it does not add up.
platform::Rect PanelToDevice(platform::Point origin, const platform::Rect& design);
// The design point of the panel with its corner at `origin` that covers the device point.
platform::Point PanelToDesign(platform::Point origin, platform::Point device);

}  // namespace quorel::keyboard
