#include "editor/undo_journal.h"

#include <algorithm>
#include <utility>

namespace quorel::editor {

namespace {

int RankOf(const std::vector<ItemHandle>& same_key, ItemHandle handle) {
  const auto found = std::find(same_key.begin(), same_key.end(), handle);
  return found == same_key.end() ? -1 : static_cast<int>(found - same_key.begin());
}

bool Within(const std::vector<ItemHandle>& same_key, int rank) {
  return rank >= 0 && rank < static_cast<int>(same_key.size());
}

}  // namespace

void UndoJournal::Begin() { open_ = Step(); }

std::optional<UndoJournal::Action> UndoJournal::Place(ItemStore& store, Kind kind,
                                                      ItemHandle handle) {
  const std::optional<Item> item = store.Get(handle);
  if (!item) return std::nullopt;
  const int rank = RankOf(store.SameKey(*item), handle);
  if (rank < 0) return std::nullopt;
  return Action{kind, *item, rank, 0};
}

void UndoJournal::Keep(std::optional<Action> action) {
  if (open_ && action) open_->push_back(std::move(*action));
}

void UndoJournal::Added(ItemStore& store, ItemHandle handle) {
  Keep(Place(store, Kind::kAdded, handle));
}

void UndoJournal::Deleting(ItemStore& store, ItemHandle handle) {
  Keep(Place(store, Kind::kDeleted, handle));
}

void UndoJournal::Modifying(ItemStore& store, ItemHandle handle) {
  Keep(Place(store, Kind::kModified, handle));
}

void UndoJournal::Swapped(ItemStore& store, ItemHandle a, ItemHandle b) {
  std::optional<Action> action = Place(store, Kind::kSwapped, a);
  if (!action) return;
  action->other_rank = RankOf(store.SameKey(action->item), b);
  if (action->other_rank < 0) return;
  Keep(std::move(action));
}

void UndoJournal::End() {
  if (open_ && !open_->empty()) {
    steps_.push_back(std::move(*open_));
    if (steps_.size() > kMostSteps) steps_.erase(steps_.begin());
  }
  open_.reset();
}

std::vector<ItemHandle> UndoJournal::Undo(ItemStore& store) {
  std::vector<ItemHandle> touched;
  if (steps_.empty()) return touched;
  // Where the items put back or changed stand once the whole step is undone: a later
  // action may still move contents between the handles of one key.
  std::vector<std::pair<const Item*, int>> places;
  const Step step = std::move(steps_.back());  // kept alive for `places`
  steps_.pop_back();
  // Each action is taken back in the state it left, so ranks mean what they meant then.
  for (auto action = step.rbegin(); action != step.rend(); ++action) {
    std::vector<ItemHandle> same_key = store.SameKey(action->item);
    switch (action->kind) {
      case Kind::kAdded:
        if (Within(same_key, action->rank)) {
          store.Delete(same_key[static_cast<std::size_t>(action->rank)]);
        }
        break;
      case Kind::kDeleted: {
        const std::optional<ItemHandle> added = store.Add(action->item);
        if (!added) break;
        same_key = store.SameKey(action->item);
        // Added last of its key; brought back up to where it stood.
        int at = RankOf(same_key, *added);
        while (at > action->rank && at > 0) {
          store.Swap(same_key[static_cast<std::size_t>(at - 1)],
                     same_key[static_cast<std::size_t>(at)]);
          --at;
        }
        places.emplace_back(&action->item, action->rank);
        break;
      }
      case Kind::kModified:
        if (Within(same_key, action->rank)) {
          const ItemHandle handle = same_key[static_cast<std::size_t>(action->rank)];
          store.Modify(handle, action->item);
          places.emplace_back(&action->item, action->rank);
        }
        break;
      case Kind::kSwapped:
        if (Within(same_key, action->rank) && Within(same_key, action->other_rank)) {
          store.Swap(same_key[static_cast<std::size_t>(action->rank)],
                     same_key[static_cast<std::size_t>(action->other_rank)]);
          places.emplace_back(&action->item, action->rank);
        }
        break;
    }
  }
  for (const auto& [item, rank] : places) {
    const std::vector<ItemHandle> same_key = store.SameKey(*item);
    if (Within(same_key, rank)) touched.push_back(same_key[static_cast<std::size_t>(rank)]);
  }
  return touched;
}

void UndoJournal::Clear() {
  steps_.clear();
  open_.reset();
}

}  // namespace quorel::editor
