// Where the background worker tells the program's thread that jobs ended.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Each job that ends posts `message` to `notify`, whose procedure then calls
// RunFinishedBackgroundWork.
void SetBackgroundNotify(HWND notify, UINT message);

}  // namespace platform::win32
