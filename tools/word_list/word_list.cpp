#include "tools/word_list/word_list.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "library/completion/word_text.h"
#include "library/strings/utf8.h"

namespace quorel::words {

namespace {

struct Kind {
  std::string_view name;
  int order;
};
constexpr std::array<Kind, 4> kKinds = {{
    {"words", 0},
    {"contractions", 0},
    {"upper", 1},
    {"proper-names", 2},
}};
constexpr std::array<std::string_view, 2> kSpellings = {"english", "american"};

// SCOWL lists every possessive ("ability's") as a word of its own: tens of thousands of
// lines that completing a word hardly needs. These are the "'s" of a verb, kept.
constexpr std::array<std::u16string_view, 13> kContractionsOfIs = {
    u"it's",    u"he's",   u"she's",  u"that's", u"what's", u"let's", u"there's",
    u"here's",  u"who's",  u"where's", u"how's", u"when's", u"why's",
};

bool IsPossessive(std::u16string_view word) {
  return word.ends_with(u"'s") &&
         std::find(kContractionsOfIs.begin(), kContractionsOfIs.end(), word) ==
             kContractionsOfIs.end();
}

bool IsPlainWord(std::u16string_view word) {
  if (!IsLearnableWord(word) || IsPossessive(word)) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word[i] >= u'0' && word[i] <= u'9') return false;
    if (i > 0 && IsCapitalLetter(word[i])) return false;  // "USA", "McDonald"
  }
  return true;
}

struct Candidate {
  std::u16string word;
  std::u16string folded;
  int level;
  int kind_order;
  long long count = 0;
};

bool ReadList(const Source& source, std::vector<Candidate>* candidates, std::string* error) {
  std::ifstream in(source.path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + source.path.string();
    return false;
  }
  std::string line;
  std::u16string word;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!DecodeUtf8(line, &word) || !IsPlainWord(word)) continue;
    std::u16string folded(word);
    for (char16_t& c : folded) c = FoldWordChar(c);
    candidates->push_back({word, std::move(folded), source.level, source.kind_order});
  }
  return true;
}

}  // namespace

std::vector<Source> FindSources(const std::filesystem::path& folder, int max_level) {
  std::vector<Source> sources;
  std::error_code failed;
  for (const auto& entry : std::filesystem::directory_iterator(folder, failed)) {
    const std::string name = entry.path().filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) continue;
    const std::string_view stem = std::string_view(name).substr(0, dot);
    const std::string_view digits = std::string_view(name).substr(dot + 1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
      continue;
    }
    const int level = std::stoi(std::string(digits));
    if (level > max_level) continue;
    for (std::string_view spelling : kSpellings) {
      for (const Kind& kind : kKinds) {
        if (stem == std::string(spelling) + "-" + std::string(kind.name)) {
          sources.push_back({entry.path(), level, kind.order});
        }
      }
    }
  }
  // A listing comes in no order; the list made from it must come the same every time.
  std::sort(sources.begin(), sources.end(),
            [](const Source& a, const Source& b) { return a.path < b.path; });
  return sources;
}

bool ReadWordCounts(const std::filesystem::path& path, WordCounts* counts, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + path.string();
    return false;
  }
  std::string line;
  std::u16string word;
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos || !DecodeUtf8(line.substr(0, tab), &word)) continue;
    char* end = nullptr;
    const long long count = std::strtoll(line.c_str() + tab + 1, &end, 10);
    if (count <= 0) continue;
    for (char16_t& c : word) c = FoldWordChar(c);
    (*counts)[word] += count;
  }
  return true;
}

namespace {

// Counted words first and the more often counted first, then the shorter, then
// alphabetically; "polish" before "Polish".
bool BeforeWithinLevel(const Candidate& a, const Candidate& b) {
  if (a.count != b.count) return a.count > b.count;
  if (a.word.size() != b.word.size()) return a.word.size() < b.word.size();
  if (a.folded != b.folded) return a.folded < b.folded;
  return a.word > b.word;
}

void AddCounts(const WordCounts& counts, std::vector<Candidate>* candidates) {
  for (Candidate& candidate : *candidates) {
    const auto found = counts.find(candidate.folded);
    if (found != counts.end()) candidate.count = found->second;
  }
}

// Each word once, at its first place.
void TakeOnce(std::vector<Candidate>* candidates, std::size_t most,
              std::vector<std::u16string>* words) {
  std::unordered_set<std::u16string> seen;
  words->clear();
  for (Candidate& candidate : *candidates) {
    if (words->size() == most) break;
    if (seen.insert(candidate.folded).second) words->push_back(std::move(candidate.word));
  }
}

}  // namespace

bool MakeWordList(const std::vector<Source>& sources, const WordCounts& counts,
                  std::vector<std::u16string>* words, std::string* error) {
  std::vector<Candidate> candidates;
  for (const Source& source : sources) {
    if (!ReadList(source, &candidates, error)) return false;
  }
  AddCounts(counts, &candidates);
  std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
    if (a.level != b.level) return a.level < b.level;
    if (a.kind_order != b.kind_order) return a.kind_order < b.kind_order;
    return BeforeWithinLevel(a, b);
  });
  TakeOnce(&candidates, candidates.size(), words);
  return true;
}

