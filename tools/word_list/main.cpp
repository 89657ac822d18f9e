// Writes the base list of word completion from Debian's SCOWL lists:
//   quorel_word_list SCOWL_FOLDER OUT_FILE [COUNTS_FILE]
// (SCOWL_FOLDER is /usr/share/dict/scowl once the scowl package is installed; COUNTS_FILE
// holds "word<TAB>count" lines that order the words within each of SCOWL's levels).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/word_list/word_list.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s SCOWL_FOLDER OUT_FILE [COUNTS_FILE]\n", argv[0]);
    return 2;
  }
  const auto sources = quorel::words::FindSources(argv[1]);
  if (sources.empty()) {
    std::fprintf(stderr, "quorel_word_list: no English lists in %s (Debian: scowl)\n", argv[1]);
    return 1;
  }
  std::vector<std::u16string> words;
  std::string error;
  quorel::words::WordCounts counts;
  if (argc == 4 && !quorel::words::ReadWordCounts(argv[3], &counts, &error)) {
    std::fprintf(stderr, "quorel_word_list: %s\n", error.c_str());
    return 1;
  }
  if (!quorel::words::MakeWordList(sources, counts, &words, &error)) {
    std::fprintf(stderr, "quorel_word_list: %s\n", error.c_str());
    return 1;
  }
  const std::filesystem::path out = argv[2];
  const std::filesystem::path temporary = out.string() + ".new";
  const std::string bytes = quorel::words::FormatWordList(words, !counts.empty());
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
      std::fprintf(stderr, "quorel_word_list: cannot write %s\n", temporary.c_str());
      return 1;
    }
  }
  std::error_code failed;
  std::filesystem::rename(temporary, out, failed);
  if (failed) {
    std::fprintf(stderr, "quorel_word_list: cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("%s: %zu words, %zu bytes\n", out.c_str(), words.size(), bytes.size());
  return 0;
}
