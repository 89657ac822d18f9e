#include "tools/program_icon/icon_file.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "tools/program_icon/icon_art.h"

namespace quorel::icon {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void Put32BigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

bool WellFormed(const IconImage& image) {
  return image.size >= 1 && image.size <= 256 &&
         image.pixels.size() == static_cast<std::size_t>(image.size) * image.size;
}

// ---- Deflate with the fixed codes -------------------------------------------------------

class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  // Least significant bit first, as deflate packs its fields.
  void Bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
  }
  // Huffman codes go most significant bit first.
  void Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
  }
  void Flush() {
    if (used_ > 0) out_.push_back(byte_);
    byte_ = 0;
    used_ = 0;
  }

 private:
  void Bit(std::uint32_t bit) {
    byte_ |= static_cast<std::uint8_t>(bit << used_);
    if (++used_ == 8) Flush();
  }
  std::vector<std::uint8_t>& out_;
  std::uint8_t byte_ = 0;
  int used_ = 0;
};

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kWindow = 32768;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr int kChainLimit = 128;

void Symbol(BitWriter& bits, int symbol) {
  if (symbol < 144) {
    bits.Code(0x30 + symbol, 8);
  } else if (symbol < 256) {
    bits.Code(0x190 + symbol - 144, 9);
  } else if (symbol < 280) {
    bits.Code(symbol - 256, 7);
  } else {
    bits.Code(0xC0 + symbol - 280, 8);
  }
}

// The last table row whose base is not above `value`.
template <std::size_t N>
int RowOf(const std::array<int, N>& bases, int value) {
  return static_cast<int>(std::upper_bound(bases.begin(), bases.end(), value) - bases.begin()) - 1;
}

void Match(BitWriter& bits, int length, int distance) {
  const int l = RowOf(kLengthBase, length);
  Symbol(bits, 257 + l);
  bits.Bits(static_cast<std::uint32_t>(length - kLengthBase[static_cast<std::size_t>(l)]),
            kLengthExtra[static_cast<std::size_t>(l)]);
  const int d = RowOf(kDistanceBase, distance);
  bits.Code(static_cast<std::uint32_t>(d), 5);
  bits.Bits(static_cast<std::uint32_t>(distance - kDistanceBase[static_cast<std::size_t>(d)]),
            d < 4 ? 0 : d / 2 - 1);
}

void Deflate(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out) {
  BitWriter bits(out);
  bits.Bits(1, 1);  // the final block
  bits.Bits(1, 2);  // fixed codes
  const int n = static_cast<int>(data.size());
  std::vector<int> head(1 << 15, -1);
  std::vector<int> previous(data.size(), -1);
  auto hash = [&](int at) {
    return ((data[static_cast<std::size_t>(at)] << 10) ^
            (data[static_cast<std::size_t>(at) + 1] << 5) ^
            data[static_cast<std::size_t>(at) + 2]) &
           0x7FFF;
  };
  auto insert = [&](int at) {
    if (at + kMinMatch > n) return;
    const int h = hash(at);
    previous[static_cast<std::size_t>(at)] = head[static_cast<std::size_t>(h)];
    head[static_cast<std::size_t>(h)] = at;
  };
  int at = 0;
  while (at < n) {
    int best_length = 0;
    int best_distance = 0;
    if (at + kMinMatch <= n) {
      const int limit = std::min(kMaxMatch, n - at);
      int candidate = head[static_cast<std::size_t>(hash(at))];
      for (int tries = 0; candidate >= 0 && at - candidate <= kWindow && tries < kChainLimit;
           ++tries) {
        int length = 0;
        while (length < limit && data[static_cast<std::size_t>(candidate + length)] ==
                                     data[static_cast<std::size_t>(at + length)]) {
          ++length;
        }
        if (length > best_length) {
          best_length = length;
          best_distance = at - candidate;
          if (length == limit) break;
        }
        candidate = previous[static_cast<std::size_t>(candidate)];
      }
    }
    if (best_length >= kMinMatch) {
      Match(bits, best_length, best_distance);
      for (int i = 0; i < best_length; ++i) insert(at + i);
      at += best_length;
    } else {
      Symbol(bits, data[static_cast<std::size_t>(at)]);
      insert(at);
      ++at;
    }
  }
  Symbol(bits, 256);  // end of block
  bits.Flush();
}

