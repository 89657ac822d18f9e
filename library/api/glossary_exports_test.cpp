#include <gtest/gtest.h>

#include <string>

#include "library/api/QuorelApi.h"
#include "platform/fake/fake_system.h"

namespace {

class GlossaryExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::fake::Reset();
    GLOSSARY_ReleaseFromMemory();
  }
  void TearDown() override { GLOSSARY_ReleaseFromMemory(); }

  static GLOSSARY_ENTRY Add(const char16_t* short_form, const char16_t* long_form,
                            int* index = nullptr) {
    GLOSSARY_ENTRY entry = nullptr;
    EXPECT_EQ(GLOSSARY_AddGlossaryEntry(short_form, nullptr, long_form, index, &entry), 1);
    return entry;
  }
};

TEST_F(GlossaryExportsTest, AddQueryAndGetFollowTheOutPointerContract) {
  int index = -1;
  GLOSSARY_ENTRY the = Add(u"the", u"the long", &index);
  EXPECT_EQ(index, 0);
  Add(u"a", u"ay", &index);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(GLOSSARY_AddGlossaryEntry(u"th", u"", u"th long", nullptr, nullptr), 1);
  EXPECT_EQ(GLOSSARY_GetEntryCount(), 3);

  const QUOREL_CHAR* short_form = nullptr;
  const QUOREL_CHAR* preview = u"untouched";
  const QUOREL_CHAR* long_form = nullptr;
  ASSERT_EQ(GLOSSARY_GetGlossaryEntry(the, &short_form, &preview, &long_form), 1);
  EXPECT_EQ(std::u16string(short_form), u"the");
  EXPECT_EQ(preview, nullptr);  // no preview is stored as null
  EXPECT_EQ(std::u16string(long_form), u"the long");
  EXPECT_EQ(GLOSSARY_GetGlossaryEntry(the, nullptr, nullptr, nullptr), 1);

  EXPECT_EQ(GLOSSARY_SetQueryCriteria(u"TH"), 1);
  GLOSSARY_ENTRY found = nullptr;
  ASSERT_EQ(GLOSSARY_Query(&found), 1);
  ASSERT_EQ(GLOSSARY_GetGlossaryEntry(found, nullptr, &preview, nullptr), 1);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(std::u16string(preview), u"");
  ASSERT_EQ(GLOSSARY_Query(nullptr), 1);  // a null out pointer still advances
  found = nullptr;
  EXPECT_EQ(GLOSSARY_Query(&found), 0);
  EXPECT_EQ(found, nullptr);  // not written when nothing was found

  EXPECT_EQ(GLOSSARY_SetQueryCriteria(nullptr), 0);
  int listed = 0;
  while (GLOSSARY_Query(&found) == 1) ++listed;
  EXPECT_EQ(listed, 3);

  EXPECT_EQ(GLOSSARY_QueryAtIndex(2, &found), 1);
  EXPECT_EQ(found, the);
  found = nullptr;
  EXPECT_EQ(GLOSSARY_QueryAtIndex(-1, &found), 0);
  EXPECT_EQ(GLOSSARY_QueryAtIndex(3, &found), 0);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(GLOSSARY_QueryAtIndex(0, nullptr), 1);
}

