#include "platform/folders.h"

#include "platform/win32/win32_text.h"

namespace platform {

bool CreateFolder(std::u16string_view path) {
  return CreateDirectoryW(win32::Wide(path).c_str(), nullptr) != 0;
}

bool ListFolder(std::u16string_view path, std::vector<FolderEntry>* entries) {
  WIN32_FIND_DATAW found = {};
  HANDLE search = FindFirstFileW((win32::Wide(path) + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  entries->clear();
  do {
    entries->push_back({win32::Utf16(found.cFileName),
                        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

bool CopyFileIfAbsent(std::u16string_view from, std::u16string_view to) {
  return CopyFileW(win32::Wide(from).c_str(), win32::Wide(to).c_str(), TRUE) != 0;
}

}  // namespace platform
