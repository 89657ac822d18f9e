#include "library/completion/word_store.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "library/completion/word_file.h"
#include "library/completion/word_text.h"
#include "library/strings/file_text.h"
#include "library/strings/utf8.h"
#include "platform/files.h"
#include "platform/folders.h"

namespace quorel {

namespace {


// The mark tells an editor that guesses encodings (Notepad did before 2019) that the
// accented words are UTF-8.
constexpr std::string_view kFileHead =
    "\xEF\xBB\xBF"
    "# Quorel learned words\r\n"
    "# One word a line: the word, how many times it was typed, and at which use it was last\r\n"
    "# typed (every word learned is one use). A line \"-word\" keeps a word out of the\r\n"
    "# suggestions; a line \">word next\" counts the times \"next\" followed \"word\".\r\n"
    "# Edit freely while the keyboard is closed.\r\n";

// Ordering the words this way needs no clock: with recency as uses since, the score at
// any moment differs from this one by the same amount for every word.
double Usefulness(const LearnedWord& word) {
  return std::log2(1.0 + word.count) + static_cast<double>(word.last_use) / WordStore::kRecencyUses;
}

bool MoreUseful(const LearnedWord& a, const LearnedWord& b) {
  const double x = Usefulness(a);
  const double y = Usefulness(b);
  if (x != y) return x > y;
  if (a.count != b.count) return a.count > b.count;
  return CompareFolded(a.word, b.word) < 0;
}

bool FoldedBefore(const LearnedWord& a, const LearnedWord& b) {
  return CompareFolded(a.word, b.word) < 0;
}

// A capital stays where every spelling so far had one.
void MergeCase(std::u16string* kept, std::u16string_view typed) {
  for (std::size_t i = 0; i < kept->size() && i < typed.size(); ++i) {
    if (IsCapitalLetter((*kept)[i])) (*kept)[i] = typed[i];
  }
}

std::uint32_t AddCounts(std::uint32_t a, std::uint32_t b) {
  constexpr std::uint32_t kMost = std::numeric_limits<std::uint32_t>::max();
  return a > kMost - b ? kMost : a + b;
}

// Decimal digits only, no sign and no blanks, at most `most`.
bool ParseNumber(std::u16string_view field, std::uint64_t most, std::uint64_t* value) {
  if (field.empty() || field.size() > 19) return false;
  std::uint64_t result = 0;
  for (char16_t c : field) {
    if (c < u'0' || c > u'9') return false;
    result = result * 10 + (c - u'0');
  }
  if (result > most) return false;
  *value = result;
  return true;
}

// A pair is kept as its two words with a space between: no word holds one.
constexpr char16_t kPairJoint = u' ';

// The two words of a pair.
std::pair<std::u16string_view, std::u16string_view> PairWords(const LearnedWord& pair) {
  const std::u16string_view text(pair.word);
  const std::size_t joint = text.find(kPairJoint);
  return {text.substr(0, joint), text.substr(joint + 1)};
}

// Whether the pair holds the word, first or second.
bool PairHolds(const LearnedWord& pair, std::u16string_view word) {
  const auto [first, next] = PairWords(pair);
  return EqualFolded(first, word) || EqualFolded(next, word);
}

bool IsLearnablePair(std::u16string_view pair) {
  const std::size_t joint = pair.find(kPairJoint);
  return joint != std::u16string_view::npos && IsLearnableWord(pair.substr(0, joint)) &&
         IsLearnableWord(pair.substr(joint + 1));
}

std::uint64_t ParseCount(std::u16string_view field, bool* ok) {
  std::uint64_t times = 1;
  *ok = ParseNumber(field, std::numeric_limits<std::uint32_t>::max(), &times) && times > 0;
  return times;
}

// ">word next [count [last-use]]" into a pair (as a word line, a pair written by hand was
// typed once, long ago); false for a line that is no such pair.
bool ParsePairLine(std::u16string_view line, LearnedWord* pair) {
  std::u16string_view fields[4];
  const int count = SplitFields(line, fields, 4);
  if (count < 2) return false;
  bool ok = true;
  const std::uint64_t times = count >= 3 ? ParseCount(fields[2], &ok) : 1;
  std::uint64_t last = 0;
  if (!ok || (count == 4 && !ParseNumber(fields[3], WordStore::kMaxUse, &last))) return false;
  pair->word.assign(fields[0].substr(1));
  pair->word.push_back(kPairJoint);
  pair->word.append(fields[1]);
  pair->count = static_cast<std::uint32_t>(times);
  pair->last_use = last;
  return IsLearnablePair(pair->word);
}

// Sorted in folded order with each word once (the counts added, or the larger kept), and
// at most `bound` of them, the least useful left out and counted in `dropped`.
std::vector<LearnedWord> MergedWords(std::vector<LearnedWord> words, bool add_counts,
                                     std::size_t bound, int* dropped) {
  std::stable_sort(words.begin(), words.end(), FoldedBefore);
  std::vector<LearnedWord> merged;
  merged.reserve(words.size());
  for (LearnedWord& word : words) {
    if (!merged.empty() && EqualFolded(merged.back().word, word.word)) {
      LearnedWord& kept = merged.back();
      MergeCase(&kept.word, word.word);
      kept.count = add_counts ? AddCounts(kept.count, word.count) : std::max(kept.count, word.count);
      kept.last_use = std::max(kept.last_use, word.last_use);
    } else {
      merged.push_back(std::move(word));
    }
  }
  if (merged.size() > bound) {
    if (dropped != nullptr) *dropped += static_cast<int>(merged.size() - bound);
    std::nth_element(merged.begin(), merged.begin() + static_cast<std::ptrdiff_t>(bound),
                     merged.end(), MoreUseful);
    merged.resize(bound);
    std::sort(merged.begin(), merged.end(), FoldedBefore);
  }
  merged.shrink_to_fit();
  return merged;
}

// One line of a learned file into a learned word or a forgotten one; false for a line
// that is neither.
bool ParseLearnedLine(std::u16string_view line, LearnedWord* learned, bool* forgotten) {
  std::u16string_view fields[3];
  const int count = SplitFields(line, fields, 3);
  if (count < 1) return false;
  *forgotten = fields[0].front() == u'-';
  if (*forgotten) {
    learned->word.assign(fields[0].substr(1));
    return count == 1 && IsLearnableWord(learned->word);
  }
  if (!IsLearnableWord(fields[0])) return false;
  std::uint64_t times = 1;
  std::uint64_t last = 0;
  if (count >= 2 &&
      (!ParseNumber(fields[1], std::numeric_limits<std::uint32_t>::max(), &times) || times == 0)) {
    return false;
  }
  if (count == 3 && !ParseNumber(fields[2], WordStore::kMaxUse, &last)) return false;
  learned->word.assign(fields[0]);
  learned->count = static_cast<std::uint32_t>(times);
  learned->last_use = last;
  return true;
}

void AppendDecimal(std::uint64_t value, std::string* out) { out->append(std::to_string(value)); }

// A word with a digit: never learned now, though an older keyboard learned such words.
bool RetiredLine(std::u16string_view line) {
  std::u16string_view fields[3];
  if (SplitFields(line, fields, 3) < 1) return false;
  std::u16string_view word = fields[0];
  if (word.front() == u'-') word.remove_prefix(1);
  return HasDigit(word);
}

}  // namespace

void WordStore::Clear() {
  base_.Clear();
  learned_.clear();
  pairs_.clear();
  forgotten_.clear();
  forgotten_ranks_.clear();
  uses_ = 0;
  generation_ = 0;
  saved_generation_ = 0;
  file_read_ = false;
  keep_old_file_ = false;
}

void WordStore::ParseBase(std::string_view bytes) {
  base_.Parse(bytes);
  MarkForgottenRanks();
}

bool WordStore::ReadBase(std::u16string_view path) {
  const bool read = base_.Read(path);
  MarkForgottenRanks();
  return read;
}

void WordStore::TakeBase(BaseWords base) {
  base_ = std::move(base);
  MarkForgottenRanks();
}

void WordStore::MarkForgottenRanks() {
  forgotten_ranks_.assign(static_cast<std::size_t>(base_.RankLimit()), false);
  for (const std::u16string& word : forgotten_) {
    const int rank = base_.RankOf(word);
    if (rank >= 0) forgotten_ranks_[static_cast<std::size_t>(rank)] = true;
  }
}

std::vector<LearnedWord>::const_iterator WordStore::LearnedAt(std::u16string_view word) const {
  return std::lower_bound(learned_.begin(), learned_.end(), word,
                          [](const LearnedWord& learned, std::u16string_view wanted) {
                            return CompareFolded(learned.word, wanted) < 0;
                          });
}

std::vector<LearnedWord>::iterator WordStore::LearnedAt(std::u16string_view word) {
  return learned_.begin() + (std::as_const(*this).LearnedAt(word) - learned_.cbegin());
}

std::vector<std::u16string>::const_iterator WordStore::ForgottenAt(
    std::u16string_view word) const {
  return std::lower_bound(forgotten_.begin(), forgotten_.end(), word,
                          [](const std::u16string& kept, std::u16string_view wanted) {
                            return CompareFolded(kept, wanted) < 0;
                          });
}

const LearnedWord* WordStore::FindLearned(std::u16string_view word) const {
  const auto at = LearnedAt(word);
  return at != learned_.end() && EqualFolded(at->word, word) ? &*at : nullptr;
}

bool WordStore::IsForgotten(std::u16string_view word) const {
  const auto at = ForgottenAt(word);
  return at != forgotten_.end() && EqualFolded(*at, word);
}

std::vector<std::u16string> WordStore::Complete(std::u16string_view prefix, int max) const {
  std::vector<std::u16string> words;
  if (prefix.empty() || max <= 0) return words;
  const auto wanted = static_cast<std::size_t>(max);

  std::vector<const LearnedWord*> learned;
  for (auto at = LearnedAt(prefix); at != learned_.end() && StartsWithFolded(at->word, prefix);
       ++at) {
    if (at->word.size() > prefix.size()) learned.push_back(&*at);
  }
  const auto more_useful = [](const LearnedWord* a, const LearnedWord* b) {
    return MoreUseful(*a, *b);
  };
  const std::size_t shown = std::min(wanted, learned.size());
  std::partial_sort(learned.begin(), learned.begin() + static_cast<std::ptrdiff_t>(shown),
                    learned.end(), more_useful);
  for (std::size_t i = 0; i < shown; ++i) words.push_back(learned[i]->word);
  if (words.size() == wanted) return words;

  // Every learned word of the prefix is shown by now, so of the best `wanted` listed words
  // at most that many are shown already; the rest fill the list.
  std::vector<int> ranks;
  ranks.reserve(wanted + 1);
  base_.ForEachBeginningWith(prefix, [&](int rank, std::u16string_view word) {
    if (word.size() == prefix.size() || forgotten_ranks_[static_cast<std::size_t>(rank)]) return;
    if (ranks.size() == wanted && rank >= ranks.back()) return;
    ranks.insert(std::upper_bound(ranks.begin(), ranks.end(), rank), rank);
    if (ranks.size() > wanted) ranks.pop_back();
  });
  for (int rank : ranks) {
    if (words.size() == wanted) break;
    const std::u16string_view word = base_.WordAt(rank);
    const bool known = std::any_of(learned.begin(), learned.begin() + static_cast<std::ptrdiff_t>(shown),
                                   [word](const LearnedWord* l) { return EqualFolded(l->word, word); });
    if (!known) words.emplace_back(word);
  }
  return words;
}

std::vector<std::u16string> WordStore::Completions(std::u16string_view typed, int max) const {
  std::vector<std::u16string> words = Complete(typed, max);
  for (std::u16string& word : words) word = CaseLike(typed, word);
  return words;
}

bool WordStore::Learn(std::u16string_view word) {
  if (!IsLearnableWord(word)) return false;
  if (uses_ < kMaxUse) ++uses_;
  Changed();
  Unforget(word);
  auto at = LearnedAt(word);
  if (at != learned_.end() && EqualFolded(at->word, word)) {
    MergeCase(&at->word, word);
    at->count = AddCounts(at->count, 1);
    at->last_use = uses_;
    return true;
  }
  std::u16string form(word);
  const int rank = base_.RankOf(word);
  if (rank >= 0) {
    form.assign(base_.WordAt(rank));
    MergeCase(&form, word);
  }
  if (learned_.size() >= kMaxLearned) {
    DropLeastUseful();
    at = LearnedAt(word);
  }
  learned_.insert(at, LearnedWord{std::move(form), 1, uses_});
  return true;
}

bool WordStore::LearnPair(std::u16string_view word, std::u16string_view next) {
  if (!IsLearnableWord(word) || !IsLearnableWord(next)) return false;
  std::u16string pair(word);
  pair.push_back(kPairJoint);
  pair.append(next);
  const auto before = [](const LearnedWord& a, std::u16string_view b) {
    return CompareFolded(a.word, b) < 0;
  };
  auto at = std::lower_bound(pairs_.begin(), pairs_.end(), std::u16string_view(pair), before);
  Changed();
  if (at != pairs_.end() && EqualFolded(at->word, pair)) {
    MergeCase(&at->word, pair);
    at->count = AddCounts(at->count, 1);
    at->last_use = uses_;
    return true;
  }
  if (pairs_.size() >= kMaxPairs) {
    pairs_.erase(std::min_element(pairs_.begin(), pairs_.end(),
                                  [](const LearnedWord& a, const LearnedWord& b) {
                                    return MoreUseful(b, a);
                                  }));
    at = std::lower_bound(pairs_.begin(), pairs_.end(), std::u16string_view(pair), before);
  }
  pairs_.insert(at, LearnedWord{std::move(pair), 1, uses_});
  return true;
}

std::vector<std::u16string> WordStore::NextWords(std::u16string_view word, int max) const {
  std::vector<std::u16string> words;
  if (word.empty() || max <= 0) return words;
  std::u16string prefix(word);
  prefix.push_back(kPairJoint);
  std::vector<const LearnedWord*> found;
  auto at = std::lower_bound(pairs_.begin(), pairs_.end(), std::u16string_view(prefix),
                             [](const LearnedWord& a, std::u16string_view b) {
                               return CompareFolded(a.word, b) < 0;
                             });
  for (; at != pairs_.end() && StartsWithFolded(at->word, prefix); ++at) {
    if (!IsForgotten(std::u16string_view(at->word).substr(prefix.size()))) found.push_back(&*at);
  }
  const std::size_t shown = std::min(static_cast<std::size_t>(max), found.size());
  std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(shown), found.end(),
                    [](const LearnedWord* a, const LearnedWord* b) { return MoreUseful(*a, *b); });
  for (std::size_t i = 0; i < shown; ++i) words.emplace_back(found[i]->word.substr(prefix.size()));
  // Then what the base list says often follows the word, as long as there is room.
  base_.ForEachNextWord(word, [&](std::u16string_view next) {
    if (static_cast<int>(words.size()) >= max || IsForgotten(next)) return;
    const bool shown_already = std::any_of(words.begin(), words.end(), [next](const std::u16string& w) {
      return EqualFolded(w, next);
    });
    if (!shown_already) words.emplace_back(next);
  });
  return words;
}

