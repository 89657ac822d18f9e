#include "editor/undo_journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace quorel::editor {
namespace {

// Items kept as the library keeps them: in key order, a new item after every item of its
// key, and the lowest free handle given out again, so a stale handle names another item.
class ListStore : public ItemStore {
 public:
  std::vector<ItemHandle> SameKey(const Item& item) override {
    std::vector<ItemHandle> found;
    for (ItemHandle handle : order_) {
      if (items_[handle].short_form == item.short_form) found.push_back(handle);
    }
    return found;
  }
  std::optional<Item> Get(ItemHandle handle) override {
    if (std::find(order_.begin(), order_.end(), handle) == order_.end()) return std::nullopt;
    return items_[handle];
  }
  std::optional<ItemHandle> Add(const Item& item) override {
    ItemHandle handle = 1;
    while (std::find(order_.begin(), order_.end(), handle) != order_.end()) ++handle;
    items_[handle] = item;
    auto after = std::find_if(order_.begin(), order_.end(), [&](ItemHandle other) {
      return items_[other].short_form > item.short_form;
    });
    order_.insert(after, handle);
    return handle;
  }
  void Delete(ItemHandle handle) override { std::erase(order_, handle); }
  void Modify(ItemHandle handle, const Item& item) override {
    items_[handle].preview = item.preview;
    items_[handle].text = item.text;
  }
  void Swap(ItemHandle a, ItemHandle b) override {
    std::swap(items_[a], items_[b]);
    ++swaps;
  }
  int swaps = 0;

  std::vector<Item> Items() {
    std::vector<Item> shown;
    for (ItemHandle handle : order_) shown.push_back(items_[handle]);
    return shown;
  }
  ItemHandle At(std::size_t place) const { return order_[place]; }

 private:
  std::map<ItemHandle, Item> items_;
  std::vector<ItemHandle> order_;
};

Item Entry(std::u16string short_form, std::u16string text) {
  Item item;
  item.short_form = std::move(short_form);
  item.text = std::move(text);
  return item;
}

// Every kind of change, one after another, each taken back in turn: the items after each
// undo are exactly those before the change, in the same order.
TEST(UndoJournal, EveryChangeTakenBackRestoresTheItemsAndTheirOrder) {
  ListStore store;
  UndoJournal journal;
  for (const auto& [form, text] : {std::pair{u"a", u"one"}, {u"a", u"two"}, {u"a", u"three"},
                                  {u"b", u"bee"}}) {
    store.Add(Entry(form, text));
  }
  std::vector<std::vector<Item>> before;
  auto step = [&](auto&& change) {
    before.push_back(store.Items());
    journal.Begin();
    change();
    journal.End();
  };
  step([&] {  // a move down: "one" after "two"
    store.Swap(store.At(0), store.At(1));
    journal.Swapped(store, store.At(0), store.At(1));
  });
  step([&] {  // an edit of the text
    journal.Modifying(store, store.At(2));
    Item changed = Entry(u"a", u"THREE");
    changed.preview = u"3";
    store.Modify(store.At(2), changed);
  });
  step([&] {  // two rows deleted, the last first
    for (std::size_t place : {3u, 0u}) {
      journal.Deleting(store, store.At(place));
      store.Delete(store.At(place));
    }
  });
  step([&] {  // an add, which takes the lowest free handle
    journal.Added(store, *store.Add(Entry(u"c", u"sea")));
  });
  step([&] {  // an edit that changes the short form: the entry moves
    const Item moved = Entry(u"b", store.Get(store.At(0))->text);
    journal.Deleting(store, store.At(0));
    store.Delete(store.At(0));
    journal.Added(store, *store.Add(moved));
  });
  journal.Begin();  // a dialog cancelled: nothing kept
  journal.End();

  // Taken back one by one, and each done again and taken back once more.
  std::vector<std::vector<Item>> after;
  while (!before.empty()) {
    ASSERT_TRUE(journal.CanUndo());
    after.push_back(store.Items());
    const UndoJournal::Taken taken = journal.Undo(store);
    EXPECT_EQ(store.Items(), before.back()) << "after undoing step " << before.size();
    for (ItemHandle handle : taken.touched) EXPECT_TRUE(store.Get(handle).has_value());
    ASSERT_TRUE(journal.Redo(store).done);
    EXPECT_EQ(store.Items(), after.back()) << "after redoing step " << before.size();
    journal.Undo(store);
    EXPECT_EQ(store.Items(), before.back());
    before.pop_back();
  }
  EXPECT_FALSE(journal.CanUndo());
  EXPECT_FALSE(journal.Undo(store).done);
  // A new change ends what could be redone.
  EXPECT_TRUE(journal.CanRedo());
  journal.Begin();
  journal.Added(store, *store.Add(Entry(u"d", u"dee")));
  journal.End();
  EXPECT_FALSE(journal.CanRedo());
}

// Many rows of many keys deleted in one step, as the editor deletes a selection (the last
// row first): put back all at once, each at its place, and deleted again by redo.
TEST(UndoJournal, AManyRowDeleteComesBackWholeAndInOrder) {
  ListStore store;
  UndoJournal journal;
  for (int i = 0; i < 600; ++i) {
    store.Add(Entry(std::u16string(1, static_cast<char16_t>(u'a' + i % 7)),
                    u"text " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26))));
  }
  const std::vector<Item> whole = store.Items();
  std::vector<ItemHandle> doomed;
  for (std::size_t place = whole.size(); place-- > 0;) {
    if (place % 3 != 1) doomed.push_back(store.At(place));
  }
  journal.Begin({3, u"deleting 400 entries"});
  journal.DeletingAll(store, doomed);
  store.DeleteAll(doomed);
  journal.End();
  const std::vector<Item> left = store.Items();
  ASSERT_EQ(left.size(), 200u);

  const UndoJournal::Taken taken = journal.Undo(store);
  EXPECT_EQ(store.Items(), whole);
  EXPECT_EQ(taken.about.tab, 3);
  EXPECT_EQ(taken.about.what, u"deleting 400 entries");
  EXPECT_EQ(taken.touched.size(), 400u);
  journal.Redo(store);
  EXPECT_EQ(store.Items(), left);
  journal.Undo(store);
  EXPECT_EQ(store.Items(), whole);
}

TEST(UndoJournal, KeepsTheLastStepsOnlyAndForgetsThemForAnotherFile) {
  ListStore store;
  UndoJournal journal;
  for (std::size_t i = 0; i < UndoJournal::kMostSteps + 5; ++i) {
    journal.Begin();
    journal.Added(store, *store.Add(Entry(u"x", u"t")));
    journal.End();
  }
  std::size_t undone = 0;
  while (journal.CanUndo()) {
    journal.Undo(store);
    ++undone;
  }
  EXPECT_EQ(undone, UndoJournal::kMostSteps);
  EXPECT_EQ(store.Items().size(), 5u);

  journal.Begin();
  journal.Added(store, *store.Add(Entry(u"x", u"t")));
  journal.End();
  journal.Clear();
  EXPECT_FALSE(journal.CanUndo());
}

}  // namespace
}  // namespace quorel::editor
