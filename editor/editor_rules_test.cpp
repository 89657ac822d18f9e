#include "editor/editor_rules.h"

#include <gtest/gtest.h>

namespace quorel::editor {
namespace {

TEST(EditorRows, ShowLineBreaksAsPilcrowsAfterTheirPreview) {
  EXPECT_EQ(ExpansionCell(u"one\rtwo", u""), u"one\u00B6two");
  EXPECT_EQ(ExpansionCell(u"<enter>", u"Enter"), u"\u00ABEnter\u00BB<enter>");
  EXPECT_EQ(KeyCaption(8, u'\u00FF', u""), u"\u00FF");
  EXPECT_EQ(KeyCaption(3, 0, u"<shift>"), u"<shift>");
  EXPECT_EQ(SpecialKeyIndex(u"<acute>"), 0);
  EXPECT_EQ(SpecialKeyIndex(u"<wideright>"), 27);
  EXPECT_EQ(SpecialKeyIndex(u"<delete>"), -1);
}

TEST(EditorDialog, ALeadingBlankBecomesItsKeyName) {
  EXPECT_EQ(ConvertLeadingBlank(u" x "), u"<space>x ");
  EXPECT_EQ(ConvertLeadingBlank(u"\t\tx"), u"<tab>\tx");  // only the first character
  EXPECT_EQ(ConvertLeadingBlank(u"x "), u"x ");
}

TEST(EditorDialog, ValidationNamesTheFirstThingMissing) {
  EXPECT_EQ(ValidateSlide(0, false, u""), (Refusal{u"No direction specified.", u"Cannot save"}));
  EXPECT_EQ(ValidateSlide(9, true, u"x")->text, u"No direction specified.");
  EXPECT_EQ(ValidateSlide(3, false, u"x")->text, u"No key specified.");
  EXPECT_EQ(ValidateSlide(3, true, u"")->text, u"Slide text to produce is empty.");
  // Texts that decode to nothing the file could keep ("&#32;", "&#0;x") type nothing.
  EXPECT_EQ(ValidateSlide(3, true, u" \t")->text, u"Slide text to produce is empty.");
  EXPECT_EQ(ValidateSlide(3, true, std::u16string(u"x\0y", 3))->text,
            u"Slide text to produce is empty.");
  EXPECT_FALSE(ValidateSlide(3, true, u"x"));
  EXPECT_FALSE(ValidateSlide(3, true, u"\r"));  // a line break types Enter

  auto letters = [](char16_t c) { return c >= u'a' && c <= u'z'; };
  EXPECT_EQ(ValidateExpansion(u"", letters, u"x")->text, u"Short form is empty.");
  EXPECT_EQ(ValidateExpansion(u"b-t!", letters, u"")->text,
            u"- is not a valid short form character.");
  EXPECT_EQ(ValidateExpansion(u"bt", letters, u"")->text, u"Expansion text to produce is empty.");
  EXPECT_EQ(ValidateExpansion(u"bt", letters, u"  ")->text, u"Expansion text to produce is empty.");
  EXPECT_FALSE(ValidateExpansion(u"bt", letters, u"by the way"));
}

TEST(EditorCommands, RefuseWithoutTheRightSelection) {
  EXPECT_EQ(CheckEdit(FileKind::kSlides, 0),
            (Refusal{u"No slide definition is selected", u"Cannot edit"}));
  EXPECT_EQ(CheckEdit(FileKind::kGlossary, 2),
            (Refusal{u"Multiple selection not allowed.", u"Cannot edit"}));
  EXPECT_FALSE(CheckEdit(FileKind::kGlossary, 1));
  EXPECT_EQ(CheckDelete(FileKind::kGlossary, 0),
            (Refusal{u"No glossary entry is selected", u"Cannot delete"}));
  EXPECT_FALSE(CheckDelete(FileKind::kSlides, 3));
  EXPECT_EQ(DeleteQuestion(FileKind::kSlides, 2),
            u"You have selected several slide definitions.\r\n"
            u"Are you sure you want to delete them all?");
}

TEST(EditorCommands, OnlyRowsOfOneCaptionChangeOrder) {
  const std::vector<std::u16string> rows = {u"e", u"f", u"f", u"g"};
  const FileKind slides = FileKind::kSlides;
  EXPECT_EQ(CheckMove(slides, 1, {0}, rows), (Refusal{u"e after f", u"Cannot move down"}));
  EXPECT_EQ(CheckMove(slides, -1, {1}, rows), (Refusal{u"f before e", u"Cannot move up"}));
  EXPECT_EQ(CheckMove(slides, -1, {0}, rows), (Refusal{u"Already at top.", u"Cannot move up"}));
  EXPECT_EQ(CheckMove(slides, 1, {3}, rows)->text, u"Already at bottom.");
  EXPECT_EQ(CheckMove(slides, 1, {}, rows)->text, u"No slide definition is selected");
  EXPECT_EQ(CheckMove(slides, 1, {1, 2}, rows)->text, u"Multiple selection not allowed.");
  EXPECT_FALSE(CheckMove(slides, 1, {1}, rows));
  EXPECT_FALSE(CheckMove(slides, -1, {2}, rows));
}

TEST(EditorRows, ANewRowGoesBeforeTheFirstThatSortsAfterItAndIsCentred) {
  const std::vector<int> keys = {1, 3, 3, 7};
  auto before = [&](int key) { return [&, key](int row) { return key < keys[static_cast<std::size_t>(row)]; }; };
  EXPECT_EQ(RowForNewSlide(4, before(0)), 0);
  EXPECT_EQ(RowForNewSlide(4, before(3)), 3);  // after the equal ones
  EXPECT_EQ(RowForNewSlide(4, before(9)), 4);
  EXPECT_EQ(CentringRows(10, 6, 40), (std::vector<int>{7, 13, 10}));
  EXPECT_EQ(CentringRows(1, 6, 3), (std::vector<int>{0, 2, 1}));
}

}  // namespace
}  // namespace quorel::editor
