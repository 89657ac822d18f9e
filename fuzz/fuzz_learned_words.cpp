// Arbitrary bytes as a learned words file: read, written and read again, every word kept
// (see round_trip.h). The same bytes as a base list, searched by the prefixes of its own
// words and for their next words, must not break the search either.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/round_trip.h"
#include "library/completion/word_store.h"
#include "library/completion/word_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  quorel::fuzz::CheckRoundTrip<quorel::WordStore>(
      "learned words", bytes,
      [](std::string_view file, quorel::WordStore& store) { store.ParseLearned(file); },
      [](const quorel::WordStore& store) { return store.FormatLearned(); },
      [](const quorel::WordStore& store) { return store.LearnedCount(); });

  quorel::WordStore store;
  store.ParseBase(bytes);
  store.ParseLearned(bytes);
  for (int rank = 0; rank < store.Base().RankLimit() && rank < 8; ++rank) {
    const std::u16string_view word = store.Base().WordAt(rank);
    for (std::size_t length = 1; length <= word.size(); ++length) {
      for (const std::u16string& label : store.Completions(word.substr(0, length), 8)) {
        if (label.size() <= length) std::abort();  // a completion adds letters
      }
    }
    // Next words, the list's and the learned pairs', are words, at most as many as asked.
    const auto next_words = store.NextWords(word, 3);
    if (next_words.size() > 3) std::abort();
    for (const std::u16string& next : next_words) {
      if (!quorel::IsLearnableWord(next)) std::abort();
    }
  }
  return 0;
}
