// Functions of the large shell and common-dialog libraries, loaded the first time they
// are needed. Linking those libraries costs every start of the keyboard several megabytes
// of memory for dialogs that most runs never open.
#pragma once

#include <windows.h>

#include <cstring>

namespace platform::win32 {

// The function, or null when its library or the function cannot be had. Only the
// system folder is searched, so no file beside the program can stand in for the library.
template <typename FunctionPointer>
FunctionPointer SystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (module == nullptr) module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr) return nullptr;
  FARPROC found = GetProcAddress(module, name);
  FunctionPointer function = nullptr;
  static_assert(sizeof(found) == sizeof(function));
  std::memcpy(&function, &found, sizeof(function));
  return function;
}

// A system library loaded for one task and let go afterwards, unless the program had it
// loaded before: the keyboard asks the shell for one folder on its first start only.
class BorrowedSystemLibrary {
 public:
  explicit BorrowedSystemLibrary(const wchar_t* library)
      : module_(GetModuleHandleW(library) != nullptr
                    ? nullptr
                    : LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}
  ~BorrowedSystemLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  BorrowedSystemLibrary(const BorrowedSystemLibrary&) = delete;
  BorrowedSystemLibrary& operator=(const BorrowedSystemLibrary&) = delete;

 private:
  HMODULE module_;
};

}  // namespace platform::win32
