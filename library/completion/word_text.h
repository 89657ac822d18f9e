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

// A word worth learning: 2 to 40 characters, letters (accented ones too), and apostrophes
// only between them ("don't", "o'clock", not "'tis" nor "dogs'"). Nothing with a digit:
// "Tr0ub4dor" and "abc123" are what passwords look like, and a number is never typed the
// same way twice.
bool IsLearnableWord(std::u16string_view word);
bool HasDigit(std::u16string_view word);

// The whole of `word` as accepting it after `typed` leaves it. The word's own capitals stay
// wherever it has them: "lon" + "London" reads "London", "na" + "NASA" reads "NASA",
// "mc" + "McDonald" reads "McDonald". The user's capitals are added to them:
//   - every letter in capitals when every letter typed is a capital and there are at least
//     two of them ("HEL" + "hello" reads "HELLO"; a single capital starts a sentence, it
//     does not shout);
//   - otherwise the letters typed stay as typed where the word has a small letter
//     ("Hel" + "hello" reads "Hello", "hEL" + "hello" "hELlo").
// Empty when `word` does not begin with `typed` (folded) or is no longer than it.
std::u16string CaseLike(std::u16string_view typed, std::u16string_view word);
// How many code units of `typed` stand as `whole` (a CaseLike result) has them; the letters
// after them are taken back and typed again in the word's case.
std::size_t KeptLetters(std::u16string_view typed, std::u16string_view whole);

}  // namespace quorel
