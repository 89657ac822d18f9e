// The library as a caller sees it: loaded with LoadLibraryW from its own folder, every
// function found with GetProcAddress by its undecorated name.
#pragma once

#include <windows.h>

#include <string>

#include "library/api/QuorelApi.h"

namespace quorel::wine {

struct Api {
#define QUOREL_MEMBER(result, name, arguments) name##_FN name = nullptr;
  QUOREL_FUNCTIONS(QUOREL_MEMBER)
#undef QUOREL_MEMBER
};

// Loads the library copied into a folder of its own, so that the library's folder and
// the program's folder differ. Returns the missing function names, empty when all exist.
std::wstring LoadApi(HMODULE* module, Api* api);

std::wstring ExeDirectory();
std::wstring TestDirectory();  // a scratch folder, emptied at start

// Runs this program again with one argument and returns its exit code.
DWORD RunChild(const std::wstring& argument);

// What a child process run by RunChild does; returns its exit code.
int ChildMain(const std::wstring& argument);

}  // namespace quorel::wine
