// The system's common dialogs for choosing a file to open and a font. Both are modal and
// run their own message loops.
#pragma once

#include <string>

#include "platform/fonts.h"
#include "platform/types.h"

namespace platform {

struct OpenFileRequest {
  std::u16string filter_name;     // "Slide Files (*.txt)"
  std::u16string pattern;         // "*.txt"; its extension completes a name typed without one
  std::u16string initial_folder;  // empty: the system's choice
  // The window the chooser belongs to, disabled while it is open; 0 for none (the
  // keyboard, which must never be disabled).
  WindowHandle owner = 0;
  bool operator==(const OpenFileRequest&) const = default;
};
// Asks for an existing file, with room for 260 characters of path. False when cancelled.
bool AskOpenFileName(const OpenFileRequest& request, std::u16string* path);

struct FontRequest {
  FontDescription initial;
  int smallest_points = 0;  // the sizes offered
  int largest_points = 0;
};
struct FontChoice {
  std::u16string face;
  int size_tenths = 0;  // tenths of a point
  int weight = 400;
  bool italic = false;
};
// Screen fonts only, no script choice. False when cancelled.
bool AskFont(const FontRequest& request, FontChoice* choice);

}  // namespace platform
