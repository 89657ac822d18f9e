#include "platform/drawing.h"

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

}  // namespace

void CopyImageRect(std::u16string_view image_path, WindowHandle window, PaintContext paint,
                   const Rect& target, int source_x, int source_y) {
  if (window == 0) return;
  HANDLE image = LoadImageW(nullptr, win32::Wide(image_path).c_str(), IMAGE_BITMAP, 0, 0,
                            LR_LOADFROMFILE);
  if (image == nullptr) return;
  TargetContext context(window, paint);
  if (context.get() != nullptr) {
    HDC memory = CreateCompatibleDC(context.get());
    HGDIOBJ previous = SelectObject(memory, image);
    BitBlt(context.get(), target.left, target.top, target.Width(), target.Height(), memory,
           source_x, source_y, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  DeleteObject(image);
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