void WordStore::DropForgottenPairs() {
  if (forgotten_.empty()) return;
  pairs_.erase(std::remove_if(pairs_.begin(), pairs_.end(),
                              [this](const LearnedWord& pair) {
                                const auto [first, next] = PairWords(pair);
                                return IsForgotten(first) || IsForgotten(next);
                              }),
               pairs_.end());
}

void WordStore::DropLeastUseful() {
  const auto least = std::min_element(
      learned_.begin(), learned_.end(),
      [](const LearnedWord& a, const LearnedWord& b) { return MoreUseful(b, a); });
  if (least != learned_.end()) learned_.erase(least);
}

void WordStore::Unforget(std::u16string_view word) {
  const auto at = ForgottenAt(word);
  if (at == forgotten_.end() || !EqualFolded(*at, word)) return;
  forgotten_.erase(at);
  const int rank = base_.RankOf(word);
  if (rank >= 0) forgotten_ranks_[static_cast<std::size_t>(rank)] = false;
}

bool WordStore::Forget(std::u16string_view word) {
  bool changed = false;
  // Nor is any pair it is in kept: a word taken away takes what was typed around it.
  const std::size_t pairs = pairs_.size();
  pairs_.erase(std::remove_if(pairs_.begin(), pairs_.end(),
                              [word](const LearnedWord& pair) { return PairHolds(pair, word); }),
               pairs_.end());
  changed = pairs_.size() != pairs;
  const auto at = LearnedAt(word);
  if (at != learned_.end() && EqualFolded(at->word, word)) {
    learned_.erase(at);
    changed = true;
  }
  // Kept even for a word the base list does not hold: another list may hold it.
  const auto place = ForgottenAt(word);
  if (IsLearnableWord(word) && forgotten_.size() < kMaxForgotten &&
      (place == forgotten_.end() || !EqualFolded(*place, word))) {
    forgotten_.emplace(place, word);
    const int rank = base_.RankOf(word);
    if (rank >= 0) forgotten_ranks_[static_cast<std::size_t>(rank)] = true;
    changed = true;
  }
  if (changed) Changed();
  return changed;
}

