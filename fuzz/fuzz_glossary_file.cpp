// Feeds arbitrary bytes to the glossary reader. Whatever the reader makes of them, the file
// the writer produces for that glossary must read back as the same glossary: writing it
// again gives the same bytes and keeps every entry. A difference means a user's glossary
// would change on every save.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "library/glossary/glossary.h"

namespace {

void ReportMismatch(const std::string& first, const std::string& second) {
  std::size_t at = 0;
  while (at < first.size() && at < second.size() && first[at] == second[at]) ++at;
  std::fprintf(stderr, "glossary round trip differs at byte %zu of %zu / %zu\n", at, first.size(),
               second.size());
  std::size_t from = at > 40 ? at - 40 : 0;
  std::fprintf(stderr, "first:  %s\n", first.substr(from, 120).c_str());
  std::fprintf(stderr, "second: %s\n", second.substr(from, 120).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  quorel::Glossary read;
  quorel::ParseGlossaryFile(bytes, read);
  const std::string first = quorel::FormatGlossaryFile(read);

  quorel::Glossary reread;
  quorel::ParseGlossaryFile(first, reread);
  const std::string second = quorel::FormatGlossaryFile(reread);

  if (first != second) {
    ReportMismatch(first, second);
    std::abort();
  }
  // The reader only accepts short forms of letters and digits, which the writer always
  // writes, so none may get lost.
  if (reread.Count() != read.Count()) {
    std::fprintf(stderr, "glossary round trip kept %d of %d entries\n", reread.Count(),
                 read.Count());
    std::abort();
  }
  return 0;
}
