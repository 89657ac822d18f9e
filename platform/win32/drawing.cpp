#include "platform/drawing.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <list>
#include <memory>
#include <utility>
#include <vector>

#include "platform/image_decode.h"
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

using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// No artwork comes near this; a larger file is not read into memory.
constexpr std::uint64_t kLargestImageFile = 64u << 20;
// The panels in view, normal and inverted, at finger size and 100 % fit with room to spare;
// the keyboard raises it with the square of its scale.
constexpr std::size_t kBaseImageBudget = 2u << 20;
std::size_t image_budget = kBaseImageBudget;

Bytes ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  auto bytes = std::make_shared<std::vector<std::uint8_t>>();
  LARGE_INTEGER size;
  bool whole = GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
               static_cast<std::uint64_t>(size.QuadPart) <= kLargestImageFile;
  if (whole) {
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    whole = bytes->empty() || (ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()),
                                        &read, nullptr) &&
                               read == bytes->size());
  }
  CloseHandle(file);
  return whole ? bytes : nullptr;
}

// A BMP as it is; a PNG or GIF decoded once into the bytes of a BMP.
Bytes Drawable(Bytes file) {
  if (file == nullptr || (file->size() >= 2 && (*file)[0] == 'B' && (*file)[1] == 'M')) return file;
  auto decoded = DecodeToBmp(file->data(), file->size());
  if (!decoded) return nullptr;
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(*decoded));
}

// The images drawn lately, whole in memory: a highlight never waits for the disk, where an
// on-access virus scanner makes every open cost milliseconds. Past the budget the image
// drawn longest ago goes first.
class ImageCache {
 public:
  Bytes Get(const std::wstring& path) {
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
      if (entry->path != path) continue;
      entries_.splice(entries_.begin(), entries_, entry);
      return entries_.front().bytes;
    }
    Bytes bytes = Drawable(ReadWholeFile(path));
    if (bytes == nullptr || bytes->size() > image_budget) return bytes;
    entries_.push_front({path, bytes});
    total_ += bytes->size();
    while (total_ > image_budget) {
      total_ -= entries_.back().bytes->size();
      entries_.pop_back();
    }
    return bytes;
  }
  void Clear() {
    entries_.clear();
    total_ = 0;
  }
  void Trim() {
    while (total_ > image_budget && !entries_.empty()) {
      total_ -= entries_.back().bytes->size();
      entries_.pop_back();
    }
  }
  std::size_t total() const { return total_; }

 private:
  struct Entry {
    std::wstring path;
    Bytes bytes;
  };
  std::list<Entry> entries_;
  std::size_t total_ = 0;
};

ImageCache& Images() {
  static ImageCache cache;
  return cache;
}

// A BMP file in memory. A plain uncompressed one (all the shipped artwork) is drawn from
// its rows as they lie; other kinds are left to the system's loader, but only when the
// file holds all that its header promises: the loader would read past the end of a
// truncated file and take the keyboard down with it.
class BitmapFile {
 public:
  enum class Kind { kUnusable, kDrawable, kForTheSystem };

  explicit BitmapFile(Bytes bytes) : bytes_(std::move(bytes)) {
    if (bytes_ != nullptr) kind_ = Check(bytes_->size());
  }

  Kind kind() const { return kind_; }