void WordStore::ForgetAll() {
  if (learned_.empty() && pairs_.empty()) return;
  learned_.clear();
  learned_.shrink_to_fit();
  pairs_.clear();
  pairs_.shrink_to_fit();
  Changed();
}

LearnedFileReport WordStore::ParseLearned(std::string_view bytes) {
  LearnedFileReport report;
  std::vector<LearnedWord> read;
  std::vector<LearnedWord> pairs;
  std::vector<std::u16string> forgotten;
  LearnedWord line_word;
  bool line_forgets = false;
  bool retired = false;
  const int unreadable = ForEachWordFileLine(bytes, [&](std::u16string_view line) {
    if (line.find_first_not_of(u" \t") == std::u16string_view::npos || line.front() == u'#') {
      return;
    }
    if (line.front() == u'>') {
      if (ParsePairLine(line, &line_word)) {
        pairs.push_back(line_word);
      } else {
        ++report.lines_left_out;
      }
    } else if (ParseLearnedLine(line, &line_word, &line_forgets)) {
      (line_forgets ? forgotten.push_back(line_word.word) : read.push_back(line_word));
    } else if (RetiredLine(line)) {
      retired = true;  // learned by an older keyboard: dropped, and gone from the next save
    } else {
      ++report.lines_left_out;
    }
  });
  report.lines_left_out += unreadable;
  // The same word twice, as a hand-merged file may hold it, is one word typed as often as
  // both lines say.
  SetLearned(std::move(read), true, &report);
  pairs_ = MergedWords(std::move(pairs), true, kMaxPairs, &report.words_dropped);

  std::stable_sort(forgotten.begin(), forgotten.end(),
                   [](const std::u16string& a, const std::u16string& b) {
                     return CompareFolded(a, b) < 0;
                   });
  forgotten.erase(std::unique(forgotten.begin(), forgotten.end(), EqualFolded), forgotten.end());
  if (forgotten.size() > kMaxForgotten) {
    report.words_dropped += static_cast<int>(forgotten.size() - kMaxForgotten);
    forgotten.resize(kMaxForgotten);
  }
  // A word both learned and forgotten was forgotten by hand in the file: it stays away.
  for (const std::u16string& word : forgotten) {
    const auto at = LearnedAt(word);
    if (at != learned_.end() && EqualFolded(at->word, word)) learned_.erase(at);
  }
  forgotten_ = std::move(forgotten);
  MarkForgottenRanks();
  DropForgottenPairs();

  uses_ = 0;
  for (const LearnedWord& word : learned_) uses_ = std::max(uses_, word.last_use);
  for (const LearnedWord& pair : pairs_) uses_ = std::max(uses_, pair.last_use);
  saved_generation_ = generation_;
  if (retired) Changed();
  keep_old_file_ = !report.Whole();
  return report;
}

