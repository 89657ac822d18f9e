// The keyboard decodes each panel picture once, from the 256-colour PNG the package ships,
// into the BMP rows it draws from. Beside it, what the same picture cost before: reading
// it as an uncompressed 32-bit BMP file four to five times the size. The letter panel at
// finger size, the largest picture, at 100, 200 and 300 %.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/image_decode.h"
#include "tools/panel_art/bitmap.h"
#include "tools/panel_art/panel_art.h"
#include "tools/panel_art/png.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
  std::vector<std::uint8_t> bytes(fs::file_size(path));
  std::ifstream file(path, std::ios::binary);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// The panel drawn at a scale and written both ways; the paths of the PNG and the BMP.
std::pair<fs::path, fs::path> Drawn(int dpi) {
  static std::unique_ptr<quorel::art::Typefaces> faces = [] {
    std::string error;
    auto opened = quorel::art::Typefaces::Open(QUOREL_DEJAVU_DIR, &error);
    if (!opened) std::fprintf(stderr, "no typefaces: %s\n", error.c_str());
    return opened;
  }();
  const fs::path folder = fs::temp_directory_path() / "quorel_image_bench";
  fs::create_directories(folder);
  const std::string name = "letters_" + std::to_string(dpi);
  const fs::path png = folder / (name + ".png");
  const fs::path bmp = folder / (name + ".bmp");
  if (faces) {
    const auto art = quorel::art::DrawPanel(*faces, 4, quorel::keyboard::PanelKind::kLetterNormal,
                                            0, dpi);
    quorel::art::WritePng(png, art.normal);
    quorel::art::WriteBmp(bmp, art.normal);
  }
  return {png, bmp};
}

void ReadPngAndDecode(benchmark::State& state) {
  const auto [png, bmp] = Drawn(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const std::vector<std::uint8_t> bytes = ReadAll(png);
    auto decoded = platform::DecodeToBmp(bytes.data(), bytes.size());
    if (!decoded) state.SkipWithError("the PNG did not decode");
    benchmark::DoNotOptimize(decoded);
  }
  state.counters["file_KB"] = static_cast<double>(fs::file_size(png)) / 1024.0;
}

void ReadBmp(benchmark::State& state) {
  const auto [png, bmp] = Drawn(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto bytes = ReadAll(bmp);
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["file_KB"] = static_cast<double>(fs::file_size(bmp)) / 1024.0;
}

BENCHMARK(ReadPngAndDecode)->Arg(96)->Arg(192)->Arg(288)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadBmp)->Arg(96)->Arg(192)->Arg(288)->Unit(benchmark::kMillisecond);

}  // namespace