  // Copies the source rectangle, cut to the image, to (left, top) of the context.
  void Draw(HDC context, const Rect& target, int source_x, int source_y) {
    if (source_x < 0 || source_y < 0 || source_x >= width_ || source_y >= height_) return;
    const int width = std::min(target.Width(), width_ - source_x);
    const int height = std::min(target.Height(), height_ - source_y);
    if (width <= 0 || height <= 0) return;
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info_.data());
    // The rows of the rectangle, handed over as an image of their own, stored as the file
    // stores them.
    const int first_row = top_down_ ? source_y : height_ - source_y - height;
    header->biHeight = top_down_ ? -height : height;
    header->biSizeImage = 0;
    SetDIBitsToDevice(context, target.left, target.top, static_cast<DWORD>(width),
                      static_cast<DWORD>(height), source_x, 0, 0, static_cast<UINT>(height),
                      bytes_->data() + bits_offset_ + static_cast<std::size_t>(first_row) * stride_,
                      reinterpret_cast<const BITMAPINFO*>(info_.data()), DIB_RGB_COLORS);
  }

 private:
  static std::uint64_t Stride(std::int64_t width, std::uint64_t bit_count) {
    return (static_cast<std::uint64_t>(width) * bit_count + 31) / 32 * 4;
  }

  Kind Check(std::uint64_t size) {
    const std::uint8_t* head = bytes_->data();
    if (size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPCOREHEADER)) return Kind::kUnusable;
    BITMAPFILEHEADER file_header;
    BITMAPCOREHEADER core;
    std::memcpy(&file_header, head, sizeof(file_header));
    std::memcpy(&core, head + sizeof(file_header), sizeof(core));
    if (file_header.bfType != 0x4D42) return Kind::kUnusable;
    const std::uint64_t offset = file_header.bfOffBits;
    if (core.bcSize == sizeof(BITMAPCOREHEADER)) {
      const std::uint64_t pixels = Stride(core.bcWidth, core.bcBitCount) * core.bcHeight;
      return pixels != 0 && offset + pixels <= size ? Kind::kForTheSystem : Kind::kUnusable;
    }
    BITMAPINFOHEADER header;
    if (size < sizeof(file_header) + sizeof(header)) return Kind::kUnusable;
    std::memcpy(&header, head + sizeof(file_header), sizeof(header));
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
    if (colours > 256 || info_end > offset) return Kind::kUnusable;
    // The header as the file holds it, with its palette, for every drawing.
    info_.assign(head + sizeof(file_header), head + info_end);
    bits_offset_ = static_cast<std::size_t>(offset);
    stride_ = static_cast<std::size_t>(stride);
    height_ = static_cast<int>(rows);
    top_down_ = header.biHeight < 0;
    width_ = header.biWidth;
    return Kind::kDrawable;
  }

  Bytes bytes_;
  Kind kind_ = Kind::kUnusable;
  std::vector<std::uint8_t> info_;
  std::size_t bits_offset_ = 0;
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
  BitmapFile bitmap(Images().Get(path));
  if (bitmap.kind() == BitmapFile::Kind::kUnusable) return;
  TargetContext context(window, paint);
  if (context.get() == nullptr) return;
  if (bitmap.kind() == BitmapFile::Kind::kDrawable) {
    bitmap.Draw(context.get(), target, source_x, source_y);
  } else {
    DrawLoadedImage(path, context.get(), target, source_x, source_y);
  }
}

void ForgetImages() { Images().Clear(); }

void SetImageMemoryBudget(double scale) {
  image_budget = static_cast<std::size_t>(kBaseImageBudget * std::max(1.0, scale * scale));
  Images().Trim();
}

std::size_t ImagesInMemory() { return Images().total(); }

void InvertRect(WindowHandle window, PaintContext paint, const Rect& target) {
  if (window == 0) return;
  TargetContext context(window, paint);
  if (context.get() == nullptr) return;
  BitBlt(context.get(), target.left, target.top, target.Width(), target.Height(), nullptr, 0, 0,
         DSTINVERT);
}

int MeasureTextWidth(FontHandle font, std::u16string_view text) {
  // One memory context for every measure, kept for the program's life: the screen's own,
  // asked for and given back each time, goes to the display server under Wine, and the
  // suggestions measure their rows at every key.
  static HDC measure = CreateCompatibleDC(nullptr);
  if (measure == nullptr) return 0;
  HGDIOBJ previous = SelectObject(measure, reinterpret_cast<HFONT>(font));
  SIZE size = {};
  std::wstring wide = win32::Wide(text);
  GetTextExtentPoint32W(measure, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(measure, previous);
  return size.cx;
}

}  // namespace platform
