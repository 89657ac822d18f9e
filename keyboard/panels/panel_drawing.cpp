#include "keyboard/panels/panel_drawing.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>

#include "keyboard/panels/display_scale.h"
#include "library/options/options.h"
#include "library/strings/file_text.h"
#include "platform/files.h"
#include "platform/message_box.h"

namespace quorel::keyboard {

namespace {

constexpr std::array<std::u16string_view, 4> kSizeFolders = {u"small", u"medium", u"large",
                                                             u"finger"};
// In order of preference: a .png beside a .bmp of the same name wins.
constexpr std::array<std::u16string_view, 4> kExtensions = {u".png", u".bmp", u".gif", u".jpeg"};

platform::PaintContext& Paint() {
  static platform::PaintContext paint = 0;
  return paint;
}

std::u16string FirstExisting(const std::u16string& base) {
  for (std::u16string_view extension : kExtensions) {
    std::u16string path = base;
    path += extension;
    if (platform::FileExists(path)) return path;
  }
  return {};
}

// The size folder, where a user's own pictures go.
std::u16string SizeFolder(const std::u16string& directory, int size) {
  std::u16string folder = directory + u"\\Quorel bitmaps\\";
  folder += kSizeFolders[static_cast<std::size_t>(size - 1)];
  folder += u'\\';
  return folder;
}

// The folder of the art drawn for a size at a scale: "100", "150", ... below the size folder.
std::u16string ArtFolder(const std::u16string& directory, int size, int dpi) {
  std::u16string folder = SizeFolder(directory, size);
  const std::string percent = std::to_string(dpi * 100 / 96);
  folder.append(percent.begin(), percent.end());
  folder += u'\\';
  return folder;
}

// The path of the variant's images without extension; false when there is none to look for.
// Normal and inverted image always come from one name: a pressed key never shows the
// legends of another "Symbols" value.
bool ImageBase(PanelKind kind, std::u16string* base) {
  const char16_t* name = PanelKindName(kind);
  if (name == nullptr) return false;
  std::u16string directory;
  if (!GetRunningExeDirectory(&directory)) {
    platform::ShowMessage(u"Can't find running exe directory.", u"Quorel");
    return false;
  }
  const int size = GetOption(OptionId::kSize);
  if (size < 1 || size > 4) return false;
  std::u16string folder = ArtFolder(directory, size, DisplayDpi());
  // At 100 % a user's own picture in the size folder takes the place of the one drawn.
  if (DisplayDpi() == 96) {
    const std::u16string own_folder = SizeFolder(directory, size);
    if (!FirstExisting(own_folder + name).empty()) folder = own_folder;
  }
  const std::u16string own = OptionImageName(kind, GetOption(OptionId::kSymbols));
  *base = folder + (!own.empty() && !FirstExisting(folder + own).empty() ? own : name);
  return true;
}

}  // namespace

PanelImages LookUpImages(PanelKind kind) {
  PanelImages images;
  std::u16string base;
  if (!ImageBase(kind, &base)) return images;
  images.normal = FirstExisting(base);
  images.inverted = FirstExisting(base + u"_inv");
  return images;
}

std::u16string LookUpImage(PanelKind kind, bool inverted) {
  std::u16string base;
  if (!ImageBase(kind, &base)) return {};
  return FirstExisting(inverted ? base + u"_inv" : base);
}

std::u16string OptionImageName(PanelKind kind, int symbols_option) {
  if (kind != PanelKind::kSymbolNormal || (symbols_option != 1 && symbols_option != 2)) return {};
  std::u16string name = PanelKindName(kind);
  name += static_cast<char16_t>(u'0' + symbols_option);
  return name;
}

void SetPaintContext(platform::PaintContext paint) { Paint() = paint; }

platform::PaintContext PaintContextNow() { return Paint(); }

int ArtDpiFor(int monitor_dpi, int size) {
  std::u16string directory;
  if (size < 1 || size > 4 || !GetRunningExeDirectory(&directory)) return 96;
  std::array<int, kArtDpis.size()> nearest_first = kArtDpis;
  std::stable_sort(nearest_first.begin(), nearest_first.end(), [monitor_dpi](int a, int b) {
    return std::abs(a - monitor_dpi) < std::abs(b - monitor_dpi);
  });
  // The caption's picture stands for the whole set: a scale drawn at all has it.
  const char16_t* caption = PanelKindName(PanelKind::kCaption);
  for (int dpi : nearest_first) {
    if (dpi == 96) return 96;
    if (!FirstExisting(ArtFolder(directory, size, dpi) + caption).empty()) return dpi;
  }
  return 96;
}

// The panels' tables are in design pixels; the window and its art in device pixels. The
// image's corner is the panel's, so the source point says where the panel's corner lies.
void CopyFromImage(const std::u16string& image, platform::WindowHandle window,
                   const platform::Rect& target, int source_x, int source_y) {
  if (window == 0 || image.empty()) return;
  const platform::Point origin{target.left - source_x, target.top - source_y};
  platform::CopyImageRect(image, window, Paint(), PanelToDevice(origin, target),
                          ToDevice(source_x), ToDevice(source_y));
}

void InvertArea(platform::WindowHandle window, const platform::Rect& target,
                platform::Point origin) {
  if (window == 0) return;
  platform::InvertRect(window, Paint(), PanelToDevice(origin, target));
}

}  // namespace quorel::keyboard