TEST_F(GlossaryExportsTest, NullArgumentsAndBadHandlesAreRefused) {
  GLOSSARY_ENTRY a = Add(u"a", u"x");
  GLOSSARY_ENTRY b = Add(u"b", u"y");
  int index = 99;
  GLOSSARY_ENTRY entry = nullptr;
  EXPECT_EQ(GLOSSARY_AddGlossaryEntry(nullptr, nullptr, u"x", &index, &entry), 0);
  EXPECT_EQ(index, 99);
  EXPECT_EQ(entry, nullptr);

  ASSERT_EQ(GLOSSARY_DeleteGlossaryEntry(b), 1);
  int stack_object = 0;
  const GLOSSARY_ENTRY bad[] = {nullptr, b, reinterpret_cast<GLOSSARY_ENTRY>(&stack_object)};
  for (GLOSSARY_ENTRY handle : bad) {
    const QUOREL_CHAR* text = nullptr;
    EXPECT_EQ(GLOSSARY_GetGlossaryEntry(handle, &text, &text, &text), 0);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(GLOSSARY_ModifyGlossaryEntry(handle, nullptr, u"z"), 0);
    EXPECT_EQ(GLOSSARY_SwapGlossaryEntries(a, handle), 0);
    EXPECT_EQ(GLOSSARY_CompareGlossaryEntries(handle, a), 0);
    EXPECT_EQ(GLOSSARY_DeleteGlossaryEntry(handle), 0);
  }
  EXPECT_EQ(platform::fake::System().message_boxes.size(), 3u);
  EXPECT_EQ(GLOSSARY_GetEntryCount(), 1);

  EXPECT_EQ(GLOSSARY_ReadFromGlossaryFile(nullptr), 0);
  EXPECT_EQ(GLOSSARY_WriteToGlossaryFile(nullptr), 0);
  EXPECT_EQ(GLOSSARY_GetEntryCount(), 1);
}

TEST_F(GlossaryExportsTest, CompareSwapAndShortFormCharacters) {
  GLOSSARY_ENTRY upper = Add(u"ABC", u"1");
  GLOSSARY_ENTRY lower = Add(u"abc", u"2");
  GLOSSARY_ENTRY later = Add(u"abd", u"3");
  EXPECT_EQ(GLOSSARY_CompareGlossaryEntries(upper, lower), 0);
  EXPECT_LT(GLOSSARY_CompareGlossaryEntries(lower, later), 0);
  EXPECT_GT(GLOSSARY_CompareGlossaryEntries(later, upper), 0);

  ASSERT_EQ(GLOSSARY_SwapGlossaryEntries(upper, lower), 1);
  const QUOREL_CHAR* long_form = nullptr;
  GLOSSARY_GetGlossaryEntry(upper, nullptr, nullptr, &long_form);
  EXPECT_EQ(std::u16string(long_form), u"2");
  EXPECT_EQ(GLOSSARY_SwapGlossaryEntries(lower, later), 0);

  EXPECT_EQ(GLOSSARY_IsValidShortFormChar(u'a'), 1);
  EXPECT_EQ(GLOSSARY_IsValidShortFormChar(u'7'), 1);
  EXPECT_EQ(GLOSSARY_IsValidShortFormChar(0x00E9), 1);
  EXPECT_EQ(GLOSSARY_IsValidShortFormChar(u'.'), 0);
  EXPECT_EQ(GLOSSARY_IsValidShortFormChar(u' '), 0);
}

TEST_F(GlossaryExportsTest, WrittenFileReadsBackAfterRelease) {
  GLOSSARY_AddGlossaryEntry(u"BTW", u"p", u"by the way", nullptr, nullptr);
  ASSERT_EQ(GLOSSARY_WriteToGlossaryFile(u"C:\\g.glo"), 1);
  GLOSSARY_ReleaseFromMemory();
  EXPECT_EQ(GLOSSARY_GetEntryCount(), 0);
  ASSERT_EQ(GLOSSARY_ReadFromGlossaryFile(u"C:\\g.glo"), 1);
  GLOSSARY_ENTRY entry = nullptr;
  ASSERT_EQ(GLOSSARY_QueryAtIndex(0, &entry), 1);
  const QUOREL_CHAR* short_form = nullptr;
  GLOSSARY_GetGlossaryEntry(entry, &short_form, nullptr, nullptr);
  EXPECT_EQ(std::u16string(short_form), u"btw");
  EXPECT_EQ(GLOSSARY_ReadFromGlossaryFile(u"C:\\missing.glo"), 0);
  EXPECT_EQ(GLOSSARY_GetEntryCount(), 1);
}

}  // namespace
