// How long the editor takes, measured in the program itself: with QUOREL_TIMINGS naming a
// file, the editor times its start to a drawn window, tab changes, letter queries, find
// short form, the dialog's OK and every save, and writes medians and maxima there when it
// ends.
#pragma once

#include <windows.h>

namespace quorel::editor {

class Timer {
 public:
  explicit Timer(const char* what);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

 private:
  const char* what_;
  LONGLONG start_;
};

// From the creation of the process to now.
void NoteReady();
void WriteTimings();

}  // namespace quorel::editor
