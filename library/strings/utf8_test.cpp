#include "library/strings/utf8.h"

#include <gtest/gtest.h>

namespace quorel {
namespace {

TEST(Utf8, EveryPlaneRoundTrips) {
  const std::u16string text = u"caf\u00e9 \u0141\u00f3d\u017a \u20ac \U0001F600";
  std::string bytes;
  AppendUtf8(text, &bytes);
  EXPECT_EQ(bytes, "caf\xC3\xA9 \xC5\x81\xC3\xB3" "d\xC5\xBA \xE2\x82\xAC \xF0\x9F\x98\x80");
  std::u16string back;
  ASSERT_TRUE(DecodeUtf8(bytes, &back));
  EXPECT_EQ(back, text);
}

// Each of these would decode to a character that the bytes do not hold, or to none.
TEST(Utf8, WhatIsNotUtf8IsRefused) {
  std::u16string text;
  for (std::string_view bad : {"\xC0\xAF",           // "/" in two bytes
                               "\xE0\x80\xAF",       // and in three
                               "\xE2\x82",           // cut
                               "a\x80",              // continuation without a lead
                               "\xED\xA0\x80",       // a surrogate half
                               "\xF4\x90\x80\x80",   // above U+10FFFF
                               "\xFF"}) {
    EXPECT_FALSE(DecodeUtf8(bad, &text)) << bad;
  }
  std::string lone;
  AppendUtf8(u"a\xD800", &lone);
  EXPECT_EQ(lone, "a\xEF\xBF\xBD");
}

}  // namespace
}  // namespace quorel