std::uint32_t Adler32(std::span<const std::uint8_t> data) {
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

std::uint32_t Crc32(std::span<const std::uint8_t> data) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::uint8_t byte : data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

void Chunk(std::vector<std::uint8_t>& png, std::string_view type,
           const std::vector<std::uint8_t>& body) {
  Put32BigEndian(png, static_cast<std::uint32_t>(body.size()));
  const std::size_t start = png.size();
  png.insert(png.end(), type.begin(), type.end());
  png.insert(png.end(), body.begin(), body.end());
  Put32BigEndian(png, Crc32(std::span(png).subspan(start)));
}

// BITMAPINFOHEADER of twice the height, the colours bottom-up in BGRA, then the mask that
// marks the fully transparent pixels for renderers that ignore the alpha.
std::vector<std::uint8_t> EncodeBitmap(const IconImage& image) {
  const int size = image.size;
  const int mask_row = (size + 31) / 32 * 4;
  std::vector<std::uint8_t> out;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(size));
  Put32(out, static_cast<std::uint32_t>(size * 2));
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);  // BI_RGB
  Put32(out, static_cast<std::uint32_t>(size * size * 4 + mask_row * size));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const Rgba& p = image.pixels[static_cast<std::size_t>(y * size + x)];
      out.insert(out.end(), {p.b, p.g, p.r, p.a});
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(mask_row), 0);
    for (int x = 0; x < size; ++x) {
      if (image.pixels[static_cast<std::size_t>(y * size + x)].a == 0) {
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out = {0x78, 0x01};  // deflate, 32K window, no dictionary
  Deflate(data, out);
  Put32BigEndian(out, Adler32(data));
  return out;
}

std::vector<std::uint8_t> EncodePng(const IconImage& image) {
  if (!WellFormed(image)) return {};
  const int size = image.size;
  // Every row with the "Sub" filter: runs of one colour become runs of zeros.
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(size) * (size * 4 + 1));
  for (int y = 0; y < size; ++y) {
    raw.push_back(1);
    Rgba left{};
    for (int x = 0; x < size; ++x) {
      const Rgba& p = image.pixels[static_cast<std::size_t>(y * size + x)];
      raw.insert(
          raw.end(),
          {static_cast<std::uint8_t>(p.r - left.r), static_cast<std::uint8_t>(p.g - left.g),
           static_cast<std::uint8_t>(p.b - left.b), static_cast<std::uint8_t>(p.a - left.a)});
      left = p;
    }
  }
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  Put32BigEndian(header, static_cast<std::uint32_t>(size));
  Put32BigEndian(header, static_cast<std::uint32_t>(size));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive, no interlace
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", ZlibCompress(raw));
  Chunk(png, "IEND", {});
  return png;
}

std::vector<std::uint8_t> EncodeIco(std::span<const IconImage> images) {
  if (images.empty() || images.size() > 0xFFFF ||
      !std::all_of(images.begin(), images.end(), WellFormed)) {
    return {};
  }
  std::vector<std::vector<std::uint8_t>> encoded;
  for (const IconImage& image : images) {
    encoded.push_back(image.size == 256 ? EncodePng(image) : EncodeBitmap(image));
  }
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // an icon, not a cursor
  Put16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const auto side = static_cast<std::uint8_t>(images[i].size % 256);  // 0 stands for 256
    out.insert(out.end(), {side, side, 0, 0});                          // no palette
    Put16(out, 1);                                                      // planes
    Put16(out, 32);                                                     // bits per pixel
    Put32(out, static_cast<std::uint32_t>(encoded[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(encoded[i].size());
  }
  for (const auto& data : encoded) out.insert(out.end(), data.begin(), data.end());
  return out;
}

std::vector<std::uint8_t> ProgramIcon() {
  std::vector<IconImage> images;
  for (int size : IconSizes()) images.push_back({size, DrawIcon(size)});
  return EncodeIco(images);
}

}  // namespace quorel::icon
