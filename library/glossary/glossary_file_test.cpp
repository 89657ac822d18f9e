#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>

#include "library/glossary/glossary.h"
#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

constexpr char16_t kPath[] = u"C:\\g.glo";

class GlossaryFileTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::fake::Reset(); }

  static std::string& File() { return platform::fake::System().files[kPath]; }

  // Writes the glossary and reads the file into a fresh one.
  Glossary RoundTrip() {
    EXPECT_TRUE(WriteGlossaryFile(glossary, kPath));
    Glossary read;
    EXPECT_TRUE(ReadGlossaryFile(read, kPath));
    return read;
  }

  Glossary glossary;
};

TEST_F(GlossaryFileTest, WriterPutsOneCharacterShortFormsUnderWordsAndTheRestUnderPhrases) {
  glossary.Add(u"b", nullptr, u"bee", nullptr);
  glossary.Add(u"ab", nullptr, u"a b", nullptr);
  glossary.Add(u"a", u"", u"ay", nullptr);
  EXPECT_EQ(FormatGlossaryFile(glossary),
            "[Words]\r\n\r\n"
            "a\t\t<preview></preview>ay\r\n"
            "b\t\tbee\r\n"
            "\r\n\r\n[Phrases]\r\n\r\n"
            "ab\t\ta b\r\n");
  EXPECT_EQ(FormatGlossaryFile(Glossary()), "[Words]\r\n\r\n\r\n\r\n[Phrases]\r\n\r\n");

  Glossary read = RoundTrip();
  ASSERT_EQ(read.Count(), 3);
  ASSERT_NE(read.At(0)->preview, nullptr);  // the empty preview comes back, not as none
  EXPECT_EQ(*read.At(0)->preview, u"");
  EXPECT_EQ(read.At(1)->long_form, u"a b");
  EXPECT_EQ(read.At(1)->preview, nullptr);
}

TEST_F(GlossaryFileTest, ReaderLowersShortFormsAndSkipsWhatIsNotAnEntry) {
  File() =
      "BTW\t\tby the way\n"  // no section needed, LF alone is a line end
      "[Phrases]\r\n"
      "e.g.\t\tfor example\r\n"  // '.' is not a letter or digit
      "empty\t\r\n"              // nothing after the key
      "\t \r\n"
      "lone\r\n"
      "caf\xE9\t\t<PREVIEW>p</PREVIEW>  kept blanks\r\n"
      "x\t\t<preview>open only\r\n"
      "&#322;\t\tel\r\n"
      "after\t\tend\x1A"
      "ignored\t\tgone\r\n";
  ASSERT_TRUE(ReadGlossaryFile(glossary, kPath));
  ASSERT_EQ(glossary.Count(), 5);
  EXPECT_EQ(glossary.At(0)->short_form, u"after");
  EXPECT_EQ(glossary.At(0)->long_form, u"end");
  EXPECT_EQ(glossary.At(1)->short_form, u"btw");
  EXPECT_EQ(glossary.At(1)->long_form, u"by the way");
  EXPECT_EQ(glossary.At(2)->short_form, u"caf\u00E9");
  ASSERT_NE(glossary.At(2)->preview, nullptr);
  EXPECT_EQ(*glossary.At(2)->preview, u"p");
  EXPECT_EQ(glossary.At(2)->long_form, u"  kept blanks");
  EXPECT_EQ(glossary.At(3)->short_form, u"x");
  EXPECT_EQ(glossary.At(3)->preview, nullptr);
  EXPECT_EQ(glossary.At(3)->long_form, u"<preview>open only");
  EXPECT_EQ(glossary.At(4)->short_form, u"\u0142");
  EXPECT_TRUE(platform::fake::System().message_boxes.empty());
}

TEST_F(GlossaryFileTest, AwkwardTextsReadBackAsWritten) {
  const std::u16string texts[] = {
      u"100%",
      u"line one\rline two",
      u"\u0142\u00F3d\u017A",
      u"genuine \u00B6 pilcrow",
      u"&#65; stays an escape, & alone too",
      u"end\x1A"
      u"of file",
      u"smile \U0001F600 astral",
      u" leading blank",
      u"<preview>looks like markup",
      u"a\nlinefeed",
      std::u16string(100000, u'w') + u"\u0100",
  };
  for (const auto& text : texts) {
    glossary.Add(u"k", text.c_str(), text.c_str(), nullptr);
    glossary.Add(u"plain", nullptr, text.c_str(), nullptr);
  }
  std::string file = FormatGlossaryFile(glossary);
  EXPECT_NE(file.find("100%"), std::string::npos);
  EXPECT_NE(file.find("line one\xB6line two"), std::string::npos);
  EXPECT_NE(file.find("&#322;\xF3"
                      "d&#378;"),
            std::string::npos);

  Glossary read = RoundTrip();
  ASSERT_EQ(read.Count(), glossary.Count());
  for (int i = 0; i < read.Count(); ++i) {
    EXPECT_EQ(read.At(i)->short_form, glossary.At(i)->short_form);
    EXPECT_EQ(read.At(i)->long_form, glossary.At(i)->long_form) << i;
    ASSERT_EQ(read.At(i)->preview == nullptr, glossary.At(i)->preview == nullptr) << i;
    if (read.At(i)->preview) {
      EXPECT_EQ(*read.At(i)->preview, *glossary.At(i)->preview) << i;
    }
  }
  // Written again, the file is byte for byte the same.
  EXPECT_EQ(FormatGlossaryFile(read), file);
}

