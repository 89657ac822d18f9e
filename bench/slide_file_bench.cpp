// Reading and writing a slide file of 100,000 definitions: from bytes in memory, through
// the file system, and back. "sorted" has the definitions in file order, as the editor
// writes them; "shuffled" has each direction's section in random order, as a hand-edited
// or merged file may. For writing, the shuffled set was built in that order, so walking its
// list jumps around memory.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "library/keys/key_table.h"
#include "library/slides/slide_set.h"
#include "library/strings/file_text.h"
#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

constexpr int kDefinitionCount = 100000;
constexpr char16_t kPath[] = u"C:\\Users\\pen\\Documents\\bench.txt";

struct Definition {
  int direction;
  std::uint16_t kind;
  std::uint16_t parameter;
  std::optional<std::u16string> preview;
  std::u16string text;
};

// Letters of the texts and of the character keys: ASCII, Latin-1 accents and a few
// letters above U+00FF, which the file holds as escapes.
constexpr char16_t kLetters[] =
    u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,;:!?'-()"
    u"\u00e0\u00e1\u00e2\u00e4\u00e7\u00e8\u00e9\u00ea\u00eb\u00ee\u00ef\u00f1\u00f3\u00f6"
    u"\u00fa\u00fc\u00df\u00c9\u00c0"
    u"\u0101\u0107\u010d\u0119\u011f\u0131\u0142\u0144\u0151\u0153\u015b\u0161\u017a\u017c"
    u"\u017e\u0141\u0152\u20ac";

std::u16string RandomText(std::mt19937& random, int min_length, int max_length) {
  std::uniform_int_distribution<int> length(min_length, max_length);
  std::uniform_int_distribution<int> letter(0, static_cast<int>(std::size(kLetters)) - 2);
  std::uniform_int_distribution<int> percent(0, 99);
  std::u16string text;
  const int wanted = length(random);
  while (static_cast<int>(text.size()) < wanted) {
    const int roll = percent(random);
    if (roll < 14 && !text.empty()) {
      text.push_back(u' ');
    } else if (roll == 14 && !text.empty()) {
      text.push_back(u'\r');  // a line break inside the text
    } else {
      text.push_back(kLetters[letter(random)]);
    }
  }
  return text;
}

std::vector<Definition> MakeDefinitions(std::mt19937& random) {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> keys;
  for (const char16_t* c = kLetters; *c != 0; ++c) keys.emplace_back(kCharacterKind, *c);
  // Names with a blank are left out: the reader ends a key at the first blank, so such
  // definitions would not come back and the count check would fail.
  for (const SpecialKey* key = SpecialKeyTable(); key->name != nullptr; ++key) {
    if (std::u16string_view(key->name).find(u' ') == std::u16string_view::npos) {
      keys.emplace_back(key->kind, key->parameter);
    }
  }
  std::uniform_int_distribution<int> direction(1, kDirectionCount);
  std::uniform_int_distribution<std::size_t> key(0, keys.size() - 1);
  std::uniform_int_distribution<int> percent(0, 99);
  std::vector<Definition> definitions;
  definitions.reserve(kDefinitionCount);
  for (int i = 0; i < kDefinitionCount; ++i) {
    Definition definition;
    definition.direction = direction(random);
    std::tie(definition.kind, definition.parameter) = keys[key(random)];
    if (percent(random) < 20) definition.preview = RandomText(random, 1, 8);
    definition.text = RandomText(random, 5, 60);
    definitions.push_back(std::move(definition));
  }
  return definitions;
}

void AddAll(const std::vector<Definition>& definitions, SlideSet& set) {
  for (const Definition& definition : definitions) {
    set.Add(definition.direction, definition.kind, definition.parameter,
            definition.preview ? definition.preview->c_str() : nullptr, definition.text.c_str());
  }
}

