#include "library/completion/word_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quorel {
namespace {

struct Accepting {
  std::u16string_view typed;
  std::u16string_view word;
  std::u16string_view missing;
};

TEST(CompletionCase, OnlyTheMissingLettersAreTypedInTheCaseTheUserBegan) {
  const Accepting cases[] = {
      {u"hel", u"hello", u"lo"},
      {u"Hel", u"hello", u"lo"},
      {u"HEL", u"hello", u"LO"},
      {u"HeL", u"hello", u"lo"},        // not every letter a capital: no shouting
      {u"I", u"item", u"tem"},          // one capital starts a sentence
      {u"Hel", u"HELLO", u"lo"},        // a word once typed in capitals does not shout back
      {u"na", u"NASA", u"sa"},
      {u"mc", u"McDonald", u"Donald"},  // the word's own capitals in the middle stay
      {u"MCD", u"McDonald", u"ONALD"},
      {u"CAF", u"caf\u00e9", u"\u00c9"},  // capitals beyond A-Z
      {u"\u0141\u00d3", u"\u0142\u00f3d\u017a", u"D\u0179"},
      {u"DON", u"don't", u"'T"},
      {u"hello", u"hello", u""},        // nothing is missing
      {u"hex", u"hello", u""},          // not a completion at all
      {u"", u"hello", u"hello"},
  };
  for (const Accepting& c : cases) {
    EXPECT_EQ(MissingLetters(c.typed, c.word), c.missing)
        << std::string(c.typed.begin(), c.typed.end()) << " + "
        << std::string(c.word.begin(), c.word.end());
  }
  EXPECT_EQ(CaseLike(u"Hel", u"hello"), u"Hello");
  EXPECT_EQ(CaseLike(u"hEL", u"hello"), u"hELlo");  // the typed letters are never retyped
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
                                   u"\u0142\u00f3d\u017a", u"mp3", u"don\u2019t"}) {
    EXPECT_TRUE(IsLearnableWord(word)) << std::string(word.begin(), word.end());
  }
  for (std::u16string_view word : {u"a", u"", u"1234", u"'tis", u"dogs'", u"do''nt", u"e-mail",
                                   u"two words", u"tab\t", u"x\u0000y"}) {
    EXPECT_FALSE(IsLearnableWord(word)) << std::string(word.begin(), word.end());
  }
  EXPECT_TRUE(IsLearnableWord(std::u16string(kMaxWordLength, u'a')));
  EXPECT_FALSE(IsLearnableWord(std::u16string(kMaxWordLength + 1, u'a')));
}

}  // namespace
}  // namespace quorel