void WordStore::SetLearned(std::vector<LearnedWord> words, bool add_counts,
                           LearnedFileReport* report) {
  learned_ = MergedWords(std::move(words), add_counts, kMaxLearned,
                         report != nullptr ? &report->words_dropped : nullptr);
}

void WordStore::AddSession(const WordStore& session) {
  if (session.learned_.empty() && session.forgotten_.empty() && session.pairs_.empty()) return;
  const std::uint64_t offset = uses_;
  for (const std::u16string& word : session.forgotten_) {
    const auto at = LearnedAt(word);
    if (at != learned_.end() && EqualFolded(at->word, word)) learned_.erase(at);
    const auto place = ForgottenAt(word);
    if (forgotten_.size() < kMaxForgotten && (place == forgotten_.end() || !EqualFolded(*place, word))) {
      forgotten_.emplace(place, word);
    }
  }
  std::vector<LearnedWord> words = std::move(learned_);
  for (LearnedWord word : session.learned_) {
    // Typed again since it was forgotten in the file: the user wants it back.
    Unforget(word.word);
    word.last_use = std::min(kMaxUse, offset + word.last_use);
    words.push_back(std::move(word));
  }
  SetLearned(std::move(words), true, nullptr);
  std::vector<LearnedWord> pairs = std::move(pairs_);
  for (LearnedWord pair : session.pairs_) {
    pair.last_use = std::min(kMaxUse, offset + pair.last_use);
    pairs.push_back(std::move(pair));
  }
  pairs_ = MergedWords(std::move(pairs), true, kMaxPairs, nullptr);
  DropForgottenPairs();
  uses_ = std::min(kMaxUse, offset + session.uses_);
  Changed();
}

