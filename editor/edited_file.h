// What the editor knows of a file it edits, against what is on disk: whether it read the
// file whole, what the disk held when it last read or wrote it, and whether a change of the
// user's lives in memory only. Every decision to write, to read again or to ask comes from
// here, so that no file the editor could not read, and no change another program made to
// one it did read, is ever written over.
#pragma once

#include <cstdint>

namespace quorel::editor {

// A file as the disk describes it; two stamps that differ mean another hand wrote it.
struct DiskStamp {
  bool present = false;
  std::uint64_t size = 0;
  std::uint64_t written = 0;  // the last write time, in the system's units
  bool operator==(const DiskStamp&) const = default;
};

class EditedFile {
 public:
  // What may be done before a command changes the file, or before its change is written.
  enum class Step {
    kGoOn,       // the file is as the editor left it
    kNotRead,    // it was never read whole: nothing may be written over it
    kReadAgain,  // another program changed it, and nothing of the user's is unsaved
    kAsk,        // another program changed it, and a change of the user's is not in it
  };

  // Read whole (`read`), or not, when the disk held `stamp`; a file made anew is read.
  void Loaded(bool read, const DiskStamp& stamp);
  // The user changed it in memory.
  void Changed() { unsaved_ = true; }
  // A save wrote it, and the disk holds `stamp` since.
  void Saved(const DiskStamp& stamp);

  bool Read() const { return read_; }
  bool Unsaved() const { return unsaved_; }
  Step Check(const DiskStamp& now) const;

 private:
  bool read_ = true;  // no file yet: nothing to guard
  bool unsaved_ = false;
  DiskStamp stamp_;
};

}  // namespace quorel::editor
