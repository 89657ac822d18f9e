// The changes of this session, kept so that the user can take them back one at a time:
// an add, an edit, a delete of one row or several, a move. Each change is a step of small
// actions recorded as they happen; undoing a step plays the opposite actions backwards.
//
// The library hands out handles that do not survive a delete and an add (the slot or the
// entry is new), so the journal never keeps one: it keeps where an item stood, as its key
// and its rank among the items of that key, which undoing in order always restores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorel::editor {

// One slide definition or glossary entry. Slides are keyed by direction, kind and
// parameter; glossary entries by their short form, A-Z folded, as the glossary orders them.
struct Item {
  int direction = 0;
  std::uint16_t kind = 0;
  std::uint16_t parameter = 255;
  std::u16string short_form;
  std::optional<std::u16string> preview;
  std::u16string text;
  bool operator==(const Item&) const = default;
};

using ItemHandle = std::intptr_t;

// A file's items as the library holds them.
class ItemStore {
 public:
  virtual ~ItemStore() = default;
  // The items with the key of `item`, in the library's order.
  virtual std::vector<ItemHandle> SameKey(const Item& item) = 0;
  virtual std::optional<Item> Get(ItemHandle handle) = 0;
  // Adds after every item of its key; none when the library refuses.
  virtual std::optional<ItemHandle> Add(const Item& item) = 0;
  virtual void Delete(ItemHandle handle) = 0;
  // A new preview and text; the key stays.
  virtual void Modify(ItemHandle handle, const Item& item) = 0;
  // Exchanges the contents of two items of one key; each handle keeps its place.
  virtual void Swap(ItemHandle a, ItemHandle b) = 0;
};

class UndoJournal {
 public:
  // The steps kept: the oldest go first.
  static constexpr std::size_t kMostSteps = 100;

  // A change is recorded between Begin and End, each action as it is done: Added after
  // the add, Deleting and Modifying before the delete or the modify, Swapped after a swap.
  // A step in which nothing was done is not kept.
  void Begin();
  void Added(ItemStore& store, ItemHandle handle);
  void Deleting(ItemStore& store, ItemHandle handle);
  void Modifying(ItemStore& store, ItemHandle handle);
  void Swapped(ItemStore& store, ItemHandle a, ItemHandle b);
  void End();

  bool CanUndo() const { return !steps_.empty(); }
  // Takes back the last step; returns the handles of the items it put back or changed,
  // for the list to select.
  std::vector<ItemHandle> Undo(ItemStore& store);
  // Another file, or the same read anew: the steps no longer apply.
  void Clear();

 private:
  enum class Kind { kAdded, kDeleted, kModified, kSwapped };
  struct Action {
    Kind kind;
    Item item;  // the item as it was before the action (as added for kAdded)
    int rank = 0;
    int other_rank = 0;  // kSwapped
  };
  using Step = std::vector<Action>;

  std::optional<Action> Place(ItemStore& store, Kind kind, ItemHandle handle);
  void Keep(std::optional<Action> action);

  std::vector<Step> steps_;
  std::optional<Step> open_;
};

}  // namespace quorel::editor
