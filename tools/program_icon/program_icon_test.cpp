#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tools/program_icon/icon_art.h"
#include "tools/program_icon/icon_file.h"

namespace quorel::icon {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  Bytes bytes(file ? static_cast<std::size_t>(file.tellg()) : 0);
  file.seekg(0);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

std::uint32_t Le16(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t Le32(const Bytes& b, std::size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }
std::uint32_t Be32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

Bytes Inflate(const Bytes& stream, std::size_t expected_size) {
  Bytes out(expected_size + 1);
  uLongf size = out.size();
  if (uncompress(out.data(), &size, stream.data(), stream.size()) != Z_OK) return {};
  out.resize(size);
  return out;
}

// The pixels of one PNG as this encoder writes it (RGBA, 8 bits, rows filtered with None or
// Sub), checking every chunk's CRC with zlib's; empty on anything else.
std::vector<Rgba> DecodePng(const Bytes& png, int size) {
  const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 8 || !std::equal(signature.begin(), signature.end(), png.begin())) return {};
  Bytes compressed;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = Be32(png, at);
    if (at + 12 + length > png.size()) return {};
    const std::string type(png.begin() + static_cast<long>(at) + 4,
                           png.begin() + static_cast<long>(at) + 8);
    if (crc32(0, png.data() + at + 4, length + 4) != Be32(png, at + 8 + length)) return {};
    const Bytes body(png.begin() + static_cast<long>(at) + 8,
                     png.begin() + static_cast<long>(at + 8 + length));
    if (type == "IHDR" &&
        (Be32(body, 0) != static_cast<std::uint32_t>(size) ||
         Be32(body, 4) != static_cast<std::uint32_t>(size) || body[8] != 8 || body[9] != 6)) {
      return {};
    }
    if (type == "IDAT") compressed.insert(compressed.end(), body.begin(), body.end());
    at += 12 + length;
  }
  const std::size_t row = static_cast<std::size_t>(size) * 4 + 1;
  const Bytes raw = Inflate(compressed, row * size);
  if (raw.size() != row * size) return {};
  std::vector<Rgba> pixels;
  for (int y = 0; y < size; ++y) {
    const std::uint8_t filter = raw[y * row];
    if (filter > 1) return {};
    Rgba left{};
    for (int x = 0; x < size; ++x) {
      const std::uint8_t* p = &raw[y * row + 1 + static_cast<std::size_t>(x) * 4];
      Rgba pixel{p[0], p[1], p[2], p[3]};
      if (filter == 1) {
        pixel = {static_cast<std::uint8_t>(pixel.r + left.r),
                 static_cast<std::uint8_t>(pixel.g + left.g),
                 static_cast<std::uint8_t>(pixel.b + left.b),
                 static_cast<std::uint8_t>(pixel.a + left.a)};
      }
      pixels.push_back(pixel);
      left = pixel;
    }
  }
  return pixels;
}

// The colours of a 32-bit icon bitmap, and whether its mask marks exactly the fully
// transparent pixels; empty when the header is not what the system expects.
std::vector<Rgba> DecodeBitmap(const Bytes& image, int size, bool* mask_matches) {
  if (image.size() < 40 || Le32(image, 0) != 40 || Le32(image, 4) != static_cast<unsigned>(size) ||
      Le32(image, 8) != static_cast<unsigned>(2 * size) || Le16(image, 12) != 1 ||
      Le16(image, 14) != 32 || Le32(image, 16) != 0) {
    return {};
  }
  const std::size_t mask_row = (size + 31) / 32 * 4;
  const std::size_t colours = static_cast<std::size_t>(size) * size * 4;
  if (image.size() != 40 + colours + mask_row * size) return {};
  std::vector<Rgba> pixels(static_cast<std::size_t>(size) * size);
  *mask_matches = true;
  for (int stored = 0; stored < size; ++stored) {
    const int y = size - 1 - stored;  // bottom-up
    for (int x = 0; x < size; ++x) {
      const std::size_t at = 40 + (static_cast<std::size_t>(stored) * size + x) * 4;
      const Rgba pixel{image[at + 2], image[at + 1], image[at], image[at + 3]};
      pixels[static_cast<std::size_t>(y) * size + x] = pixel;
      const bool masked =
          (image[40 + colours + stored * mask_row + x / 8] & (0x80 >> (x % 8))) != 0;
      if (masked != (pixel.a == 0)) *mask_matches = false;
    }
  }
  return pixels;
}

