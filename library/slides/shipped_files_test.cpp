// The slide files shipped in data/: each one reads back whole, is written in the exact
// bytes the writer would produce, and says what its name promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "library/keys/key_table.h"
#include "library/slides/slide_set.h"

namespace quorel {
namespace {

const std::filesystem::path kSlideFolder =
    std::filesystem::path(QUOREL_SOURCE_DIR) / "data" / "Quorel slidefiles";

const char* const kShippedNames[] = {"CapsOnlySlides.txt", "MinimumSlides.txt",
                                     "CustomSlidesTemplate.txt"};

// The lowercase accented letters of the accent panels, each followed by its capital.
const char16_t kAccentedCapitals[] =
    u"\u00e1\u00c1\u00e0\u00c0\u00e2\u00c2\u00e4\u00c4\u00e7\u00c7\u00f0\u00d0\u00e9\u00c9"
    u"\u00e8\u00c8\u00ea\u00ca\u00eb\u00cb\u00ed\u00cd\u00ec\u00cc\u00ee\u00ce\u00ef\u00cf"
    u"\u00f1\u00d1\u00f3\u00d3\u00f2\u00d2\u00f4\u00d4\u00f6\u00d6\u00fa\u00da\u00f9\u00d9"
    u"\u00fb\u00db\u00fc\u00dc\u00fd\u00dd\u00ff\u0178\u00fe\u00de\u0161\u0160\u017e\u017d";

// The keys other than characters that carry slides on the keyboard.
const char16_t* const kSlideKeys[] = {
    u"<acute>", u"<add>",   u"<back>",    u"<caps>",  u"<circum>",  u"<close>",   u"<control>",
    u"<enter>", u"<esc>",   u"<expand>",  u"<quorel>", u"<grave>",  u"<hide>",    u"<info>",
    u"<left>",  u"<mini>",  u"<right>",   u"<shift>", u"<123>",     u"<abc>",     u"<accents>",
    u"<arrows>", u"<space>", u"<sysmenu>", u"<tab>",  u"<umlaut>", u"<wideleft>", u"<wideright>"};

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot open " << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> SplitCrLf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  EXPECT_EQ(start, bytes.size()) << "the file does not end with CR LF";
  return lines;
}

bool IsSectionHeader(const std::string& line) {
  for (int code = 1; code <= kDirectionCount; ++code) {
    std::u16string header = FindDirection(code)->section_header;
    if (line == std::string(header.begin(), header.end())) return true;
  }
  return false;
}

struct Loaded {
  std::string bytes;
  SlideSet set;
};

void Load(const char* name, Loaded* loaded) {
  loaded->bytes = ReadBytes(kSlideFolder / name);
  ParseSlideFile(loaded->bytes, loaded->set);
}

// Every definition of the set as (direction, key) -> texts, in list order.
using Key = std::pair<int, std::pair<std::uint16_t, std::uint16_t>>;
std::map<Key, std::vector<const SlideDefinition*>> ByKey(const SlideSet& set) {
  std::map<Key, std::vector<const SlideDefinition*>> keys;
  for (int index = set.head(); index != -1; index = set.Get(index)->next) {
    const SlideDefinition* slide = set.Get(index);
    keys[{slide->direction, {slide->kind, slide->parameter}}].push_back(slide);
  }
  return keys;
}

// The north slides of a letter key, by its exact key.
std::vector<std::u16string> NorthTexts(SlideSet& set, char16_t letter) {
  std::vector<std::u16string> texts;
  set.SetExactQuery(1, kCharacterKind, letter);
  for (int index; set.Query(&index);) texts.push_back(set.Get(index)->text);
  return texts;
}

// Every slide file of the folder: the three that the keyboard loads by name, and any other.
std::vector<std::string> AllSlideFiles() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kSlideFolder)) {
    if (entry.path().extension() == ".txt") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ShippedSlideFiles, TheThreeFilesTheKeyboardLoadsByNameShip) {
  std::vector<std::string> names = AllSlideFiles();
  for (const char* name : kShippedNames) {
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
  }
}