// A file with the definitions in the given order, a section header wherever the
// direction changes.
std::string FileInOrder(const std::vector<Definition>& definitions) {
  std::string bytes;
  int direction = 0;
  std::u16string character(1, u'\0');
  for (const Definition& definition : definitions) {
    if (definition.direction != direction) {
      direction = definition.direction;
      bytes.append("\r\n");
      AppendEncodedField(FindDirection(direction)->section_header, &bytes);
      bytes.append("\r\n\r\n");
    }
    std::u16string_view key;
    if (definition.kind == kCharacterKind) {
      character[0] = static_cast<char16_t>(definition.parameter);
      key = character;
    } else {
      key = GetSpecialKeyName(definition.kind, definition.parameter);
    }
    AppendEntryLine(key, definition.preview ? &*definition.preview : nullptr, definition.text,
                    &bytes);
  }
  return bytes;
}

struct Data {
  std::vector<Definition> shuffled;
  std::vector<Definition> sorted;
  std::string shuffled_file;
  std::string sorted_file;
  SlideSet shuffled_set;  // added in the shuffled file's order
  SlideSet sorted_set;    // added in file order
};

const Data& TheData() {
  static const std::unique_ptr<Data> data = [] {
    auto made = std::make_unique<Data>();
    std::mt19937 random(20240611);
    made->shuffled = MakeDefinitions(random);
    // One section per direction, as every file has, but the lines of each in random order.
    std::stable_sort(
        made->shuffled.begin(), made->shuffled.end(),
        [](const Definition& a, const Definition& b) { return a.direction < b.direction; });
    made->sorted = made->shuffled;
    std::stable_sort(made->sorted.begin(), made->sorted.end(),
                     [](const Definition& a, const Definition& b) {
                       return SlideSet::SortKey(a.direction, a.kind, a.parameter) <
                              SlideSet::SortKey(b.direction, b.kind, b.parameter);
                     });
    made->shuffled_file = FileInOrder(made->shuffled);
    made->sorted_file = FileInOrder(made->sorted);
    AddAll(made->shuffled, made->shuffled_set);
    AddAll(made->sorted, made->sorted_set);
    return made;
  }();
  return *data;
}

const std::string& FileOf(bool shuffled) {
  return shuffled ? TheData().shuffled_file : TheData().sorted_file;
}

const SlideSet& SetOf(bool shuffled) {
  return shuffled ? TheData().shuffled_set : TheData().sorted_set;
}

void CheckCount(benchmark::State& state, std::size_t count) {
  if (count != kDefinitionCount) state.SkipWithError("the file did not read back whole");
}

void BM_ParseSlideFile(benchmark::State& state, bool shuffled) {
  const std::string& bytes = FileOf(shuffled);
  std::size_t count = 0;
  for (auto _ : state) {
    auto set = std::make_unique<SlideSet>();
    ParseSlideFile(bytes, *set);
    state.PauseTiming();
    count = set->live_count();
    set.reset();
    state.ResumeTiming();
  }
  CheckCount(state, count);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ReadSlideFile(benchmark::State& state, bool shuffled) {
  platform::fake::Reset();
  platform::fake::System().files[kPath] = FileOf(shuffled);
  std::size_t count = 0;
  for (auto _ : state) {
    auto set = std::make_unique<SlideSet>();
    if (!ReadSlideFile(*set, kPath)) state.SkipWithError("the file could not be read");
    state.PauseTiming();
    count = set->live_count();
    set.reset();
    state.ResumeTiming();
  }
  CheckCount(state, count);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileOf(shuffled).size()));
}

void BM_FormatSlideFile(benchmark::State& state, bool shuffled) {
  const SlideSet& set = SetOf(shuffled);
  std::size_t size = 0;
  for (auto _ : state) {
    std::string bytes = FormatSlideFile(set);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_WriteSlideFile(benchmark::State& state, bool shuffled) {
  platform::fake::Reset();
  const SlideSet& set = SetOf(shuffled);
  for (auto _ : state) {
    if (!WriteSlideFile(set, kPath)) state.SkipWithError("the file could not be written");
  }
  // Writing the same set twice must give what one format gives.
  if (platform::fake::System().files[kPath] != FormatSlideFile(set)) {
    state.SkipWithError("the written file differs from the formatted bytes");
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * platform::fake::System().files[kPath].size()));
}

BENCHMARK_CAPTURE(BM_ParseSlideFile, sorted, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ParseSlideFile, shuffled, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadSlideFile, sorted, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadSlideFile, shuffled, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FormatSlideFile, sorted, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FormatSlideFile, shuffled, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteSlideFile, sorted, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteSlideFile, shuffled, true)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorel
