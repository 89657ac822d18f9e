#include "library/strings/strutils.h"

#include <gtest/gtest.h>

#include "library/strings/file_text.h"
#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

std::u16string Decoded(std::u16string text) {
  HtmlToUnicode(text.data());
  return std::u16string(text.c_str());
}

TEST(StringUtilities, LineFeedsComeAndGo) {
  char16_t out[16];
  EXPECT_EQ(AddLinefeeds(out, u"a\rb"), 4);
  EXPECT_EQ(std::u16string(out), u"a\r\nb");
  EXPECT_EQ(AddLinefeeds(out, u""), 0);
  EXPECT_EQ(AddLinefeeds(out, u"\r\n"), 3);  // an LF already there gets a second one
  char16_t text[] = u"\r\n\nx";
  RemoveLinefeeds(text);
  EXPECT_EQ(std::u16string(text), u"\rx");
  char16_t para[] = u"a\rb\u00b6";
  ReplaceReturnByPara(para);
  EXPECT_EQ(std::u16string(para), u"a\u00b6b\u00b6");
  ReplaceParaByReturn(para);
  EXPECT_EQ(std::u16string(para), u"a\rb\r");
}

TEST(StringUtilities, EscapesDecodeOnceAndOnlyWhenComplete) {
  EXPECT_EQ(Decoded(u"&#321;\u00f3d\u017a"), u"\u0141\u00f3d\u017a");
  EXPECT_EQ(Decoded(u"&#x41; &#65"), u"&#x41; &#65");
  EXPECT_EQ(Decoded(u"&#&#65;"), u"&#A");
  EXPECT_EQ(Decoded(u"&#38;#65;"), u"&#65;");
  EXPECT_EQ(Decoded(u"&#12&#65;"), u"&#12A");
  EXPECT_EQ(Decoded(u"a&#0;b"), u"a");
  EXPECT_EQ(Decoded(u"&#99999999999999999999;"), u"\uffff");  // clamped, then low 16 bits
}

TEST(StringUtilities, EscapesBeyondTheBasicPlaneBecomeSurrogatePairs) {
  EXPECT_EQ(Decoded(u"&#128512;!"), u"\U0001F600!");
  EXPECT_EQ(Decoded(u"&#65601;"), u"\U00010041");
  EXPECT_EQ(Decoded(u"&#1114111;"), u"\U0010FFFF");
  EXPECT_EQ(Decoded(u"&#1114177;"), u"A");  // above U+10FFFF: the low 16 bits, as before
}

TEST(StringUtilities, EncodingWritesEveryCharacterFromU0100AsAnEscape) {
  char16_t out[64];
  UnicodeToHtml(out, u"\u0141\u00f3d\u017a");
  EXPECT_EQ(std::u16string(out), u"&#321;\u00f3d&#378;");
  UnicodeToHtml(out, u"\uffff\u0100");
  EXPECT_EQ(std::u16string(out), u"&#65535;&#256;");
}

// "mine.txt" and "mine.glo" side by side keep a backup each; one "mine.bak" for both would
// lose one of them at every save.
TEST(FileHelpers, EveryFileHasABackupNameOfItsOwn) {
  EXPECT_EQ(BackupName(u"C:\\files\\mine.txt"), u"C:\\files\\mine.txt.bak");
  EXPECT_NE(BackupName(u"C:\\files\\mine.txt"), BackupName(u"C:\\files\\mine.glo"));
  EXPECT_EQ(BackupName(u"slides"), u"slides.bak");
}

TEST(FileHelpers, RunningExeDirectoryDropsTheFileName) {
  platform::fake::Reset();
  std::u16string directory;
  ASSERT_TRUE(GetRunningExeDirectory(&directory));
  EXPECT_EQ(directory, u"C:\\Program Files\\Quorel");
  platform::fake::System().exe_path = u"nofolder.exe";
  EXPECT_FALSE(GetRunningExeDirectory(&directory));
}

TEST(FileHelpers, LinesEndAtLfAndTheFileAtSubstitute) {
  std::vector<std::u16string> lines;
  ForEachFileLine(std::string("a\r\nb\nc\rd\r\n\xe9\0f\n\x1agone", 17),
                  [&](std::u16string_view line) { lines.emplace_back(line); });
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"a", u"b", u"c\rd", u"\u00e9f"}));
}

}  // namespace
}  // namespace quorel
