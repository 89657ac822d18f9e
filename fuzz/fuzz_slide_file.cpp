// Arbitrary bytes through the slide file reader, then the writer and the reader again.
// Every definition the reader accepts has a written form, so none may get lost.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/round_trip.h"
#include "library/slides/slide_set.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quorel::fuzz::CheckRoundTrip<quorel::SlideSet>(
      "slide file", std::string_view(reinterpret_cast<const char*>(data), size),
      [](std::string_view bytes, quorel::SlideSet& set) { quorel::ParseSlideFile(bytes, set); },
      [](const quorel::SlideSet& set) { return quorel::FormatSlideFile(set); },
      [](const quorel::SlideSet& set) { return set.live_count(); });
  return 0;
}