void WordStore::AddFromBackup(const WordStore& backup) {
  for (const std::u16string& word : backup.forgotten_) {
    const auto place = ForgottenAt(word);
    if (FindLearned(word) == nullptr && forgotten_.size() < kMaxForgotten &&
        (place == forgotten_.end() || !EqualFolded(*place, word))) {
      forgotten_.emplace(place, word);
    }
  }
  std::vector<LearnedWord> words = std::move(learned_);
  for (const LearnedWord& word : backup.learned_) {
    if (!IsForgotten(word.word)) words.push_back(word);
  }
  // The same history twice: the larger count, not the sum.
  SetLearned(std::move(words), false, nullptr);
  std::vector<LearnedWord> pairs = std::move(pairs_);
  pairs.insert(pairs.end(), backup.pairs_.begin(), backup.pairs_.end());
  pairs_ = MergedWords(std::move(pairs), false, kMaxPairs, nullptr);
  DropForgottenPairs();
  uses_ = std::max(uses_, backup.uses_);
  Changed();
}

std::string WordStore::FormatLearned() const {
  std::string bytes(kFileHead);
  bytes.reserve(bytes.size() + (learned_.size() + forgotten_.size()) * 24);
  for (const LearnedWord& word : learned_) {
    AppendUtf8(word.word, &bytes);
    bytes.push_back('\t');
    AppendDecimal(word.count, &bytes);
    bytes.push_back('\t');
    AppendDecimal(word.last_use, &bytes);
    bytes.append("\r\n");
  }
  for (const std::u16string& word : forgotten_) {
    bytes.push_back('-');
    AppendUtf8(word, &bytes);
    bytes.append("\r\n");
  }
  for (const LearnedWord& pair : pairs_) {
    const auto [first, next] = PairWords(pair);
    bytes.push_back('>');
    AppendUtf8(first, &bytes);
    bytes.push_back('\t');
    AppendUtf8(next, &bytes);
    bytes.push_back('\t');
    AppendDecimal(pair.count, &bytes);
    bytes.push_back('\t');
    AppendDecimal(pair.last_use, &bytes);
    bytes.append("\r\n");
  }
  return bytes;
}

