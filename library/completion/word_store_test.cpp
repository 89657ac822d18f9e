#include "library/completion/word_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

using Words = std::vector<std::u16string>;

// Most common first, as the shipped list is.
constexpr std::string_view kBase =
    "# a base list\n"
    "the\n"
    "help\n"
    "hello\n"
    "Helen\n"
    "help\n"           // again, further down: the first place counts
    "he\n"
    "hel-lo\n"         // no word
    "helicopter\n"
    "h\xC3\xA9lice\n"  // hélice, not a word beginning with "hel"
    "helmet\n";

class WordCompletion : public testing::Test {
 protected:
  void SetUp() override {
    platform::fake::Reset();
    store_.ParseBase(kBase);
  }

  void LearnTimes(std::u16string_view word, int times) {
    for (int i = 0; i < times; ++i) ASSERT_TRUE(store_.Learn(word));
  }

  WordStore store_;
};

TEST_F(WordCompletion, TheBaseListFillsInRankOrderWithoutThePrefixItself) {
  EXPECT_EQ(store_.Base().Count(), 8);
  EXPECT_EQ(store_.Complete(u"he", 10),
            (Words{u"help", u"hello", u"Helen", u"helicopter", u"helmet"}));
  EXPECT_EQ(store_.Complete(u"HEL", 2), (Words{u"help", u"hello"}));
  EXPECT_EQ(store_.Complete(u"h\u00e9", 10), (Words{u"h\u00e9lice"}));
  EXPECT_EQ(store_.Complete(u"help", 10), Words{});
  EXPECT_EQ(store_.Complete(u"", 10), Words{});
  EXPECT_EQ(store_.Complete(u"he", 0), Words{});
}

TEST_F(WordCompletion, LearnedWordsComeFirstByHowOftenAndHowLatelyTheyWereTyped) {
  LearnTimes(u"helmet", 1);
  EXPECT_EQ(store_.Complete(u"hel", 3), (Words{u"helmet", u"help", u"hello"}));

  LearnTimes(u"helicopter", 4);  // typed more often, and later
  LearnTimes(u"helmet", 1);      // now later than the other, but typed half as often
  EXPECT_EQ(store_.Complete(u"hel", 4), (Words{u"helicopter", u"helmet", u"help", u"hello"}));

  // Long after, the word typed again outranks the one typed more often back then.
  for (int i = 0; i < 3000; ++i) store_.Learn(u"other");
  LearnTimes(u"helmet", 1);
  EXPECT_EQ(store_.Complete(u"hel", 2), (Words{u"helmet", u"helicopter"}));
  EXPECT_EQ(store_.FindLearned(u"HELMET")->count, 3u);
  EXPECT_EQ(store_.FindLearned(u"helmet")->last_use, store_.Uses());
}

TEST_F(WordCompletion, CompletionsReadAsTheyWillBeTyped) {
  LearnTimes(u"Helsinki", 1);
  EXPECT_EQ(store_.Completions(u"HEL", 2), (Words{u"HELSINKI", u"HELP"}));
  EXPECT_EQ(store_.Completions(u"Hel", 2), (Words{u"Helsinki", u"Help"}));
}

TEST_F(WordCompletion, CapitalsAreLearnedOnlyWhereEveryTypingHadThem) {
  LearnTimes(u"Hello", 1);  // a sentence began with it; the list has it in small letters
  EXPECT_EQ(store_.FindLearned(u"hello")->word, u"hello");
  LearnTimes(u"Quorel", 1);
  LearnTimes(u"QUOREL", 1);
  EXPECT_EQ(store_.FindLearned(u"quorel")->word, u"Quorel");
  LearnTimes(u"quorel", 1);
  EXPECT_EQ(store_.FindLearned(u"quorel")->word, u"quorel");
  EXPECT_EQ(store_.Complete(u"hel", 1), Words{u"hello"});  // one word, learned and listed
  EXPECT_FALSE(store_.Learn(u"1234"));
  EXPECT_EQ(store_.Uses(), 4u);
}

