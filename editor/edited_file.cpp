#include "editor/edited_file.h"

namespace quorel::editor {

void EditedFile::Loaded(bool read, const DiskStamp& stamp) {
  read_ = read;
  unsaved_ = false;
  stamp_ = stamp;
}

void EditedFile::Saved(const DiskStamp& stamp) {
  read_ = true;
  unsaved_ = false;
  stamp_ = stamp;
}

EditedFile::Step EditedFile::Check(const DiskStamp& now) const {
  if (!read_) return Step::kNotRead;
  // Gone (a share gone offline, a file taken away): nothing of another hand's is there to
  // lose, and a write that cannot reach the folder fails and is told.
  if (now == stamp_ || !now.present) return Step::kGoOn;
  return unsaved_ ? Step::kAsk : Step::kReadAgain;
}

}  // namespace quorel::editor
