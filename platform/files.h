// Files and folders. Paths are full UTF-16 paths with backslashes.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// Reads the whole file as bytes. False when it cannot be opened or read.
bool ReadFileBytes(std::u16string_view path, std::string* bytes);
// Creates or truncates the file and writes all bytes. False when any step fails.
bool WriteFileBytes(std::u16string_view path, std::string_view bytes);
// Replaces `target` by `source` in one step, so the target is never half written.
bool ReplaceFileWith(std::u16string_view source, std::u16string_view target);
bool CopyFileOver(std::u16string_view from, std::u16string_view to);
bool DeleteFileAt(std::u16string_view path);
bool FileExists(std::u16string_view path);
// Whether a file is there. kAbsent only when the system says so for certain; a share that
// is offline, a folder the user may not look into, or any other failure is kUnknown.
enum class FileState { kPresent, kAbsent, kUnknown };
FileState LookUpFile(std::u16string_view path);
// Full file name of the running program's executable (not of a library).
bool GetRunningExePath(std::u16string* path);
// The user's Documents folder, without a trailing backslash.
bool GetDocumentsFolder(std::u16string* path);

}  // namespace platform
