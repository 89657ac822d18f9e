#include "platform/fake/fake_system.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "platform/shared_memory.h"
#include "platform/text.h"

namespace platform::fake {

namespace {

FakeSystem& Instance() {
  static FakeSystem system;
  return system;
}

// Open registry keys by handle; a handle names the canonical key path.
std::map<RegistryKey, std::u16string>& OpenKeys() {
  static std::map<RegistryKey, std::u16string> keys;
  return keys;
}

RegistryKey NextKeyHandle() {
  static RegistryKey next = 0x100;
  return next += 4;
}

bool StartsWithAny(const std::set<std::u16string>& prefixes, std::u16string_view path) {
  return std::any_of(prefixes.begin(), prefixes.end(), [&](const std::u16string& prefix) {
    return path.substr(0, prefix.size()) == prefix;
  });
}

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorInvalidHandle = 6;

}  // namespace

FakeSystem& System() { return Instance(); }

void Reset() {
  Instance() = FakeSystem();
  OpenKeys().clear();
}

std::u16string RegistryKeyName(std::u16string_view path) {
  std::u16string name(path);
  for (char16_t& c : name) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return name;
}

void SetRegistryDword(std::u16string_view key, std::u16string_view name, std::uint32_t value) {
  RegistryValue& stored = Instance().registry[RegistryKeyName(key)][std::u16string(name)];
  stored.type = kRegDword;
  stored.data.resize(4);
  std::memcpy(stored.data.data(), &value, 4);
}

void SetRegistryString(std::u16string_view key, std::u16string_view name,
                       std::u16string_view value) {
  RegistryValue& stored = Instance().registry[RegistryKeyName(key)][std::u16string(name)];
  stored.type = kRegSz;
  stored.data.resize((value.size() + 1) * 2);
  std::memcpy(stored.data.data(), value.data(), value.size() * 2);
  stored.data[value.size() * 2] = 0;
  stored.data[value.size() * 2 + 1] = 0;
}

const RegistryValue* FindRegistryValue(std::u16string_view key, std::u16string_view name) {
  auto found_key = Instance().registry.find(RegistryKeyName(key));
  if (found_key == Instance().registry.end()) return nullptr;
  auto found = found_key->second.find(std::u16string(name));
  return found == found_key->second.end() ? nullptr : &found->second;
}

bool RegistryKeyExists(std::u16string_view key) {
  return Instance().registry.count(RegistryKeyName(key)) != 0;
}

}  // namespace platform::fake

