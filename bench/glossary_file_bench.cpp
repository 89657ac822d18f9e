// Reading and writing a glossary of 100,000 entries: from bytes in memory, through the file
// system, and back. "sorted" has the entries in glossary order, as the editor writes them;
// "shuffled" has them in random order, as a hand-made or merged glossary may. For writing,
// the shuffled glossary was read from the shuffled file, so its entries lie in memory in
// the order they came, not in glossary order.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "library/glossary/glossary.h"
#include "library/strings/file_text.h"
#include "platform/fake/fake_system.h"

namespace quorel {
namespace {

constexpr int kEntryCount = 100000;
constexpr char16_t kPath[] = u"C:\\Users\\pen\\Documents\\bench.glo";

struct Entry {
  std::u16string short_form;
  std::optional<std::u16string> preview;
  std::u16string long_form;
};

// Letters of short forms, lower case as the reader keeps them: ASCII, digits, Latin-1
// accents and a few letters above U+00FF, which the file holds as escapes.
constexpr char16_t kShortFormLetters[] =
    u"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnoprstuw0123456789"
    u"\u00e0\u00e9\u00e8\u00fc\u00f6\u00e4\u00df\u00e7\u00f1\u0142\u0107\u0161\u017e\u0151";

// Letters of long forms, with capitals and punctuation as well.
constexpr char16_t kTextLetters[] =
    u"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
    u"0123456789.,;:!?'-()/@"
    u"\u00e0\u00e1\u00e2\u00e4\u00e7\u00e8\u00e9\u00ea\u00eb\u00ee\u00ef\u00f1\u00f3\u00f6"
    u"\u00fa\u00fc\u00df\u00c9\u00c0"
    u"\u0101\u0107\u010d\u0119\u011f\u0131\u0142\u0144\u0151\u0153\u015b\u0161\u017a\u017c"
    u"\u017e\u0141\u0152\u20ac";

template <std::size_t N>
char16_t Pick(std::mt19937& random, const char16_t (&letters)[N]) {
  return letters[std::uniform_int_distribution<std::size_t>(0, N - 2)(random)];
}

std::u16string RandomText(std::mt19937& random, int min_length, int max_length) {
  std::uniform_int_distribution<int> length(min_length, max_length);
  std::uniform_int_distribution<int> percent(0, 99);
  std::u16string text;
  const int wanted = length(random);
  while (static_cast<int>(text.size()) < wanted) {
    const int roll = percent(random);
    if (roll < 15 && !text.empty()) {
      text.push_back(u' ');
    } else if (roll == 15 && !text.empty()) {
      text.push_back(u'\r');  // a line break inside the long form
    } else {
      text.push_back(Pick(random, kTextLetters));
    }
  }
  return text;
}

std::vector<Entry> MakeEntries(std::mt19937& random) {
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<int> short_length(2, 8);
  std::vector<Entry> entries;
  entries.reserve(kEntryCount);
  for (int i = 0; i < kEntryCount; ++i) {
    Entry entry;
    // A few single letters, the "[Words]" of the file; the rest are phrases.
    const int length = percent(random) < 2 ? 1 : short_length(random);
    for (int unit = 0; unit < length; ++unit) {
      entry.short_form.push_back(Pick(random, kShortFormLetters));
    }
    if (percent(random) < 20) entry.preview = RandomText(random, 1, 12);
    entry.long_form = RandomText(random, 5, 60);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string FileInOrder(const std::vector<Entry>& entries) {
  std::string bytes = "[Words]\r\n\r\n";
  for (const Entry& entry : entries) {
    if (entry.short_form.size() == 1) {
      AppendEntryLine(entry.short_form, entry.preview ? &*entry.preview : nullptr, entry.long_form,
                      &bytes);
    }
  }
  bytes.append("\r\n\r\n[Phrases]\r\n\r\n");
  for (const Entry& entry : entries) {
    if (entry.short_form.size() != 1) {
      AppendEntryLine(entry.short_form, entry.preview ? &*entry.preview : nullptr, entry.long_form,
                      &bytes);
    }
  }
  return bytes;
}

struct Data {
  std::string shuffled_file;
  std::string sorted_file;
  Glossary shuffled_glossary;  // read from the shuffled file
  Glossary sorted_glossary;    // read from the sorted file
};

const Data& TheData() {
  static const std::unique_ptr<Data> data = [] {
    auto made = std::make_unique<Data>();
    std::mt19937 random(20240611);
    std::vector<Entry> entries = MakeEntries(random);
    made->shuffled_file = FileInOrder(entries);
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      return Glossary::Compare(a.short_form, b.short_form) < 0;
    });
    made->sorted_file = FileInOrder(entries);
    ParseGlossaryFile(made->shuffled_file, made->shuffled_glossary);
    ParseGlossaryFile(made->sorted_file, made->sorted_glossary);
    return made;
  }();
  return *data;
}

const std::string& FileOf(bool shuffled) {
  return shuffled ? TheData().shuffled_file : TheData().sorted_file;
}

const Glossary& GlossaryOf(bool shuffled) {
  return shuffled ? TheData().shuffled_glossary : TheData().sorted_glossary;
}

void CheckCount(benchmark::State& state, int count) {
  if (count != kEntryCount) state.SkipWithError("the file did not read back whole");
}

void BM_ParseGlossaryFile(benchmark::State& state, bool shuffled) {
  const std::string& bytes = FileOf(shuffled);
  int count = 0;
  for (auto _ : state) {
    auto glossary = std::make_unique<Glossary>();
    ParseGlossaryFile(bytes, *glossary);
    state.PauseTiming();
    count = glossary->Count();
    glossary.reset();
    state.ResumeTiming();
  }
  CheckCount(state, count);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ReadGlossaryFile(benchmark::State& state, bool shuffled) {
  platform::fake::Reset();
  platform::fake::System().files[kPath] = FileOf(shuffled);
  int count = 0;
  for (auto _ : state) {
    auto glossary = std::make_unique<Glossary>();
    if (!ReadGlossaryFile(*glossary, kPath)) state.SkipWithError("the file could not be read");
    state.PauseTiming();
    count = glossary->Count();
    glossary.reset();
    state.ResumeTiming();
  }
  CheckCount(state, count);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileOf(shuffled).size()));
}

void BM_FormatGlossaryFile(benchmark::State& state, bool shuffled) {
  const Glossary& glossary = GlossaryOf(shuffled);
  std::size_t size = 0;
  for (auto _ : state) {
    std::string bytes = FormatGlossaryFile(glossary);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_WriteGlossaryFile(benchmark::State& state, bool shuffled) {
  platform::fake::Reset();
  const Glossary& glossary = GlossaryOf(shuffled);
  for (auto _ : state) {
    if (!WriteGlossaryFile(glossary, kPath)) state.SkipWithError("the file could not be written");
  }
  const std::string& written = platform::fake::System().files[kPath];
  if (written != FormatGlossaryFile(glossary)) {
    state.SkipWithError("the written file differs from the formatted bytes");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written.size()));
}

BENCHMARK_CAPTURE(BM_ParseGlossaryFile, sorted, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ParseGlossaryFile, shuffled, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadGlossaryFile, sorted, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadGlossaryFile, shuffled, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FormatGlossaryFile, sorted, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FormatGlossaryFile, shuffled, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteGlossaryFile, sorted, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteGlossaryFile, shuffled, true)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorel
