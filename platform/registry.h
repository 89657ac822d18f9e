// Registry access under HKEY_CURRENT_USER.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace platform {

using RegistryKey = std::uintptr_t;

enum RegistryType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
};

// Each returns 0 on success or the system's error code.
long RegistryCreateKey(std::u16string_view subkey, RegistryKey* key);  // full access
long RegistryOpenKeyRead(std::u16string_view subkey, RegistryKey* key);
long RegistryQueryValue(RegistryKey key, std::u16string_view name, std::uint32_t* type,
                        std::vector<std::uint8_t>* data);
long RegistrySetValue(RegistryKey key, std::u16string_view name, std::uint32_t type,
                      const void* data, std::size_t size);
void RegistryCloseKey(RegistryKey key);
void RegistryFlushUser();

}  // namespace platform