bool MakeListFromFile(const std::filesystem::path& source, const WordCounts& counts,
                      std::size_t most, std::vector<std::u16string>* words, std::string* error) {
  std::vector<Candidate> candidates;
  if (!ReadList({source, 0, 0}, &candidates, error)) return false;
  // Names go after the plain words, except in a list where a quarter of the words begin
  // with a capital: a language that writes its nouns so (German).
  const auto capitals = std::count_if(candidates.begin(), candidates.end(), [](const Candidate& c) {
    return IsCapitalLetter(c.word.front());
  });
  const bool nouns_capitalised = static_cast<std::size_t>(capitals) * 4 > candidates.size();
  for (Candidate& candidate : candidates) {
    candidate.kind_order = !nouns_capitalised && IsCapitalLetter(candidate.word.front()) ? 1 : 0;
  }
  AddCounts(counts, &candidates);
  // A counted name comes before an uncounted plain word: German writes every noun so.
  std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
    if ((a.count > 0) != (b.count > 0)) return a.count > 0;
    if (a.kind_order != b.kind_order) return a.kind_order < b.kind_order;
    return BeforeWithinLevel(a, b);
  });
  TakeOnce(&candidates, most, words);
  return true;
}

std::string EnglishHead(bool counted) {
  std::string head =
      "# Quorel words: English, the most common first, one word a line.\n"
      "# Made from SCOWL (Spell Checker Oriented Word Lists) by Kevin Atkinson and others,\n"
      "# size " + std::to_string(kMaxLevel) + " and below";
  if (counted) head += ",\n# ordered within each size by the word counts of libpresage-data";
  head += "; see english-copyright.txt beside this file.\n";
  return head;
}

std::string ListHead(std::string_view language, std::string_view source,
                     std::string_view copyright_file, std::string_view counted_by) {
  std::string head = "# Quorel words: " + std::string(language) +
                     ", the most common first, one word a line.\n# Made from " +
                     std::string(source) + ",\n# ordered ";
  if (!counted_by.empty()) {
    head += "by the word counts of " + std::string(counted_by) + ", the uncounted words ";
  }
  head += "by length";
  head += "; see " + std::string(copyright_file) + " beside this file.\n";
  return head;
}

bool ReadPairCounts(const std::filesystem::path& path, std::vector<PairCount>* pairs,
                    std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + path.string();
    return false;
  }
  std::string line;
  PairCount pair;
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    const std::size_t second = tab == std::string::npos ? tab : line.find('\t', tab + 1);
    if (second == std::string::npos || !DecodeUtf8(line.substr(0, tab), &pair.first) ||
        !DecodeUtf8(line.substr(tab + 1, second - tab - 1), &pair.next)) {
      continue;
    }
    pair.count = std::strtoll(line.c_str() + second + 1, nullptr, 10);
    if (pair.count <= 0) continue;
    for (char16_t& c : pair.first) c = FoldWordChar(c);
    for (char16_t& c : pair.next) c = FoldWordChar(c);
    pairs->push_back(pair);
  }
  return true;
}

std::vector<NextWord> ListedNextWords(const std::vector<std::u16string>& words,
                                      std::vector<PairCount> pairs, std::size_t most) {
  std::unordered_map<std::u16string, std::size_t> rank;  // folded word to its place
  for (std::size_t i = 0; i < words.size(); ++i) {
    std::u16string folded(words[i]);
    for (char16_t& c : folded) c = FoldWordChar(c);
    rank.emplace(std::move(folded), i);
  }
  // Merged spellings ("The", "the") count together.
  std::sort(pairs.begin(), pairs.end(), [](const PairCount& a, const PairCount& b) {
    return std::tie(a.first, a.next) < std::tie(b.first, b.next);
  });
  std::vector<PairCount> merged;
  for (PairCount& pair : pairs) {
    if (!rank.count(pair.first) || !rank.count(pair.next)) continue;
    if (!merged.empty() && merged.back().first == pair.first && merged.back().next == pair.next) {
      merged.back().count += pair.count;
    } else {
      merged.push_back(std::move(pair));
    }
  }
  // By the first word's place in the list, then the commoner next words first.
  std::sort(merged.begin(), merged.end(), [&rank](const PairCount& a, const PairCount& b) {
    if (a.first != b.first) return rank.at(a.first) < rank.at(b.first);
    if (a.count != b.count) return a.count > b.count;
    return rank.at(a.next) < rank.at(b.next);
  });
  std::vector<NextWord> next_words;
  std::size_t taken = 0;
  for (std::size_t i = 0; i < merged.size(); ++i) {
    taken = i > 0 && merged[i].first == merged[i - 1].first ? taken + 1 : 1;
    if (taken <= most) {
      next_words.emplace_back(words[rank.at(merged[i].first)], words[rank.at(merged[i].next)]);
    }
  }
  return next_words;
}

std::string FormatWordList(const std::vector<std::u16string>& words, std::string_view head,
                           const std::vector<NextWord>& next_words) {
  std::string bytes(head);
  for (const std::u16string& word : words) {
    AppendUtf8(word, &bytes);
    bytes.push_back('\n');
  }
  for (const auto& [first, next] : next_words) {
    bytes.push_back('>');
    AppendUtf8(first, &bytes);
    bytes.push_back(' ');
    AppendUtf8(next, &bytes);
    bytes.push_back('\n');
  }
  return bytes;
}

}  // namespace quorel::words
