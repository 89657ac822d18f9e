#include "library/completion/word_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quorel {
namespace {

struct Accepting {
  std::u16string_view typed;
  std::u16string_view word;
  std::u16string_view whole;  // as the word reads once accepted
  std::size_t kept;           // of the typed letters, those left standing
};

TEST(CompletionCase, TheUsersCapitalsAreAddedToTheWordsOwn) {
  const Accepting cases[] = {
      {u"hel", u"hello", u"hello", 3},
      {u"Hel", u"hello", u"Hello", 3},
      {u"HEL", u"hello", u"HELLO", 3},
      {u"HeL", u"hello", u"HeLlo", 3},  // not every letter a capital: no shouting
      {u"I", u"item", u"Item", 1},      // one capital starts a sentence
      // A name keeps its capitals, also those the user typed small, which are typed again.
      {u"lon", u"London", u"London", 0},
      {u"na", u"NASA", u"NASA", 0},
      {u"mc", u"McDonald", u"McDonald", 0},
      {u"Mc", u"McDonald", u"McDonald", 2},
      {u"MCD", u"McDonald", u"MCDONALD", 3},
      {u"CAF", u"caf\u00e9", u"CAF\u00c9", 3},  // capitals beyond A-Z
      {u"\u0141\u00d3", u"\u0142\u00f3d\u017a", u"\u0141\u00d3D\u0179", 2},
      {u"DON", u"don't", u"DON'T", 3},
      {u"hello", u"hello", u"", 0},  // nothing is missing
      {u"hex", u"hello", u"", 0},    // not a completion at all
      {u"", u"hello", u"hello", 0},
  };
  for (const Accepting& c : cases) {
    const std::u16string whole = CaseLike(c.typed, c.word);
    EXPECT_EQ(whole, c.whole) << std::string(c.typed.begin(), c.typed.end()) << " + "
                              << std::string(c.word.begin(), c.word.end());
    if (!whole.empty()) {
      EXPECT_EQ(KeptLetters(c.typed, whole), c.kept);
    }
  }
}

TEST(CompletionCase, CaseFoldsButAccentsAreMatchedAsTyped) {
  EXPECT_TRUE(StartsWithFolded(u"\u00e9cole", u"\u00c9"));
  EXPECT_FALSE(StartsWithFolded(u"\u00e9cole", u"e"));
  EXPECT_FALSE(StartsWithFolded(u"ecole", u"\u00e9"));
  EXPECT_TRUE(EqualFolded(u"\u0141\u00d3D\u0179", u"\u0142\u00f3d\u017a"));
  EXPECT_TRUE(EqualFolded(u"\u0394\u0418", u"\u03b4\u0438"));  // Greek and Cyrillic
  EXPECT_TRUE(EqualFolded(u"don\u2019t", u"don't"));
  EXPECT_FALSE(EqualFolded(u"\u0131", u"i"));  // the dotless i is a letter of its own
  EXPECT_LT(CompareFolded(u"Apple", u"banana"), 0);
  EXPECT_LT(CompareFolded(u"app", u"APPLE"), 0);
  for (char16_t c = 0; c < 0x0500; ++c) {
    // Folding and upper-casing undo each other on every letter that has two cases.
    if (FoldWordChar(c) != c) {
      EXPECT_EQ(UpperWordChar(FoldWordChar(c)), c) << static_cast<int>(c);
    }
  }
}

TEST(CompletionWords, WhatIsAWordToLearn) {
  for (std::u16string_view word : {u"hi", u"don't", u"o'clock", u"caf\u00e9", u"na\u00efve",
                                   u"\u0142\u00f3d\u017a", u"don\u2019t"}) {
    EXPECT_TRUE(IsLearnableWord(word)) << std::string(word.begin(), word.end());
  }
  // Letters and digits mixed are what passwords look like.
  for (std::u16string_view word : {u"a", u"", u"1234", u"'tis", u"dogs'", u"do''nt", u"e-mail",
                                   u"two words", u"tab\t", u"x\u0000y", u"mp3", u"Tr0ub4dor",
                                   u"abc123"}) {
    EXPECT_FALSE(IsLearnableWord(word)) << std::string(word.begin(), word.end());
  }
  EXPECT_TRUE(IsLearnableWord(std::u16string(kMaxWordLength, u'a')));
  EXPECT_FALSE(IsLearnableWord(std::u16string(kMaxWordLength + 1, u'a')));
}

}  // namespace
}  // namespace quorel
