#include <gtest/gtest.h>

#include <string>

#include "library/slides/slide_set.h"
#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

constexpr char16_t kPath[] = u"C:\\Users\\pen\\Documents\\Quorel slidefiles\\mine.txt";

class SlideFileTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::fake::Reset(); }

  std::string& File(std::u16string_view path = kPath) {
    return platform::fake::System().files[std::u16string(path)];
  }

  struct Seen {
    int direction;
    std::uint16_t kind;
    std::uint16_t parameter;
    std::u16string preview;  // "(none)" when absent
    std::u16string text;
    bool operator==(const Seen&) const = default;
  };

  std::vector<Seen> Read(const std::string& bytes) {
    SlideSet read;
    ParseSlideFile(bytes, read);
    return List(read);
  }

  static std::vector<Seen> List(SlideSet& from) {
    std::vector<Seen> seen;
    from.SetQueryCriteria(0, 0, 255);
    for (int index; from.Query(&index);) {
      const SlideDefinition& slide = *from.Get(index);
      seen.push_back({slide.direction, slide.kind, slide.parameter,
                      slide.preview ? *slide.preview : u"(none)", slide.text});
    }
    return seen;
  }

  SlideSet set;
};

TEST_F(SlideFileTest, WritesSectionsInDirectionOrderWithExactBytes) {
  set.Add(3, 8, u'a', nullptr, u"east");
  set.Add(1, 8, u'e', u"\u00e9", u"\u00e9");
  set.Add(1, 19, 0, nullptr, u"x\ry");
  set.Add(1, 8, 0x0142, u"", u"");
  EXPECT_EQ(FormatSlideFile(set),
            "\r\n[NORTH]\r\n\r\n"
            "&#322;\t\t<preview></preview>\r\n"
            "e\t\t<preview>\xe9</preview>\xe9\r\n"
            "<enter>\t\tx\xb6y\r\n"
            "\r\n[EAST]\r\n\r\n"
            "a\t\teast\r\n");
  EXPECT_EQ(FormatSlideFile(SlideSet()), "");
}

TEST_F(SlideFileTest, ReaderFollowsHeadersAndSkipsWhatItCannotRead) {
  EXPECT_EQ(Read("[north]\r\n"
                 "e\t\t<preview>\xe9</preview>\xe9\r\n"
                 "a\t\t \r\n"        // a text of blanks types nothing: skipped
                 "b\t\r\n"           // nothing after the key: ignored
                 "<Enter>\t\tx\r\n"  // names are case sensitive
                 "<enter>\t\tx\n"    // LF alone ends a line too
                 "<numpad 0>\t\tx\r\n"
                 "c\t\t<preview>abc\r\n"
                 "d\t\t<PREVIEW>p</PREVIEW>  t\r\n"
                 " [SOUTH]\r\n"
                 "[SOUTHWEST] rest is ignored\r\n"
                 "f\t\t  lost blanks\r\n"
                 "\x1a"
                 "[EAST]\r\ng\t\tafter the end\r\n"),
            (std::vector<Seen>{
                {1, 8, u'c', u"(none)", u"<preview>abc"},
                {1, 8, u'd', u"p", u"  t"},
                {1, 8, u'e', u"\u00e9", u"\u00e9"},
                {1, 19, 0, u"(none)", u"x"},
                {6, 8, u'f', u"(none)", u"lost blanks"},
            }));
  EXPECT_TRUE(Read(" [NORTH]\r\na\t\tbefore any header\r\n").empty());
}