TEST_F(GlossaryFileTest, ShortFormsThatWouldReadBackAsAnotherEntryAreLeftOut) {
  glossary.Add(u"", nullptr, u"hello world", nullptr);
  glossary.Add(u"two words", nullptr, u"x", nullptr);
  glossary.Add(u"ok", nullptr, u"y", nullptr);
  Glossary read = RoundTrip();
  ASSERT_EQ(read.Count(), 1);
  EXPECT_EQ(read.At(0)->short_form, u"ok");
}

TEST_F(GlossaryFileTest, ReadingAddsAfterEqualEntriesAsSingleAddsWould) {
  std::mt19937 random(11);
  std::vector<std::pair<std::u16string, std::u16string>> lines;
  std::string file;
  for (int i = 0; i < 3000; ++i) {
    std::u16string short_form;
    const int length = 1 + static_cast<int>(random() % 3);
    for (int c = 0; c < length; ++c) {
      short_form.push_back(static_cast<char16_t>((random() % 2 ? u'a' : u'A') + random() % 3));
    }
    std::u16string long_form = u"n" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) +
                               std::u16string(static_cast<std::size_t>(i % 7), u'z');
    for (char16_t c : short_form) file.push_back(static_cast<char>(c));
    file += "\t\t";
    for (char16_t c : long_form) file.push_back(static_cast<char>(c));
    file += "\r\n";
    for (char16_t& c : short_form) c = static_cast<char16_t>(std::tolower(c));
    lines.emplace_back(short_form, long_form);
  }
  Glossary single;
  for (const char16_t* existing : {u"ab", u"b", u"ccc"}) {
    glossary.Add(existing, nullptr, u"existing", nullptr);
    single.Add(existing, nullptr, u"existing", nullptr);
  }
  for (const auto& [short_form, long_form] : lines) {
    single.Add(short_form.c_str(), nullptr, long_form.c_str(), nullptr);
  }
  ParseGlossaryFile(file, glossary);
  ASSERT_EQ(glossary.Count(), single.Count());
  for (int i = 0; i < single.Count(); ++i) {
    ASSERT_EQ(glossary.At(i)->short_form, single.At(i)->short_form) << i;
    ASSERT_EQ(glossary.At(i)->long_form, single.At(i)->long_form) << i;
  }
}

// How fast this goes is measured in bench/; here only that a large file in any order
// comes out sorted and whole.
TEST_F(GlossaryFileTest, HundredThousandEntriesReadAndWriteWholeInAnyOrder) {
  std::vector<std::string> lines;
  for (int i = 0; i < 100000; ++i) {
    lines.push_back("w" + std::to_string(i * 7919 % 100000) + "\t\tthe long form " +
                    std::to_string(i) + "\r\n");
  }
  std::sort(lines.begin(), lines.end());
  for (bool shuffled : {false, true}) {
    if (shuffled) std::shuffle(lines.begin(), lines.end(), std::mt19937(3));
    std::string file;
    for (const auto& line : lines) file += line;
    File() = file;
    Glossary read;

    ASSERT_TRUE(ReadGlossaryFile(read, kPath));
    ASSERT_EQ(read.Count(), 100000);
    for (int i = 1; i < read.Count(); ++i) {
      ASSERT_LE(Glossary::Compare(read.At(i - 1)->short_form, read.At(i)->short_form), 0);
    }

    ASSERT_TRUE(WriteGlossaryFile(read, kPath));
    const std::string headers = "[Words]\r\n\r\n\r\n\r\n[Phrases]\r\n\r\n";
    EXPECT_EQ(File().size(), headers.size() + file.size());
  }
}

TEST_F(GlossaryFileTest, FileThatCannotBeOpenedIsReportedAndChangesNothing) {
  glossary.Add(u"keep", nullptr, u"me", nullptr);
  std::u16string long_path = u"C:\\" + std::u16string(600, u'd') + u"\\missing.glo";
  EXPECT_FALSE(ReadGlossaryFile(glossary, long_path));
  EXPECT_EQ(glossary.Count(), 1);
  const auto& boxes = platform::fake::System().message_boxes;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"Can't open glossary " + long_path + u".");  // whole, however long
  EXPECT_EQ(boxes[0].caption, u"Quorel");
}

TEST_F(GlossaryFileTest, FailedWriteKeepsTheOldFileAndItsBackup) {
  File() = "old\t\tbytes\r\n";
  glossary.Add(u"new", nullptr, u"entry", nullptr);
  // The new contents cannot be written beside the file.
  platform::fake::System().unwritable.insert(std::u16string(kPath) + u".saving");
  EXPECT_FALSE(WriteGlossaryFile(glossary, kPath));
  EXPECT_EQ(File(), "old\t\tbytes\r\n");
  EXPECT_EQ(platform::fake::System().files[u"C:\\g.glo.bak"], "old\t\tbytes\r\n");
  const auto& boxes = platform::fake::System().message_boxes;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"Can't open glossary C:\\g.glo.");

  platform::fake::System().unwritable.clear();
  ASSERT_TRUE(WriteGlossaryFile(glossary, kPath));
  EXPECT_EQ(File(), "[Words]\r\n\r\n\r\n\r\n[Phrases]\r\n\r\nnew\t\tentry\r\n");
  EXPECT_EQ(platform::fake::System().files.count(u"C:\\g.glo.saving"), 0u);
}

}  // namespace
}  // namespace quorel
