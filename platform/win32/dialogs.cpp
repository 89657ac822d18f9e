#include "platform/dialogs.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <algorithm>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_text.h"

namespace platform {

bool AskOpenFileName(const OpenFileRequest& request, std::u16string* path) {
  // Name and pattern, each with its terminator, and an empty pair to end the list.
  std::wstring filter = win32::Wide(request.filter_name);
  filter.push_back(L'\0');
  filter += win32::Wide(request.pattern);
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  const std::wstring folder = win32::Wide(request.initial_folder);
  const std::size_t dot = request.pattern.rfind(u'.');
  const std::wstring extension =
      dot == std::u16string::npos ? std::wstring() : win32::Wide(request.pattern.substr(dot + 1));

  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = extension.empty() || extension == L"*" ? nullptr : extension.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  const auto open =
      win32::SystemFunction<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
  if (open == nullptr || !open(&dialog)) return false;
  *path = win32::Utf16(file);
  return true;
}

bool AskFont(const FontRequest& request, FontChoice* choice) {
  LOGFONTW font = {};
  font.lfHeight = request.initial.height;
  font.lfWeight = request.initial.weight;
  font.lfItalic = request.initial.italic ? 1 : 0;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfPitchAndFamily = FF_SWISS;
  const std::wstring face = win32::Wide(request.initial.face);
  std::copy_n(face.begin(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1), font.lfFaceName);

  CHOOSEFONTW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.lpLogFont = &font;
  dialog.Flags = CF_SCREENFONTS | CF_NOSCRIPTSEL | CF_LIMITSIZE | CF_INITTOLOGFONTSTRUCT;
  dialog.nSizeMin = request.smallest_points;
  dialog.nSizeMax = request.largest_points;
  const auto choose =
      win32::SystemFunction<decltype(&ChooseFontW)>(L"comdlg32.dll", "ChooseFontW");
  if (choose == nullptr || !choose(&dialog)) return false;
  choice->face = win32::Utf16(font.lfFaceName);
  choice->size_tenths = dialog.iPointSize;
  choice->weight = font.lfWeight;
  choice->italic = font.lfItalic != 0;
  return true;
}

}  // namespace platform
