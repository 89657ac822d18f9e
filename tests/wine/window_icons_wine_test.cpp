// The icons a window loads at each common scale are the program icon's own images of their sizes,
// never another one the system shrank or stretched to fit.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32/dpi_scale.h"

namespace {

constexpr int kIcon = 1;

// The image the icon group stores for `size`, as 32-bit rows from the top; empty when the
// group has no image of exactly that size.
std::vector<std::uint32_t> StoredImage(int size) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(kIcon), RT_GROUP_ICON);
  if (group == nullptr) return {};
  auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
  const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
  if (image == nullptr) return {};
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, image)));
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes, sizeof(header));
  if (header.biWidth != size || header.biHeight != 2 * size || header.biBitCount != 32) return {};
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(bytes + header.biSize);
  std::vector<std::uint32_t> rows(static_cast<std::size_t>(size * size));
  for (int y = 0; y < size; ++y) {
    std::memcpy(&rows[static_cast<std::size_t>(y * size)], pixels + (size - 1 - y) * size,
                static_cast<std::size_t>(size) * 4);
  }
  return rows;
}

// What a loaded icon shows, as 32-bit rows from the top.
std::vector<std::uint32_t> Shown(HICON icon, int* size) {
  ICONINFO info = {};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return {};
  BITMAP bitmap = {};
  GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
  *size = bitmap.bmWidth;
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = -bitmap.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> rows(static_cast<std::size_t>(bitmap.bmWidth * bitmap.bmHeight));
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bitmap.bmHeight), rows.data(), &format,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return rows;
}

TEST(WindowIconsTest, EveryCommonScaleLoadsTheImageDrawnForItsSize) {
  struct Kind {
    int metric;
    int size_at_96;
  };
  for (const int dpi : {96, 120, 144, 192}) {
    for (const Kind kind : {Kind{SM_CXSMICON, 16}, Kind{SM_CXICON, 32}}) {
      const int want = MulDiv(kind.size_at_96, dpi, 96);
      HICON icon = platform::win32::ProgramIconAt(GetModuleHandleW(nullptr), kIcon, kind.metric, dpi);
      int size = 0;
      const std::vector<std::uint32_t> shown = Shown(icon, &size);
      EXPECT_EQ(size, want) << dpi << " dpi";
      const std::vector<std::uint32_t> stored = StoredImage(want);
      ASSERT_FALSE(stored.empty()) << "no image of " << want << " pixels";
      EXPECT_TRUE(shown == stored) << want << " pixels at " << dpi << " dpi are not as drawn";
      DestroyIcon(icon);
    }
  }
}

}  // namespace
