// The property both file fuzzers check: whatever the reader makes of the bytes, the file
// the writer produces for it must read back as the same collection, so that writing again
// gives the same bytes and keeps every item. A difference means a user's file would change
// on every save.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace quorel::fuzz {

inline void ReportMismatch(const char* what, const std::string& first, const std::string& second) {
  std::size_t at = 0;
  while (at < first.size() && at < second.size() && first[at] == second[at]) ++at;
  std::fprintf(stderr, "%s round trip differs at byte %zu of %zu / %zu\n", what, at, first.size(),
               second.size());
  std::size_t from = at > 40 ? at - 40 : 0;
  std::fprintf(stderr, "first:  %s\n", first.substr(from, 120).c_str());
  std::fprintf(stderr, "second: %s\n", second.substr(from, 120).c_str());
}

// `parse(bytes, collection)`, `format(collection)` and `count(collection)` for one file kind.
template <typename Collection, typename Parse, typename Format, typename Count>
void CheckRoundTrip(const char* what, std::string_view bytes, Parse parse, Format format,
                    Count count) {
  Collection read;
  parse(bytes, read);
  const std::string first = format(read);

  Collection reread;
  parse(first, reread);
  const std::string second = format(reread);

  if (first != second) {
    ReportMismatch(what, first, second);
    std::abort();
  }
  if (count(reread) != count(read)) {
    std::fprintf(stderr, "%s round trip kept %zu of %zu items\n", what,
                 static_cast<std::size_t>(count(reread)), static_cast<std::size_t>(count(read)));
    std::abort();
  }
}

}  // namespace quorel::fuzz
