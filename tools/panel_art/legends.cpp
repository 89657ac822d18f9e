#include "tools/panel_art/legends.h"

#include <array>

#include "keyboard/key_kinds.h"

namespace quorel::art {

namespace {

namespace kind = keyboard::kind;

LegendLine Word(std::u32string text) {
  return {std::move(text), Role::kWord, Weight::kRegular, Placement::kText};
}
LegendLine Icon(std::u32string text) {
  return {std::move(text), Role::kIcon, Weight::kRegular, Placement::kInk};
}
LegendLine Mark(std::u32string text) {
  return {std::move(text), Role::kMark, Weight::kRegular, Placement::kInk};
}

// Symbol above name where the key is tall enough, symbol beside name where it is wide
// enough, else the symbol alone.
std::vector<Legend> SymbolOrName(const std::u32string& symbol, const std::u32string& name) {
  return {{Icon(symbol), Word(name)},
          {{symbol + U" " + name, Role::kWord, Weight::kRegular, Placement::kText}},
          {Icon(symbol)}};
}

std::vector<Legend> SymbolAboveNameOrSymbol(const std::u32string& symbol,
                                            const std::u32string& name) {
  return {{Icon(symbol), Word(name)}, {Icon(symbol)}};
}

struct KindRow {
  std::uint16_t kind;
  std::vector<Legend> candidates;
  std::u32string name;  // the written fallback
};

// One row per key kind the panels hold. Names are the ones printed on hardware keyboards
// where there is one, so a user finds Esc, Tab and Ctrl where they expect them.
const std::vector<KindRow>& KindRows() {
  static const std::vector<KindRow> rows = {
      {kind::kEsc, {{Word(U"Esc")}}, U"Esc"},
      // The tab sign alone is not known to every user; its name is.
      {kind::kTab,
       {{Icon(U"\u21B9"), Word(U"Tab")},
        {{U"\u21B9 Tab", Role::kWord, Weight::kRegular, Placement::kText}},
        {Word(U"Tab")}},
       U"Tab"},
      {kind::kCaps, {{Icon(U"\u21EA"), Word(U"Caps")}, {Word(U"Caps")}}, U"Caps"},
      {kind::kControl, {{Word(U"Ctrl")}}, U"Ctrl"},
      {kind::kShift, SymbolOrName(U"\u21E7", U"Shift"), U"Shift"},
      {kind::kBack, SymbolOrName(U"\u232B", U"Back"), U"Back"},
      {kind::kEnter, SymbolOrName(U"\u23CE", U"Enter"), U"Enter"},
      {kind::kNumbers, {{Word(U"123")}}, U"123"},
      {kind::kLetters, {{Word(U"abc")}}, U"abc"},
      {kind::kAcute, {{Mark(U"\u00B4")}}, U"acute"},
      {kind::kCircum, {{Mark(U"^")}}, U"circ"},
      {kind::kGrave, {{Mark(U"`")}}, U"grave"},
      {kind::kUmlaut, {{Mark(U"\u00A8")}}, U"uml"},
      {kind::kLeft, {{Icon(U"\u2190")}}, U"Left"},
      {kind::kRight, {{Icon(U"\u2192")}}, U"Right"},
      // The wide arrows jump: a single tap goes home or to the end of the line.
      {kind::kWideLeft, SymbolAboveNameOrSymbol(U"\u21E4", U"Home"), U"Home"},
      {kind::kWideRight, SymbolAboveNameOrSymbol(U"\u21E5", U"End"), U"End"},
      {kind::kHide, SymbolAboveNameOrSymbol(U"\u25BE", U"Hide"), U"Hide"},
      {kind::kAdd, SymbolAboveNameOrSymbol(U"+", U"Edit"), U"Edit"},
      {kind::kExpand, SymbolAboveNameOrSymbol(U"\u00BB", U"Expand"), U"Exp"},
      {kind::kAccents, SymbolAboveNameOrSymbol(U"\u00E0\u00E9", U"Accents"), U"Acc"},
      {kind::kArrows, SymbolAboveNameOrSymbol(U"\u2190\u2192", U"Arrows"), U"Arr"},
      {kind::kInfo, SymbolAboveNameOrSymbol(U"\u2261", U"Menu"), U"Menu"},
  };
  return rows;
}

std::u32string Hex(char16_t character) {
  constexpr char32_t kDigits[] = U"0123456789ABCDEF";
  std::u32string text = U"U+";
  const int digits = character > 0xFF ? 4 : 2;
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    text += kDigits[(character >> shift) & 0xF];
  return text;
}

// Characters that type something but show nothing (or nothing a user can tell apart).
bool Invisible(char16_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x00A0 || c == 0x00AD ||
         (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) || c == 0xFEFF;
}

KeyLook StandIn(char16_t character) {
  std::u32string text;
  switch (character) {
    case 0x00A0:
      text = U"nbsp";
      break;
    case 0x00AD:
      text = U"shy";
      break;
    default:
      text = Hex(character);
      break;
  }
  KeyLook look;
  look.muted = true;
  look.candidates = {{{text, Role::kStandIn, Weight::kRegular, Placement::kText}}};
  // Where "U+9D" does not fit, the code alone still tells the character.
  if (text.starts_with(U"U+")) {
    look.candidates.push_back(
        {{text.substr(2), Role::kStandIn, Weight::kRegular, Placement::kText}});
  }
  return look;
}

}  // namespace

KeyLook CharacterLook(char16_t character, const Typefaces& faces) {
  KeyLook look;
  if (character == u' ') {
    look.shape = Shape::kSpaceBar;
    return look;
  }
  const std::u32string text(1, static_cast<char32_t>(character));
  if (Invisible(character) || !faces.Covers(Weight::kRegular, text)) return StandIn(character);
  look.candidates = {{{text, Role::kLetter, Weight::kRegular, Placement::kText}}};
  return look;
}

KeyLook HalfCellLook(char16_t character, const Typefaces& faces) {
  KeyLook look = CharacterLook(character, faces);
  for (Legend& legend : look.candidates) {
    for (LegendLine& line : legend) line.role = Role::kHalf;
  }
  return look;
}

KeyLook KindLook(std::uint16_t key_kind, bool caption) {
  KeyLook look;
  if (caption) {
    look.tone = Tone::kCaption;
    switch (key_kind) {
      case kind::kSysMenu:
        look.shape = Shape::kSystemMenu;
        break;
      case kind::kDragHandle:
        look.shape = Shape::kGrip;
        break;
      case kind::kMini:
        look.shape = Shape::kMinimise;
        break;
      case kind::kQuorel:
        look.candidates = {{{U"Quorel", Role::kCaption, Weight::kBold, Placement::kText}}};
        break;
      case kind::kClose:
        look.tone = Tone::kCaptionClose;
        look.candidates = {{{U"\u00D7", Role::kIcon, Weight::kRegular, Placement::kInk}}};
        look.fallback = {{U"x", Role::kCaption, Weight::kBold, Placement::kInk}};
        break;
      default:
        break;
    }
    if (look.shape != Shape::kNone || !look.candidates.empty()) return look;
  }
  look.tone = Tone::kSpecial;
  for (const KindRow& row : KindRows()) {
    if (row.kind == key_kind) {
      look.candidates = row.candidates;
      look.fallback = {Word(row.name)};
      return look;
    }
  }
  // A kind without artwork of its own still gets a label a user can report.
  std::u32string number;
  for (unsigned rest = key_kind; number.empty() || rest > 0; rest /= 10) {
    number.insert(number.begin(), static_cast<char32_t>(U'0' + rest % 10));
  }
  look.fallback = {Word(U"#" + number)};
  return look;
}

}  // namespace quorel::art