namespace platform {

using fake::Instance;
using fake::OpenKeys;

long RegistryCreateKey(std::u16string_view subkey, RegistryKey* key) {
  if (Instance().registry_failure != 0) return Instance().registry_failure;
  std::u16string name = fake::RegistryKeyName(subkey);
  Instance().registry[name];
  *key = fake::NextKeyHandle();
  OpenKeys()[*key] = name;
  return 0;
}

long RegistryOpenKeyRead(std::u16string_view subkey, RegistryKey* key) {
  if (Instance().registry_failure != 0) return Instance().registry_failure;
  std::u16string name = fake::RegistryKeyName(subkey);
  if (Instance().registry.count(name) == 0) return fake::kErrorFileNotFound;
  *key = fake::NextKeyHandle();
  OpenKeys()[*key] = name;
  return 0;
}

long RegistryQueryValue(RegistryKey key, std::u16string_view name, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) {
  auto open = OpenKeys().find(key);
  if (open == OpenKeys().end()) return fake::kErrorInvalidHandle;
  auto& values = Instance().registry[open->second];
  auto found = values.find(std::u16string(name));
  if (found == values.end()) return fake::kErrorFileNotFound;
  *type = found->second.type;
  *data = found->second.data;
  return 0;
}

long RegistrySetValue(RegistryKey key, std::u16string_view name, std::uint32_t type,
                      const void* data, std::size_t size) {
  auto open = OpenKeys().find(key);
  if (open == OpenKeys().end()) return fake::kErrorInvalidHandle;
  if (Instance().registry_write_failure != 0) return Instance().registry_write_failure;
  fake::RegistryValue& stored = Instance().registry[open->second][std::u16string(name)];
  stored.type = type;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  stored.data.assign(bytes, bytes + size);
  return 0;
}

void RegistryCloseKey(RegistryKey key) { OpenKeys().erase(key); }

void RegistryFlushUser() { ++Instance().registry_flushes; }

MappingResult MapSharedMemory(std::u16string_view name, std::size_t size, void** view,
                              bool* existed) {
  if (Instance().mapping_failure != MappingResult::kOk) return Instance().mapping_failure;
  auto& mappings = Instance().mappings;
  std::u16string key(name);
  *existed = mappings.count(key) != 0;
  std::vector<std::uint8_t>& memory = mappings[key];
  // Fresh page-file memory is not promised to be zero here, so a test sees whether the
  // first opener clears it.
  if (!*existed) memory.assign(size, 0xCD);
  if (memory.size() < size) memory.resize(size, 0xCD);
  *view = memory.data();
  return MappingResult::kOk;
}

void ShowMessage(std::u16string_view text, std::u16string_view caption) {
  Instance().message_boxes.push_back({std::u16string(text), std::u16string(caption)});
}

bool ReadFileBytes(std::u16string_view path, std::string* bytes) {
  if (fake::StartsWithAny(Instance().unreadable, path)) return false;
  auto found = Instance().files.find(std::u16string(path));
  if (found == Instance().files.end()) return false;
  *bytes = found->second;
  return true;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  if (fake::StartsWithAny(Instance().unwritable, path)) return false;
  Instance().files[std::u16string(path)] = std::string(bytes);
  return true;
}

bool ReplaceFileWith(std::u16string_view source, std::u16string_view target) {
  auto& files = Instance().files;
  auto found = files.find(std::u16string(source));
  if (found == files.end() || fake::StartsWithAny(Instance().unwritable, target)) return false;
  std::string bytes = std::move(found->second);
  files.erase(found);
  files[std::u16string(target)] = std::move(bytes);
  return true;
}

bool CopyFileOver(std::u16string_view from, std::u16string_view to) {
  auto& files = Instance().files;
  auto found = files.find(std::u16string(from));
  if (found == files.end() || fake::StartsWithAny(Instance().unwritable, to)) return false;
  std::string bytes = found->second;
  files[std::u16string(to)] = std::move(bytes);
  return true;
}

bool DeleteFileAt(std::u16string_view path) {
  return Instance().files.erase(std::u16string(path)) != 0;
}

bool FileExists(std::u16string_view path) {
  return Instance().files.count(std::u16string(path)) != 0;
}

bool GetRunningExePath(std::u16string* path) {
  if (Instance().exe_path.empty()) return false;
  *path = Instance().exe_path;
  return true;
}

bool GetDocumentsFolder(std::u16string* path) {
  if (Instance().documents.empty()) return false;
  *path = Instance().documents;
  return true;
}

int PrimaryScreenWidth() { return Instance().primary_screen_width; }
int VirtualScreenWidth() { return Instance().virtual_screen_width; }
int VirtualScreenHeight() { return Instance().virtual_screen_height; }
int ScreenDpiY() { return Instance().dpi_y; }

bool GetWindowScreenRect(WindowHandle window, Rect* rect) {
  auto found = Instance().windows.find(window);
  if (found == Instance().windows.end()) return false;
  *rect = found->second;
  return true;
}

bool IsLiveWindow(WindowHandle window) { return Instance().windows.count(window) != 0; }

FontHandle CreateFontFrom(const FontDescription& description) {
  if (Instance().missing_font_faces.count(description.face) != 0) return 0;
  Instance().fonts_created.push_back(description);
  return 0x5000 + Instance().fonts_created.size();
}

// The answers of the system's letter-or-digit test for the scripts our tests and users
// meet; enough to tell letters from punctuation, symbols and blanks.
bool IsLetterOrDigit(char16_t c) {
  struct Range {
    char16_t first;
    char16_t last;
  };
  static constexpr Range kRanges[] = {
      {u'0', u'9'},       {u'A', u'Z'},       {u'a', u'z'},       {0x00AA, 0x00AA},
      {0x00B5, 0x00B5},   {0x00BA, 0x00BA},   {0x00C0, 0x00D6},   {0x00D8, 0x00F6},
      {0x00F8, 0x02C1},   {0x0370, 0x0373},   {0x0376, 0x037D},   {0x0386, 0x0386},
      {0x0388, 0x03FF},   {0x0400, 0x0481},   {0x048A, 0x052F},   {0x0531, 0x0556},
      {0x05D0, 0x05EA},   {0x0620, 0x064A},   {0x0660, 0x0669},   {0x0E01, 0x0E30},
      {0x1E00, 0x1FBC},   {0x3041, 0x3096},   {0x30A1, 0x30FA},   {0x4E00, 0x9FFF},
      {0xAC00, 0xD7A3},   {0xFF10, 0xFF19},   {0xFF21, 0xFF3A},   {0xFF41, 0xFF5A},
  };
  for (const Range& range : kRanges) {
    if (c >= range.first && c <= range.last) return true;
  }
  return false;
}

}  // namespace platform
