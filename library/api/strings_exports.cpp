// String utilities and the program's folder.
#include <algorithm>
#include <string>

#include "library/api/api_support.h"
#include "library/strings/file_text.h"
#include "library/strings/strutils.h"

using quorel::api::Guarded;
using quorel::api::In;
using quorel::api::InOut;

extern "C" {

int STRUTILS_AddLinefeeds(QUOREL_CHAR* destination, const QUOREL_CHAR* source) {
  return Guarded([&] {
    if (destination == nullptr || source == nullptr) return 0;
    return quorel::AddLinefeeds(InOut(destination), In(source));
  });
}

int STRUTILS_RemoveLinefeeds(QUOREL_CHAR* text) {
  return Guarded([&] {
    if (text != nullptr) quorel::RemoveLinefeeds(InOut(text));
    return 1;
  });
}

int STRUTILS_ReplaceReturnByPara(QUOREL_CHAR* text) {
  return Guarded([&] {
    if (text != nullptr) quorel::ReplaceReturnByPara(InOut(text));
    return 1;
  });
}

int STRUTILS_ReplaceParaByReturn(QUOREL_CHAR* text) {
  return Guarded([&] {
    if (text != nullptr) quorel::ReplaceParaByReturn(InOut(text));
    return 1;
  });
}

int STRUTILS_HTMLtoUnicode(QUOREL_CHAR* text) {
  return Guarded([&] {
    if (text != nullptr) quorel::HtmlToUnicode(InOut(text));
    return 1;
  });
}

int STRUTILS_UnicodeToHTML(QUOREL_CHAR* destination, const QUOREL_CHAR* source) {
  return Guarded([&] {
    if (destination == nullptr || source == nullptr) return 0;
    quorel::UnicodeToHtml(InOut(destination), In(source));
    return 1;
  });
}

int UTILS_GetRunningExeDirectory(QUOREL_CHAR* buffer, int size) {
  return Guarded([&] {
    std::u16string directory;
    if (buffer == nullptr || size <= 0 || !quorel::GetRunningExeDirectory(&directory)) return 0;
    if (directory.size() + 1 > static_cast<std::size_t>(size)) return 0;
    std::copy(directory.begin(), directory.end(), InOut(buffer));
    buffer[directory.size()] = 0;
    return 1;
  });
}

}  // extern "C"
