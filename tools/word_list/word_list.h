// The base list of word completion, made from SCOWL's English lists (Debian: scowl), which
// sort a language's words into size levels: 10 holds the commonest, every larger level the
// next less common. The base list puts them in that order, one word a line; within a level
// the words counted more often in a body of text come first.
#pragma once

#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace quorel::words {

// The largest level taken: up to 50 SCOWL sees the words "most dictionaries" hold, some
// 70,000 of them here; beyond it come words a pen user would rarely type.
constexpr int kMaxLevel = 50;

struct Source {
  std::filesystem::path path;
  int level = 0;
  // Within a level: plain words first, then names, then the names of things and firms.
  int kind_order = 0;
};

// The lists of `folder` that the base list is made from, English spellings with the
// American ones ("color" beside "colour" is a matter of the user's own typing, learned).
std::vector<Source> FindSources(const std::filesystem::path& folder, int max_level = kMaxLevel);

// How often each word (in small letters) was counted in a body of text.
using WordCounts = std::unordered_map<std::u16string, long long>;

// "word<TAB>count" lines (UTF-8), as tools/word_list/text_counts.py writes them from the
// unigram counts of Debian's libpresage-data; words are folded to small letters and counted
// together. False when the file cannot be read.
bool ReadWordCounts(const std::filesystem::path& path, WordCounts* counts, std::string* error);

// The words of the lists, the most common first: by level, then kind, then the more often
// counted (SCOWL's levels say nothing of frequency within them), then the shorter, then
// alphabetically. Only words in small letters or with one capital first are kept; a word is
// kept once, at its best place. False when a list cannot be read.
bool MakeWordList(const std::vector<Source>& sources, const WordCounts& counts,
                  std::vector<std::u16string>* words, std::string* error);

// The most words a language's list made from one file keeps: its inflected forms run to
// 400,000 lines, and the rarest of them cost a list this size its memory and load time.
constexpr std::size_t kMaxListWords = 200'000;

// A language's words from one word list a line (Debian's wordlists, /usr/share/dict/french
// and its like, which come in no order of use): the counted first, the more often counted
// first; of the rest plain words before names (where capitals are not how the language
// writes its nouns), the shorter first (short words are the
// common ones), then alphabetically; at most `most` of them. False when it cannot be read.
bool MakeListFromFile(const std::filesystem::path& source, const WordCounts& counts,
                      std::size_t most, std::vector<std::u16string>* words, std::string* error);

// The head of the English list: SCOWL's sizes, and whether counts ordered them.
std::string EnglishHead(bool counted);
// The head of a list made from one file: its language, source, licence file and what
// counted its words (empty when nothing did).
std::string ListHead(std::string_view language, std::string_view source,
                     std::string_view copyright_file, std::string_view counted_by);
// How often one word followed another in a body of text.
struct PairCount {
  std::u16string first;
  std::u16string next;
  long long count = 0;
};
// "first<TAB>next<TAB>count" lines (UTF-8), as text_counts.py writes them; the words are
// folded. False when the file cannot be read.
bool ReadPairCounts(const std::filesystem::path& path, std::vector<PairCount>* pairs,
                    std::string* error);
// For each word of the list, the `most` words of the list that followed it most often, as
// they are spelled in the list: the next words offered before the user taught any.
using NextWord = std::pair<std::u16string, std::u16string>;
std::vector<NextWord> ListedNextWords(const std::vector<std::u16string>& words,
                                      std::vector<PairCount> pairs, std::size_t most);

// The file: the head's comment lines, then a word a line (UTF-8, LF), then a line
// ">first next" for each next word, the likelier first.
std::string FormatWordList(const std::vector<std::u16string>& words, std::string_view head,
                           const std::vector<NextWord>& next_words = {});

}  // namespace quorel::words
