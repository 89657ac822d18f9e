// The two faces the legends are set in, rendered by FreeType with anti-aliasing.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "tools/panel_art/bitmap.h"

namespace quorel::art {

enum class Weight { kRegular, kBold };

// Where a run of text puts ink, relative to its pen origin on the baseline (y grows down).
struct Ink {
  Box box;  // empty when the text leaves no ink
  int advance = 0;
};

class Typefaces {
 public:
  // Opens DejaVuSans.ttf and DejaVuSans-Bold.ttf in `directory`; null when either is missing.
  static std::unique_ptr<Typefaces> Open(const std::filesystem::path& directory,
                                         std::string* error);
  ~Typefaces();
  Typefaces(const Typefaces&) = delete;
  Typefaces& operator=(const Typefaces&) = delete;

  // True when the face has a real glyph for every character of `text`.
  bool Covers(Weight weight, std::u32string_view text) const;
  Ink Measure(Weight weight, int pixels, std::u32string_view text) const;
  // Height of a capital above the baseline, the measure legends are centred by.
  int CapHeight(Weight weight, int pixels) const;
  void Draw(Image& image, Weight weight, int pixels, std::u32string_view text, int x, int baseline,
            Color color) const;

 private:
  struct Faces;
  explicit Typefaces(std::unique_ptr<Faces> faces);
  std::unique_ptr<Faces> faces_;
};

}  // namespace quorel::art
