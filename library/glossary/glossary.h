// The glossary of a process: short forms mapped to long forms, each with an optional
// preview. Entries are kept in an array in glossary order (short forms compared code unit
// by code unit with only A-Z folded to a-z); entries with equal short forms stay in the
// order they were added. An entry is addressed by its pointer, which stays valid until the
// entry is deleted or the glossary released.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quorel {

struct GlossaryEntry {
  std::u16string short_form;
  std::unique_ptr<std::u16string> preview;  // null: none
  std::u16string long_form;
};

class Glossary {
 public:
  void Release();
  int Count() const { return static_cast<int>(entries_.size()); }

  // Inserts after every entry whose short form equals it and stores the array index
  // (`index` may be null). The short form is kept as given; a null long form is empty.
  // Null when `short_form` is null.
  GlossaryEntry* Add(const char16_t* short_form, const char16_t* preview, const char16_t* long_form,
                     int* index);
  // Adds many entries at once, placed exactly as adding them one by one in the given order
  // would place them, in O(n log n) rather than one array shift per entry.
  void AddAll(std::vector<std::unique_ptr<GlossaryEntry>> entries);
  // Replaces preview and long form; short form and position stay.
  bool Modify(GlossaryEntry* entry, const char16_t* preview, const char16_t* long_form);
  // An entry that is not in the glossary is reported by message and left alone.
  bool Delete(GlossaryEntry* entry);
  // Many entries at once, in one pass over the array; those not in the glossary are left
  // alone, without a word. Returns how many went.
  int DeleteAll(const std::vector<GlossaryEntry*>& entries);
  // Exchanges the contents of two entries with equal short forms; each keeps its array
  // position. Entries whose short forms differ are refused, as the exchange would leave
  // the array out of order for every later search.
  bool Swap(GlossaryEntry* a, GlossaryEntry* b);

  // Null: every entry from the first. Otherwise the entries that begin with the prefix
  // (A-Z folded), starting at the first whose short form equals it or would follow it.
  // True when an entry with an equal short form exists.
  bool SetQueryCriteria(const char16_t* prefix);
  // The next entry of the query (`entry` may be null); false once it is exhausted.
  bool Query(GlossaryEntry** entry);

  GlossaryEntry* At(int index) const;  // null outside 0..Count()-1
  bool IsLive(const GlossaryEntry* entry) const;

  // Index of the first entry whose short form is at or after `key` in glossary order.
  int LowerBound(std::u16string_view key) const;
  // Negative, zero or positive as `a` comes before, equals or follows `b`.
  static int Compare(std::u16string_view a, std::u16string_view b);

 private:
  int UpperBound(std::u16string_view key) const;

  std::vector<std::unique_ptr<GlossaryEntry>> entries_;
  std::unordered_set<const GlossaryEntry*> live_;

  std::u16string query_prefix_;
  std::size_t query_position_ = 0;
  bool query_active_ = false;
};

// A character that a short form may hold: a letter or a digit.
bool IsValidShortFormChar(char16_t c);

// The glossary that the library's exports work on.
Glossary& TheGlossary();

// Adds the entries of a glossary file's bytes.
void ParseGlossaryFile(std::string_view bytes, Glossary& glossary);
// Reads a glossary file, adding its entries; a file that cannot be opened is reported.
bool ReadGlossaryFile(Glossary& glossary, std::u16string_view path);
// The file's bytes: the one-character short forms under "[Words]", the others under
// "[Phrases]", each part in glossary order.
std::string FormatGlossaryFile(const Glossary& glossary);
// Backs up the old file and writes the glossary in its place; a failure leaves it whole.
bool WriteGlossaryFile(const Glossary& glossary, std::u16string_view path);

}  // namespace quorel
