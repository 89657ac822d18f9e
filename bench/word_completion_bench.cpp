// Word completion with the shipped English list (made from Debian's scowl, as the package
// makes it) and a user who has learned the most words the store keeps: reading the list at
// start, a completion at every pen up, learning a word at every word's end, and reading and
// writing the learned file. The learned words are mostly the list's own, drawn towards the
// common end, with names and jargon of the user's among them.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "library/completion/word_store.h"
#include "library/strings/utf8.h"
#include "platform/fake/fake_system.h"
#include "tools/word_list/word_list.h"

namespace quorel {
namespace {

constexpr char kScowl[] = "/usr/share/dict/scowl";
constexpr char16_t kBasePath[] = u"C:\\Program Files\\Quorel\\Quorel words\\english.txt";
constexpr char16_t kLearnedPath[] = u"C:\\Users\\pen\\Documents\\Quorel\\Learned words.txt";
constexpr int kRows = 8;  // a suggestion list's rows

struct Data {
  std::string base_file;
  std::string learned_file;
  std::unique_ptr<WordStore> store;  // the base list and a full store of learned words
  std::vector<std::u16string> prefixes[4];  // by length 1..3, typed as a user types them
};

std::u16string RandomWord(std::mt19937& random) {
  std::uniform_int_distribution<int> length(4, 10);
  std::uniform_int_distribution<int> letter(0, 25);
  std::u16string word;
  for (int n = length(random); n > 0; --n) {
    word.push_back(static_cast<char16_t>(u'a' + letter(random)));
  }
  return word;
}

const Data* TheData() {
  static const std::unique_ptr<Data> data = []() -> std::unique_ptr<Data> {
    std::vector<std::u16string> words;
    std::string error;
    const auto sources = words::FindSources(kScowl);
    if (sources.empty() || !words::MakeWordList(sources, {}, &words, &error)) return nullptr;
    auto made = std::make_unique<Data>();
    made->base_file = words::FormatWordList(words, words::EnglishHead(false));

    // Learned: counts fall off as in any text, last uses spread over 300,000 words typed.
    std::mt19937 random(20240611);
    std::geometric_distribution<int> common_rank(1.0 / 6000);
    std::uniform_int_distribution<int> last_use(1, 300'000);
    std::set<std::u16string> learned;
    std::string file;
    for (int i = 0; learned.size() < WordStore::kMaxLearned; ++i) {
      const std::u16string word =
          i % 4 == 0 ? RandomWord(random)
                     : words[static_cast<std::size_t>(common_rank(random)) % words.size()];
      if (!learned.insert(word).second) continue;
      AppendUtf8(word, &file);
      file += "\t" + std::to_string(1 + 600 / (1 + i % 97)) + "\t" +
              std::to_string(last_use(random)) + "\n";
    }
    made->learned_file = file;
    made->store = std::make_unique<WordStore>();
    made->store->ParseBase(made->base_file);
    made->store->ParseLearned(made->learned_file);

    std::uniform_int_distribution<std::size_t> any(0, 20'000);
    for (int i = 0; i < 1000; ++i) {
      const std::u16string& word = words[any(random) % words.size()];
      for (std::size_t length = 1; length <= 3; ++length) {
        made->prefixes[length].push_back(word.substr(0, length));
      }
    }
    return made;
  }();
  return data.get();
}

const Data* DataOrSkip(benchmark::State& state) {
  const Data* data = TheData();
  if (data == nullptr) state.SkipWithError("no SCOWL lists: install Debian's scowl");
  return data;
}

void BM_ParseBaseList(benchmark::State& state) {
  const Data* data = DataOrSkip(state);
  if (data == nullptr) return;
  int count = 0;
  std::size_t bytes = 0;
  for (auto _ : state) {
    BaseWords base;
    base.Parse(data->base_file);
    count = base.Count();
    bytes = base.MemoryBytes();
  }
  state.counters["words"] = count;
  state.counters["memory_KB"] = static_cast<double>(bytes) / 1024;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data->base_file.size()));
}

void BM_ReadBaseList(benchmark::State& state) {
  const Data* data = DataOrSkip(state);
  if (data == nullptr) return;
  platform::fake::Reset();
  platform::fake::System().files[kBasePath] = data->base_file;
  for (auto _ : state) {
    WordStore store;
    if (!store.ReadBase(kBasePath)) state.SkipWithError("the list could not be read");
  }
}

// The other languages' lists as the package makes them from Debian's word lists (their
// order aside, which costs nothing to read): the time to parse one when the user first
// types in its language, and what it holds in memory. Argument: the language (1 French to
// 6 Dutch).
void BM_ParseLanguageList(benchmark::State& state) {
  static constexpr const char* kDictionaries[] = {"", "french", "ngerman", "spanish",
                                                  "italian", "portuguese", "dutch"};
  const auto language = static_cast<std::size_t>(state.range(0));
  std::vector<std::u16string> words;
  std::string error;
  if (!words::MakeListFromFile(std::string("/usr/share/dict/") + kDictionaries[language], {},
                               words::kMaxListWords, &words, &error)) {
    state.SkipWithError("no word list: install Debian's wfrench, wngerman and their like");
    return;
  }
  const std::string file = words::FormatWordList(words, "");
  std::size_t bytes = 0;
  for (auto _ : state) {
    BaseWords base;
    base.Parse(file);
    bytes = base.MemoryBytes();
  }
  state.counters["words"] = static_cast<double>(words.size());
  state.counters["memory_KB"] = static_cast<double>(bytes) / 1024;
  state.SetLabel(kDictionaries[language]);
}

// One completion per iteration, for prefixes as long as the argument.
void BM_Complete(benchmark::State& state) {
  const Data* data = DataOrSkip(state);
  if (data == nullptr) return;
  const auto& prefixes = data->prefixes[state.range(0)];
  std::size_t next = 0;
  std::size_t found = 0;
  for (auto _ : state) {
    const auto words = data->store->Completions(prefixes[next], kRows);
    found += words.size();
    next = (next + 1) % prefixes.size();
  }
  state.counters["words_per_call"] =
      static_cast<double>(found) / static_cast<double>(state.iterations());
}

// A word learned into the full store: mostly words it has, now and then a new one that
// pushes the least useful out.
void BM_Learn(benchmark::State& state) {
  const Data* data = DataOrSkip(state);
  if (data == nullptr) return;
  WordStore store;
  store.ParseBase(data->base_file);
  store.ParseLearned(data->learned_file);
  std::mt19937 random(7);
  const auto& prefixes = data->prefixes[3];
  std::size_t next = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::u16string> known = store.Complete(prefixes[next % prefixes.size()], 1);
    const std::u16string word = next % 10 == 0 || known.empty() ? RandomWord(random) : known[0];
    ++next;
    state.ResumeTiming();
    store.Learn(word);
  }
}

void BM_ReadLearnedFile(benchmark::State& state) {
  const Data* data = DataOrSkip(state);
  if (data == nullptr) return;
  platform::fake::Reset();
  platform::fake::System().files[kLearnedPath] = data->learned_file;
  WordStore store;
  store.ParseBase(data->base_file);
  for (auto _ : state) store.ReadLearned(kLearnedPath);
  state.counters["words"] = store.LearnedCount();
}

void BM_SaveLearnedFile(benchmark::State& state) {
  const Data* data = DataOrSkip(state);
  if (data == nullptr) return;
  platform::fake::Reset();
  for (auto _ : state) {
    // A store saves only what changed since its last save: one word more each time.
    state.PauseTiming();
    WordStore store = *data->store;
    store.AdoptLearned(LearnedFileBytes());  // a first run: the file may be written
    store.Learn(u"benchmark");
    state.ResumeTiming();
    if (!store.SaveLearned(kLearnedPath)) {
      state.SkipWithError("not saved");
      break;
    }
  }
  state.counters["file_KB"] =
      static_cast<double>(platform::fake::System().files[kLearnedPath].size()) / 1024;
}

BENCHMARK(BM_ParseBaseList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBaseList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseLanguageList)->DenseRange(1, 6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Complete)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Learn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadLearnedFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLearnedFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorel
