#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/completion/word_store.h"
#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

constexpr char16_t kPath[] = u"C:\\Users\\pen\\Documents\\Quorel\\Learned words.txt";
constexpr char16_t kBackup[] = u"C:\\Users\\pen\\Documents\\Quorel\\Learned words.txt.bak";

// A word of letters for a number: 0 "waaaa", 1 "waaab"...
std::string Name(std::size_t n) {
  std::string name = "waaaa";
  for (std::size_t i = name.size() - 1; n != 0; --i, n /= 26) name[i] = static_cast<char>('a' + n % 26);
  return name;
}

std::string& FileAt(std::u16string_view path) {
  return platform::fake::System().files[std::u16string(path)];
}

class LearnedFile : public testing::Test {
 protected:
  void SetUp() override {
    platform::fake::Reset();
    store_.ParseBase("helmet\nhello\n");
  }
  WordStore store_;
};

TEST_F(LearnedFile, WhatIsSavedReadsBackTheSame) {
  std::u16string path;
  ASSERT_TRUE(LearnedWordsPath(&path));
  EXPECT_EQ(path, kPath);
  store_.ReadLearned(kPath);  // none yet: a first run
  store_.Learn(u"caf\u00e9");
  store_.Learn(u"Caf\u00e9");
  store_.Learn(u"\u0141\u00f3d\u017a");
  store_.Learn(u"don\u2019t");
  store_.Forget(u"helmet");
  ASSERT_TRUE(store_.HasUnsavedChanges());
  ASSERT_TRUE(store_.SaveLearned(kPath));
  EXPECT_FALSE(store_.HasUnsavedChanges());

  const std::string& bytes = FileAt(kPath);
  EXPECT_EQ(bytes.substr(bytes.find("caf")),
            "caf\xC3\xA9\t2\t2\r\n"
            "don\xE2\x80\x99t\t1\t4\r\n"
            "\xC5\x81\xC3\xB3" "d\xC5\xBA\t1\t3\r\n"
            "-helmet\r\n");
  EXPECT_EQ(platform::fake::System().files.count(std::u16string(kPath) + u".saving"), 0u);
  EXPECT_EQ(platform::fake::System().files.count(kBackup), 0u);  // read whole: nothing to keep

  WordStore again;
  again.ParseBase("helmet\nhello\n");
  EXPECT_TRUE(again.ReadLearned(kPath).Whole());
  EXPECT_EQ(again.FormatLearned(), bytes);
  EXPECT_EQ(again.Uses(), 4u);
  EXPECT_EQ(again.Complete(u"hel", 5), std::vector<std::u16string>{u"hello"});
  EXPECT_FALSE(again.HasUnsavedChanges());
}

// Saved by hand in an editor: spaces for TABs, numbers left out, a word twice, a BOM, and
// the encodings Notepad offers.
TEST_F(LearnedFile, AFileEditedByHandIsRead) {
  store_.ParseLearned(
      "\xEF\xBB\xBF# mine\r\n"
      "\r\n"
      "   tea   4   10\n"
      "coffee\n"
      "Tea 1 30\n"
      "caf\xE9 2 7\n");  // é in an ANSI code page
  EXPECT_EQ(store_.FindLearned(u"tea")->count, 5u);
  EXPECT_EQ(store_.FindLearned(u"tea")->last_use, 30u);
  EXPECT_EQ(store_.FindLearned(u"tea")->word, u"tea");
  EXPECT_EQ(store_.FindLearned(u"coffee")->count, 1u);
  EXPECT_EQ(store_.FindLearned(u"coffee")->last_use, 0u);
  EXPECT_EQ(store_.FindLearned(u"caf\u00e9")->count, 2u);
  EXPECT_EQ(store_.Uses(), 30u);

  // A word both learned and forgotten was forgotten by hand: it stays away.
  const std::u16string text = u"\uFEFFtea\t3\t5\r\nhello\t2\t2\r\n-hello\r\n";
  std::string utf16;
  for (char16_t c : text) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>(c >> 8));
  }
  EXPECT_TRUE(store_.ParseLearned(utf16).Whole());
  EXPECT_EQ(store_.FindLearned(u"tea")->count, 3u);
  EXPECT_TRUE(store_.IsForgotten(u"hello"));
  EXPECT_EQ(store_.FindLearned(u"hello"), nullptr);
}

TEST_F(LearnedFile, ADamagedFileIsReadAsFarAsItIsGoodAndKeptAside) {
  std::string bytes = "good 3 5\n";
  bytes += std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\xFF\xFE\n", 20);
  for (int c = 0; c < 256; ++c) bytes.push_back(static_cast<char>(c));
  bytes += "\n" + std::string(300, 'a') + " 1 1\n";
  bytes +=
      "bad notanumber 5\n"
      "bad 5 -3\n"
      "bad 99999999999999999999 1\n"
      "bad 4294967296 1\n"
      "bad 0 1\n"
      "bad 1 1000000000000000001\n"
      "bad 1 2 3\n"
      "-\n"
      "-bad 1 2\n"
      "also 2 9\n"
      "cut\xC3";  // the write stopped inside a character
  FileAt(kPath) = bytes;

  const LearnedFileReport report = store_.ReadLearned(kPath);
  EXPECT_FALSE(report.Whole());
  EXPECT_EQ(report.lines_left_out, 16);
  EXPECT_EQ(store_.LearnedCount(), 2);
  EXPECT_EQ(store_.FindLearned(u"also")->count, 2u);
  EXPECT_EQ(store_.Uses(), 9u);
  EXPECT_FALSE(store_.IsForgotten(u"bad"));

  // The first save keeps the file as it was; a later one leaves that backup alone.
  store_.Learn(u"first");
  ASSERT_TRUE(store_.SaveLearned(kPath));
  EXPECT_EQ(FileAt(kBackup), bytes);
  store_.Learn(u"more");
  ASSERT_TRUE(store_.SaveLearned(kPath));
  EXPECT_EQ(FileAt(kBackup), bytes);
  EXPECT_NE(FileAt(kPath).find("more\t1\t11"), std::string::npos);
}

// Held by a sync client at start: the words typed meanwhile are kept, the file is never
// written over, and once it can be read the two are one.
TEST_F(LearnedFile, AFileThatCannotBeReadOrWrittenIsNeverLost) {
  FileAt(kPath) = "precious\t7\t7\r\n-gone\r\n";
  platform::fake::System().unreadable.insert(kPath);
  EXPECT_TRUE(store_.ReadLearned(kPath).unreadable);
  store_.Learn(u"new");
  store_.Learn(u"precious");
  store_.Forget(u"hello");
  EXPECT_FALSE(store_.SaveLearned(kPath));
  EXPECT_EQ(FileAt(kPath), "precious\t7\t7\r\n-gone\r\n");

  platform::fake::System().unreadable.clear();
  EXPECT_TRUE(store_.ReadLearned(kPath).Whole());
  ASSERT_TRUE(store_.SaveLearned(kPath));
  EXPECT_EQ(store_.FindLearned(u"precious")->count, 8u);
  EXPECT_EQ(store_.FindLearned(u"new")->last_use, 8u);  // typed after the file's seventh use
  EXPECT_TRUE(store_.IsForgotten(u"gone"));
  EXPECT_TRUE(store_.IsForgotten(u"hello"));
  EXPECT_EQ(platform::fake::System().files.count(kBackup), 0u);

  // A share that is offline is no first run either.
  WordStore elsewhere;
  platform::fake::System().unreachable.insert(u"\\\\server");
  EXPECT_TRUE(elsewhere.ReadLearned(u"\\\\server\\Learned words.txt").unreadable);
  elsewhere.Learn(u"word");
  EXPECT_FALSE(elsewhere.SaveLearned(u"\\\\server\\Learned words.txt"));

  platform::fake::System().unwritable.insert(kPath);
  const std::string saved = FileAt(kPath);
  store_.Learn(u"newer");
  EXPECT_FALSE(store_.SaveLearned(kPath));
  EXPECT_EQ(FileAt(kPath), saved);
  EXPECT_TRUE(store_.HasUnsavedChanges());
}

// A file emptied or broken by something else (a sync conflict) is made whole from the backup
// the keyboard keeps; words learned by an older keyboard that mix letters and digits go.
TEST_F(LearnedFile, ADamagedFileFallsBackToItsBackup) {
  FileAt(kBackup) = "older\t3\t3\r\nboth\t5\t4\r\n-away\r\n";
  for (const std::string& damaged : {std::string("both 2 9\n\xFF\xFE\x00garbage 1 x\n"), std::string()}) {
    FileAt(kPath) = damaged;
    WordStore store;
    const LearnedFileReport report = store.ReadLearned(kPath);
    EXPECT_TRUE(report.from_backup);
    EXPECT_NE(store.FindLearned(u"older"), nullptr);
    EXPECT_TRUE(store.IsForgotten(u"away"));
    EXPECT_EQ(store.FindLearned(u"both")->count, 5u);  // one history: the larger count
    EXPECT_TRUE(store.HasUnsavedChanges());
  }

  // Gone while its backup is there, as a sync client's delete before it writes anew.
  platform::fake::System().files.erase(kPath);
  WordStore after_delete;
  EXPECT_TRUE(after_delete.ReadLearned(kPath).from_backup);
  EXPECT_NE(after_delete.FindLearned(u"older"), nullptr);

  FileAt(kPath) = "abc123 4 4\r\nword 1 5\r\n";
  WordStore store;
  EXPECT_TRUE(store.ReadLearned(kPath).Whole());
  EXPECT_EQ(store.FindLearned(u"abc123"), nullptr);
  ASSERT_TRUE(store.SaveLearned(kPath));
  EXPECT_EQ(FileAt(kPath).find("abc123"), std::string::npos);
}

TEST_F(LearnedFile, AFileBeyondTheBoundKeepsTheMostUsefulWords) {
  std::string bytes;
  const std::size_t total = WordStore::kMaxLearned + 5;
  for (std::size_t n = 0; n < total; ++n) {
    // Each word later than the one before; the five first are the least useful.
    bytes += Name(n) + " 1 " + std::to_string(n + 1) + "\n";
  }
  const LearnedFileReport report = store_.ParseLearned(bytes);
  EXPECT_EQ(report.words_dropped, 5);
  EXPECT_EQ(store_.LearnedCount(), static_cast<int>(WordStore::kMaxLearned));
  EXPECT_EQ(store_.FindLearned(u"waaae"), nullptr);
  EXPECT_NE(store_.FindLearned(u"waaaf"), nullptr);
  EXPECT_EQ(store_.Uses(), total);
}

}  // namespace
}  // namespace quorel
