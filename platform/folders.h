// Folders: making them, listing them, and filling them with copies that never overwrite.
// Paths are full UTF-16 paths with backslashes and no trailing backslash.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// False when the folder exists already or cannot be made.
bool CreateFolder(std::u16string_view path);

struct FolderEntry {
  std::u16string name;  // without the folder
  bool directory = false;
};
// Every entry of the folder as the system lists them (with "." and ".."). False when the
// folder cannot be listed; a listing that breaks off keeps what it found before.
bool ListFolder(std::u16string_view path, std::vector<FolderEntry>* entries);

// Copies the file unless the target exists; false when nothing was copied.
bool CopyFileIfAbsent(std::u16string_view from, std::u16string_view to);

}  // namespace platform
