#include "library/glossary/glossary.h"

#include "library/strings/strutils.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

#include "platform/message_box.h"
#include "platform/text.h"

namespace quorel {

namespace {

bool EntryBefore(const std::unique_ptr<GlossaryEntry>& a, const std::unique_ptr<GlossaryEntry>& b) {
  return Glossary::Compare(a->short_form, b->short_form) < 0;
}

}  // namespace

Glossary& TheGlossary() {
  static Glossary glossary;
  return glossary;
}

bool IsValidShortFormChar(char16_t c) { return platform::IsLetterOrDigit(c); }

int Glossary::Compare(std::u16string_view a, std::u16string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t fa = FoldAz(a[i]);
    const char16_t fb = FoldAz(b[i]);
    if (fa != fb) return fa < fb ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

void Glossary::Release() {
  entries_.clear();
  entries_.shrink_to_fit();
  live_.clear();
  query_prefix_.clear();
  query_position_ = 0;
  query_active_ = false;
}

bool Glossary::IsLive(const GlossaryEntry* entry) const {
  return entry != nullptr && live_.count(entry) != 0;
}

GlossaryEntry* Glossary::At(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return entries_[static_cast<std::size_t>(index)].get();
}

int Glossary::LowerBound(std::u16string_view key) const {
  auto found =
      std::lower_bound(entries_.begin(), entries_.end(), key,
                       [](const std::unique_ptr<GlossaryEntry>& entry, std::u16string_view k) {
                         return Compare(entry->short_form, k) < 0;
                       });
  return static_cast<int>(found - entries_.begin());
}

int Glossary::UpperBound(std::u16string_view key) const {
  auto found =
      std::upper_bound(entries_.begin(), entries_.end(), key,
                       [](std::u16string_view k, const std::unique_ptr<GlossaryEntry>& entry) {
                         return Compare(k, entry->short_form) < 0;
                       });
  return static_cast<int>(found - entries_.begin());
}

GlossaryEntry* Glossary::Add(const char16_t* short_form, const char16_t* preview,
                             const char16_t* long_form, int* index) {
  if (short_form == nullptr) return nullptr;
  auto entry = std::make_unique<GlossaryEntry>();
  entry->short_form = short_form;
  if (preview != nullptr) entry->preview = std::make_unique<std::u16string>(preview);
  if (long_form != nullptr) entry->long_form = long_form;
  GlossaryEntry* added = entry.get();
  const int position = UpperBound(added->short_form);
  const auto at = entries_.insert(entries_.begin() + position, std::move(entry));
  try {
    live_.insert(added);
  } catch (...) {
    entries_.erase(at);
    throw;
  }
  if (index != nullptr) *index = position;
  return added;
}

void Glossary::AddAll(std::vector<std::unique_ptr<GlossaryEntry>> entries) {
  std::erase(entries, nullptr);
  if (entries.empty()) return;

  // Sorting compares the first eight folded code units held in the sort record itself, and
  // reaches for the entries only when those are equal: following every pointer of a
  // shuffled file into the heap costs more than all the rest of reading it.
  struct Keyed {
    std::uint64_t head[2];
    std::size_t index;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    Keyed record{{0, 0}, i};
    const std::u16string& short_form = entries[i]->short_form;
    for (std::size_t unit = 0; unit < 8; ++unit) {
      // A short form ends in zero units, which sort below every real code unit, as the
      // end of the shorter one does in Compare.
      const std::uint64_t c = unit < short_form.size() ? FoldAz(short_form[unit]) : 0;
      record.head[unit / 4] |= c << (48 - 16 * (unit % 4));
    }
    keyed.push_back(record);
  }
  // Stable, so that equal short forms keep the order they came in.
  std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
    if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
    if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
    return Compare(entries[a.index]->short_form, entries[b.index]->short_form) < 0;
  });
  std::vector<std::unique_ptr<GlossaryEntry>> sorted;
  sorted.reserve(entries.size());
  std::vector<std::unique_ptr<GlossaryEntry>> merged;
  if (!entries_.empty()) merged.reserve(entries_.size() + entries.size());

