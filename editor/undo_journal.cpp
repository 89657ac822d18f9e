#include "editor/undo_journal.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <tuple>
#include <unordered_map>
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

// The key SameKey groups items by: slides by direction, kind and parameter, glossary
// entries by their short form with A-Z folded.
using Key = std::tuple<int, std::uint16_t, std::uint16_t, std::u16string>;
Key KeyOf(const Item& item) {
  std::u16string folded = item.short_form;
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
  }
  return {item.direction, item.kind, item.parameter, std::move(folded)};
}

// The items of each key met, asked of the store once per key.
class KeyCache {
 public:
  explicit KeyCache(ItemStore& store) : store_(store) {}
  std::vector<ItemHandle>& Of(const Item& item) {
    auto [at, added] = keys_.try_emplace(KeyOf(item));
    if (added) at->second = store_.SameKey(item);
    return at->second;
  }

 private:
  ItemStore& store_;
  std::map<Key, std::vector<ItemHandle>> keys_;
};

}  // namespace

std::vector<std::optional<ItemHandle>> ItemStore::AddAll(const std::vector<Item>& items) {
  std::vector<std::optional<ItemHandle>> added;
  added.reserve(items.size());
  for (const Item& item : items) added.push_back(Add(item));
  return added;
}

void ItemStore::DeleteAll(const std::vector<ItemHandle>& handles) {
  for (ItemHandle handle : handles) Delete(handle);
}

void UndoJournal::Begin() { Begin(About()); }

void UndoJournal::Begin(About about) { open_ = Step{{}, std::move(about)}; }

std::optional<UndoJournal::Action> UndoJournal::Place(ItemStore& store, Kind kind,
                                                      ItemHandle handle) {
  const std::optional<Item> item = store.Get(handle);
  if (!item) return std::nullopt;
  const int rank = RankOf(store.SameKey(*item), handle);
  if (rank < 0) return std::nullopt;
  return Action{kind, *item, rank, 0};
}

void UndoJournal::Keep(std::optional<Action> action) {
  if (open_ && action) open_->actions.push_back(std::move(*action));
}

void UndoJournal::Added(ItemStore& store, ItemHandle handle) {
  Keep(Place(store, Kind::kAdded, handle));
}

void UndoJournal::Deleting(ItemStore& store, ItemHandle handle) {
  Keep(Place(store, Kind::kDeleted, handle));
}

void UndoJournal::DeletingAll(ItemStore& store, const std::vector<ItemHandle>& handles) {
  KeyCache keys(store);
  for (ItemHandle handle : handles) {
    std::optional<Item> item = store.Get(handle);
    if (!item) continue;
    // Each place as it will be when its turn comes: the deletes before it are done then.
    std::vector<ItemHandle>& same_key = keys.Of(*item);
    const int rank = RankOf(same_key, handle);
    if (rank < 0) continue;
    same_key.erase(same_key.begin() + rank);
    Keep(Action{Kind::kDeleted, std::move(*item), rank, 0});
  }
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
  if (open_ && !open_->actions.empty()) {
    undo_.push_back(std::move(*open_));
    if (undo_.size() > kMostSteps) undo_.erase(undo_.begin());
    redo_.clear();
  }
  open_.reset();
}

