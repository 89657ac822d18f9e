// The in-memory system behind host tests. Tests set the scene through System() and
// assert on what the logic asked for; Reset() gives every test a clean machine.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "platform/shared_memory.h"
#include "platform/types.h"

namespace platform::fake {

struct RegistryValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct MessageBoxRecord {
  std::u16string text;
  std::u16string caption;
};

struct FakeSystem {
  // Registry: key paths below HKEY_CURRENT_USER, compared without regard to ASCII case.
  std::map<std::u16string, std::map<std::u16string, RegistryValue>> registry;
  long registry_failure = 0;  // nonzero: every open and create fails with this code
  long registry_write_failure = 0;  // nonzero: every value write fails with this code
  int registry_flushes = 0;

  // Shared memory: one byte buffer per mapping name, kept across "processes".
  std::map<std::u16string, std::vector<std::uint8_t>> mappings;
  MappingResult mapping_failure = MappingResult::kOk;

  std::vector<MessageBoxRecord> message_boxes;

  // Files by full path; paths starting with a prefix in `unwritable` cannot be written,
  // and those in `unreadable` cannot be opened for reading.
  std::map<std::u16string, std::string> files;
  std::set<std::u16string> unwritable;
  std::set<std::u16string> unreadable;
  std::u16string exe_path = u"C:\\Program Files\\Quorel\\QuorelKeyboard.exe";
  std::u16string documents = u"C:\\Users\\pen\\Documents";

  int primary_screen_width = 1024;
  int virtual_screen_width = 1024;
  int virtual_screen_height = 768;
  int dpi_y = 96;
  std::map<WindowHandle, Rect> windows;  // live windows and their screen rectangles

  std::vector<FontDescription> fonts_created;
  std::set<std::u16string> missing_font_faces;  // fonts that cannot be made
};

FakeSystem& System();
void Reset();

std::u16string RegistryKeyName(std::u16string_view path);  // the canonical map key
void SetRegistryDword(std::u16string_view key, std::u16string_view name, std::uint32_t value);
void SetRegistryString(std::u16string_view key, std::u16string_view name,
                       std::u16string_view value);
const RegistryValue* FindRegistryValue(std::u16string_view key, std::u16string_view name);
bool RegistryKeyExists(std::u16string_view key);

}  // namespace platform::fake
