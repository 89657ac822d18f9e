#include "tools/word_list/word_list.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "library/completion/base_words.h"

namespace quorel::words {
namespace {

class WordListTool : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::path(testing::TempDir()) / "scowl";
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void List(const std::string& name, const std::string& lines) {
    std::ofstream(folder_ / name, std::ios::binary) << lines;
  }

  std::filesystem::path folder_;
};

TEST_F(WordListTool, CommonerLevelsFirstAndEachWordOnceAtItsBestPlace) {
  List("english-words.10", "the\nability\nability's\nit's\na\n");
  List("english-words.20", "cat\nthe\npolish\n");
  List("english-upper.10", "English\nUSA\nMcDonald\n");
  List("english-upper.20", "Polish\n");
  List("american-words.20", "color\n");
  List("english-contractions.10", "don't\n");
  List("english-words.60", "rare\n");             // beyond the level taken
  List("english-abbreviations.10", "etc\n");      // not a kind taken
  List("british-words.10", "colour\n");           // not a spelling taken
  List("english-words.20.orig", "junk\n");

  std::vector<std::u16string> words;
  std::string error;
  ASSERT_TRUE(MakeWordList(FindSources(folder_), {}, &words, &error)) << error;
  EXPECT_EQ(words, (std::vector<std::u16string>{u"the", u"it's", u"don't", u"ability", u"English",
                                                u"cat", u"color", u"polish"}));

  // Counted in a text, the commoner come first within their level, never across levels;
  // a word's spellings count together, and a line that is no count is passed over.
  List("counts.tsv", "ability\t9\nAbility\t2\nthe\t10\ncolor\tmany\npolish\t100000\n");
  WordCounts counts;
  ASSERT_TRUE(ReadWordCounts(folder_ / "counts.tsv", &counts, &error)) << error;
  ASSERT_TRUE(MakeWordList(FindSources(folder_), counts, &words, &error)) << error;
  EXPECT_EQ(words, (std::vector<std::u16string>{u"ability", u"the", u"it's", u"don't", u"English",
                                                u"polish", u"cat", u"color"}));

  // A word's likeliest next words of the list, its spellings counted together.
  const std::vector<PairCount> pairs = {{u"the", u"cat", 5},   {u"the", u"color", 4},
                                        {u"the", u"rare", 50}, {u"the", u"english", 2},
                                        {u"the", u"Cat", 1},   {u"cat", u"the", 1}};
  const auto next_words = ListedNextWords(words, pairs, 2);
  EXPECT_EQ(next_words, (std::vector<NextWord>{{u"the", u"cat"}, {u"the", u"color"},
                                               {u"cat", u"the"}}));

  // What the tool writes is what the keyboard reads, in the same order.
  BaseWords base;
  base.Parse(FormatWordList(words, EnglishHead(false), next_words));
  ASSERT_EQ(base.Count(), static_cast<int>(words.size()));
  for (int rank = 0; rank < base.Count(); ++rank) EXPECT_EQ(base.WordAt(rank), words[rank]);
  std::vector<std::u16string> after_the;
  base.ForEachNextWord(u"The", [&](std::u16string_view next) { after_the.emplace_back(next); });
  EXPECT_EQ(after_the, (std::vector<std::u16string>{u"cat", u"color"}));
}

TEST_F(WordListTool, AnotherLanguagesListPutsCountedThenShortWordsFirstAndNamesLast) {
  // One file of a language's words in no order of use, with codes and numbers among them.
  List("french", "abaissaient\n06-dealer\nParis\n\u00e9t\u00e9\nABC\n\u00e9tais\nde\nmais\n"
                 "\u00e0\nma\u00efs\n");
  List("counts.tsv", "mais\t50\nde\t900\n");
  WordCounts counts;
  std::string error;
  ASSERT_TRUE(ReadWordCounts(folder_ / "counts.tsv", &counts, &error)) << error;
  std::vector<std::u16string> words;
  ASSERT_TRUE(MakeListFromFile(folder_ / "french", counts, 100, &words, &error)) << error;
  EXPECT_EQ(words, (std::vector<std::u16string>{u"de", u"mais", u"\u00e9t\u00e9", u"ma\u00efs",
                                                u"\u00e9tais", u"abaissaient", u"Paris"}));
  // The bound keeps the commonest.
  ASSERT_TRUE(MakeListFromFile(folder_ / "french", counts, 2, &words, &error)) << error;
  EXPECT_EQ(words, (std::vector<std::u16string>{u"de", u"mais"}));
  EXPECT_FALSE(MakeListFromFile(folder_ / "missing", {}, 2, &words, &error));

  // Where the nouns begin with a capital, a counted noun comes first and the others are
  // words like any other.
  List("german", "Haus\nhaben\nZeit\nAal\nweil\n");
  List("german-counts.tsv", "zeit\t10\n");
  ASSERT_TRUE(ReadWordCounts(folder_ / "german-counts.tsv", &counts, &error)) << error;
  ASSERT_TRUE(MakeListFromFile(folder_ / "german", counts, 100, &words, &error)) << error;
  EXPECT_EQ(words, (std::vector<std::u16string>{u"Zeit", u"Aal", u"Haus", u"weil", u"haben"}));
}

}  // namespace
}  // namespace quorel::words