LearnedFileBytes ReadLearnedFileBytes(std::u16string_view path) {
  LearnedFileBytes file;
  if (platform::ReadFileBytes(path, &file.bytes)) {
    file.state = LearnedFileBytes::State::kRead;
  } else {
    file.bytes.clear();
    // Held by another program, a cloud file not yet downloaded, no right to it, or a share
    // not yet online: not a first run.
    file.state = platform::LookUpFile(path) == platform::FileState::kAbsent
                     ? LearnedFileBytes::State::kMissing
                     : LearnedFileBytes::State::kUnreadable;
  }
  file.backup_read = platform::ReadFileBytes(BackupName(path), &file.backup);
  return file;
}

bool WriteLearnedFile(const LearnedFileSave& save) {
  const std::u16string_view path = save.path;
  const std::size_t slash = path.rfind(u'\\');
  if (slash != std::u16string_view::npos) platform::CreateFolder(path.substr(0, slash));
  if (save.keep_old_file && !platform::CopyFileOver(path, BackupName(path)) &&
      platform::FileExists(path)) {
    return false;
  }
  if (!ReplaceFileContents(path, save.bytes)) return false;
  const std::u16string backup = BackupName(path);
  return !save.drop_backup || !platform::FileExists(backup) || platform::DeleteFileAt(backup);
}