UndoJournal::Step UndoJournal::TakeBack(ItemStore& store, const Step& step,
                                        std::vector<ItemHandle>* touched) {
  Step inverse{{}, step.about};
  // Where the items put back or changed stand once the whole step is taken back: a later
  // action may still move contents between the handles of one key.
  std::vector<std::pair<const Item*, int>> places;
  const std::vector<Action>& actions = step.actions;
  // Each action is taken back in the state it left, so ranks mean what they meant then; a
  // run of deletes is put back, and a run of adds taken away, in one go.
  std::size_t end = actions.size();
  while (end > 0) {
    const Kind kind = actions[end - 1].kind;
    std::size_t begin = end - 1;
    if (kind == Kind::kDeleted || kind == Kind::kAdded) {
      while (begin > 0 && actions[begin - 1].kind == kind) --begin;
    }
    if (kind == Kind::kDeleted) {
      // Added at the end of their keys, then brought to their ranks, each as if put back
      // alone in turn, last deleted first.
      std::vector<Item> items;
      for (std::size_t i = end; i-- > begin;) items.push_back(actions[i].item);
      const std::vector<std::optional<ItemHandle>> added = store.AddAll(items);
      std::map<Key, std::vector<std::pair<std::size_t, ItemHandle>>> by_key;
      for (std::size_t j = 0; j < items.size(); ++j) {
        if (added[j]) by_key[KeyOf(items[j])].emplace_back(j, *added[j]);
      }
      for (const auto& [key, restored] : by_key) {
        const std::vector<ItemHandle> same_key = store.SameKey(items[restored.front().first]);
        std::unordered_map<ItemHandle, int> standing;  // where each handle stands now
        for (std::size_t p = 0; p < same_key.size(); ++p) standing[same_key[p]] = static_cast<int>(p);
        std::unordered_map<ItemHandle, bool> is_new;
        for (const auto& entry : restored) is_new[entry.second] = true;
        std::vector<int> order;  // contents by where they stand now
        for (std::size_t p = 0; p < same_key.size(); ++p) {
          if (is_new.count(same_key[p]) == 0) order.push_back(static_cast<int>(p));
        }
        for (const auto& [j, handle] : restored) {
          const auto found = standing.find(handle);
          if (found == standing.end()) continue;
          const int content = found->second;
          const int rank = std::clamp(actions[end - 1 - j].rank, 0, static_cast<int>(order.size()));
          order.insert(order.begin() + rank, content);
          inverse.actions.push_back(Action{Kind::kAdded, items[j], rank, 0});
          places.emplace_back(&actions[end - 1 - j].item, rank);
        }
        // Contents to their places with one swap each at most.
        std::vector<int> at(same_key.size());
        std::vector<int> where(same_key.size());
        std::iota(at.begin(), at.end(), 0);
        std::iota(where.begin(), where.end(), 0);
        for (std::size_t p = 0; p < order.size() && p < same_key.size(); ++p) {
          const int q = where[static_cast<std::size_t>(order[p])];
          if (q == static_cast<int>(p)) continue;
          store.Swap(same_key[p], same_key[static_cast<std::size_t>(q)]);
          std::swap(at[p], at[static_cast<std::size_t>(q)]);
          where[static_cast<std::size_t>(at[p])] = static_cast<int>(p);
          where[static_cast<std::size_t>(at[static_cast<std::size_t>(q)])] = q;
        }
      }
    } else if (kind == Kind::kAdded) {
      KeyCache keys(store);
      std::vector<ItemHandle> doomed;
      for (std::size_t i = end; i-- > begin;) {
        std::vector<ItemHandle>& same_key = keys.Of(actions[i].item);
        if (!Within(same_key, actions[i].rank)) continue;
        const auto place = same_key.begin() + actions[i].rank;
        const std::optional<Item> current = store.Get(*place);
        if (current) inverse.actions.push_back(Action{Kind::kDeleted, *current, actions[i].rank, 0});
        doomed.push_back(*place);
        same_key.erase(place);
      }
      store.DeleteAll(doomed);
    } else {
      const Action& action = actions[begin];
      const std::vector<ItemHandle> same_key = store.SameKey(action.item);
      if (Within(same_key, action.rank) &&
          (kind == Kind::kModified || Within(same_key, action.other_rank))) {
        const ItemHandle handle = same_key[static_cast<std::size_t>(action.rank)];
        const std::optional<Item> current = store.Get(handle);
        if (current) inverse.actions.push_back(Action{kind, *current, action.rank, action.other_rank});
        if (kind == Kind::kModified) {
          store.Modify(handle, action.item);
        } else {
          store.Swap(handle, same_key[static_cast<std::size_t>(action.other_rank)]);
        }
        places.emplace_back(&action.item, action.rank);
      }
    }
    end = begin;
  }
  KeyCache keys(store);
  for (const auto& [item, rank] : places) {
    const std::vector<ItemHandle>& same_key = keys.Of(*item);
    if (Within(same_key, rank)) touched->push_back(same_key[static_cast<std::size_t>(rank)]);
  }
  return inverse;
}

UndoJournal::Taken UndoJournal::Move(ItemStore& store, std::vector<Step>& from,
                                     std::vector<Step>& to) {
  Taken taken;
  if (from.empty()) return taken;
  const Step step = std::move(from.back());  // kept alive for the places of TakeBack
  from.pop_back();
  Step inverse = TakeBack(store, step, &taken.touched);
  taken.about = step.about;
  taken.done = true;
  to.push_back(std::move(inverse));
  if (to.size() > kMostSteps) to.erase(to.begin());
  return taken;
}

UndoJournal::Taken UndoJournal::Undo(ItemStore& store) { return Move(store, undo_, redo_); }

UndoJournal::Taken UndoJournal::Redo(ItemStore& store) { return Move(store, redo_, undo_); }

void UndoJournal::Clear() {
  undo_.clear();
  redo_.clear();
  open_.reset();
}

}  // namespace quorel::editor
