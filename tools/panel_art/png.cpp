#include "tools/panel_art/png.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string_view>
#include <vector>

namespace quorel::art {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kRgb = 3;
constexpr int kMostColours = 256;

void Put32(Bytes& out, std::uint32_t value) {
  for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t Get32(const Bytes& in, std::size_t at) {
  return static_cast<std::uint32_t>(in[at]) << 24 | static_cast<std::uint32_t>(in[at + 1]) << 16 |
         static_cast<std::uint32_t>(in[at + 2]) << 8 | in[at + 3];
}

void PutChunk(Bytes& out, std::string_view type, const Bytes& data) {
  Put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  Put32(out, static_cast<std::uint32_t>(
                 crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

std::uint8_t Unfiltered(int type, std::uint8_t value, const Bytes& row, const Bytes& above,
                        std::size_t i, std::size_t channels) {
  const int a = i >= channels ? row[i - channels] : 0;
  const int b = above[i];
  const int c = i >= channels ? above[i - channels] : 0;
  switch (type) {
    case 1: return static_cast<std::uint8_t>(value + a);
    case 2: return static_cast<std::uint8_t>(value + b);
    case 3: return static_cast<std::uint8_t>(value + (a + b) / 2);
    case 4: return static_cast<std::uint8_t>(value + Paeth(a, b, c));
    default: return value;
  }
}

using Rgb = std::uint32_t;  // 0xRRGGBB
Rgb Pack(Color c) { return static_cast<Rgb>(c.r) << 16 | static_cast<Rgb>(c.g) << 8 | c.b; }
Color Unpack(Rgb v) {
  return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v)};
}

// The art's colours are a few gradients and the ink laid over them; at most 256 stand for
// them all. Median cut: the box of colours with the widest spread is halved at the median
// of that channel, weighted by how many pixels have each colour, until there are 256; each
// box's colour is the weighted mean of its colours. Exact when the image has 256 or fewer.
struct Palette {
  std::vector<Color> colours;
  std::map<Rgb, std::uint8_t> index;
};

Palette PaletteOf(const Image& image) {
  std::map<Rgb, std::uint64_t> counts;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ++counts[Pack(image.At(x, y))];
  }
  using Entry = std::pair<Rgb, std::uint64_t>;
  std::vector<std::vector<Entry>> boxes(1, std::vector<Entry>(counts.begin(), counts.end()));
  const auto channel = [](Rgb v, int c) { return static_cast<int>((v >> (16 - 8 * c)) & 0xFF); };
  const auto spread = [&](const std::vector<Entry>& box, int* widest) {
    int best = -1;
    for (int c = 0; c < 3; ++c) {
      int low = 255;
      int high = 0;
      for (const Entry& e : box) {
        low = std::min(low, channel(e.first, c));
        high = std::max(high, channel(e.first, c));
      }
      if (high - low > best) {
        best = high - low;
        *widest = c;
      }
    }
    return best;
  };
  while (boxes.size() < static_cast<std::size_t>(kMostColours)) {
    std::size_t split = boxes.size();
    int split_channel = 0;
    long long split_score = 0;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
      if (boxes[b].size() < 2) continue;
      int c = 0;
      const int width = spread(boxes[b], &c);
      std::uint64_t pixels = 0;
      for (const Entry& e : boxes[b]) pixels += e.second;
      // The widest box first, which bounds every pixel's error; of equal ones, the one of
      // more pixels.
      const std::uint64_t count = std::min<std::uint64_t>(pixels, (1ull << 40) - 1);
      const long long score = static_cast<long long>(width) << 40 | static_cast<long long>(count);
      if (width > 0 && score > split_score) {
        split = b;
        split_channel = c;
        split_score = score;
      }
    }
    if (split == boxes.size()) break;  // every colour has a box of its own
    std::vector<Entry>& box = boxes[split];
    std::sort(box.begin(), box.end(), [&](const Entry& a, const Entry& b) {
      return channel(a.first, split_channel) < channel(b.first, split_channel);
    });
    std::uint64_t total = 0;
    for (const Entry& e : box) total += e.second;
    std::uint64_t seen = 0;
    std::size_t median = 1;
    for (; median < box.size(); ++median) {
      seen += box[median - 1].second;
      if (seen * 2 >= total) break;
    }
    median = std::clamp<std::size_t>(median, 1, box.size() - 1);
    std::vector<Entry> upper(box.begin() + static_cast<std::ptrdiff_t>(median), box.end());
    box.resize(median);
    boxes.push_back(std::move(upper));
  }
  Palette palette;
  for (const std::vector<Entry>& box : boxes) {
    std::uint64_t sum[3] = {};
    std::uint64_t pixels = 0;
    for (const Entry& e : box) {
      for (int c = 0; c < 3; ++c) sum[c] += static_cast<std::uint64_t>(channel(e.first, c)) * e.second;
      pixels += e.second;
    }
    Color mean;
    if (pixels > 0) {
      mean = {static_cast<std::uint8_t>((sum[0] + pixels / 2) / pixels),
              static_cast<std::uint8_t>((sum[1] + pixels / 2) / pixels),
              static_cast<std::uint8_t>((sum[2] + pixels / 2) / pixels)};
    }
    for (const Entry& e : box) {
      palette.index[e.first] = static_cast<std::uint8_t>(palette.colours.size());
    }
    palette.colours.push_back(box.size() == 1 ? Unpack(box.front().first) : mean);
  }
  return palette;
}

}  // namespace

