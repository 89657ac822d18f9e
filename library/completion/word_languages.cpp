#include "library/completion/word_languages.h"

#include "library/completion/word_store.h"
#include "library/strings/file_text.h"
#include "platform/files.h"
#include "platform/input.h"

namespace quorel {

namespace {

bool IsLanguage(int language) { return language >= 0 && language < kWordLanguageCount; }

}  // namespace

int ChosenWordLanguage(int option, std::uint16_t input_language) {
  if (option >= 1 && option <= kWordLanguageCount) return option - 1;
  const std::uint16_t primary = platform::PrimaryLanguage(input_language);
  for (int language = 0; language < kWordLanguageCount; ++language) {
    if (kWordLanguages[static_cast<std::size_t>(language)].primary == primary) return language;
  }
  return 0;
}

bool LearnedWordsPath(std::u16string* path, int language) {
  std::u16string documents;
  if (!IsLanguage(language) || !platform::GetDocumentsFolder(&documents) || documents.empty()) {
    return false;
  }
  *path = documents + u"\\Quorel\\Learned words";
  if (language != 0) {
    *path += u" (";
    *path += kWordLanguages[static_cast<std::size_t>(language)].name;
    *path += u")";
  }
  *path += u".txt";
  return true;
}

bool ForgetLearnedFile(std::u16string_view path) {
  if (!platform::FileExists(path) && !platform::FileExists(BackupName(path))) return true;
  WordStore words;
  words.ReadLearned(path);
  return words.ForgetAllInFile(path);
}

bool BaseWordsPath(std::u16string* path, int language) {
  std::u16string directory;
  if (!IsLanguage(language) || !GetRunningExeDirectory(&directory)) return false;
  *path = directory + u"\\Quorel words\\" +
          std::u16string(kWordLanguages[static_cast<std::size_t>(language)].list_file);
  return true;
}

}  // namespace quorel
