// The base list: the words of a language, most common first, as shipped with the program.
// It is read once and only searched after; learned words live in the WordStore beside it.
//
// File: UTF-8 text, one word a line, the most common word first; a line's place is the
// word's rank. Lines starting with "#" are comments, and a line that holds no word (see
// IsLearnableWord), or a word that came earlier, is left out without moving the ranks of
// the words after it out of order. A line ">first next" lists `next` as a word that often
// follows `first` (both words of the list), the likelier of a word's next words first.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/completion/word_text.h"

namespace quorel {

class BaseWords {
 public:
  // More would be no list of a language's words but a dump of something else.
  static constexpr std::size_t kMaxWords = 1'000'000;

  // Replaces the list by the words of a base list file's bytes.
  void Parse(std::string_view bytes);
  // Replaces the list by the file's words; false, with the list left empty, when the file
  // cannot be read. Nothing is shown: suggestions from the list are a help, not a need.
  bool Read(std::u16string_view path);
  void Clear();

  int Count() const { return static_cast<int>(by_word_.size()); }
  // Ranks run from 0 up to RankLimit() - 1, with gaps where a line was left out.
  int RankLimit() const { return static_cast<int>(starts_.size()) - 1; }
  // The word of a rank; empty outside the list.
  std::u16string_view WordAt(int rank) const;
  // The rank of the word, folded, or -1.
  int RankOf(std::u16string_view word) const;
  // What the list holds in memory, in bytes.
  std::size_t MemoryBytes() const {
    return text_.capacity() * sizeof(char16_t) +
           (starts_.capacity() + by_word_.capacity() + 2 * next_.capacity()) * sizeof(std::uint32_t);
  }

  // Calls `visit(word)` for each listed next word of `word` (folded), the likelier first.
  template <typename Visit>
  void ForEachNextWord(std::u16string_view word, Visit&& visit) const {
    const int rank = RankOf(word);
    if (rank < 0) return;
    auto at = std::lower_bound(next_.begin(), next_.end(), NextWord{static_cast<std::uint32_t>(rank), 0},
                               [](const NextWord& a, const NextWord& b) { return a.first < b.first; });
    for (; at != next_.end() && at->first == static_cast<std::uint32_t>(rank); ++at) {
      visit(WordAt(static_cast<int>(at->next)));
    }
  }

  // Calls `visit(rank, word)` for every word that begins with `prefix` (folded), in folded
  // order. The prefix is found by bisection, so a short prefix costs its own words only.
  template <typename Visit>
  void ForEachBeginningWith(std::u16string_view prefix, Visit&& visit) const {
    for (std::size_t at = LowerBound(prefix); at < by_word_.size(); ++at) {
      const std::uint32_t rank = by_word_[at];
      const std::u16string_view word = WordAt(static_cast<int>(rank));
      if (!StartsWithFolded(word, prefix)) return;
      visit(static_cast<int>(rank), word);
    }
  }

 private:
  std::size_t LowerBound(std::u16string_view key) const;

  // Every word one after another, in rank order: one block instead of a string each keeps
  // a list of 60,000 words near a megabyte.
  std::u16string text_;
  std::vector<std::uint32_t> starts_{0};  // word `rank` is text_[starts_[rank], starts_[rank + 1])
  std::vector<std::uint32_t> by_word_;    // ranks in folded order, each word once
  struct NextWord {
    std::uint32_t first;  // ranks
    std::uint32_t next;
  };
  std::vector<NextWord> next_;  // by the first word's rank, in the file's order within it
};

}  // namespace quorel
