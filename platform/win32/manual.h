// The manual beside the programs, opened at a section of its own ("editor", "options").
#pragma once

#include <windows.h>

namespace platform::win32 {

// Opens "manual\quorelmanual.htm" below the program's folder at `section`. A file opened
// through the shell loses the part of its address after '#', so the program that opens web
// addresses is started with the whole address; without one, the manual opens at its top.
// A missing manual is told to the user.
void OpenManualAt(HWND owner, const wchar_t* section);

}  // namespace platform::win32
