// The languages whose words completion offers, each with its shipped list beside the
// program and its own file of learned words: a word learned in French is never offered
// while writing English.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorel {

struct WordLanguage {
  std::uint16_t primary;           // the system's primary language (of an input language id)
  std::u16string_view name;        // in the learned file's name: "Learned words (French).txt"
  std::u16string_view list_file;   // in "Quorel words" beside the program
};

// English first: the language of every input language without a list of its own.
constexpr std::array<WordLanguage, 7> kWordLanguages = {{
    {0x09, u"English", u"english.txt"},
    {0x0C, u"French", u"french.txt"},
    {0x07, u"German", u"german.txt"},
    {0x0A, u"Spanish", u"spanish.txt"},
    {0x10, u"Italian", u"italian.txt"},
    {0x16, u"Portuguese", u"portuguese.txt"},
    {0x13, u"Dutch", u"dutch.txt"},
}};
constexpr int kWordLanguageCount = static_cast<int>(kWordLanguages.size());

// The language whose words are offered: the one the option fixes (1 English to 7 Dutch, in
// the order above), or with 0 (or a value out of range) that of the input language of the
// window typed into, a keyboard layout's language id (0x040C French, 0x0807 Swiss German).
int ChosenWordLanguage(int option, std::uint16_t input_language);

// Where the keyboard keeps the user's learned words of a language:
// "Documents\Quorel\Learned words.txt" for English, as always, and
// "Documents\Quorel\Learned words (French).txt" for the others.
bool LearnedWordsPath(std::u16string* path, int language = 0);
// Forgets every learned word of a file no store holds: read first, for the words the user
// took away, which stay away, then written (its backup, which holds what was forgotten,
// goes). True when it was written, or when neither the file nor its backup is there.
// It may wait on the disk.
bool ForgetLearnedFile(std::u16string_view path);

// The shipped list of a language beside the program: "Quorel words\french.txt".
bool BaseWordsPath(std::u16string* path, int language = 0);

}  // namespace quorel
