#include "platform/fonts.h"

#include <cwchar>

#include "platform/win32/win32_text.h"

namespace platform {

FontHandle CreateFontFrom(const FontDescription& description) {
  LOGFONTW font = {};
  font.lfHeight = description.height;
  font.lfWeight = description.weight;
  font.lfItalic = description.italic ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = FF_SWISS;
  std::wstring face = win32::Wide(description.face);
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return reinterpret_cast<FontHandle>(CreateFontIndirectW(&font));
}

}  // namespace platform
