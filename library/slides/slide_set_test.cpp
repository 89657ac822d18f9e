#include "library/slides/slide_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "library/keys/key_table.h"
#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

class SlideSetTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::fake::Reset(); }

  std::vector<int> All() {
    std::vector<int> found;
    set.SetQueryCriteria(0, 0, kAnyParameter);
    for (int index; set.Query(&index);) found.push_back(index);
    return found;
  }

  std::vector<std::u16string> Texts() {
    std::vector<std::u16string> texts;
    for (int index : All()) texts.push_back(set.Get(index)->text);
    return texts;
  }

  SlideSet set;
};

TEST_F(SlideSetTest, ListStaysInByteKeyOrderWithEqualKeysInInsertionOrder) {
  set.Add(3, 8, u'a', nullptr, u"east a");
  set.Add(1, 8, 0x00E9, nullptr, u"north e-acute");
  set.Add(1, 8, 0x0141, nullptr, u"north L-stroke");  // low byte 0x41 sorts first
  set.Add(1, 19, 0, nullptr, u"north enter");
  set.Add(1, 8, u'a', nullptr, u"north a 1");
  set.Add(1, 8, u'a', nullptr, u"north a 2");
  set.Add(2, 8, u'a', nullptr, u"northeast a");
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"north L-stroke", u"north a 1",
                                                   u"north a 2", u"north e-acute",
                                                   u"north enter", u"northeast a",
                                                   u"east a"}));
}

TEST_F(SlideSetTest, DeletedSlotIsReusedLowestFirstAndIndicesStayStable) {
  int a = set.Add(1, 8, u'a', nullptr, u"a");
  int b = set.Add(1, 8, u'b', nullptr, u"b");
  int c = set.Add(1, 8, u'c', nullptr, u"c");
  EXPECT_EQ(std::vector<int>({a, b, c}), std::vector<int>({0, 1, 2}));
  ASSERT_TRUE(set.Delete(c));
  ASSERT_TRUE(set.Delete(a));  // the head moves on
  EXPECT_EQ(set.head(), b);
  EXPECT_EQ(set.Add(5, 8, u'z', nullptr, u"z"), a);
  EXPECT_EQ(set.Add(5, 8, u'y', nullptr, u"y"), c);
  EXPECT_EQ(set.Add(5, 8, u'x', nullptr, u"x"), 3);
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"b", u"x", u"y", u"z"}));
  EXPECT_EQ(set.Get(b)->text, u"b");
}

TEST_F(SlideSetTest, QueriesFollowTheirCriteria) {
  set.Add(5, 8, u'a', nullptr, u"south a");
  set.Add(5, 8, u'b', nullptr, u"south b");
  set.Add(1, 8, u'a', nullptr, u"north a");
  set.Add(5, 8, 0x00FF, nullptr, u"south y-umlaut");
  set.Add(5, 19, 0, nullptr, u"south enter");
  std::vector<std::u16string> found;
  set.SetQueryCriteria(5, 8, u'a');
  for (int index; set.Query(&index);) found.push_back(set.Get(index)->text);
  EXPECT_EQ(found, std::vector<std::u16string>{u"south a"});

  // Parameter 255 is the wildcard of the exported query...
  found.clear();
  set.SetQueryCriteria(5, 8, 0x00FF);
  for (int index; set.Query(&index);) found.push_back(set.Get(index)->text);
  EXPECT_EQ(found.size(), 3u);

  // ...while the exact query finds only the key of U+00FF itself.
  found.clear();
  set.SetExactQuery(5, 8, 0x00FF);
  for (int index; set.Query(&index);) found.push_back(set.Get(index)->text);
  EXPECT_EQ(found, std::vector<std::u16string>{u"south y-umlaut"});

  // The editor's letter query: every direction of the one letter U+00FF.
  set.Add(1, 8, 0x00FF, nullptr, u"north y-umlaut");
  found.clear();
  set.SetParameterQuery(0, 8, 0x00FF);
  for (int index; set.Query(&index);) found.push_back(set.Get(index)->text);
  EXPECT_EQ(found, (std::vector<std::u16string>{u"north y-umlaut", u"south y-umlaut"}));

  int index = 0;
  EXPECT_FALSE(set.Query(&index));  // stays exhausted
}

TEST_F(SlideSetTest, SwapExchangesContentsAndKeepsLinks) {
  int first = set.Add(1, 8, u'a', nullptr, u"one");
  int second = set.Add(1, 8, u'a', u"p", u"two");
  ASSERT_TRUE(set.Swap(first, second));
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"two", u"one"}));
  ASSERT_NE(set.Get(first)->preview, nullptr);
  EXPECT_EQ(*set.Get(first)->preview, u"p");
  EXPECT_EQ(set.Get(second)->preview, nullptr);
  // A later add of the same key still goes last.
  set.Add(1, 8, u'a', nullptr, u"three");
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"two", u"one", u"three"}));
}

TEST_F(SlideSetTest, SwapOfDifferentKeysKeepsExactQueriesComplete) {
  int a = set.Add(1, 8, u'a', nullptr, u"a1");
  set.Add(1, 8, u'b', nullptr, u"b1");
  set.Add(1, 8, u'a', nullptr, u"a2");  // goes before b1
  int c = set.Add(1, 8, u'c', nullptr, u"c1");
  ASSERT_TRUE(set.Swap(a, c));  // the list is now out of key order
  std::vector<std::u16string> found;
  set.SetExactQuery(1, 8, u'a');
  for (int index; set.Query(&index);) found.push_back(set.Get(index)->text);
  EXPECT_EQ(found, (std::vector<std::u16string>{u"a2", u"a1"}));
}

TEST_F(SlideSetTest, InvalidIndicesAreRefusedWithoutHarm) {
  int a = set.Add(1, 8, u'a', nullptr, u"a");
  EXPECT_FALSE(set.Delete(-1));
  EXPECT_FALSE(set.Delete(7));
  EXPECT_FALSE(set.Modify(7, nullptr, u"x"));
  EXPECT_FALSE(set.Swap(a, 7));
  EXPECT_EQ(set.Get(7), nullptr);
  ASSERT_TRUE(set.Delete(a));
  EXPECT_FALSE(set.Delete(a));  // twice would free the slot twice
  EXPECT_EQ(set.Add(1, 8, u'b', nullptr, u"b"), a);
  EXPECT_EQ(set.Add(1, 8, u'c', nullptr, u"c"), 1);
}

TEST_F(SlideSetTest, ManyShuffledAddsAndDeletesKeepOrderAndLinks) {
  std::mt19937 random(7);
  std::vector<int> live;
  for (int round = 0; round < 3000; ++round) {
    if (!live.empty() && random() % 3 == 0) {
      std::size_t pick = random() % live.size();
      ASSERT_TRUE(set.Delete(live[pick]));
      live.erase(live.begin() + static_cast<std::ptrdiff_t>(pick));
    } else {
      int direction = 1 + static_cast<int>(random() % 8);
      auto parameter = static_cast<std::uint16_t>(random() % 600);
      live.push_back(set.Add(direction, 8, parameter, nullptr, u"t"));
    }
  }
  std::vector<int> listed = All();
  ASSERT_EQ(listed.size(), live.size());
  for (std::size_t i = 1; i < listed.size(); ++i) {
    ASSERT_LE(set.Compare(listed[i - 1], listed[i]), 0);
    ASSERT_EQ(set.Get(listed[i])->previous, listed[i - 1]);
  }
}

}  // namespace
}  // namespace quorel
