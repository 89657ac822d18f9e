#include "platform/shared_memory.h"

#include "platform/win32/win32_text.h"

namespace platform {

MappingResult MapSharedMemory(std::u16string_view name, std::size_t size, void** view,
                              bool* existed) {
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(size), win32::Wide(name).c_str());
  if (mapping == nullptr) return MappingResult::kCreateFailed;
  *existed = GetLastError() == ERROR_ALREADY_EXISTS;
  void* mapped = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size);
  if (mapped == nullptr) {
    CloseHandle(mapping);
    return MappingResult::kMapFailed;
  }
  // The mapping handle stays open for the life of the process, as the view does.
  *view = mapped;
  return MappingResult::kOk;
}

}  // namespace platform
