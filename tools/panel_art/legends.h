// What a key shows: its legend candidates, best first, or a drawn shape. A key takes the
// first candidate that fits its face at the size's type scale; the last one is shrunk when
// none fits, so every key shows something.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/panel_art/typeface.h"

namespace quorel::art {

// The type scale of a keyboard size has one pixel size per role.
enum class Role { kLetter, kHalf, kWord, kIcon, kMark, kStandIn, kCaption };

// kText lines sit on a baseline centred by the capital height, so letters of one panel share
// a baseline and a comma sits low and an apostrophe high; kInk lines are centred on their
// own ink, which suits arrows and lone accent marks.
enum class Placement { kText, kInk };

struct LegendLine {
  std::u32string text;
  Role role = Role::kLetter;
  Weight weight = Weight::kRegular;
  Placement placement = Placement::kText;
};

// Lines stacked top to bottom.
using Legend = std::vector<LegendLine>;

// Drawn rather than set in type.
enum class Shape { kNone, kSpaceBar, kGrip, kSystemMenu, kMinimise };

// How the face of a key is painted.
enum class Tone { kCharacter, kSpecial, kCaption, kCaptionClose };

struct KeyLook {
  Tone tone = Tone::kCharacter;
  Shape shape = Shape::kNone;
  std::vector<Legend> candidates;
  Legend fallback;     // plain words, for faces that lack the candidates' glyphs
  bool muted = false;  // a stand-in for a character that has no visible shape of its own
};

// A character cell; characters with no glyph in `faces` get a written stand-in.
KeyLook CharacterLook(char16_t character, const Typefaces& faces);
// The smaller legend of a half cell (the digit of the symbol strip).
KeyLook HalfCellLook(char16_t character, const Typefaces& faces);
// A key-kind cell; `caption` for the cells of the caption bar.
KeyLook KindLook(std::uint16_t kind, bool caption);

}  // namespace quorel::art
