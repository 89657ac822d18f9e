#include "library/glossary/glossary.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

class GlossaryTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::fake::Reset(); }

  GlossaryEntry* Add(const char16_t* short_form, const char16_t* long_form = u"x",
                     int* index = nullptr) {
    return glossary.Add(short_form, nullptr, long_form, index);
  }

  std::vector<std::u16string> ShortForms() const {
    std::vector<std::u16string> found;
    for (int i = 0; i < glossary.Count(); ++i) found.push_back(glossary.At(i)->short_form);
    return found;
  }

  std::vector<std::u16string> QueryAll(const char16_t* prefix, bool* exact = nullptr) {
    bool found_exact = glossary.SetQueryCriteria(prefix);
    if (exact != nullptr) *exact = found_exact;
    std::vector<std::u16string> found;
    for (GlossaryEntry* entry; glossary.Query(&entry);) found.push_back(entry->short_form);
    return found;
  }

  Glossary glossary;
};

TEST_F(GlossaryTest, OrderFoldsOnlyAsciiLettersAndKeepsEqualsInAddOrder) {
  EXPECT_LT(Glossary::Compare(u"ab", u"abc"), 0);
  EXPECT_EQ(Glossary::Compare(u"ABC", u"abc"), 0);
  EXPECT_GT(Glossary::Compare(u"b", u"A"), 0);
  // U+00C9 is not folded: it sorts by its code, after every ASCII letter.
  EXPECT_GT(Glossary::Compare(u"\u00C9", u"z"), 0);
  EXPECT_LT(Glossary::Compare(u"[", u"a"), 0);  // '[' is below 'a', though above 'Z'

  int index = -1;
  Add(u"the", u"1", &index);
  EXPECT_EQ(index, 0);
  Add(u"b");
  Add(u"The", u"2", &index);
  EXPECT_EQ(index, 2);  // after the equal "the"
  Add(u"a", u"x", &index);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(ShortForms(), (std::vector<std::u16string>{u"a", u"b", u"the", u"The"}));
  EXPECT_EQ(glossary.LowerBound(u"THE"), 2);
  EXPECT_EQ(glossary.LowerBound(u"c"), 2);
  EXPECT_EQ(glossary.LowerBound(u"zz"), 4);
}

TEST_F(GlossaryTest, PrefixQueryYieldsTheRunAndReportsAnExactEntry) {
  for (const char16_t* s : {u"then", u"ta", u"the", u"th", u"tz", u"ti", u"a"}) Add(s);
  bool exact = false;
  EXPECT_EQ(QueryAll(u"Th", &exact), (std::vector<std::u16string>{u"th", u"the", u"then"}));
  EXPECT_TRUE(exact);

  glossary.Delete(glossary.At(glossary.LowerBound(u"th")));
  EXPECT_EQ(QueryAll(u"th", &exact), (std::vector<std::u16string>{u"the", u"then"}));
  EXPECT_FALSE(exact);

  EXPECT_EQ(QueryAll(nullptr, &exact).size(), 6u);  // null: everything, result false
  EXPECT_FALSE(exact);
  EXPECT_TRUE(QueryAll(u"zz").empty());
  GlossaryEntry* entry = nullptr;
  EXPECT_FALSE(glossary.Query(&entry));  // stays exhausted
  EXPECT_EQ(entry, nullptr);
}

TEST_F(GlossaryTest, PrefixLongerThanTheOldBufferStillMatches) {
  std::u16string long_form(5000, u'q');
  Add(long_form.c_str());
  Add((long_form + u"r").c_str());
  std::u16string prefix(300, u'Q');
  bool exact = true;
  EXPECT_EQ(QueryAll(prefix.c_str(), &exact).size(), 2u);
  EXPECT_FALSE(exact);
  EXPECT_TRUE(glossary.SetQueryCriteria(long_form.c_str()));
}

TEST_F(GlossaryTest, DeleteRemovesExactlyTheGivenHandleAlsoWhenItIsLast) {
  GlossaryEntry* first = Add(u"abc", u"one");
  GlossaryEntry* second = Add(u"abc", u"two");
  ASSERT_NE(first, second);
  ASSERT_TRUE(glossary.Delete(second));  // the last entry of the glossary
  ASSERT_EQ(glossary.Count(), 1);
  EXPECT_EQ(glossary.At(0), first);
  EXPECT_EQ(glossary.At(0)->long_form, u"one");
  EXPECT_TRUE(platform::fake::System().message_boxes.empty());

  GlossaryEntry* third = Add(u"abc", u"three");
  Add(u"abd");
  ASSERT_TRUE(glossary.Delete(third));  // last of its run, not of the glossary
  EXPECT_EQ(ShortForms(), (std::vector<std::u16string>{u"abc", u"abd"}));
  EXPECT_EQ(glossary.At(0), first);
}

