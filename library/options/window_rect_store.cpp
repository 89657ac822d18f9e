#include "library/options/window_rect_store.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/screen.h"

namespace quorel {

namespace {

constexpr std::array<std::u16string_view, 4> kSuffixes = {u"_left", u"_top", u"_width", u"_height"};
constexpr std::array<std::int32_t, 4> kDefaults = {0, 0, 320, 300};

std::u16string ValueName(std::u16string_view prefix, std::u16string_view suffix) {
  std::u16string name(prefix);
  name += suffix;
  return name;
}

// Would the rectangle show any pixel of the virtual screen, which reaches left of and above
// the primary monitor when another monitor lies there? Sums are taken wide so that absurd
// stored values cannot overflow into a false overlap.
bool OverlapsScreen(const std::array<std::int32_t, 4>& rect) {
  const platform::ScreenMetrics screen = platform::GetScreenMetrics();
  const std::int64_t left = rect[0];
  const std::int64_t top = rect[1];
  const std::int64_t right = left + rect[2];
  const std::int64_t bottom = top + rect[3];
  return std::max<std::int64_t>(left, screen.virtual_left) <
             std::min<std::int64_t>(right, std::int64_t{screen.virtual_left} + screen.virtual_width) &&
         std::max<std::int64_t>(top, screen.virtual_top) <
             std::min<std::int64_t>(bottom, std::int64_t{screen.virtual_top} + screen.virtual_height);
}

}  // namespace

long SaveWindowRect(std::u16string_view prefix, platform::WindowHandle window) {
  platform::Rect rect;
  if (!platform::GetWindowScreenRect(window, &rect)) return kErrorInvalidWindowHandle;
  const std::array<std::int32_t, 4> values = {
      rect.left, rect.top,
      static_cast<std::int32_t>(static_cast<std::int64_t>(rect.right) - rect.left),
      static_cast<std::int32_t>(static_cast<std::int64_t>(rect.bottom) - rect.top)};

  platform::RegistryKey key = 0;
  if (long error = platform::RegistryCreateKey(kEditorKey, &key); error != 0) return error;
  long first_error = 0;
  for (std::size_t i = 0; i < kSuffixes.size(); ++i) {
    long error = platform::RegistrySetValue(key, ValueName(prefix, kSuffixes[i]),
                                            platform::kRegDword, &values[i], sizeof values[i]);
    if (first_error == 0) first_error = error;
  }
  platform::RegistryCloseKey(key);
  return first_error;
}

void LoadWindowRect(std::u16string_view prefix, int* left, int* top, int* width, int* height) {
  std::array<std::int32_t, 4> rect = kDefaults;
  platform::RegistryKey key = 0;
  if (platform::RegistryOpenKeyRead(kEditorKey, &key) == 0) {
    for (std::size_t i = 0; i < kSuffixes.size(); ++i) {
      std::uint32_t type = 0;
      std::vector<std::uint8_t> data;
      if (platform::RegistryQueryValue(key, ValueName(prefix, kSuffixes[i]), &type, &data) == 0 &&
          type == platform::kRegDword && data.size() == sizeof rect[i]) {
        std::memcpy(&rect[i], data.data(), sizeof rect[i]);
      }
    }
    platform::RegistryCloseKey(key);
  }
  if (!OverlapsScreen(rect)) rect = kDefaults;

  int* const out[] = {left, top, width, height};
  for (std::size_t i = 0; i < rect.size(); ++i) {
    if (out[i] != nullptr) *out[i] = rect[i];
  }
}

}  // namespace quorel
