// Key images drawn by the real system: each pixel lands where the key expects it, in
// every format the artwork may come in, and a damaged file draws nothing and harms nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/drawing.h"

namespace {

constexpr int kCanvas = 600;
constexpr COLORREF kBlank = RGB(1, 2, 3);

// The colour every test image has at (x, y), counted from its top-left corner; no two
// pixels of a test image share it.
COLORREF Expected(int x, int y) { return RGB(x % 256, y % 256, (x / 256) * 16 + y / 256); }

// A BMP of that pattern, with 24- or 32-bit pixels, stored bottom-up as the artwork is or
// top-down as other painting programs may save it.
std::string Bmp(int width, int height, int bits, bool top_down = false) {
  const int stride = (width * bits + 31) / 32 * 4;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = top_down ? -height : height;
  info.biPlanes = 1;
  info.biBitCount = static_cast<WORD>(bits);
  info.biCompression = BI_RGB;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  for (int line_number = 0; line_number < height; ++line_number) {
    const int row = top_down ? line_number : height - 1 - line_number;
    std::string line(static_cast<std::size_t>(stride), '\0');
    for (int x = 0; x < width; ++x) {
      const COLORREF colour = Expected(x, row);
      char* pixel = line.data() + x * (bits / 8);
      pixel[0] = static_cast<char>(GetBValue(colour));
      pixel[1] = static_cast<char>(GetGValue(colour));
      pixel[2] = static_cast<char>(GetRValue(colour));
    }
    bytes += line;
  }
  return bytes;
}

// The same image with its colours described by masks, a kind the system's loader reads.
std::string WithMasks(std::string bmp) {
  auto* file = reinterpret_cast<BITMAPFILEHEADER*>(bmp.data());
  auto* info = reinterpret_cast<BITMAPINFOHEADER*>(bmp.data() + sizeof(BITMAPFILEHEADER));
  info->biCompression = BI_BITFIELDS;
  file->bfOffBits += 12;
  const DWORD masks[3] = {0xFF0000, 0xFF00, 0xFF};
  bmp.insert(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER),
             reinterpret_cast<const char*>(masks), sizeof(masks));
  return bmp;
}

class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"quorel-drawing-test.bmp";
    screen_ = GetDC(nullptr);
    memory_ = CreateCompatibleDC(screen_);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kCanvas;
    info.bmiHeader.biHeight = -kCanvas;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    canvas_ = CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(canvas_, nullptr);
    previous_ = SelectObject(memory_, canvas_);
    Clear();
  }
  void TearDown() override {
    SelectObject(memory_, previous_);
    DeleteObject(canvas_);
    DeleteDC(memory_);
    ReleaseDC(nullptr, screen_);
    DeleteFileW(path_.c_str());
  }

  void Clear() {
    HBRUSH brush = CreateSolidBrush(kBlank);
    RECT all = {0, 0, kCanvas, kCanvas};
    FillRect(memory_, &all, brush);
    DeleteObject(brush);
  }

  void Write(const std::string& bytes) {
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
    CloseHandle(file);
    // Drawn images are kept in memory; a file written anew is read again once forgotten,
    // as the keyboard forgets them at every rebuild.
    platform::ForgetImages();
  }

  void Draw(const platform::Rect& target, int source_x, int source_y) {
    const std::u16string path(path_.begin(), path_.end());
    // Any window handle will do: the paint context given is drawn into.
    platform::CopyImageRect(path, 1, reinterpret_cast<platform::PaintContext>(memory_), target,
                            source_x, source_y);
  }

  // How many pixels of the canvas differ from what drawing `target` from (sx, sy) of an
  // image of that size must leave: the image inside, blank outside.
  int Wrong(const platform::Rect& target, int sx, int sy, int width, int height) {
    int wrong = 0;
    for (int y = 0; y < kCanvas; ++y) {
      for (int x = 0; x < kCanvas; ++x) {
        const int ix = x - target.left + sx;
        const int iy = y - target.top + sy;
        const bool inside = x >= target.left && x < target.right && y >= target.top &&
                            y < target.bottom && ix < width && iy < height;
        if (GetPixel(memory_, x, y) != (inside ? Expected(ix, iy) : kBlank)) ++wrong;
      }
    }
    return wrong;
  }

  std::wstring path_;
  HDC screen_ = nullptr;
  HDC memory_ = nullptr;
  HBITMAP canvas_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// Keys are cut from the middle, from the edges and past the end of an image taller than
