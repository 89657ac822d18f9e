// The glossaries shipped in data/: each one reads back whole, is written in the exact
// bytes the writer would produce, and the default one is a real glossary.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "library/glossary/glossary.h"

namespace quorel {
namespace {

const std::filesystem::path kGlossaryFolder =
    std::filesystem::path(QUOREL_SOURCE_DIR) / "data" / "Quorel glossaries";

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot open " << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file of the folder: the keyboard copies them all to a new user's glossary folder.
std::vector<std::filesystem::path> AllGlossaries() {
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::directory_iterator(kGlossaryFolder)) {
    if (entry.is_regular_file()) paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::u16string Find(const Glossary& glossary, std::u16string_view short_form) {
  int index = glossary.LowerBound(short_form);
  GlossaryEntry* entry = glossary.At(index);
  if (entry == nullptr || entry->short_form != short_form) return u"(missing)";
  return entry->long_form;
}

TEST(ShippedGlossaries, TheDefaultGlossaryShips) {
  EXPECT_TRUE(std::filesystem::is_regular_file(kGlossaryFolder / "business.glo"));
  for (const auto& path : AllGlossaries()) EXPECT_EQ(path.extension(), ".glo") << path;
}

TEST(ShippedGlossaries, EveryLineReadsBackAndTheBytesAreTheWritersOwn) {
  for (const auto& path : AllGlossaries()) {
    SCOPED_TRACE(path.filename().string());
    const std::string bytes = ReadBytes(path);
    Glossary glossary;
    ParseGlossaryFile(bytes, glossary);

    int entry_lines = 0;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
      const std::string line = bytes.substr(start, end - start);
      EXPECT_EQ(line.find('\n'), std::string::npos);
      if (line.empty() || line == "[Words]" || line == "[Phrases]") continue;
      ++entry_lines;
    }
    EXPECT_EQ(start, bytes.size()) << "the file does not end with CR LF";
    EXPECT_EQ(glossary.Count(), entry_lines) << "an entry line was not read";
    EXPECT_EQ(FormatGlossaryFile(glossary), bytes) << "the file is not in the writer's form";

    for (int i = 0; i < glossary.Count(); ++i) {
      const GlossaryEntry& entry = *glossary.At(i);
      EXPECT_FALSE(entry.long_form.empty());
      if (i > 0) {
        EXPECT_NE(glossary.At(i - 1)->short_form, entry.short_form)
            << "duplicate short form "
            << std::string(entry.short_form.begin(), entry.short_form.end());
      }
    }
  }
}

TEST(ShippedGlossaries, BusinessHoldsTheEverydayAbbreviations) {
  Glossary glossary;
  ParseGlossaryFile(ReadBytes(kGlossaryFolder / "business.glo"), glossary);
  EXPECT_GE(glossary.Count(), 150);

  EXPECT_EQ(Find(glossary, u"asap"), u"as soon as possible");
  EXPECT_EQ(Find(glossary, u"fyi"), u"for your information");
  EXPECT_EQ(Find(glossary, u"btw"), u"by the way");
  EXPECT_EQ(Find(glossary, u"eod"), u"end of day");
  EXPECT_EQ(Find(glossary, u"mtg"), u"meeting");
  EXPECT_EQ(Find(glossary, u"mgmt"), u"management");
  EXPECT_EQ(Find(glossary, u"dept"), u"department");
  EXPECT_EQ(Find(glossary, u"approx"), u"approximately");
  EXPECT_EQ(Find(glossary, u"kr"), u"Kind regards,");
  for (const char16_t* short_form : {u"eta", u"pls", u"thx", u"ty", u"yr", u"wk", u"info"}) {
    EXPECT_NE(Find(glossary, short_form), u"(missing)")
        << std::string(short_form, short_form + std::char_traits<char16_t>::length(short_form));
  }
  // Characters beyond one byte come through their escapes, line breaks through the pilcrow.
  EXPECT_EQ(Find(glossary, u"eur"), u"\u20ac");
  EXPECT_EQ(Find(glossary, u"resume"), u"r\u00e9sum\u00e9");
  glossary.SetQueryCriteria(u"sig");
  GlossaryEntry* signature = nullptr;
  ASSERT_TRUE(glossary.Query(&signature));
  ASSERT_NE(signature->preview, nullptr);
  EXPECT_NE(signature->long_form.find(u'\r'), std::u16string::npos);
}

}  // namespace
}  // namespace quorel
