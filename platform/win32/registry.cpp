#include "platform/registry.h"

#include "platform/win32/win32_text.h"

namespace platform {

using win32::Wide;

long RegistryCreateKey(std::u16string_view subkey, RegistryKey* key) {
  HKEY opened = nullptr;
  LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, Wide(subkey).c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &opened,
                                nullptr);
  if (result == ERROR_SUCCESS) *key = reinterpret_cast<RegistryKey>(opened);
  return result;
}

long RegistryOpenKeyRead(std::u16string_view subkey, RegistryKey* key) {
  HKEY opened = nullptr;
  LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, Wide(subkey).c_str(), 0, KEY_READ, &opened);
  if (result == ERROR_SUCCESS) *key = reinterpret_cast<RegistryKey>(opened);
  return result;
}

long RegistryQueryValue(RegistryKey key, std::u16string_view name, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) {
  const std::wstring value_name = Wide(name);
  DWORD value_type = 0;
  DWORD size = 0;
  LONG result = RegQueryValueExW(reinterpret_cast<HKEY>(key), value_name.c_str(), nullptr,
                                 &value_type, nullptr, &size);
  // The value may grow between the two calls; ask again until it fits.
  for (int attempt = 0; result == ERROR_SUCCESS && attempt < 4; ++attempt) {
    data->resize(size);
    DWORD got = size;
    result = RegQueryValueExW(reinterpret_cast<HKEY>(key), value_name.c_str(), nullptr,
                              &value_type, data->empty() ? nullptr : data->data(), &got);
    if (result == ERROR_SUCCESS) {
      data->resize(got);
      *type = value_type;
      return ERROR_SUCCESS;
    }
    if (result == ERROR_MORE_DATA) {
      size = got;
      result = ERROR_SUCCESS;
    }
  }
  return result == ERROR_SUCCESS ? ERROR_MORE_DATA : result;
}

long RegistrySetValue(RegistryKey key, std::u16string_view name, std::uint32_t type,
                      const void* data, std::size_t size) {
  return RegSetValueExW(reinterpret_cast<HKEY>(key), Wide(name).c_str(), 0, type,
                        static_cast<const BYTE*>(data), static_cast<DWORD>(size));
}

void RegistryCloseKey(RegistryKey key) { RegCloseKey(reinterpret_cast<HKEY>(key)); }

void RegistryFlushUser() { RegFlushKey(HKEY_CURRENT_USER); }

}  // namespace platform