TEST(ShippedSlideFiles, EveryLineReadsBackAndTheBytesAreTheWritersOwn) {
  for (const std::string& name : AllSlideFiles()) {
    SCOPED_TRACE(name);
    Loaded file;
    Load(name.c_str(), &file);
    ASSERT_FALSE(file.bytes.empty());
    EXPECT_EQ(file.bytes.find('\x1a'), std::string::npos);

    std::size_t definition_lines = 0;
    std::size_t headers = 0;
    for (const std::string& line : SplitCrLf(file.bytes)) {
      EXPECT_EQ(line.find('\n'), std::string::npos);
      if (line.empty()) continue;
      if (IsSectionHeader(line)) {
        ++headers;
        continue;
      }
      ++definition_lines;
      EXPECT_NE(line.find("\t\t"), std::string::npos) << line;
    }
    EXPECT_GT(headers, 0u);
    EXPECT_EQ(file.set.live_count(), definition_lines) << "a definition line was not read";
    EXPECT_EQ(FormatSlideFile(file.set), file.bytes) << "the file is not in the writer's form";
  }
}

TEST(ShippedSlideFiles, EveryKeyCarriesSlidesOnTheKeyboardAndNamesOnlyKnownKeys) {
  std::set<std::u16string> slide_keys(std::begin(kSlideKeys), std::end(kSlideKeys));
  for (const std::string& name : AllSlideFiles()) {
    SCOPED_TRACE(name);
    Loaded file;
    Load(name.c_str(), &file);
    for (const auto& [key, slides] : ByKey(file.set)) {
      if (key.second.first != kCharacterKind) {
        EXPECT_TRUE(slide_keys.count(GetSpecialKeyName(key.second.first, key.second.second)));
      }
      // A short list keeps the preview usable: each further entry costs a slide step.
      EXPECT_LE(slides.size(), 3u);
      for (const SlideDefinition* slide : slides) {
        // Every "<...>" in a text is a special-key name, so nothing is typed by mistake.
        const std::u16string& text = slide->text;
        for (std::size_t open = text.find(u'<'); open != std::u16string::npos;
             open = text.find(u'<', open + 1)) {
          std::size_t close = text.find(u'>', open);
          ASSERT_NE(close, std::u16string::npos);
          std::u16string name_in_text = text.substr(open, close - open + 1);
          std::uint16_t kind;
          std::uint16_t parameter;
          EXPECT_TRUE(GetSpecialKey(name_in_text.c_str(), &kind, &parameter))
              << std::string(name_in_text.begin(), name_in_text.end());
        }
        EXPECT_FALSE(text.empty());
      }
    }
  }
}

TEST(ShippedSlideFiles, CapsOnlyGivesEachLetterItsCapitalAndNothingElse) {
  Loaded file;
  Load("CapsOnlySlides.txt", &file);
  for (char16_t letter = u'a'; letter <= u'z'; ++letter) {
    EXPECT_EQ(NorthTexts(file.set, letter),
              std::vector<std::u16string>{std::u16string(1, letter - u'a' + u'A')})
        << static_cast<char>(letter);
  }
  const std::u16string pairs = kAccentedCapitals;
  for (std::size_t i = 0; i < pairs.size(); i += 2) {
    EXPECT_EQ(NorthTexts(file.set, pairs[i]), std::vector<std::u16string>{pairs.substr(i + 1, 1)})
        << "U+" << std::hex << static_cast<int>(pairs[i]);
  }
  EXPECT_EQ(file.set.live_count(), 26u + pairs.size() / 2);
  for (int index = file.set.head(); index != -1; index = file.set.Get(index)->next) {
    const SlideDefinition& slide = *file.set.Get(index);
    EXPECT_EQ(slide.direction, 1);
    EXPECT_EQ(slide.kind, kCharacterKind);
    EXPECT_EQ(slide.preview, nullptr);
  }
  // Sharp s and the micro sign have no capital of their own.
  EXPECT_TRUE(NorthTexts(file.set, u'\u00df').empty());
  EXPECT_TRUE(NorthTexts(file.set, u'\u00b5').empty());
}

