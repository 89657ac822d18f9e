// The key vocabulary: every special key by name and (kind, parameter), and the eight
// slide directions.
#pragma once

#include <cstdint>

namespace quorel {

// Kind 8 is the character key: its parameter is the UTF-16 code unit it types.
constexpr std::uint16_t kCharacterKind = 8;
// In queries and in the editor, parameter 255 means any key or no key.
constexpr std::uint16_t kAnyParameter = 255;

struct SpecialKey {
  const char16_t* name;  // angle brackets included, lower case; null ends the table
  std::uint16_t kind;
  std::uint16_t parameter;
  int takes_argument;  // written as <name>argument</name>
  const char16_t* picker_group;
};

struct Direction {
  int code;  // 1..8 clockwise from north; 0 ends the table
  const char16_t* short_name;
  const char16_t* long_name;
  const char16_t* section_header;  // in slide files
};

constexpr int kDirectionCount = 8;

// The 121 rows followed by a row whose name is null.
const SpecialKey* SpecialKeyTable();

// The name of the first row with this kind and parameter (low 16 bits of each), or null.
const char16_t* GetSpecialKeyName(int kind, int parameter);
// Looks the exact name up, case included; stores 0, 0 and returns false when absent.
bool GetSpecialKey(const char16_t* name, std::uint16_t* kind, std::uint16_t* parameter);

// The direction with this code, or null for codes outside 1..8.
const Direction* FindDirection(int code);

}  // namespace quorel
