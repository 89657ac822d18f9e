// Writes a base list of word completion:
//   quorel_word_list SCOWL_FOLDER OUT_FILE [COUNTS_FILE [PAIRS_FILE]]
//       English, from Debian's SCOWL lists (SCOWL_FOLDER is /usr/share/dict/scowl once the
//       scowl package is installed)
//   quorel_word_list --from-file LANGUAGE WORDS_FILE OUT_FILE [COUNTS_FILE COUNTED_BY [PAIRS_FILE]]
//       another language, from one file of its words a line (Debian's wordlists, such as
//       /usr/share/dict/french of wfrench); LANGUAGE and COUNTED_BY, the source of the
//       counts, are named in the list's head
// COUNTS_FILE holds "word<TAB>count" lines that order the words (text_counts.py,
// manual_counts.py); PAIRS_FILE "first<TAB>next<TAB>count" lines, from which each word's
// likeliest next words are listed (text_counts.py).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/word_list/word_list.h"

namespace {

int Usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s SCOWL_FOLDER OUT_FILE [COUNTS_FILE [PAIRS_FILE]]\n"
               "       %s --from-file LANGUAGE WORDS_FILE OUT_FILE [COUNTS_FILE COUNTED_BY "
               "[PAIRS_FILE]]\n",
               program, program);
  return 2;
}

int Fail(const std::string& error) {
  std::fprintf(stderr, "quorel_word_list: %s\n", error.c_str());
  return 1;
}

// Written beside and renamed over the old list, so that a failed run leaves it whole.
bool WriteList(const std::filesystem::path& out, const std::string& bytes) {
  const std::filesystem::path temporary = out.string() + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) return false;
  }
  std::error_code failed;
  std::filesystem::rename(temporary, out, failed);
  return !failed;
}

}  // namespace

int main(int argc, char** argv) {
  namespace words = quorel::words;
  const bool from_file = argc > 1 && std::strcmp(argv[1], "--from-file") == 0;
  const int first = from_file ? 4 : 2;  // the OUT_FILE argument
  const int with_counts = first + (from_file ? 3 : 2);
  if (argc != first + 1 && argc != with_counts && argc != with_counts + 1) return Usage(argv[0]);
  std::string error;
  words::WordCounts counts;
  std::vector<words::PairCount> pairs;
  if (argc == with_counts + 1 && !words::ReadPairCounts(argv[with_counts], &pairs, &error)) {
    return Fail(error);
  }
  if (argc >= with_counts && !words::ReadWordCounts(argv[first + 1], &counts, &error)) {
    return Fail(error);
  }
  std::vector<std::u16string> list;
  std::string head;
  if (from_file) {
    const std::string language = argv[2];
    const std::filesystem::path source = argv[3];
    if (!words::MakeListFromFile(source, counts, words::kMaxListWords, &list, &error)) {
      return Fail(error);
    }
    if (list.empty()) return Fail("no words in " + source.string());
    const std::string stem = std::filesystem::path(argv[first]).stem().string();
    head = words::ListHead(language, "Debian's word list " + source.filename().string(),
                           stem + "-copyright.txt", argc >= with_counts ? argv[first + 2] : "");
  } else {
    const auto sources = words::FindSources(argv[1]);
    if (sources.empty()) return Fail(std::string("no English lists in ") + argv[1] + " (Debian: scowl)");
    if (!words::MakeWordList(sources, counts, &list, &error)) return Fail(error);
    head = words::EnglishHead(!counts.empty());
  }
  const std::filesystem::path out = argv[first];
  // Three, as many as the list shows at first.
  const auto next_words = words::ListedNextWords(list, std::move(pairs), 3);
  const std::string bytes = words::FormatWordList(list, head, next_words);
  if (!WriteList(out, bytes)) return Fail("cannot write " + out.string());
  std::printf("%s: %zu words, %zu next words, %zu bytes\n", out.c_str(), list.size(),
              next_words.size(), bytes.size());
  return 0;
}