TEST(ShippedSlideFiles, TheOtherFilesKeepTheCapitalsNorth) {
  for (const char* name : {"MinimumSlides.txt", "CustomSlidesTemplate.txt"}) {
    SCOPED_TRACE(name);
    Loaded file;
    Load(name, &file);
    for (char16_t letter = u'a'; letter <= u'z'; ++letter) {
      EXPECT_EQ(NorthTexts(file.set, letter),
                std::vector<std::u16string>{std::u16string(1, letter - u'a' + u'A')})
          << static_cast<char>(letter);
    }
  }
}

TEST(ShippedSlideFiles, TheTemplateHoldsDigitsAccentsPunctuationAndEditingKeys) {
  Loaded file;
  Load("CustomSlidesTemplate.txt", &file);
  auto texts = [&](int direction, std::uint16_t kind, std::uint16_t parameter) {
    std::vector<std::u16string> found;
    file.set.SetExactQuery(direction, kind, parameter);
    for (int index; file.set.Query(&index);) found.push_back(file.set.Get(index)->text);
    return found;
  };
  auto character = [&](int direction, char16_t key) { return texts(direction, 8, key); };
  auto special = [&](int direction, const char16_t* name) {
    std::uint16_t kind = 0;
    std::uint16_t parameter = 0;
    EXPECT_TRUE(GetSpecialKey(name, &kind, &parameter));
    return texts(direction, kind, parameter);
  };
  using Texts = std::vector<std::u16string>;

  // Digits south of a..j: a is 1, i is 9, j is 0.
  const std::u16string digits = u"1234567890";
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(character(5, static_cast<char16_t>(u'a' + i)), Texts{digits.substr(i, 1)});
  }
  // Accents: east acute, west grave, north-east circumflex, north-west diaeresis.
  EXPECT_EQ(character(3, u'e'), Texts{u"\u00e9"});
  EXPECT_EQ(character(7, u'e'), Texts{u"\u00e8"});
  EXPECT_EQ(character(2, u'e'), Texts{u"\u00ea"});
  EXPECT_EQ(character(8, u'e'), Texts{u"\u00eb"});
  EXPECT_EQ(character(2, u'z'), Texts{u"\u017e"});
  // Punctuation south-east, named by the letter; the longer slide gives the second mark.
  EXPECT_EQ(character(4, u'p'), (Texts{u".", u"+", u"%"}));
  EXPECT_EQ(character(4, u'c'), (Texts{u",", u":"}));
  EXPECT_EQ(character(4, u'q'), (Texts{u"?", u"\""}));
  EXPECT_EQ(character(4, u'e'), (Texts{u"=", u"\u20ac"}));
  // Ctrl shortcuts south-west.
  EXPECT_EQ(character(6, u'c'), Texts{u"<control>c"});
  EXPECT_EQ(character(6, u'v'), Texts{u"<control>v"});
  EXPECT_EQ(character(6, u'z'), Texts{u"<control>z"});
  // The space keys are a cursor pad.
  EXPECT_EQ(special(1, u"<space>"), Texts{u"<up>"});
  EXPECT_EQ(special(7, u"<space>"), Texts{u"<left>"});
  EXPECT_EQ(special(8, u"<space>"), Texts{u"<home>"});
  EXPECT_EQ(special(2, u"<space>"), Texts{u"<pageup>"});
  EXPECT_EQ(special(7, u"<back>"), Texts{u"<control><back>"});
  EXPECT_EQ(special(5, u"<enter>"), Texts{u"<enter><enter>"});
  // A line break inside a text comes back as CR.
  Texts signature = special(4, u"<enter>");
  ASSERT_EQ(signature.size(), 1u);
  EXPECT_NE(signature[0].find(u'\r'), std::u16string::npos);

  // A macro that would look cryptic in the list carries a preview.
  for (int index = file.set.head(); index != -1; index = file.set.Get(index)->next) {
    const SlideDefinition& slide = *file.set.Get(index);
    if (slide.text.size() > 1 && slide.text[0] == u'<') {
      EXPECT_NE(slide.preview, nullptr) << std::string(slide.text.begin(), slide.text.end());
    }
  }
}

}  // namespace
}  // namespace quorel
