#include "library/keys/key_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quorel {
namespace {

TEST(SpecialKeys, TableHasUniqueNamesAndKeysThatConvertBothWays) {
  std::set<std::u16string> names;
  std::set<std::pair<int, int>> keys;
  int rows = 0;
  for (const SpecialKey* key = SpecialKeyTable(); key->name != nullptr; ++key, ++rows) {
    EXPECT_TRUE(names.insert(key->name).second);
    EXPECT_TRUE(keys.insert({key->kind, key->parameter}).second);
    std::uint16_t kind = 0;
    std::uint16_t parameter = 0;
    ASSERT_TRUE(GetSpecialKey(key->name, &kind, &parameter));
    EXPECT_EQ(std::u16string(GetSpecialKeyName(kind, parameter)), key->name);
  }
  EXPECT_EQ(rows, 121);
}

TEST(SpecialKeys, LookupsCompareExactlyAndOnlyTheLow16Bits) {
  EXPECT_EQ(std::u16string(GetSpecialKeyName(26, 12)), u"<f12>");
  EXPECT_EQ(std::u16string(GetSpecialKeyName(54, 1)), u"<rotate>");
  EXPECT_EQ(std::u16string(GetSpecialKeyName(0x10013, 0)), u"<enter>");
  EXPECT_EQ(GetSpecialKeyName(8, 97), nullptr);
  std::uint16_t kind = 9;
  std::uint16_t parameter = 9;
  EXPECT_TRUE(GetSpecialKey(u"<quorel>", &kind, &parameter));
  EXPECT_EQ(kind, 23);
  for (const char16_t* wrong : {u"<NUMPAD 0>", u"numpad 0", u"<numpad 0> ", u""}) {
    EXPECT_FALSE(GetSpecialKey(wrong, &kind, &parameter));
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(parameter, 0);
  }
}

TEST(SpecialKeys, DirectionsByCode) {
  ASSERT_NE(FindDirection(2), nullptr);
  EXPECT_EQ(std::u16string(FindDirection(2)->long_name), u"North east");
  EXPECT_EQ(std::u16string(FindDirection(8)->section_header), u"[NORTHWEST]");
  EXPECT_EQ(FindDirection(0), nullptr);
  EXPECT_EQ(FindDirection(9), nullptr);
}

}  // namespace
}  // namespace quorel
