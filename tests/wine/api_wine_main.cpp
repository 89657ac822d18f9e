// Test program entry: either the GoogleTest run, or a child role for the tests that need
// a second process.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/wine/api_wine_test.h"

namespace quorel::wine {

namespace {

std::wstring Directory(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

std::wstring ExePath() {
  wchar_t buffer[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
  return buffer;
}

}  // namespace

std::wstring ExeDirectory() { return Directory(ExePath()); }

std::wstring TestDirectory() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring directory = std::wstring(temp) + L"quorel-api-test";
  CreateDirectoryW(directory.c_str(), nullptr);
  return directory;
}

std::wstring LoadApi(HMODULE* module, Api* api) {
  std::wstring folder = TestDirectory() + L"\\library copy";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring copy = folder + L"\\QuorelApi.dll";
  CopyFileW((ExeDirectory() + L"\\QuorelApi.dll").c_str(), copy.c_str(), FALSE);
  *module = LoadLibraryW(copy.c_str());
  if (*module == nullptr) return L"(the library did not load)";
  std::wstring missing;
#define QUOREL_RESOLVE(result, name, arguments)                          \
  {                                                                      \
    FARPROC found = GetProcAddress(*module, #name);                      \
    if (found == nullptr) missing += L" " L## #name;                     \
    static_assert(sizeof(found) == sizeof(api->name));                   \
    std::memcpy(&api->name, &found, sizeof(found));                      \
  }
  QUOREL_FUNCTIONS(QUOREL_RESOLVE)
#undef QUOREL_RESOLVE
  return missing;
}

DWORD RunChild(const std::wstring& argument) {
  std::wstring command = L"\"" + ExePath() + L"\" " + argument;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 0xFFFFFFFF;
  }
  DWORD code = 0xFFFFFFFE;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

}  // namespace quorel::wine

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wcsncmp(argv[1], L"--child-", 8) == 0) {
    return quorel::wine::ChildMain(argv[1]);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
