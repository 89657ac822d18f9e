#include "platform/drawing.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

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

// A BMP file. A plain uncompressed one (all the shipped artwork) is read a band
// of rows at a time: drawing a key reads only the rows of that key, and a whole panel never
// sits in memory at once. Other kinds are left to the system's loader, but only when the
// file holds all that its header promises: the loader would read past the end of a
// truncated file and take the keyboard down with it.
class BitmapFile {
 public:
  enum class Kind { kUnusable, kDrawable, kForTheSystem };

  explicit BitmapFile(const std::wstring& path) {
    file_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_, &size) || size.QuadPart > (1 << 30)) return;
    kind_ = Check(static_cast<std::uint64_t>(size.QuadPart));
  }
  ~BitmapFile() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  BitmapFile(const BitmapFile&) = delete;
  BitmapFile& operator=(const BitmapFile&) = delete;

  Kind kind() const { return kind_; }

  // Copies the source rectangle, cut to the image, to (left, top) of the context.
  void Draw(HDC context, const Rect& target, int source_x, int source_y) {
    if (source_x < 0 || source_y < 0 || source_x >= width_ || source_y >= height_) return;
    const int width = std::min(target.Width(), width_ - source_x);
    const int height = std::min(target.Height(), height_ - source_y);
    if (width <= 0 || height <= 0) return;
    const int band = static_cast<int>(std::max<std::size_t>(1, kBandBytes / stride_));
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(std::min(band, height)) * stride_);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info_.data());
    // Lines counted from the top of the image; each band is handed over as an image of its
    // own, stored as the file stores it.
    for (int line = source_y; line < source_y + height; line += band) {
      const int count = std::min(band, source_y + height - line);
      const int first_row = top_down_ ? line : height_ - line - count;
      if (!ReadRows(first_row, count, rows.data())) return;
      header->biHeight = top_down_ ? -count : count;
      header->biSizeImage = 0;
      SetDIBitsToDevice(context, target.left, target.top + (line - source_y),
                        static_cast<DWORD>(width), static_cast<DWORD>(count), source_x, 0, 0,
                        static_cast<UINT>(count), rows.data(),
                        reinterpret_cast<const BITMAPINFO*>(info_.data()), DIB_RGB_COLORS);
    }
  }

 private:
  static constexpr std::size_t kBandBytes = 64 * 1024;

  bool ReadAt(std::uint64_t offset, void* into, std::size_t size) const {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    return SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) &&
           ReadFile(file_, into, static_cast<DWORD>(size), &read, nullptr) && read == size;
  }

  bool ReadRows(int first, int count, std::uint8_t* into) const {
    return ReadAt(bits_offset_ + static_cast<std::uint64_t>(first) * stride_, into,
                  static_cast<std::size_t>(count) * stride_);
  }

  static std::uint64_t Stride(std::int64_t width, std::uint64_t bit_count) {
    return (static_cast<std::uint64_t>(width) * bit_count + 31) / 32 * 4;
  }

  // The file header, the largest info header taken and a full palette, read at once.
  static constexpr std::size_t kHeadBytes = sizeof(BITMAPFILEHEADER) + 1024 + 256 * sizeof(RGBQUAD);

  Kind Check(std::uint64_t size) {
    std::vector<std::uint8_t> head(
        static_cast<std::size_t>(std::min<std::uint64_t>(size, kHeadBytes)));
    if (head.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPCOREHEADER) ||
        !ReadAt(0, head.data(), head.size())) {
      return Kind::kUnusable;
    }
    BITMAPFILEHEADER file_header;
    BITMAPCOREHEADER core;
    std::memcpy(&file_header, head.data(), sizeof(file_header));
    std::memcpy(&core, head.data() + sizeof(file_header), sizeof(core));
    if (file_header.bfType != 0x4D42) return Kind::kUnusable;
    const std::uint64_t offset = file_header.bfOffBits;
    if (core.bcSize == sizeof(BITMAPCOREHEADER)) {
      const std::uint64_t pixels = Stride(core.bcWidth, core.bcBitCount) * core.bcHeight;
      return pixels != 0 && offset + pixels <= size ? Kind::kForTheSystem : Kind::kUnusable;
    }
    BITMAPINFOHEADER header;
    if (head.size() < sizeof(file_header) + sizeof(header)) return Kind::kUnusable;
    std::memcpy(&header, head.data() + sizeof(file_header), sizeof(header));
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > 1024 || header.biPlanes != 1 ||
        header.biWidth <= 0 || header.biWidth > 32767 || header.biHeight == 0 ||
        header.biHeight > 32767 || header.biHeight < -32767) {
      return Kind::kUnusable;
    }
    const std::uint64_t bit_count = header.biBitCount;
    const std::uint64_t stride = Stride(header.biWidth, bit_count);
    const std::uint64_t rows = static_cast<std::uint64_t>(std::abs(header.biHeight));
    const bool plain = header.biCompression == BI_RGB || header.biCompression == BI_BITFIELDS;
    // Compressed pixels end where the header says they do; plain ones after the last row.
    const std::uint64_t pixels = plain ? stride * rows : header.biSizeImage;
    if (pixels == 0 || offset + pixels > size) return Kind::kUnusable;
    if (header.biCompression != BI_RGB) return Kind::kForTheSystem;
    if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 16 && bit_count != 24 &&
        bit_count != 32) {
      return Kind::kUnusable;
    }
    std::uint64_t colours = 0;
    if (bit_count <= 8) colours = header.biClrUsed != 0 ? header.biClrUsed : 1u << bit_count;
    const std::uint64_t info_end =
        sizeof(file_header) + std::uint64_t{header.biSize} + colours * sizeof(RGBQUAD);
    if (colours > 256 || info_end > offset || info_end > head.size()) return Kind::kUnusable;
    // The header as the file holds it, with its palette, for every band.
    info_.assign(head.begin() + sizeof(file_header),
                 head.begin() + static_cast<std::ptrdiff_t>(info_end));
    bits_offset_ = offset;
    stride_ = static_cast<std::size_t>(stride);
    height_ = static_cast<int>(rows);
    top_down_ = header.biHeight < 0;
    width_ = header.biWidth;
    return Kind::kDrawable;
  }

  Kind kind_ = Kind::kUnusable;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::vector<std::uint8_t> info_;
  std::uint64_t bits_offset_ = 0;
  std::size_t stride_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool top_down_ = false;
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
  BitmapFile bitmap(path);
  if (bitmap.kind() == BitmapFile::Kind::kUnusable) return;
  TargetContext context(window, paint);
  if (context.get() == nullptr) return;
  if (bitmap.kind() == BitmapFile::Kind::kDrawable) {
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