TEST_F(SlideFileTest, EveryTextReadsBackAsItWasWritten) {
  // Texts that the file's own conventions would have changed: a genuine pilcrow, an
  // escape typed as text, the end-of-file character, a line feed, leading blanks, preview
  // markup inside texts, characters beyond U+FFFF and a line far beyond any buffer.
  const std::u16string long_text(20000, u'\u0105');
  const char16_t* texts[] = {
      u"\u00b6 stays a pilcrow", u"&#65; stays five characters", u"&#38;#65;",
      u"before \x1a after",      u"line\nfeed",                   u"  leading blanks",
      u"\tleading tab",          u"<preview>not markup</preview>", u"<PREVIEW>x</preview>",
      u"\U0001F600 and \U0001F680", u"& alone and #", long_text.c_str(),
  };
  int direction = 1;
  for (const char16_t* text : texts) set.Add(direction++ % 8 + 1, 8, u'k', nullptr, text);
  set.Add(2, 8, u' ', nullptr, u"a blank key");
  set.Add(2, 8, u'\t', nullptr, u"a tab key");
  set.Add(2, 8, 0x00B6, u"a </preview> in a preview", u"and text");
  set.Add(2, 8, u'&', u"", u"#1");
  set.Add(3, 46, 0, nullptr, u"names with a blank: <numpad 0>");
  set.Add(3, 5, 1, nullptr, u"<browser back>");
  std::vector<Seen> written = List(set);
  EXPECT_EQ(Read(FormatSlideFile(set)), written);
}

TEST_F(SlideFileTest, FilesFromBeforeReadAsBefore) {
  // Escapes for characters at or above U+0100 keep their meaning, and a value above
  // U+10FFFF keeps only its low 16 bits.
  EXPECT_EQ(Read("[NORTH]\r\n&#321;\t\t&#321;\xf3" "d&#378; &#4294967361;\r\n"),
            (std::vector<Seen>{{1, 8, 0x0141, u"(none)", u"\u0141\u00f3d\u017a \uffff"}}));
}

TEST_F(SlideFileTest, SavingKeepsABackupAndNeverDestroysTheOldFile) {
  File() = "\r\n[NORTH]\r\n\r\na\t\told\r\n";
  set.Add(1, 8, u'a', nullptr, u"new");
  ASSERT_TRUE(WriteSlideFile(set, kPath));
  EXPECT_EQ(File(), "\r\n[NORTH]\r\n\r\na\t\tnew\r\n");
  EXPECT_EQ(File(u"C:\\Users\\pen\\Documents\\Quorel slidefiles\\mine.txt.bak"),
            "\r\n[NORTH]\r\n\r\na\t\told\r\n");

  // The folder cannot be written: the message is shown and the file is as it was.
  platform::fake::System().unwritable.insert(u"C:\\Users\\pen\\Documents\\Quorel slidefiles\\mine.txt.");
  set.Add(1, 8, u'b', nullptr, u"lost?");
  EXPECT_FALSE(WriteSlideFile(set, kPath));
  EXPECT_EQ(File(), "\r\n[NORTH]\r\n\r\na\t\tnew\r\n");
  ASSERT_EQ(platform::fake::System().message_boxes.size(), 1u);
  EXPECT_EQ(platform::fake::System().message_boxes[0].text,
            std::u16string(u"Can't open slide file ") + kPath + u".");
  EXPECT_EQ(platform::fake::System().message_boxes[0].caption, u"Quorel");
}

TEST_F(SlideFileTest, UnopenableFileIsReportedWithItsWholePath) {
  const std::u16string path = u"C:\\" + std::u16string(400, u'd') + u"\\missing.txt";
  set.Add(1, 8, u'a', nullptr, u"kept");
  EXPECT_FALSE(ReadSlideFile(set, path));
  ASSERT_EQ(platform::fake::System().message_boxes.size(), 1u);
  EXPECT_EQ(platform::fake::System().message_boxes[0].text,
            u"Can't open slide file " + path + u".");
  EXPECT_EQ(set.live_count(), 1u);
}

TEST_F(SlideFileTest, ReadingAddsToWhatTheSetHolds) {
  set.Add(1, 8, u'a', nullptr, u"first");
  File() = "[NORTH]\r\na\t\tsecond\r\n";
  ASSERT_TRUE(ReadSlideFile(set, kPath));
  EXPECT_EQ(List(set), (std::vector<Seen>{{1, 8, u'a', u"(none)", u"first"},
                                          {1, 8, u'a', u"(none)", u"second"}}));
}

}  // namespace
}  // namespace quorel