// one band of rows, so every band boundary and the last short band are crossed.
TEST_F(DrawingTest, EveryPixelOfTheKeyFromTheRightPlace) {
  for (int bits : {32, 24}) {
    const int width = 300;
    const int height = 520;
    Write(Bmp(width, height, bits));
    struct Case {
      platform::Rect target;
      int sx, sy;
    };
    const Case cases[] = {
        {{10, 20, 60, 70}, 100, 200},  // one key inside
        {{0, 0, 300, 520}, 0, 0},      // the whole panel, many bands
        {{5, 7, 205, 507}, 250, 300},  // cut at the right and bottom edges
        {{100, 0, 101, 520}, 299, 0},  // the last column, every row
    };
    for (const Case& test : cases) {
      Clear();
      Draw(test.target, test.sx, test.sy);
      EXPECT_EQ(Wrong(test.target, test.sx, test.sy, width, height), 0)
          << bits << " bits, source " << test.sx << "," << test.sy;
    }
  }
}

TEST_F(DrawingTest, SourceOutsideTheImageDrawsNothing) {
  Write(Bmp(40, 30, 32));
  for (const auto& [sx, sy] : {std::pair{40, 0}, std::pair{0, 30}, std::pair{-1, 0}}) {
    Draw({0, 0, 20, 20}, sx, sy);
    EXPECT_EQ(Wrong({0, 0, 0, 0}, 0, 0, 0, 0), 0) << sx << "," << sy;
  }
}

TEST_F(DrawingTest, TopDownImagesAndImagesWithColourMasks) {
  for (const std::string& bytes : {Bmp(80, 90, 32, true), WithMasks(Bmp(80, 90, 32))}) {
    Write(bytes);
    Clear();
    Draw({3, 4, 43, 54}, 20, 30);
    EXPECT_EQ(Wrong({3, 4, 43, 54}, 20, 30, 80, 90), 0);
  }
}

// A panel image cut short by a failed copy, or one whose header lies about its size,
// must not be read past its end; the keyboard draws nothing for it and goes on.
TEST_F(DrawingTest, DamagedFilesDrawNothing) {
  const std::string whole = Bmp(64, 64, 32);
  std::string lying = whole;
  reinterpret_cast<BITMAPINFOHEADER*>(lying.data() + sizeof(BITMAPFILEHEADER))->biHeight = 30000;
  std::string far_bits = whole;
  reinterpret_cast<BITMAPFILEHEADER*>(far_bits.data())->bfOffBits = 0x7FFFFFF0;
  std::string huge_header = whole;
  reinterpret_cast<BITMAPINFOHEADER*>(huge_header.data() + sizeof(BITMAPFILEHEADER))->biSize =
      0x7FFFFFF0;
  const std::string top_down = Bmp(64, 64, 32, true);
  const std::string masks = WithMasks(whole);
  for (const std::string& bytes :
       {whole.substr(0, whole.size() / 2), whole.substr(0, 20), std::string(), lying, far_bits,
        huge_header, top_down.substr(0, top_down.size() - 1), masks.substr(0, masks.size() / 2)}) {
    Write(bytes);
    Clear();
    Draw({0, 0, 64, 64}, 0, 0);
    EXPECT_EQ(Wrong({0, 0, 0, 0}, 0, 0, 0, 0), 0) << bytes.size() << " bytes";
  }
  DeleteFileW(path_.c_str());
  platform::ForgetImages();
  Draw({0, 0, 64, 64}, 0, 0);
  EXPECT_EQ(Wrong({0, 0, 0, 0}, 0, 0, 0, 0), 0);
}

}  // namespace
