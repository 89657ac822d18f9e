// The slide definitions of a process: (direction, kind, parameter) -> text, with an
// optional preview. Definitions are addressed by slot number; the list through the slots
// stays in key order, equal keys in the order they were added.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <queue>
#include <string>
#include <vector>

namespace quorel {

struct SlideDefinition {
  int direction = 0;
  std::uint16_t kind = 0;
  std::uint16_t parameter = 255;
  std::unique_ptr<std::u16string> preview;  // null: no preview
  std::u16string text;
  int free = 0;
  int previous = -1;
  int next = -1;
};

class SlideSet {
 public:
  void Release();

  // Adds after every definition whose key is below or equal to its own; returns the slot
  // number, reusing the lowest free slot first.
  int Add(int direction, std::uint16_t kind, std::uint16_t parameter, const char16_t* preview,
          const char16_t* text);
  bool Modify(int index, const char16_t* preview, const char16_t* text);
  bool Delete(int index);
  bool Swap(int a, int b);
  // -1, 0 or 1 as the key of a is below, equal to or above the key of b; 0 when either
  // index is not a live definition.
  int Compare(int a, int b) const;

  // Direction 0 and kind 0 match anything; parameter 255 matches any parameter.
  void SetQueryCriteria(int direction, std::uint16_t kind, std::uint16_t parameter);
  // The definitions of exactly this key, parameter 255 included.
  void SetExactQuery(int direction, std::uint16_t kind, std::uint16_t parameter);
  // As SetQueryCriteria, but the parameter always matches exactly: 255 is the letter
  // U+00FF, not any key.
  void SetParameterQuery(int direction, std::uint16_t kind, std::uint16_t parameter);
  bool Query(int* index);

  bool IsLive(int index) const;
  const SlideDefinition* Get(int index) const;
  int head() const { return head_; }
  int slot_count() const { return static_cast<int>(slots_.size()); }
  std::size_t live_count() const { return slots_.size() - free_slots_.size(); }

  // The key packed so that comparing the numbers compares its eight little-endian bytes
  // one by one, which is the order of the list and of the file.
  static std::uint64_t SortKey(int direction, std::uint16_t kind, std::uint16_t parameter);

 private:
  struct KeyRun {
    int first;
    int last;
  };

  std::uint64_t SortKeyOf(int index) const;
  void Link(int index);
  void Unlink(int index);
  void RebuildRuns();
  bool Matches(const SlideDefinition& slide) const;

  std::vector<SlideDefinition> slots_;
  std::priority_queue<int, std::vector<int>, std::greater<int>> free_slots_;
  int head_ = -1;
  int tail_ = -1;
  // The first and last slot of every key present, so adding finds its place at once.
  std::map<std::uint64_t, KeyRun> runs_;
  // False once a swap of two different keys has put the list out of key order.
  bool ordered_ = true;

  int cursor_ = -1;
  int query_direction_ = 0;
  std::uint16_t query_kind_ = 0;
  std::uint16_t query_parameter_ = 255;
  bool exact_query_ = false;
  bool exact_parameter_ = false;
};

// The slide set that the library's exports work on.
SlideSet& TheSlideSet();

// Reads a slide file, adding its definitions; a file that cannot be opened is reported.
bool ReadSlideFile(SlideSet& set, std::u16string_view path);
// The file's bytes for the set, in list order.
std::string FormatSlideFile(const SlideSet& set);
// Parses a slide file's bytes into the set.
void ParseSlideFile(std::string_view bytes, SlideSet& set);
// Backs up the old file and writes the set in its place; a failure leaves it whole.
bool WriteSlideFile(const SlideSet& set, std::u16string_view path);

}  // namespace quorel