LearnedFileReport WordStore::AdoptLearned(const LearnedFileBytes& file) {
  LearnedFileReport report;
  if (file.state == LearnedFileBytes::State::kUnreadable) {
    report.unreadable = true;
    return report;
  }
  // Until its file is first read, everything the store holds was learned in this session.
  WordStore session;
  const bool had_session = !file_read_;
  if (had_session) {
    session.learned_ = std::move(learned_);
    session.pairs_ = std::move(pairs_);
    session.forgotten_ = std::move(forgotten_);
    session.uses_ = uses_;
  }
  const bool read = file.state == LearnedFileBytes::State::kRead;
  report = ParseLearned(read ? std::string_view(file.bytes) : std::string_view());
  // Damaged, or emptied by something other than the keyboard, which never writes an empty
  // file: what the backup holds comes back.
  const bool damaged = read && (report.lines_left_out > 0 || file.bytes.empty());
  // Missing while its backup is there: a sync client's delete before it writes the file
  // anew, or a hand that took it away; the backup's words come back, and a file that
  // reappears before the next save is kept aside, not written over.
  const bool missing = file.state == LearnedFileBytes::State::kMissing;
  if ((damaged || missing) && file.backup_read) {
    WordStore backup;
    backup.ParseLearned(file.backup);
    if (backup.LearnedCount() > 0 || !backup.forgotten_.empty() || !backup.pairs_.empty()) {
      AddFromBackup(backup);
      report.from_backup = true;
      keep_old_file_ = true;
    }
  }
  if (had_session) AddSession(session);
  MarkForgottenRanks();
  file_read_ = true;
  return report;
}

LearnedFileReport WordStore::ReadLearned(std::u16string_view path) {
  return AdoptLearned(ReadLearnedFileBytes(path));
}

bool WordStore::PrepareSave(std::u16string_view path, LearnedFileSave* save) const {
  if (!file_read_ || !HasUnsavedChanges()) return false;
  save->path.assign(path);
  save->bytes = FormatLearned();
  save->keep_old_file = keep_old_file_;
  save->generation = generation_;
  return true;
}

void WordStore::SaveFinished(const LearnedFileSave& save, bool written) {
  if (!written) return;
  // The old file is the backup now; what changed while it was written is still to save.
  if (save.keep_old_file) keep_old_file_ = false;
  saved_generation_ = std::max(saved_generation_, save.generation);
}

bool WordStore::SaveLearned(std::u16string_view path) {
  LearnedFileSave save;
  if (!PrepareSave(path, &save)) return false;
  const bool written = WriteLearnedFile(save);
  SaveFinished(save, written);
  return written;
}

void WordStore::PrepareForgetAll(std::u16string_view path, LearnedFileSave* save) {
  ForgetAll();
  Changed();  // written even when nothing was learned: the file may hold words all the same
  // What the file held is what the user asked to forget: written over, with no copy kept.
  file_read_ = true;
  keep_old_file_ = false;
  PrepareSave(path, save);
  save->drop_backup = true;
}

bool WordStore::ForgetAllInFile(std::u16string_view path) {
  LearnedFileSave save;
  PrepareForgetAll(path, &save);
  const bool written = WriteLearnedFile(save);
  SaveFinished(save, written);
  return written;
}

}  // namespace quorel
