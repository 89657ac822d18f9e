// The changes of this session, kept so that the user can take them back one at a time, and
// do again what was taken back: an add, an edit, a delete of one row or many, a move. Each
// change is a step of small actions recorded as they happen; undoing a step plays the
// opposite actions backwards, and records what it did as the step that redoes it.
//
// The library hands out handles that do not survive a delete and an add (the slot or the
// entry is new), so the journal never keeps one: it keeps where an item stood, as its key
// and its rank among the items of that key, which undoing in order always restores.
//
// A step of many deletes, and its undo, run in time linear in the items: places are found
// with one look at each key, and the store adds and deletes them all at once.
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
  // Many at once, as Add and Delete one after another would; a library that can do it in
  // one pass makes a large delete, and its undo, quick.
  virtual std::vector<std::optional<ItemHandle>> AddAll(const std::vector<Item>& items);
  virtual void DeleteAll(const std::vector<ItemHandle>& handles);
};

class UndoJournal {
 public:
  // The steps kept: the oldest go first.
  static constexpr std::size_t kMostSteps = 100;

  // What a step was, for the user: on which tab it was made, and in words ("deleting 3
  // entries").
  struct About {
    int tab = 0;
    std::u16string what;
  };
  // What undoing or redoing a step did: the items it put back or changed, for the list to
  // show and select, and what the step was.
  struct Taken {
    std::vector<ItemHandle> touched;
    About about;
    bool done = false;  // false: there was no step to take
  };

  // A change is recorded between Begin and End, each action as it is done: Added after
  // the add, Deleting and Modifying before the delete or the modify, Swapped after a swap.
  // A step in which nothing was done is not kept; one that is kept ends what could be
  // redone.
  void Begin();
  void Begin(About about);
  void Added(ItemStore& store, ItemHandle handle);
  void Deleting(ItemStore& store, ItemHandle handle);
  // Before deleting many, in this order.
  void DeletingAll(ItemStore& store, const std::vector<ItemHandle>& handles);
  void Modifying(ItemStore& store, ItemHandle handle);
  void Swapped(ItemStore& store, ItemHandle a, ItemHandle b);
  void End();

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // What the next Undo or Redo would take; empty when there is none.
  About NextUndo() const { return undo_.empty() ? About() : undo_.back().about; }
  About NextRedo() const { return redo_.empty() ? About() : redo_.back().about; }
  Taken Undo(ItemStore& store);
  Taken Redo(ItemStore& store);
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
  struct Step {
    std::vector<Action> actions;
    About about;
  };

  std::optional<Action> Place(ItemStore& store, Kind kind, ItemHandle handle);
  void Keep(std::optional<Action> action);
  // Takes the step back; returns the step that takes that back in turn.
  Step TakeBack(ItemStore& store, const Step& step, std::vector<ItemHandle>* touched);
  Taken Move(ItemStore& store, std::vector<Step>& from, std::vector<Step>& to);

  std::vector<Step> undo_;
  std::vector<Step> redo_;
  std::optional<Step> open_;
};

}  // namespace quorel::editor