TEST_F(GlossaryTest, ManyDeletedAtOnceLeaveTheRestInOrderAndSkipWhatIsGone) {
  GlossaryEntry* a = Add(u"a");
  GlossaryEntry* b1 = Add(u"b", u"one");
  GlossaryEntry* b2 = Add(u"b", u"two");
  GlossaryEntry* c = Add(u"c");
  ASSERT_TRUE(glossary.Delete(a));
  EXPECT_EQ(glossary.DeleteAll({b1, c, a, nullptr}), 2);  // a is gone already
  ASSERT_EQ(glossary.Count(), 1);
  EXPECT_EQ(glossary.At(0), b2);
  EXPECT_FALSE(glossary.IsLive(b1));
}

TEST_F(GlossaryTest, StaleAndForeignHandlesAreRefusedWithoutBeingFollowed) {
  GlossaryEntry* kept = Add(u"a", u"kept");
  GlossaryEntry* gone = Add(u"b");
  ASSERT_TRUE(glossary.Delete(gone));
  GlossaryEntry foreign;
  foreign.short_form = u"a";

  for (GlossaryEntry* bad : {gone, &foreign, static_cast<GlossaryEntry*>(nullptr)}) {
    EXPECT_FALSE(glossary.IsLive(bad));
    EXPECT_FALSE(glossary.Modify(bad, nullptr, u"y"));
    EXPECT_FALSE(glossary.Swap(kept, bad));
    EXPECT_FALSE(glossary.Swap(bad, kept));
    EXPECT_FALSE(glossary.Delete(bad));
  }
  const auto& boxes = platform::fake::System().message_boxes;
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, u"Can't find glossary entry");
  EXPECT_EQ(boxes[0].caption, u"Quorel");
  EXPECT_EQ(glossary.Count(), 1);
  EXPECT_EQ(glossary.At(0)->long_form, u"kept");

  glossary.Release();
  EXPECT_FALSE(glossary.IsLive(kept));
  EXPECT_EQ(glossary.At(0), nullptr);
  EXPECT_FALSE(glossary.Query(nullptr));
}

TEST_F(GlossaryTest, AtIsBoundedAndModifyKeepsShortFormAndPlace) {
  GlossaryEntry* a = Add(u"a");
  Add(u"b");
  EXPECT_EQ(glossary.At(-1), nullptr);
  EXPECT_EQ(glossary.At(2), nullptr);
  EXPECT_EQ(glossary.Add(nullptr, nullptr, u"x", nullptr), nullptr);

  ASSERT_TRUE(glossary.Modify(a, u"", nullptr));
  ASSERT_NE(a->preview, nullptr);
  EXPECT_EQ(*a->preview, u"");  // an empty preview is still a preview
  EXPECT_EQ(a->long_form, u"");
  ASSERT_TRUE(glossary.Modify(a, nullptr, u"new"));
  EXPECT_EQ(a->preview, nullptr);
  EXPECT_EQ(glossary.At(0), a);
  EXPECT_EQ(a->short_form, u"a");
}

TEST_F(GlossaryTest, SwapExchangesContentsOfEqualShortFormsOnly) {
  GlossaryEntry* first = glossary.Add(u"Abc", u"p", u"one", nullptr);
  GlossaryEntry* second = Add(u"abc", u"two");
  GlossaryEntry* other = Add(u"abd");
  ASSERT_TRUE(glossary.Swap(first, second));
  EXPECT_EQ(glossary.At(0), first);  // handles keep their positions
  EXPECT_EQ(first->short_form, u"abc");
  EXPECT_EQ(first->long_form, u"two");
  EXPECT_EQ(first->preview, nullptr);
  EXPECT_EQ(second->short_form, u"Abc");
  ASSERT_NE(second->preview, nullptr);
  EXPECT_EQ(*second->preview, u"p");

  // Exchanging different short forms would put "abd" before "abc" and blind every search.
  EXPECT_FALSE(glossary.Swap(second, other));
  EXPECT_EQ(ShortForms(), (std::vector<std::u16string>{u"abc", u"Abc", u"abd"}));
  EXPECT_TRUE(glossary.Delete(other));
}

TEST_F(GlossaryTest, AddAllPlacesEntriesAsSingleAddsWould) {
  Add(u"b", u"old b");
  Add(u"d", u"old d");
  Glossary single;
  single.Add(u"b", nullptr, u"old b", nullptr);
  single.Add(u"d", nullptr, u"old d", nullptr);

  std::vector<std::unique_ptr<GlossaryEntry>> batch;
  const char16_t* lines[][2] = {{u"d", u"1"}, {u"a", u"2"}, {u"B", u"3"},
                                {u"e", u"4"}, {u"b", u"5"}, {u"d", u"6"}};
  for (const auto& line : lines) {
    auto entry = std::make_unique<GlossaryEntry>();
    entry->short_form = line[0];
    entry->long_form = line[1];
    batch.push_back(std::move(entry));
    single.Add(line[0], nullptr, line[1], nullptr);
  }
  glossary.AddAll(std::move(batch));
  ASSERT_EQ(glossary.Count(), single.Count());
  for (int i = 0; i < single.Count(); ++i) {
    EXPECT_EQ(glossary.At(i)->short_form, single.At(i)->short_form) << i;
    EXPECT_EQ(glossary.At(i)->long_form, single.At(i)->long_form) << i;
    EXPECT_TRUE(glossary.IsLive(glossary.At(i)));
  }
}

}  // namespace
}  // namespace quorel
