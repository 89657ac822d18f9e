// Arbitrary bytes through the glossary reader, then the writer and the reader again. The
// reader only accepts short forms of letters and digits, which the writer always writes,
// so no entry may get lost.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/round_trip.h"
#include "library/glossary/glossary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quorel::fuzz::CheckRoundTrip<quorel::Glossary>(
      "glossary", std::string_view(reinterpret_cast<const char*>(data), size),
      [](std::string_view bytes, quorel::Glossary& glossary) {
        quorel::ParseGlossaryFile(bytes, glossary);
      },
      [](const quorel::Glossary& glossary) { return quorel::FormatGlossaryFile(glossary); },
      [](const quorel::Glossary& glossary) { return glossary.Count(); });
  return 0;
}
