#include "platform/drawing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/win32/win32_text.h"

namespace platform {

namespace {

// The window's own context, or the one of the paint in progress.
class TargetContext {
 public:
  TargetContext(WindowHandle window, PaintContext paint)
      : window_(reinterpret_cast<HWND>(window)),
        context_(paint != 0 ? reinterpret_cast<HDC>(paint) : GetDC(window_)),
        acquired_(paint == 0) {}
  ~TargetContext() {
    if (acquired_ && context_ != nullptr) ReleaseDC(window_, context_);
  }
  TargetContext(const TargetContext&) = delete;
  TargetContext& operator=(const TargetContext&) = delete;
  HDC get() const { return context_; }

 private:
  HWND window_;
  HDC context_;
  bool acquired_;
};

// A plain uncompressed bottom-up BMP file, mapped rather than read: drawing a key from it
// touches only the rows of that key, and nothing is converted or copied first.
class MappedBitmap {
 public:
  explicit MappedBitmap(const std::wstring& path) {
    file_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_, &size) || size.QuadPart < 54 || size.QuadPart > (1 << 30)) return;
    mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping_ == nullptr) return;
    view_ = static_cast<const std::uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
    if (view_ != nullptr) Check(static_cast<std::uint64_t>(size.QuadPart));
  }
  ~MappedBitmap() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  MappedBitmap(const MappedBitmap&) = delete;
  MappedBitmap& operator=(const MappedBitmap&) = delete;

  bool usable() const { return bits_ != nullptr; }

  // Copies the source rectangle, cut to the image, to (left, top) of the context.
  void Draw(HDC context, const Rect& target, int source_x, int source_y) const {
    if (source_x < 0 || source_y < 0 || source_x >= width_ || source_y >= height_) return;
    const int width = std::min(target.Width(), width_ - source_x);
    const int height = std::min(target.Height(), height_ - source_y);
    if (width <= 0 || height <= 0) return;
    // Rows of a bottom-up image are counted from its last line; only the band of rows the
    // rectangle covers is handed over, so only those pages of the file are read.
    const int first_row = height_ - source_y - height;
    SetDIBitsToDevice(context, target.left, target.top, static_cast<DWORD>(width),
                      static_cast<DWORD>(height), source_x, first_row, static_cast<UINT>(first_row),
                      static_cast<UINT>(height),
                      bits_ + static_cast<std::size_t>(first_row) * stride_, info_, DIB_RGB_COLORS);
  }

 private:
  void Check(std::uint64_t size) {
    BITMAPFILEHEADER file_header;
    BITMAPINFOHEADER header;
    std::memcpy(&file_header, view_, sizeof(file_header));
    std::memcpy(&header, view_ + sizeof(file_header), sizeof(header));
    if (file_header.bfType != 0x4D42 || header.biSize < sizeof(BITMAPINFOHEADER) ||
        header.biPlanes != 1 || header.biCompression != BI_RGB || header.biWidth <= 0 ||
        header.biWidth > 32767 || header.biHeight <= 0 || header.biHeight > 32767) {
      return;
    }
    const std::uint64_t bit_count = header.biBitCount;
    if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 16 && bit_count != 24 &&
        bit_count != 32) {
      return;
    }
    std::uint64_t colours = 0;
    if (bit_count <= 8) colours = header.biClrUsed != 0 ? header.biClrUsed : 1u << bit_count;
    if (colours > 256) return;
    const std::uint64_t header_end = sizeof(file_header) + std::uint64_t{header.biSize};
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(header.biWidth) * bit_count + 31) / 32 * 4;
    const std::uint64_t offset = file_header.bfOffBits;
    if (header_end + colours * sizeof(RGBQUAD) > offset ||
        offset + stride * static_cast<std::uint64_t>(header.biHeight) > size) {
      return;
    }
    info_ = reinterpret_cast<const BITMAPINFO*>(view_ + sizeof(file_header));
    bits_ = view_ + offset;
    width_ = header.biWidth;
    height_ = header.biHeight;
    stride_ = static_cast<std::size_t>(stride);
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
  HANDLE mapping_ = nullptr;
  const std::uint8_t* view_ = nullptr;
  const BITMAPINFO* info_ = nullptr;
  const std::uint8_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::size_t stride_ = 0;
};

// Any other image the system can load as a bitmap.
void DrawLoadedImage(const std::wstring& path, HDC context, const Rect& target, int source_x,
                     int source_y) {
  HANDLE image =
      LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (image == nullptr) return;
  HDC memory = CreateCompatibleDC(context);
  HGDIOBJ previous = SelectObject(memory, image);
  BitBlt(context, target.left, target.top, target.Width(), target.Height(), memory, source_x,
         source_y, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(image);
}

}  // namespace

void CopyImageRect(std::u16string_view image_path, WindowHandle window, PaintContext paint,
                   const Rect& target, int source_x, int source_y) {
  if (window == 0) return;
  const std::wstring path = win32::Wide(image_path);
  const MappedBitmap bitmap(path);
  if (!bitmap.usable() && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  TargetContext context(window, paint);
  if (context.get() == nullptr) return;
  if (bitmap.usable()) {
    bitmap.Draw(context.get(), target, source_x, source_y);
  } else {
    DrawLoadedImage(path, context.get(), target, source_x, source_y);
  }
}

void InvertRect(WindowHandle window, PaintContext paint, const Rect& target) {
  if (window == 0) return;
  TargetContext context(window, paint);
  if (context.get() == nullptr) return;
  BitBlt(context.get(), target.left, target.top, target.Width(), target.Height(), nullptr, 0, 0,
         DSTINVERT);
}

int MeasureTextWidth(FontHandle font, std::u16string_view text) {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 0;
  HGDIOBJ previous = SelectObject(screen, reinterpret_cast<HFONT>(font));
  SIZE size = {};
  std::wstring wide = win32::Wide(text);
  GetTextExtentPoint32W(screen, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

}  // namespace platform
