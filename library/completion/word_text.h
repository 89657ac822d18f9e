// Words as word completion sees them: which typed runs are words, how two spellings are
// matched without regard to case, and what is left to type of a chosen word.
//
// Matching folds case and nothing else: "É" matches "é", but "e" never matches "é" nor "é"
// "e", since the user who typed an accent, or did not, meant it. The fold is our own small
// table (Latin-1, Latin Extended-A, Greek, Cyrillic), not the system's, so that a word list
// sorted on one machine is searched the same way on every other and no system call lies
// on the path of a key.
#pragma once

#include <string>
#include <string_view>

namespace quorel {

// The shortest and longest words learned or listed. One letter is never worth suggesting;
// a longer run is a code or a joined-up mistake rather than a word.
constexpr std::size_t kMinWordLength = 2;
constexpr std::size_t kMaxWordLength = 40;

// Capitals to small letters, and the typographic apostrophe (U+2019) to the plain one, so
// that "don’t" and "don't" are one word. Accents stay.
char16_t FoldWideWordChar(char16_t c);  // U+0080 and above
inline char16_t FoldWordChar(char16_t c) {
  // Inline for the ASCII letters that nearly every comparison of a search meets.
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
  return FoldWideWordChar(c);
}
// Small letters to capitals by the same table; letters with no single capital (ß) stay.
char16_t UpperWordChar(char16_t c);
bool IsCapitalLetter(char16_t c);

// Negative, zero or positive as `a` comes before, equals or follows `b`, folded.
int CompareFolded(std::u16string_view a, std::u16string_view b);
bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix);
inline bool EqualFolded(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && StartsWithFolded(a, b);
}

// A word worth learning: 2 to 40 characters, letters (accented ones too) and digits with at
// least one letter, and apostrophes only between them ("don't", "o'clock", not "'tis" nor
// "dogs'"). A number alone is no word: it would never be typed the same way twice.
bool IsLearnableWord(std::u16string_view word);

// The whole of `word` as accepting it after `typed` leaves it: the typed letters as they
// were typed, and the rest
//   - in capitals when every letter typed is a capital and there are at least two of them
//     ("HEL" + "hello" reads "HELLO"; a single capital starts a sentence, it does not shout);
//   - as the word has them when the word mixes capitals and small letters after its first
//     letter ("McDonald", "iPhone"): those capitals are the word's own;
//   - in small letters otherwise: "Hel" + "hello" reads "Hello", and "na" + "NASA" reads
//     "nasa", not "naSA".
// Empty when `word` does not begin with `typed` (folded) or is no longer than it.
std::u16string CaseLike(std::u16string_view typed, std::u16string_view word);
// What is left to type: CaseLike without the typed letters.
std::u16string MissingLetters(std::u16string_view typed, std::u16string_view word);

}  // namespace quorel
