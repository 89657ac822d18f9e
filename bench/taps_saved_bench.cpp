// The share of taps word completion saves a pen user, on texts written for this measure and
// used for nothing else (bench/texts): three whole words are offered from the second letter
// on, and a tap on one types the rest of the word and its space. Three ways: the shipped list
// alone, learning every word typed, and learning with the next word offered after a word and
// its space; and the last two once more after the whole text was typed before, as a user's
// own words are once the keyboard has learned them. Each with the list ordered as the package orders it (within SCOWL's levels by
// the word counts of libpresage-data) and as it was before (within a level the shorter,
// then alphabetically). The shares are the counters of each benchmark.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "library/completion/word_store.h"
#include "library/completion/word_text.h"
#include "library/strings/utf8.h"
#include "platform/fake/fake_system.h"
#include "platform/text.h"
#include "tools/word_list/word_list.h"

namespace quorel {
namespace {

constexpr char kScowl[] = "/usr/share/dict/scowl";
constexpr int kOffered = 3;
constexpr std::size_t kFirstOffer = 2;

// A word of a text, and whether a sentence or a line of the text ended right before it.
struct TextWord {
  std::u16string word;
  bool after_break = false;
};

// The words of the texts in a folder (its sub-folders hold other languages' texts).
std::vector<TextWord> ReadTexts(const std::filesystem::path& folder = QUOREL_BENCH_TEXTS) {
  std::vector<TextWord> words;
  std::error_code failed;
  for (const auto& entry : std::filesystem::directory_iterator(folder, failed)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    std::u16string text;
    if (!DecodeUtf8(bytes.str(), &text)) continue;
    std::u16string word;
    bool after_break = true;
    const auto end_word = [&](char16_t next) {
      if (!word.empty()) words.push_back({word, after_break});
      word.clear();
      after_break = next != u' ';
    };
    for (char16_t c : text) {
      if (platform::IsLetterOrDigit(c) || (c == u'\'' && !word.empty())) {
        word.push_back(c);
      } else if (!word.empty() || c != u' ') {
        end_word(c);
      }
    }
    end_word(u'\n');
  }
  return words;
}

std::string BaseList(bool counted) {
  std::vector<std::u16string> words;
  std::string error;
  words::WordCounts counts;
  if (counted && !words::ReadWordCounts(QUOREL_WORD_COUNTS, &counts, &error)) return {};
  const auto sources = words::FindSources(kScowl);
  if (sources.empty() || !words::MakeWordList(sources, counts, &words, &error)) return {};
  // The ordered list, as the package ships it, lists the next words of its words too.
  std::vector<words::PairCount> pairs;
  if (counted && !words::ReadPairCounts(QUOREL_PAIR_COUNTS, &pairs, &error)) return {};
  return words::FormatWordList(words, words::EnglishHead(counted),
                               words::ListedNextWords(words, std::move(pairs), kOffered));
}

// Taps with completion over taps without: letters and the space after each word.
// With `typed_before` the user typed the whole text once before, learning its words (and
// pairs): the measure of a user's own vocabulary, once the keyboard has learned it.
double ShareSaved(const std::string& base, const std::vector<TextWord>& text, bool learn,
                  bool next, bool typed_before = false) {
  WordStore store;
  store.ParseBase(base);
  if (typed_before) {
    std::u16string previous;
    for (const TextWord& typed : text) {
      if (store.Learn(typed.word) && !typed.after_break && !previous.empty()) {
        store.LearnPair(previous, typed.word);
      }
      previous = IsLearnableWord(typed.word) ? typed.word : std::u16string();
    }
  }
  long long plain = 0;
  long long taps = 0;
  std::u16string previous;
  for (const TextWord& typed : text) {
    const std::u16string& word = typed.word;
    const long long letters = static_cast<long long>(word.size()) + 1;
    long long cost = letters;
    if (next && !typed.after_break && !previous.empty()) {
      for (const std::u16string& offered : store.NextWords(previous, kOffered)) {
        if (offered == word) cost = 1;
      }
    }
    for (std::size_t k = kFirstOffer; cost == letters && k < word.size(); ++k) {
      for (const std::u16string& offered :
           store.Completions(std::u16string_view(word).substr(0, k), kOffered)) {
        if (offered == word) cost = static_cast<long long>(k) + 1;
      }
    }
    plain += letters;
    taps += cost;
    if (learn && store.Learn(word) && !typed.after_break && !previous.empty()) {
      store.LearnPair(previous, word);
    }
    previous = IsLearnableWord(word) ? word : std::u16string();
  }
  return plain == 0 ? 0 : 100.0 * static_cast<double>(plain - taps) / static_cast<double>(plain);
}

void BM_TapsSaved(benchmark::State& state) {
  platform::fake::Reset();
  const bool counted = state.range(0) != 0;
  const std::string base = BaseList(counted);
  const std::vector<TextWord> text = ReadTexts();
  if (base.empty() || text.empty()) {
    state.SkipWithError("no word list (scowl, make package for the counts) or no texts");
    return;
  }
  double alone = 0, learning = 0, with_next = 0, learned = 0, learned_next = 0;
  for (auto _ : state) {
    alone = ShareSaved(base, text, false, false);
    learning = ShareSaved(base, text, true, false);
    with_next = ShareSaved(base, text, true, true);
    learned = ShareSaved(base, text, true, false, true);
    learned_next = ShareSaved(base, text, true, true, true);
  }
  state.counters["words"] = static_cast<double>(text.size());
  state.counters["saved_list_%"] = alone;
  state.counters["saved_learning_%"] = learning;
  state.counters["saved_next_word_%"] = with_next;
  state.counters["saved_typed_before_%"] = learned;
  state.counters["saved_typed_before_next_%"] = learned_next;
  state.SetLabel(counted ? "ordered by word counts" : "ordered as before");
}
BENCHMARK(BM_TapsSaved)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same on texts of another language (bench/texts/french, bench/texts/german), with the
// list the package ships for it.
void BM_TapsSavedInLanguage(benchmark::State& state) {
  static constexpr const char* kLanguages[] = {"french", "german"};
  const char* language = kLanguages[state.range(0)];
  platform::fake::Reset();
  std::ifstream file(std::filesystem::path(QUOREL_PACKAGE_WORDS) / (std::string(language) + ".txt"),
                     std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  const std::string base = bytes.str();
  const std::vector<TextWord> text = ReadTexts(std::filesystem::path(QUOREL_BENCH_TEXTS) / language);
  if (base.empty() || text.empty()) {
    state.SkipWithError("no list (make package first) or no texts");
    return;
  }
  double alone = 0, learning = 0, with_next = 0, learned = 0;
  for (auto _ : state) {
    alone = ShareSaved(base, text, false, false);
    learning = ShareSaved(base, text, true, false);
    with_next = ShareSaved(base, text, true, true);
    learned = ShareSaved(base, text, true, false, true);
  }
  state.counters["words"] = static_cast<double>(text.size());
  state.counters["saved_list_%"] = alone;
  state.counters["saved_learning_%"] = learning;
  state.counters["saved_next_word_%"] = with_next;
  state.counters["saved_typed_before_%"] = learned;
  state.SetLabel(language);
}
BENCHMARK(BM_TapsSavedInLanguage)->DenseRange(0, 1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorel
