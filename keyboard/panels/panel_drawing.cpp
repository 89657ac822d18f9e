#include "keyboard/panels/panel_drawing.h"

#include <array>
#include <string_view>

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

// The path of the variant's images without extension; false when there is none to look for.
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
  *base = directory + u"\\Quorel bitmaps\\";
  *base += kSizeFolders[static_cast<std::size_t>(size - 1)];
  *base += u'\\';
  *base += name;
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

void SetPaintContext(platform::PaintContext paint) { Paint() = paint; }

platform::PaintContext PaintContextNow() { return Paint(); }

void CopyFromImage(const std::u16string& image, platform::WindowHandle window,
                   const platform::Rect& target, int source_x, int source_y) {
  if (window == 0 || image.empty()) return;
  platform::CopyImageRect(image, window, Paint(), target, source_x, source_y);
}

void InvertArea(platform::WindowHandle window, const platform::Rect& target) {
  if (window == 0) return;
  platform::InvertRect(window, Paint(), target);
}

}  // namespace quorel::keyboard