bool WritePng(const std::filesystem::path& path, const Image& image) {
  if (image.width() <= 0 || image.height() <= 0) return false;
  const Palette palette = PaletteOf(image);
  const std::size_t channels = 1;
  const std::size_t stride = static_cast<std::size_t>(image.width()) * channels;
  Bytes raw;
  raw.reserve((stride + 1) * static_cast<std::size_t>(image.height()));
  for (int y = 0; y < image.height(); ++y) {
    Bytes row(stride);
    for (int x = 0; x < image.width(); ++x) {
      row[static_cast<std::size_t>(x)] = palette.index.at(Pack(image.At(x, y)));
    }
    // Palette indices are names, not amounts: they pack best unfiltered.
    raw.push_back(0);
    raw.insert(raw.end(), row.begin(), row.end());
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  Bytes packed(packed_size);
  if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    return false;
  }
  packed.resize(packed_size);

  Bytes out(kSignature.begin(), kSignature.end());
  Bytes header;
  Put32(header, static_cast<std::uint32_t>(image.width()));
  Put32(header, static_cast<std::uint32_t>(image.height()));
  header.insert(header.end(), {8, 3, 0, 0, 0});  // 8 bits, palette, deflate, filtered, no interlace
  PutChunk(out, "IHDR", header);
  Bytes colours;
  for (const Color& c : palette.colours) colours.insert(colours.end(), {c.r, c.g, c.b});
  PutChunk(out, "PLTE", colours);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

std::optional<Image> ReadPng(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  const Bytes in((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (in.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), in.begin())) {
    return std::nullopt;
  }
  int width = 0;
  int height = 0;
  int colour_type = 0;
  Bytes packed;
  std::vector<Color> palette;
  for (std::size_t at = kSignature.size(); at + 12 <= in.size();) {
    const std::uint32_t length = Get32(in, at);
    if (at + 12 + length > in.size()) return std::nullopt;
    const std::string_view type(reinterpret_cast<const char*>(in.data() + at + 4), 4);
    const std::size_t data = at + 8;
    if (type == "IHDR" && length == 13) {
      width = static_cast<int>(Get32(in, data));
      height = static_cast<int>(Get32(in, data + 4));
      colour_type = in[data + 9];
      if (in[data + 8] != 8 || (colour_type != 2 && colour_type != 3) || in[data + 12] != 0) {
        return std::nullopt;
      }
    } else if (type == "PLTE") {
      for (std::size_t i = 0; i + 2 < length; i += 3) {
        palette.push_back({in[data + i], in[data + i + 1], in[data + i + 2]});
      }
    } else if (type == "IDAT") {
      packed.insert(packed.end(), in.begin() + static_cast<std::ptrdiff_t>(data),
                    in.begin() + static_cast<std::ptrdiff_t>(data + length));
    }
    at += 12 + length;
  }
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return std::nullopt;
  const std::size_t channels = colour_type == 3 ? 1 : kRgb;
  const std::size_t stride = static_cast<std::size_t>(width) * channels;
  uLongf raw_size = static_cast<uLongf>((stride + 1) * static_cast<std::size_t>(height));
  Bytes raw(raw_size);
  if (uncompress(raw.data(), &raw_size, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
      raw_size != raw.size()) {
    return std::nullopt;
  }
  Image image(width, height);
  Bytes above(stride, 0);
  Bytes row(stride);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* line = raw.data() + static_cast<std::size_t>(y) * (stride + 1);
    const int type = line[0];
    if (type > 4) return std::nullopt;
    for (std::size_t i = 0; i < stride; ++i) {
      row[i] = Unfiltered(type, line[1 + i], row, above, i, channels);
    }
    for (int x = 0; x < width; ++x) {
      const std::size_t i = static_cast<std::size_t>(x) * channels;
      if (channels == 1) {
        if (row[i] >= palette.size()) return std::nullopt;
        image.Set(x, y, palette[row[i]]);
      } else {
        image.Set(x, y, {row[i], row[i + 1], row[i + 2]});
      }
    }
    above = row;
  }
  return image;
}

}  // namespace quorel::art
