/* QuorelApi: the data library shared by the Quorel programs.
 *
 * Plain C functions exported by undecorated name. Results come back through out pointers;
 * lookups return 1 for found and 0 for not found, and optional out pointers may be null.
 * Strings passed in are copied. Strings and handles handed out belong to the library:
 * they stay valid until their item is modified, deleted or released, and callers never
 * free them. Every function catches its own failures; nothing is thrown across.
 *
 * For callers that load the library with GetProcAddress, every function has a pointer
 * type named after it with the suffix _FN. */
#ifndef QUOREL_API_H
#define QUOREL_API_H

#ifdef _WIN32
#include <windows.h>
typedef wchar_t QUOREL_CHAR;
typedef HWND QUOREL_WINDOW;
#else
#ifdef __cplusplus
typedef char16_t QUOREL_CHAR;
#else
#include <stdint.h>
typedef uint_least16_t QUOREL_CHAR;
#endif
typedef void* QUOREL_WINDOW;
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A glossary entry handle. */
typedef struct QuorelGlossaryEntry* GLOSSARY_ENTRY;

#define QUOREL_FUNCTIONS(X)                                                                 \
  /* Special keys and directions */                                                        \
  X(int, KEYDEF_GetSpecialKeyName, (int kind, int parameter, const QUOREL_CHAR** name))    \
  X(int, KEYDEF_GetSpecialKey,                                                             \
    (const QUOREL_CHAR* name, unsigned short* kind, unsigned short* parameter))            \
  X(int, SLIDES_GetDirectionShortName, (int direction, const QUOREL_CHAR** name))          \
  X(int, SLIDES_GetDirectionLongName, (int direction, const QUOREL_CHAR** name))           \
  /* Slide definitions and slide files */                                                  \
  X(int, DICO_ReadFromSlideFile, (const QUOREL_CHAR* path))                                \
  X(int, DICO_WriteToSlideFile, (const QUOREL_CHAR* path))                                 \
  X(int, DICO_ReleaseFromMemory, (void))                                                   \
  X(int, DICO_CompareSlideDefinitions, (int a, int b))                                     \
  X(int, DICO_AddSlideDefinition,                                                          \
    (int direction, unsigned short kind, unsigned short parameter,                         \
     const QUOREL_CHAR* preview, const QUOREL_CHAR* text, int* index))                     \
  X(int, DICO_ModifySlideDefinition,                                                       \
    (int index, const QUOREL_CHAR* preview, const QUOREL_CHAR* text))                      \
  X(int, DICO_DeleteSlideDefinition, (int index))                                          \
  X(int, DICO_SwapSlideDefinitions, (int a, int b))                                        \
  X(int, DICO_SetQueryCriteria, (int direction, unsigned short kind, unsigned short parameter)) \
  /* As DICO_SetQueryCriteria, but parameter 255 is the letter U+00FF, not any key */      \
  X(int, DICO_SetExactQueryCriteria,                                                       \
    (int direction, unsigned short kind, unsigned short parameter))                        \
  X(int, DICO_Query, (int* index))                                                         \
  X(int, DICO_GetSlideDefinition,                                                          \
    (int index, int* direction, unsigned short* kind, unsigned short* parameter,           \
     const QUOREL_CHAR** preview, const QUOREL_CHAR** text))                               \
  /* Glossary and glossary files */                                                        \
  X(int, GLOSSARY_IsValidShortFormChar, (QUOREL_CHAR c))                                   \
  X(int, GLOSSARY_ReadFromGlossaryFile, (const QUOREL_CHAR* path))                         \
  X(int, GLOSSARY_WriteToGlossaryFile, (const QUOREL_CHAR* path))                          \
  X(int, GLOSSARY_ReleaseFromMemory, (void))                                               \
  X(int, GLOSSARY_GetEntryCount, (void))                                                   \
  X(int, GLOSSARY_CompareGlossaryEntries, (GLOSSARY_ENTRY a, GLOSSARY_ENTRY b))            \
  X(int, GLOSSARY_AddGlossaryEntry,                                                        \
    (const QUOREL_CHAR* short_form, const QUOREL_CHAR* preview,                            \
     const QUOREL_CHAR* long_form, int* index, GLOSSARY_ENTRY* entry))                     \
  X(int, GLOSSARY_ModifyGlossaryEntry,                                                     \
    (GLOSSARY_ENTRY entry, const QUOREL_CHAR* preview, const QUOREL_CHAR* long_form))      \
  X(int, GLOSSARY_DeleteGlossaryEntry, (GLOSSARY_ENTRY entry))                             \
  /* Many entries at once, each placed or taken as one at a time would be, in one pass:    \
   * `added` (count handles, or null) receives the new entries in the order given. The     \
   * number of entries added or deleted. */                                                \
  X(int, GLOSSARY_AddGlossaryEntries,                                                      \
    (int count, const QUOREL_CHAR* const* short_forms, const QUOREL_CHAR* const* previews, \
     const QUOREL_CHAR* const* long_forms, GLOSSARY_ENTRY* added))                         \
  X(int, GLOSSARY_DeleteGlossaryEntries, (int count, const GLOSSARY_ENTRY* entries))       \
  X(int, GLOSSARY_SwapGlossaryEntries, (GLOSSARY_ENTRY a, GLOSSARY_ENTRY b))               \
  X(int, GLOSSARY_SetQueryCriteria, (const QUOREL_CHAR* prefix))                           \
  X(int, GLOSSARY_Query, (GLOSSARY_ENTRY* entry))                                          \
  X(int, GLOSSARY_QueryAtIndex, (int index, GLOSSARY_ENTRY* entry))                        \
  X(int, GLOSSARY_GetGlossaryEntry,                                                        \
    (GLOSSARY_ENTRY entry, const QUOREL_CHAR** short_form, const QUOREL_CHAR** preview,    \
     const QUOREL_CHAR** long_form))                                                       \
  /* Options */                                                                            \
  QUOREL_OPTION(X, SizeOption)                                                             \
  QUOREL_OPTION(X, AtKeyOption)                                                            \
  QUOREL_OPTION(X, SidebarOption)                                                          \
  QUOREL_OPTION(X, NumbersOption)                                                          \
  QUOREL_OPTION(X, ShiftingOption)                                                         \
  QUOREL_OPTION(X, ArrowsOption)                                                           \
  QUOREL_OPTION(X, SymbolsOption)                                                          \
  QUOREL_OPTION(X, SlidesOption)                                                           \
  QUOREL_OPTION(X, SlidePreviewPosition)                                                   \
  QUOREL_OPTION(X, SlideToChoiceOption)                                                    \
  QUOREL_OPTION(X, SlideDistance)                                                          \
  QUOREL_OPTION(X, SlideStep)                                                              \
  QUOREL_OPTION(X, ExpansionOption)                                                        \
  QUOREL_OPTION(X, NbLettersForSuggest)                                                    \
  QUOREL_OPTION(X, ExpansionPreviewOrder)                                                  \
  QUOREL_OPTION(X, SpaceAfterExpansion)                                                    \
  QUOREL_OPTION(X, RepeatDelay)                                                            \
  QUOREL_OPTION(X, MinimumHighlightTime)                                                   \
  QUOREL_OPTION(X, XOption)                                                                \
  QUOREL_OPTION(X, YOption)                                                                \
  QUOREL_OPTION(X, PreviewFontSize)                                                        \
  QUOREL_OPTION(X, PreviewFontBold)                                                        \
  QUOREL_OPTION(X, PreviewFontItalic)                                                      \
  QUOREL_OPTION(X, CompleteWords)                                                          \
  QUOREL_OPTION(X, LearnWords)                                                             \
  QUOREL_OPTION(X, CompletionsShown)                                                       \
  QUOREL_OPTION(X, LearnInTerminals)                                                       \
  QUOREL_OPTION(X, CapitalAfterSentence)                                                   \
  QUOREL_OPTION(X, PeriodWithTwoSpaces)                                                    \
  QUOREL_OPTION(X, WordLanguage)                                                           \
  QUOREL_OPTION(X, MoveAwayFromText)                                                       \
  QUOREL_OPTION(X, ShowOnTextBoxTap)                                                       \
  QUOREL_STRING_SETTING(X, CustomSlidesFile)                                               \
  QUOREL_STRING_SETTING(X, GlossaryFile)                                                   \
  QUOREL_STRING_SETTING(X, PreviewFontName)                                                \
  /* An option's row of the options store, by its place (0 "Keyboard size" to 31): its   \
   * value name, its default and the values kept on reading (lowest to highest, 0 too    \
   * when zero_kept); 0 for a place outside the table. The name stays the library's. */  \
  X(int, PARAMETERS_GetOptionInfo,                                                         \
    (int index, const QUOREL_CHAR** value_name, int* default_value, unsigned int* lowest,  \
     unsigned int* highest, int* zero_kept))                                               \
  /* Reads every option anew from the registry, where another program may have changed   \
   * them since this process first read them. */                                          \
  X(int, PARAMETERS_ReloadOptions, (void))                                                 \
  /* The shared block */                                                                   \
  X(int, GLOBAL_GetQuorelWindow, (QUOREL_WINDOW* window))                                  \
  X(int, GLOBAL_GetQuorelOptionsChangedMsg, (unsigned int* message))                       \
  X(int, GLOBAL_GetQuorelLoadGlossaryMsg, (unsigned int* message))                         \
  X(int, GLOBAL_GetQuorelLoadSlideFileMsg, (unsigned int* message))                        \
  X(int, GLOBAL_GetQuorelEditorCurrentDialog, (QUOREL_WINDOW* window))                     \
  X(int, GLOBAL_SetQuorelEditorCurrentDialog, (QUOREL_WINDOW window))                      \
  X(int, GLOBAL_SetQuorelEditorSpecialKeyMsg, (unsigned int message))                      \
  /* String utilities and file helpers */                                                  \
  X(int, STRUTILS_AddLinefeeds, (QUOREL_CHAR* destination, const QUOREL_CHAR* source))     \
  X(int, STRUTILS_RemoveLinefeeds, (QUOREL_CHAR* text))                                    \
  X(int, STRUTILS_ReplaceReturnByPara, (QUOREL_CHAR* text))                                \
  X(int, STRUTILS_ReplaceParaByReturn, (QUOREL_CHAR* text))                                \
  X(int, STRUTILS_HTMLtoUnicode, (QUOREL_CHAR* text))                                      \
  X(int, STRUTILS_UnicodeToHTML, (QUOREL_CHAR* destination, const QUOREL_CHAR* source))    \
  X(int, UTILS_GetRunningExeDirectory, (QUOREL_CHAR* buffer, int size))                    \
  /* The special key picker: the text to insert, in the library's storage until the next  \
   * call, or null when the user chose nothing or cancelled. */                            \
  X(const QUOREL_CHAR*, SPECIALS_PopupMenu, (QUOREL_WINDOW owner, int x, int y))

/* A numeric option: its getter and its setter (0 on success, else the registry error). */
#define QUOREL_OPTION(X, name)                                                              \
  X(int, PARAMETERS_Get##name, (void))                                                     \
  X(int, PARAMETERS_Set##name, (int value))

/* A string setting: the getter fills a buffer of `size` characters and returns 1, or 0
 * when the value is missing or does not fit; the setter ignores null. */
#define QUOREL_STRING_SETTING(X, name)                                                      \
  X(int, PARAMETERS_Get##name, (QUOREL_CHAR* buffer, int size))                            \
  X(int, PARAMETERS_Set##name, (const QUOREL_CHAR* text))

#define QUOREL_DECLARE(result, name, arguments) \
  result name arguments;                        \
  typedef result(*name##_FN) arguments;

QUOREL_FUNCTIONS(QUOREL_DECLARE)

#undef QUOREL_DECLARE

#ifdef __cplusplus
}
#endif

#endif /* QUOREL_API_H */
