#include "platform/files.h"

#include <shlobj.h>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_text.h"

namespace platform {

using win32::Wide;

namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

bool ReadFileBytes(std::u16string_view path, std::string* bytes) {
  // A reader never stands in the way of a save: the editor replaces the file while the
  // keyboard may still be reading the old one.
  FileHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
  bytes->resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes->size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes->data() + done, static_cast<DWORD>(bytes->size() - done),
                  &got, nullptr)) {
      return false;
    }
    if (got == 0) break;
    done += got;
  }
  bytes->resize(done);
  return true;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  FileHandle file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    if (!WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                   &wrote, nullptr) ||
        wrote == 0) {
      return false;
    }
    done += wrote;
  }
  return FlushFileBuffers(file.get()) != 0;
}

bool ReplaceFileWith(std::u16string_view source, std::u16string_view target) {
  // A virus scanner, an indexer or a reader of another program may hold the old file for a
  // moment; the replace is tried again until it lets go, for a while before it is given up.
  constexpr ULONGLONG kPatienceMs = 2000;
  constexpr DWORD kRetryMs = 25;
  const std::wstring from = Wide(source);
  const std::wstring to = Wide(target);
  const ULONGLONG deadline = GetTickCount64() + kPatienceMs;
  for (;;) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    // A target that is read-only or a folder refuses for good; it is not waited for.
    const DWORD target = GetFileAttributesW(to.c_str());
    const bool lasting = target != INVALID_FILE_ATTRIBUTES &&
                         (target & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
    const bool held = !lasting && (error == ERROR_SHARING_VIOLATION ||
                                   error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED);
    if (!held || GetTickCount64() >= deadline) return false;
    Sleep(kRetryMs);
  }
}

bool CopyFileOver(std::u16string_view from, std::u16string_view to) {
  return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE) != 0;
}

bool DeleteFileAt(std::u16string_view path) { return DeleteFileW(Wide(path).c_str()) != 0; }

bool FileExists(std::u16string_view path) {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

FileState LookUpFile(std::u16string_view path) {
  std::wstring at = Wide(path);
  for (bool first = true;; first = false) {
    const DWORD attributes = GetFileAttributesW(at.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      // The file itself, or a folder above it that is there while the file is not.
      if (!first) return FileState::kAbsent;
      return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? FileState::kPresent
                                                          : FileState::kAbsent;
    }
    const DWORD error = GetLastError();
    if (first && error == ERROR_FILE_NOT_FOUND) return FileState::kAbsent;
    // A missing folder on the way is certain only where a folder above it is there: an
    // offline share says the same of every folder it holds.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return FileState::kUnknown;
    const std::size_t slash = at.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < 3) return FileState::kUnknown;
    at.resize(slash);
  }
}

bool GetRunningExePath(std::u16string* path) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    // Null module: the executable of the process, not this library.
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return false;
    if (length < buffer.size()) {
      buffer.resize(length);
      *path = win32::Utf16(buffer);
      return true;
    }
    if (buffer.size() >= 32768) return false;
    buffer.resize(buffer.size() * 2);
  }
}

bool GetDocumentsFolder(std::u16string* path) {
  wchar_t buffer[MAX_PATH] = {};
  const win32::BorrowedSystemLibrary shell(L"shell32.dll");
  const auto get_folder =
      win32::SystemFunction<decltype(&SHGetFolderPathW)>(L"shell32.dll", "SHGetFolderPathW");
  if (get_folder == nullptr ||
      FAILED(get_folder(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
    return false;
  }
  *path = win32::Utf16(buffer);
  return true;
}

}  // namespace platform
