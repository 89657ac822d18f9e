// Feeds arbitrary bytes to the slide file reader. Whatever the reader makes of them, the
// file the writer produces for that set must read back as the same set: writing it again
// gives the same bytes. A difference means the writer emits something the reader takes
// differently, and a user's slides would change on every save.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "library/slides/slide_set.h"

namespace {

void ReportMismatch(const std::string& first, const std::string& second) {
  std::size_t at = 0;
  while (at < first.size() && at < second.size() && first[at] == second[at]) ++at;
  std::fprintf(stderr, "slide file round trip differs at byte %zu of %zu / %zu\n", at, first.size(),
               second.size());
  std::size_t from = at > 40 ? at - 40 : 0;
  std::fprintf(stderr, "first:  %s\n", first.substr(from, 120).c_str());
  std::fprintf(stderr, "second: %s\n", second.substr(from, 120).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  quorel::SlideSet read;
  quorel::ParseSlideFile(bytes, read);
  const std::string first = quorel::FormatSlideFile(read);

  quorel::SlideSet reread;
  quorel::ParseSlideFile(first, reread);
  const std::string second = quorel::FormatSlideFile(reread);

  if (first != second) {
    ReportMismatch(first, second);
    std::abort();
  }
  // Every definition the reader accepts has a written form, so none may get lost.
  if (reread.live_count() != read.live_count()) {
    std::fprintf(stderr, "slide file round trip kept %zu of %zu definitions\n", reread.live_count(),
                 read.live_count());
    std::abort();
  }
  return 0;
}
