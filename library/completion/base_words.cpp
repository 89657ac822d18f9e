#include "library/completion/base_words.h"

#include <algorithm>

#include "library/completion/word_file.h"
#include "library/completion/word_text.h"
#include "platform/files.h"

namespace quorel {

void BaseWords::Clear() {
  text_.clear();
  text_.shrink_to_fit();
  starts_.assign(1, 0);
  by_word_.clear();
  by_word_.shrink_to_fit();
  next_.clear();
  next_.shrink_to_fit();
}

void BaseWords::Parse(std::string_view bytes) {
  Clear();
  // A word a line of about nine bytes; reserving for it saves most of the regrowth.
  text_.reserve(bytes.size());
  starts_.reserve(bytes.size() / 8 + 2);
  std::vector<std::pair<std::u16string, std::u16string>> next_words;
  ForEachWordFileLine(bytes, [&](std::u16string_view line) {
    if (line.empty() || line.front() == u'#' || starts_.size() > kMaxWords) return;
    if (line.front() == u'>') {
      std::u16string_view fields[2];
      if (SplitFields(line.substr(1), fields, 2) == 2 && next_words.size() < kMaxWords) {
        next_words.emplace_back(fields[0], fields[1]);
      }
      return;
    }
    // Blanks around a word are an editor's doing, not the word's.
    std::u16string_view fields[1];
    if (SplitFields(line, fields, 1) != 1 || !IsLearnableWord(fields[0])) return;
    text_.append(fields[0]);
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
  });
  text_.shrink_to_fit();
  starts_.shrink_to_fit();

  by_word_.resize(starts_.size() - 1);
  for (std::size_t rank = 0; rank < by_word_.size(); ++rank) {
    by_word_[rank] = static_cast<std::uint32_t>(rank);
  }
  // Equal words lie together with the best rank first, so the later lines of a word drop.
  std::sort(by_word_.begin(), by_word_.end(), [this](std::uint32_t a, std::uint32_t b) {
    const int order = CompareFolded(WordAt(static_cast<int>(a)), WordAt(static_cast<int>(b)));
    return order != 0 ? order < 0 : a < b;
  });
  by_word_.erase(std::unique(by_word_.begin(), by_word_.end(),
                             [this](std::uint32_t a, std::uint32_t b) {
                               return EqualFolded(WordAt(static_cast<int>(a)),
                                                  WordAt(static_cast<int>(b)));
                             }),
                 by_word_.end());
  by_word_.shrink_to_fit();

  // Next words of words the list holds; a repeated line is passed over where they are
  // offered.
  for (const auto& [first, next] : next_words) {
    const int first_rank = RankOf(first);
    const int next_rank = RankOf(next);
    if (first_rank < 0 || next_rank < 0) continue;
    next_.push_back({static_cast<std::uint32_t>(first_rank), static_cast<std::uint32_t>(next_rank)});
  }
  std::stable_sort(next_.begin(), next_.end(),
                   [](const NextWord& a, const NextWord& b) { return a.first < b.first; });
  next_.shrink_to_fit();
}

bool BaseWords::Read(std::u16string_view path) {
  std::string bytes;
  if (!platform::ReadFileBytes(path, &bytes)) {
    Clear();
    return false;
  }
  Parse(bytes);
  return true;
}

std::u16string_view BaseWords::WordAt(int rank) const {
  if (rank < 0 || rank >= RankLimit()) return {};
  const std::u16string_view text = text_;
  return text.substr(starts_[rank], starts_[rank + 1] - starts_[rank]);
}

std::size_t BaseWords::LowerBound(std::u16string_view key) const {
  const auto at = std::lower_bound(by_word_.begin(), by_word_.end(), key,
                                   [this](std::uint32_t rank, std::u16string_view wanted) {
                                     return CompareFolded(WordAt(static_cast<int>(rank)),
                                                          wanted) < 0;
                                   });
  return static_cast<std::size_t>(at - by_word_.begin());
}

int BaseWords::RankOf(std::u16string_view word) const {
  const std::size_t at = LowerBound(word);
  if (at == by_word_.size()) return -1;
  const int rank = static_cast<int>(by_word_[at]);
  return EqualFolded(WordAt(rank), word) ? rank : -1;
}

}  // namespace quorel
