// The manual shows the programs as they are: every key it names is a legend the keyboard
// shows, every option and page a caption of the options program, every picture one that the
// end-to-end run takes from the programs themselves (tests/manual/pictures.txt lists them;
// tests/e2e/test_manual_pictures.py takes each and compares it with the one shipped).
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "library/strings/utf8.h"
#include "options/options_model.h"
#include "tools/panel_art/legends.h"

namespace quorel {
namespace {

std::string Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void AppendUtf8(char32_t c, std::string* out) {
  std::u16string unit;
  if (c >= 0x10000) {
    unit = {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
            static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
  } else {
    unit = {static_cast<char16_t>(c)};
  }
  quorel::AppendUtf8(unit, out);
}

std::string Utf8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) AppendUtf8(c, &out);
  return out;
}

std::string Utf8(std::u16string_view text) {
  std::string out;
  quorel::AppendUtf8(text, &out);
  return out;
}

// The manual's text with its character references written out as characters.
std::string Decoded(const std::string& html) {
  static const std::pair<const char*, char32_t> kNames[] = {
      {"amp", U'&'},      {"lt", U'<'},       {"gt", U'>'},       {"quot", U'"'},
      {"larr", 0x2190},   {"rarr", 0x2192},   {"uarr", 0x2191},   {"darr", 0x2193},
      {"times", 0x00D7},  {"raquo", 0x00BB},  {"laquo", 0x00AB},  {"acute", 0x00B4},
      {"uml", 0x00A8},    {"circ", 0x02C6},   {"nbsp", 0x00A0},   {"equiv", 0x2261},
      {"agrave", 0x00E0}, {"eacute", 0x00E9}, {"rsquo", 0x2019},  {"lsquo", 0x2018},
  };
  std::string out;
  for (std::size_t i = 0; i < html.size(); ++i) {
    const std::size_t end = html.find(';', i);
    if (html[i] != '&' || end == std::string::npos || end - i > 10) {
      out.push_back(html[i]);
      continue;
    }
    const std::string name = html.substr(i + 1, end - i - 1);
    char32_t c = 0;
    if (name.size() > 1 && name[0] == '#') {
      c = static_cast<char32_t>(name[1] == 'x' ? std::stoul(name.substr(2), nullptr, 16)
                                               : std::stoul(name.substr(1)));
    } else {
      for (const auto& [known, value] : kNames) {
        if (name == known) c = value;
      }
    }
    if (c == 0) {
      out.push_back(html[i]);
      continue;
    }
    AppendUtf8(c, &out);
    i = end;
  }
  return out;
}

// The texts between every `open` and the `close` after it.
std::vector<std::string> Between(const std::string& text, const std::string& open,
                                 const std::string& close) {
  std::vector<std::string> found;
  for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
    at += open.size();
    const std::size_t end = text.find(close, at);
    if (end == std::string::npos) break;
    found.push_back(text.substr(at, end - at));
  }
  return found;
}

std::size_t CharacterCount(const std::string& utf8) {
  std::size_t count = 0;
  for (unsigned char byte : utf8) count += (byte & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

// Every legend a key of the keyboard shows, line by line and lines together.
std::set<std::string> KeyLegends() {
  std::set<std::string> legends;
  for (int kind = 0; kind < 100; ++kind) {
    for (bool caption : {false, true}) {
      const art::KeyLook look = art::KindLook(static_cast<std::uint16_t>(kind), caption);
      for (const art::Legend& legend : look.candidates) {
        std::u32string joined;
        for (const art::LegendLine& line : legend) {
          legends.insert(Utf8(line.text));
          joined += (joined.empty() ? U"" : U" ") + line.text;
        }
        legends.insert(Utf8(joined));
      }
    }
  }
  return legends;
}

class Manual : public ::testing::Test {
 protected:
  static std::string Path(const std::string& name) {
    return std::string(QUOREL_SOURCE_DIR) + "/data/manual/" + name;
  }
  std::string html_ = Decoded(Read(Path("quorelmanual.htm")));
};

TEST_F(Manual, NamesOnlyKeysTheKeyboardShows) {
  ASSERT_FALSE(html_.empty());
  const std::set<std::string> legends = KeyLegends();
  const std::vector<std::string> keys = Between(html_, "<kbd>", "</kbd>");
  EXPECT_GT(keys.size(), 20u);
  for (const std::string& key : keys) {
    // A key that types a character shows that character.
    if (CharacterCount(key) == 1) continue;
    EXPECT_EQ(legends.count(key), 1u) << "the manual names a key the keyboard does not show: " << key;
  }
}

TEST_F(Manual, NamesOnlyOptionsAndPagesTheOptionsProgramShows) {
  std::set<std::string> captions = {"Custom slides file", "Glossary file"};  // its file rows
  std::set<std::string> pages;
  for (const options_program::Page& page : options_program::Pages()) {
    pages.insert(Utf8(page.title));
    for (const options_program::Setting& setting : page.settings) captions.insert(Utf8(setting.caption));
  }
  const std::vector<std::string> named = Between(html_, "<span class=\"option\">", "</span>");
  EXPECT_GT(named.size(), 10u);
  for (const std::string& option : named) {
    EXPECT_EQ(captions.count(option), 1u) << "the options program has no option " << option;
  }
  for (const std::string& page : Between(html_, "<span class=\"page\">", "</span>")) {
    EXPECT_EQ(pages.count(page), 1u) << "the options program has no page " << page;
  }
}

TEST_F(Manual, ShowsOnlyPicturesTakenFromThePrograms) {
  std::set<std::string> taken;
  std::istringstream list(Read(std::string(QUOREL_SOURCE_DIR) + "/tests/manual/pictures.txt"));
  for (std::string line; std::getline(list, line);) {
    if (!line.empty() && line[0] != '#') taken.insert(line.substr(0, line.find_first_of(" \t\r")));
  }
  const std::vector<std::string> shown = Between(html_, "<img src=\"images/", "\"");
  EXPECT_FALSE(shown.empty());
  for (const std::string& picture : shown) {
    EXPECT_EQ(taken.count(picture), 1u) << picture << " is not taken from the programs";
    EXPECT_FALSE(Read(Path("images/" + picture)).empty()) << picture << " is missing";
  }
}

}  // namespace
}  // namespace quorel
