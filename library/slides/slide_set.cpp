#include "library/slides/slide_set.h"

#include <iterator>

#include "library/keys/key_table.h"

namespace quorel {

SlideSet& TheSlideSet() {
  static SlideSet set;
  return set;
}

std::uint64_t SlideSet::SortKey(int direction, std::uint16_t kind, std::uint16_t parameter) {
  const auto d = static_cast<std::uint32_t>(direction);
  const std::uint8_t bytes[8] = {
      static_cast<std::uint8_t>(d),          static_cast<std::uint8_t>(d >> 8),
      static_cast<std::uint8_t>(d >> 16),    static_cast<std::uint8_t>(d >> 24),
      static_cast<std::uint8_t>(kind),       static_cast<std::uint8_t>(kind >> 8),
      static_cast<std::uint8_t>(parameter),  static_cast<std::uint8_t>(parameter >> 8),
  };
  std::uint64_t key = 0;
  for (std::uint8_t byte : bytes) key = (key << 8) | byte;
  return key;
}

std::uint64_t SlideSet::SortKeyOf(int index) const {
  const SlideDefinition& slide = slots_[static_cast<std::size_t>(index)];
  return SortKey(slide.direction, slide.kind, slide.parameter);
}

void SlideSet::Release() {
  slots_.clear();
  slots_.shrink_to_fit();
  free_slots_ = {};
  head_ = -1;
  tail_ = -1;
  runs_.clear();
  ordered_ = true;
  cursor_ = -1;
}

bool SlideSet::IsLive(int index) const {
  return index >= 0 && index < slot_count() && slots_[static_cast<std::size_t>(index)].free == 0;
}

const SlideDefinition* SlideSet::Get(int index) const {
  return IsLive(index) ? &slots_[static_cast<std::size_t>(index)] : nullptr;
}

void SlideSet::Link(int index) {
  SlideDefinition& slide = slots_[static_cast<std::size_t>(index)];
  const std::uint64_t key = SortKeyOf(index);
  // The last definition whose key is below or equal to the new one.
  int after = -1;
  auto above = runs_.upper_bound(key);
  if (above != runs_.begin()) after = std::prev(above)->second.last;

  slide.previous = after;
  slide.next = after == -1 ? head_ : slots_[static_cast<std::size_t>(after)].next;
  if (slide.next != -1) {
    slots_[static_cast<std::size_t>(slide.next)].previous = index;
  } else {
    tail_ = index;
  }
  if (after == -1) {
    head_ = index;
  } else {
    slots_[static_cast<std::size_t>(after)].next = index;
  }

  auto run = runs_.find(key);
  if (run == runs_.end()) {
    runs_.emplace(key, KeyRun{index, index});
  } else {
    run->second.last = index;
  }
}

void SlideSet::Unlink(int index) {
  SlideDefinition& slide = slots_[static_cast<std::size_t>(index)];
  auto run = runs_.find(SortKeyOf(index));
  if (run != runs_.end()) {
    if (run->second.first == index && run->second.last == index) {
      runs_.erase(run);
    } else if (run->second.first == index) {
      run->second.first = slide.next;
    } else if (run->second.last == index) {
      run->second.last = slide.previous;
    }
  }
  if (slide.previous != -1) {
    slots_[static_cast<std::size_t>(slide.previous)].next = slide.next;
  } else {
    head_ = slide.next;
  }
  if (slide.next != -1) {
    slots_[static_cast<std::size_t>(slide.next)].previous = slide.previous;
  } else {
    tail_ = slide.previous;
  }
  if (cursor_ == index) cursor_ = slide.next;
  slide.previous = -1;
  slide.next = -1;
}

int SlideSet::Add(int direction, std::uint16_t kind, std::uint16_t parameter,
                  const char16_t* preview, const char16_t* text) {
  int index;
  if (!free_slots_.empty()) {
    index = free_slots_.top();
    free_slots_.pop();
    slots_[static_cast<std::size_t>(index)] = SlideDefinition();
  } else {
    index = slot_count();
    slots_.emplace_back();
  }
  SlideDefinition& slide = slots_[static_cast<std::size_t>(index)];
  slide.direction = direction;
  slide.kind = kind;
  slide.parameter = parameter;
  if (preview != nullptr) slide.preview = std::make_unique<std::u16string>(preview);
  if (text != nullptr) slide.text = text;
  Link(index);
  return index;
}

bool SlideSet::Modify(int index, const char16_t* preview, const char16_t* text) {
  if (!IsLive(index)) return false;
  SlideDefinition& slide = slots_[static_cast<std::size_t>(index)];
  slide.preview = preview != nullptr ? std::make_unique<std::u16string>(preview) : nullptr;
  slide.text = text != nullptr ? text : u"";
  return true;
}

bool SlideSet::Delete(int index) {
  if (!IsLive(index)) return false;
  Unlink(index);
  SlideDefinition& slide = slots_[static_cast<std::size_t>(index)];
  slide.preview.reset();
  slide.text.clear();
  slide.text.shrink_to_fit();
  slide.free = 1;
  free_slots_.push(index);
  return true;
}

bool SlideSet::Swap(int a, int b) {
  if (!IsLive(a) || !IsLive(b)) return false;
  if (a == b) return true;
  SlideDefinition& first = slots_[static_cast<std::size_t>(a)];
  SlideDefinition& second = slots_[static_cast<std::size_t>(b)];
  const bool same_key = SortKeyOf(a) == SortKeyOf(b);
  std::swap(first.direction, second.direction);
  std::swap(first.kind, second.kind);
  std::swap(first.parameter, second.parameter);
  std::swap(first.preview, second.preview);
  std::swap(first.text, second.text);
  // Neighbours with one key, the only use the editor makes, leave every run as it was.
  if (!same_key) {
    ordered_ = false;
    RebuildRuns();
  }
  return true;
}

void SlideSet::RebuildRuns() {
  runs_.clear();
  for (int index = head_; index != -1; index = slots_[static_cast<std::size_t>(index)].next) {
    auto [run, added] = runs_.emplace(SortKeyOf(index), KeyRun{index, index});
    if (!added) run->second.last = index;
  }
}

int SlideSet::Compare(int a, int b) const {
  if (!IsLive(a) || !IsLive(b)) return 0;
  const std::uint64_t key_a = SortKeyOf(a);
  const std::uint64_t key_b = SortKeyOf(b);
  return key_a < key_b ? -1 : (key_a > key_b ? 1 : 0);
}

void SlideSet::SetQueryCriteria(int direction, std::uint16_t kind, std::uint16_t parameter) {
  query_direction_ = direction;
  query_kind_ = kind;
  query_parameter_ = parameter;
  exact_query_ = false;
  exact_parameter_ = false;
  cursor_ = head_;
}

void SlideSet::SetParameterQuery(int direction, std::uint16_t kind, std::uint16_t parameter) {
  SetQueryCriteria(direction, kind, parameter);
  exact_parameter_ = true;
}

void SlideSet::SetExactQuery(int direction, std::uint16_t kind, std::uint16_t parameter) {
  query_direction_ = direction;
  query_kind_ = kind;
  query_parameter_ = parameter;
  exact_query_ = true;
  auto run = runs_.find(SortKey(direction, kind, parameter));
  cursor_ = !ordered_ ? head_ : (run == runs_.end() ? -1 : run->second.first);
}

bool SlideSet::Matches(const SlideDefinition& slide) const {
  if (exact_query_) {
    return slide.direction == query_direction_ && slide.kind == query_kind_ &&
           slide.parameter == query_parameter_;
  }
  return (query_direction_ == 0 || slide.direction == query_direction_) &&
         (query_kind_ == 0 || slide.kind == query_kind_) &&
         ((query_parameter_ == kAnyParameter && !exact_parameter_) ||
          slide.parameter == query_parameter_);
}

bool SlideSet::Query(int* index) {
  while (cursor_ != -1) {
    const SlideDefinition& slide = slots_[static_cast<std::size_t>(cursor_)];
    if (Matches(slide)) {
      *index = cursor_;
      cursor_ = slide.next;
      return true;
    }
    // The definitions of one key stand together, so an exact query ends at the first
    // definition of another key.
    cursor_ = (exact_query_ && ordered_) ? -1 : slide.next;
  }
  return false;
}

}  // namespace quorel