TEST(ProgramIconTest, TheCommittedIconIsWhatTheGeneratorDraws) {
  const Bytes drawn = ProgramIcon();
  ASSERT_FALSE(drawn.empty());
  EXPECT_TRUE(FileBytes(QUOREL_SOURCE_DIR "/data/QuorelKeyboard.ico") == drawn)
      << "data/QuorelKeyboard.ico is not what the generator draws: run `make icon` and commit it";
}

TEST(ProgramIconTest, EverySizeReadsBackAsDrawnWithItsTransparency) {
  const Bytes ico = FileBytes(QUOREL_SOURCE_DIR "/data/QuorelKeyboard.ico");
  ASSERT_GE(ico.size(), 6u);
  EXPECT_EQ(Le16(ico, 0), 0u);
  EXPECT_EQ(Le16(ico, 2), 1u);  // an icon
  const std::size_t count = Le16(ico, 4);
  ASSERT_EQ(count, IconSizes().size());
  std::size_t next = 6 + 16 * count;  // the images follow the directory, one after another
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * i;
    const int size = IconSizes()[i];
    SCOPED_TRACE("size " + std::to_string(size));
    EXPECT_EQ(ico[entry], size % 256);
    EXPECT_EQ(ico[entry + 1], size % 256);
    EXPECT_EQ(Le16(ico, entry + 4), 1u);
    EXPECT_EQ(Le16(ico, entry + 6), 32u);
    const std::size_t length = Le32(ico, entry + 8);
    ASSERT_EQ(Le32(ico, entry + 12), next);
    ASSERT_LE(next + length, ico.size());
    const Bytes image(ico.begin() + static_cast<long>(next),
                      ico.begin() + static_cast<long>(next + length));
    next += length;

    bool mask_matches = true;
    const std::vector<Rgba> pixels =
        size == 256 ? DecodePng(image, size) : DecodeBitmap(image, size, &mask_matches);
    const std::vector<Rgba> expected = DrawIcon(size);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(size) * size);
    EXPECT_TRUE(pixels == expected);
    EXPECT_TRUE(mask_matches);
    // Clear around the picture, solid on the keyboard.
    EXPECT_EQ(expected.front().a, 0);
    EXPECT_EQ(expected[static_cast<std::size_t>(size) * size * 3 / 4 + size / 2].a, 255);
  }
  EXPECT_EQ(next, ico.size());
}

TEST(ProgramIconTest, ImagesThatDoNotMatchTheirSizeMakeNoFile) {
  EXPECT_TRUE(EncodeIco({}).empty());
  const IconImage bad[] = {{16, std::vector<Rgba>(15 * 16)}, {0, {}}, {512, {}}};
  for (const IconImage& image : bad) {
    EXPECT_TRUE(EncodeIco({&image, 1}).empty()) << image.size;
    EXPECT_TRUE(EncodePng(image).empty()) << image.size;
  }
  EXPECT_TRUE(DrawIcon(28).empty());
}

TEST(ZlibCompressTest, ZlibInflatesEveryShapeOfInputBack) {
  std::mt19937 random(7);
  auto noise = [&](std::size_t n) {
    Bytes bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
  };
  Bytes long_run(100000, 0x2a);     // matches of the longest length, one after another
  Bytes far_repeat = noise(40000);  // a repeat beyond the window must be spelt out again
  far_repeat.insert(far_repeat.end(), far_repeat.begin(), far_repeat.begin() + 5000);
  Bytes every_length;  // runs of 3 to 300 equal bytes, each length code and its extra bits
  for (int n = 3; n <= 300; ++n) {
    every_length.insert(every_length.end(), static_cast<std::size_t>(n),
                        static_cast<std::uint8_t>(n));
  }
  const Bytes cases[] = {{}, {0x00}, {1, 2, 3}, noise(70000), long_run, far_repeat, every_length};
  for (const Bytes& data : cases) {
    SCOPED_TRACE(data.size());
    const Bytes stream = ZlibCompress(data);
    EXPECT_EQ(Inflate(stream, data.size()), data);
  }
  EXPECT_LT(ZlibCompress(long_run).size(), 1000u);
}

}  // namespace
}  // namespace quorel::icon