TEST_F(WordCompletion, ForgottenWordsStayAwayUntilTypedAgain) {
  LearnTimes(u"helmet", 2);
  EXPECT_TRUE(store_.Forget(u"Helmet"));
  EXPECT_TRUE(store_.Forget(u"help"));  // listed only: forgotten all the same
  EXPECT_EQ(store_.Complete(u"hel", 10), (Words{u"hello", u"Helen", u"helicopter"}));
  EXPECT_FALSE(store_.Forget(u"help"));

  LearnTimes(u"help", 1);
  EXPECT_EQ(store_.Complete(u"hel", 2), (Words{u"help", u"hello"}));

  LearnTimes(u"hellish", 1);
  store_.ForgetAll();
  EXPECT_EQ(store_.LearnedCount(), 0);
  EXPECT_TRUE(store_.IsForgotten(u"helmet"));  // asked for one by one, so kept
  EXPECT_EQ(store_.Complete(u"hel", 10), (Words{u"help", u"hello", u"Helen", u"helicopter"}));
}

// Words in folded order, "waaaa", "waaab"..., so that learning them one after another is quick.
std::u16string NthWord(std::size_t n) {
  std::u16string word = u"wxxxx";
  for (std::size_t i = 4; i > 0; --i, n /= 26) word[i] = static_cast<char16_t>(u'a' + n % 26);
  return word;
}

TEST_F(WordCompletion, BeyondTheBoundTheLeastUsefulWordGoes) {
  LearnTimes(NthWord(0), 1);  // the oldest, typed once
  LearnTimes(NthWord(1), 9);  // as old, but typed often
  for (std::size_t n = 2; n < WordStore::kMaxLearned; ++n) ASSERT_TRUE(store_.Learn(NthWord(n)));
  ASSERT_EQ(store_.LearnedCount(), static_cast<int>(WordStore::kMaxLearned));

  LearnTimes(u"newcomer", 1);
  EXPECT_EQ(store_.LearnedCount(), static_cast<int>(WordStore::kMaxLearned));
  EXPECT_EQ(store_.FindLearned(NthWord(0)), nullptr);
  EXPECT_NE(store_.FindLearned(NthWord(1)), nullptr);
  EXPECT_NE(store_.FindLearned(NthWord(2)), nullptr);
  EXPECT_NE(store_.FindLearned(u"newcomer"), nullptr);
}

}  // namespace
}  // namespace quorel

namespace quorel {
namespace {

// The words typed after a word: most often first, kept in the file beside the words, each
// line checked, gone with the word they name and with every learned word.
TEST(NextWords, AreLearnedKeptInTheFileAndForgotten) {
  platform::fake::Reset();
  WordStore store;
  for (int i = 0; i < 3; ++i) store.LearnPair(u"good", u"morning");
  store.LearnPair(u"good", u"night");
  store.LearnPair(u"Good", u"Luck");
  EXPECT_FALSE(store.LearnPair(u"good", u"r2d2"));
  EXPECT_EQ(store.NextWords(u"GOOD", 5), (Words{u"morning", u"Luck", u"night"}));

  WordStore read;
  const LearnedFileReport report = read.ParseLearned(
      store.FormatLearned() + ">good\tday\r\n>good day x 1\r\n>bad\r\n>sad day\r\n-sad\r\n");
  EXPECT_EQ(report.lines_left_out, 2);
  EXPECT_EQ(read.NextWords(u"good", 1), (Words{u"morning"}));
  EXPECT_EQ(read.PairCount(), 4);  // "sad day" went with the forgotten "sad"

  read.Forget(u"night");
  EXPECT_EQ(read.NextWords(u"good", 5), (Words{u"morning", u"day", u"Luck"}));
  read.Forget(u"good");
  EXPECT_EQ(read.PairCount(), 0);
  read.LearnPair(u"bad", u"luck");
  read.ForgetAll();
  EXPECT_EQ(read.PairCount(), 0);
  EXPECT_EQ(read.FormatLearned().find("\n>"), std::string::npos);
}

// The base list's next words fill in after the user's own, never twice, never forgotten
// ones, and only between words the list holds.
TEST(NextWords, TheListsFillInAfterTheUsersOwn) {
  platform::fake::Reset();
  WordStore store;
  store.ParseBase("of\nthe\ncourse\nall\n>of the\n>of course\n>of all\n>of unlisted\n>the of\n");
  EXPECT_EQ(store.NextWords(u"Of", 2), (Words{u"the", u"course"}));
  store.LearnPair(u"of", u"all");
  store.LearnPair(u"of", u"mine");
  store.Forget(u"the");
  EXPECT_EQ(store.NextWords(u"of", 5), (Words{u"all", u"mine", u"course"}));
}

}  // namespace
}  // namespace quorel
