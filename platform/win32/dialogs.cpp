#include "platform/dialogs.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <algorithm>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_text.h"

namespace platform {

namespace {

// The program's manifest leaves the common controls at their plain version: the themed
// version costs the keyboard megabytes for its one list box. The dialogs look themed all
// the same, from a second manifest of the program that only they use.
constexpr WORD kDialogManifest = 3;

class ThemedDialogScope {
 public:
  ThemedDialogScope() {
    ACTCTXW context = {};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    context.hModule = GetModuleHandleW(nullptr);
    context.lpResourceName = MAKEINTRESOURCEW(kDialogManifest);
    handle_ = CreateActCtxW(&context);
    if (handle_ != INVALID_HANDLE_VALUE && !ActivateActCtx(handle_, &cookie_)) cookie_ = 0;
  }
  ~ThemedDialogScope() {
    if (cookie_ != 0) DeactivateActCtx(0, cookie_);
    if (handle_ != INVALID_HANDLE_VALUE) ReleaseActCtx(handle_);
  }
  ThemedDialogScope(const ThemedDialogScope&) = delete;
  ThemedDialogScope& operator=(const ThemedDialogScope&) = delete;

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

}  // namespace

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
  dialog.hwndOwner = reinterpret_cast<HWND>(request.owner);
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = extension.empty() || extension == L"*" ? nullptr : extension.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  const auto open =
      win32::SystemFunction<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
  const ThemedDialogScope themed;
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
  const ThemedDialogScope themed;
  if (choose == nullptr || !choose(&dialog)) return false;
  choice->face = win32::Utf16(font.lfFaceName);
  choice->size_tenths = dialog.iPointSize;
  choice->weight = font.lfWeight;
  choice->italic = font.lfItalic != 0;
  return true;
}

}  // namespace platform