  // Registered in the order they were made, which is the order they lie in memory. Nothing
  // after this can fail, and a failure here takes back every registration, so that no
  // freed entry is ever taken for a live one.
  try {
    live_.reserve(live_.size() + entries.size());
    for (const auto& entry : entries) live_.insert(entry.get());
  } catch (...) {
    for (const auto& entry : entries) live_.erase(entry.get());
    throw;
  }

  for (const Keyed& record : keyed) sorted.push_back(std::move(entries[record.index]));
  if (entries_.empty()) {
    entries_ = std::move(sorted);
    return;
  }
  // std::merge takes from the first range among equals: the existing entries stay first.
  std::merge(std::make_move_iterator(entries_.begin()), std::make_move_iterator(entries_.end()),
             std::make_move_iterator(sorted.begin()), std::make_move_iterator(sorted.end()),
             std::back_inserter(merged), EntryBefore);
  entries_ = std::move(merged);
}

bool Glossary::Modify(GlossaryEntry* entry, const char16_t* preview, const char16_t* long_form) {
  if (!IsLive(entry)) return false;
  entry->preview = preview != nullptr ? std::make_unique<std::u16string>(preview) : nullptr;
  entry->long_form = long_form != nullptr ? long_form : u"";
  return true;
}

bool Glossary::Delete(GlossaryEntry* entry) {
  if (IsLive(entry)) {
    // The entry stands among those of its short form; the walk covers the whole run, the
    // last entry of the glossary included.
    for (auto at = entries_.begin() + LowerBound(entry->short_form);
         at != entries_.end() && Compare((*at)->short_form, entry->short_form) == 0; ++at) {
      if (at->get() != entry) continue;
      live_.erase(entry);
      entries_.erase(at);
      return true;
    }
  }
  platform::ShowMessage(u"Can't find glossary entry", u"Quorel");
  return false;
}

int Glossary::DeleteAll(const std::vector<GlossaryEntry*>& entries) {
  std::unordered_set<const GlossaryEntry*> doomed;
  for (GlossaryEntry* entry : entries) {
    if (IsLive(entry)) doomed.insert(entry);
  }
  if (doomed.empty()) return 0;
  for (const GlossaryEntry* entry : doomed) live_.erase(entry);
  std::erase_if(entries_, [&](const std::unique_ptr<GlossaryEntry>& entry) {
    return doomed.count(entry.get()) != 0;
  });
  return static_cast<int>(doomed.size());
}

bool Glossary::Swap(GlossaryEntry* a, GlossaryEntry* b) {
  if (!IsLive(a) || !IsLive(b)) return false;
  if (Compare(a->short_form, b->short_form) != 0) return false;
  std::swap(a->short_form, b->short_form);
  std::swap(a->preview, b->preview);
  std::swap(a->long_form, b->long_form);
  return true;
}

bool Glossary::SetQueryCriteria(const char16_t* prefix) {
  query_active_ = true;
  if (prefix == nullptr) {
    query_prefix_.clear();
    query_position_ = 0;
    return false;
  }
  query_prefix_ = prefix;
  query_position_ = static_cast<std::size_t>(LowerBound(query_prefix_));
  return query_position_ < entries_.size() &&
         Compare(entries_[query_position_]->short_form, query_prefix_) == 0;
}

bool Glossary::Query(GlossaryEntry** entry) {
  if (!query_active_) return false;
  if (query_position_ >= entries_.size() ||
      !StartsWithFolded(entries_[query_position_]->short_form, query_prefix_)) {
    query_active_ = false;
    return false;
  }
  if (entry != nullptr) *entry = entries_[query_position_].get();
  ++query_position_;
  return true;
}

}  // namespace quorel
