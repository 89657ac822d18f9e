// The library under Wine, as the editor and the options program use it: real registry,
// real files, real shared memory, each function found by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/api_wine_test.h"

namespace quorel::wine {
namespace {

constexpr wchar_t kProductKey[] = L"Software\\Pelmarik Solutions";
constexpr wchar_t kOptionsKey[] = L"Software\\Pelmarik Solutions\\Quorel\\Options";
constexpr wchar_t kBlockName[] = L"Local\\PelmarikQuorelMap5.02";

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(missing)";
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD wrote = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
  CloseHandle(file);
}

void SetDword(const wchar_t* key, const wchar_t* name, DWORD value) {
  HKEY opened;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &opened, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(opened, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
  RegCloseKey(opened);
}

void SetString(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
  HKEY opened;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &opened, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * 2));
  RegCloseKey(opened);
}

bool QueryDword(const wchar_t* key, const wchar_t* name, DWORD* value, DWORD* type) {
  DWORD size = sizeof(*value);
  return RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, type, value, &size) ==
         ERROR_SUCCESS;
}

class ApiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
    directory_ = TestDirectory();
  }
  void TearDown() override { Unload(); }

  // Loads the library, as a new caller would; the options load on first use.
  void Load() {
    Unload();
    ASSERT_EQ(LoadApi(&module_, &api), L"");
  }
  void Unload() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }

  std::wstring Path(const wchar_t* name) const { return directory_ + L"\\" + name; }

  Api api;
  std::wstring directory_;
  HMODULE module_ = nullptr;
};

TEST_F(ApiTest, KeyVocabularyAndDirectionsByName) {
  Load();
  const wchar_t* name = nullptr;
  EXPECT_EQ(api.KEYDEF_GetSpecialKeyName(26, 12, &name), 1);
  EXPECT_STREQ(name, L"<f12>");
  EXPECT_EQ(api.KEYDEF_GetSpecialKeyName(0x10013, 0, &name), 1);
  EXPECT_STREQ(name, L"<enter>");
  EXPECT_EQ(api.KEYDEF_GetSpecialKeyName(8, 97, &name), 0);
  EXPECT_EQ(name, nullptr);
  unsigned short kind = 1;
  unsigned short parameter = 1;
  EXPECT_EQ(api.KEYDEF_GetSpecialKey(L"<numpad 0>", &kind, &parameter), 1);
  EXPECT_EQ(kind, 46);
  EXPECT_EQ(parameter, 0);
  EXPECT_EQ(api.KEYDEF_GetSpecialKey(L"<NUMPAD 0>", &kind, &parameter), 0);
  EXPECT_EQ(kind, 0);
  EXPECT_EQ(api.SLIDES_GetDirectionLongName(2, &name), 1);
  EXPECT_STREQ(name, L"North east");
  api.SLIDES_GetDirectionShortName(9, &name);
  EXPECT_EQ(name, nullptr);
}

TEST_F(ApiTest, SlideFileOnDiskIsExactAndReadsBackWhatWasWritten) {
  Load();
  const std::wstring path = Path(L"slides.txt");
  DeleteFileW(path.c_str());
  int index = -1;
  api.DICO_AddSlideDefinition(3, 8, L'a', nullptr, L"east", &index);
  api.DICO_AddSlideDefinition(1, 8, L'e', L"\u00e9", L"\u00e9", &index);
  api.DICO_AddSlideDefinition(1, 19, 0, nullptr, L"line\rbreak \u0142", &index);
  api.DICO_WriteToSlideFile(path.c_str());
  EXPECT_EQ(ReadBytes(path),
            "\r\n[NORTH]\r\n\r\n"
            "e\t\t<preview>\xe9</preview>\xe9\r\n"
            "<enter>\t\tline\xb6"
            "break &#322;\r\n"
            "\r\n[EAST]\r\n\r\n"
            "a\t\teast\r\n");

  // Texts that the old format could not carry, and a very long one.
  const std::wstring awkward = L"\u00b6 &#65; \x1a \U0001F600 " + std::wstring(5000, L'x');
  api.DICO_AddSlideDefinition(5, 8, 0x0141, nullptr, awkward.c_str(), &index);
  const std::string first_bytes = ReadBytes(path);
  api.DICO_WriteToSlideFile(path.c_str());
  EXPECT_EQ(ReadBytes(Path(L"slides.txt.bak")), first_bytes);

  api.DICO_ReleaseFromMemory();
  api.DICO_ReadFromSlideFile(path.c_str());
  std::vector<std::wstring> texts;
  api.DICO_SetQueryCriteria(0, 0, 255);
  while (api.DICO_Query(&index) == 1) {
    const wchar_t* text = nullptr;
    api.DICO_GetSlideDefinition(index, nullptr, nullptr, nullptr, nullptr, &text);
    texts.push_back(text);
  }
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"\u00e9", L"line\rbreak \u0142", L"east",
                                              awkward}));
}

// A virus scanner or indexer opens a file that was just written and holds it a moment,
// sharing only reading; the editor's save lands meanwhile and waits for it.
DWORD WINAPI HoldLikeAScanner(void* argument) {
  auto* file = static_cast<HANDLE*>(argument);
  Sleep(400);
  CloseHandle(*file);
  return 0;
}

TEST_F(ApiTest, SaveWaitsForAScannerAndReadingNeverBlocksASave) {
  Load();
  const std::wstring path = Path(L"held.txt");
  WriteBytes(path, "\r\n[NORTH]\r\n\r\na\t\told\r\n");
  api.DICO_ReadFromSlideFile(path.c_str());
  int index = -1;
  api.DICO_AddSlideDefinition(1, 8, L'b', nullptr, L"new", &index);
  HANDLE scanner = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
  HANDLE holder = CreateThread(nullptr, 0, HoldLikeAScanner, &scanner, 0, nullptr);
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ(api.DICO_WriteToSlideFile(path.c_str()), 1);
  WaitForSingleObject(holder, 10000);
  CloseHandle(holder);
  EXPECT_EQ(ReadBytes(path), "\r\n[NORTH]\r\n\r\na\t\told\r\nb\t\tnew\r\n");

  // A program that has the file open for writing, sharing everything, does not keep the
  // library from reading it.
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  api.DICO_ReleaseFromMemory();
  EXPECT_EQ(api.DICO_ReadFromSlideFile(path.c_str()), 1);
  CloseHandle(writer);
  int count = 0;
  api.DICO_SetQueryCriteria(0, 0, 255);
  while (api.DICO_Query(&index) == 1) ++count;
  EXPECT_EQ(count, 2);
}

TEST_F(ApiTest, StringUtilitiesAndTheProgramFolder) {
  Load();
  wchar_t buffer[64];
  EXPECT_EQ(api.STRUTILS_AddLinefeeds(buffer, L"a\rb"), 4);
  EXPECT_STREQ(buffer, L"a\r\nb");
  wchar_t text[] = L"&#321;\u00f3d&#378; &#128512;";
  api.STRUTILS_HTMLtoUnicode(text);
  EXPECT_STREQ(text, L"\u0141\u00f3d\u017a \U0001F600");
  api.STRUTILS_UnicodeToHTML(buffer, L"\u0141\u00f3d\u017a");
  EXPECT_STREQ(buffer, L"&#321;\u00f3d&#378;");
  // The folder of the program, not the folder the library was loaded from.
  wchar_t folder[MAX_PATH];
  ASSERT_EQ(api.UTILS_GetRunningExeDirectory(folder, MAX_PATH), 1);
  EXPECT_EQ(std::wstring(folder), ExeDirectory());
  EXPECT_EQ(api.UTILS_GetRunningExeDirectory(folder, 3), 0);
}

TEST_F(ApiTest, GlossaryFileOnDisk) {
  Load();
  const std::wstring path = Path(L"words.glo");
  DeleteFileW(path.c_str());
  int index = -1;
  GLOSSARY_ENTRY entry = nullptr;
  api.GLOSSARY_AddGlossaryEntry(L"btw", nullptr, L"by the way", &index, &entry);
  api.GLOSSARY_AddGlossaryEntry(L"a", L"", L"\u0105", &index, &entry);
  api.GLOSSARY_WriteToGlossaryFile(path.c_str());
  EXPECT_EQ(ReadBytes(path),
            "[Words]\r\n\r\na\t\t<preview></preview>&#261;\r\n\r\n\r\n[Phrases]\r\n\r\n"
            "btw\t\tby the way\r\n");
  api.GLOSSARY_ReleaseFromMemory();
  WriteBytes(path, "BTW\t\tby the way\r\ne.g.\t\tfor example\r\nth\t\tthe\r\n");
  api.GLOSSARY_ReadFromGlossaryFile(path.c_str());
  EXPECT_EQ(api.GLOSSARY_GetEntryCount(), 2);
  ASSERT_EQ(api.GLOSSARY_QueryAtIndex(1, &entry), 1);
  // The last entry can be deleted.
  EXPECT_EQ(api.GLOSSARY_DeleteGlossaryEntry(entry), 1);
  EXPECT_EQ(api.GLOSSARY_GetEntryCount(), 1);
  const wchar_t* short_form = nullptr;
  api.GLOSSARY_QueryAtIndex(0, &entry);
  api.GLOSSARY_GetGlossaryEntry(entry, &short_form, nullptr, nullptr);
  EXPECT_STREQ(short_form, L"btw");
  EXPECT_NE(api.GLOSSARY_IsValidShortFormChar(L'\u00e9'), 0);
  EXPECT_EQ(api.GLOSSARY_IsValidShortFormChar(L'.'), 0);
}

TEST_F(ApiTest, OptionsLoadWithRepairsFromTheRealRegistry) {
  SetDword(kOptionsKey, L"Keyboard size", 5);
  SetDword(kOptionsKey, L"Repeat delay", 100);
  SetDword(kOptionsKey, L"Arrows", 0xFFFFFFFF);
  SetDword(kOptionsKey, L"Slide distance", static_cast<DWORD>(-5));
  SetString(kOptionsKey, L"Symbols", L"2");  // a string is no number: the default holds
  SetDword(kOptionsKey, L"X", static_cast<DWORD>(-40));
  Load();
  const int width = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_EQ(api.PARAMETERS_GetSizeOption(), width >= 480 ? 3 : (width >= 322 ? 2 : 1));
  EXPECT_EQ(api.PARAMETERS_GetRepeatDelay(), 150);
  EXPECT_EQ(api.PARAMETERS_GetArrowsOption(), 1);
  EXPECT_EQ(api.PARAMETERS_GetSlideDistance(), -5);
  EXPECT_EQ(api.PARAMETERS_GetSymbolsOption(), 0);
  EXPECT_EQ(api.PARAMETERS_GetXOption(), -40);
  EXPECT_EQ(api.PARAMETERS_GetMinimumHighlightTime(), 70);

  EXPECT_EQ(api.PARAMETERS_SetSymbolsOption(7), 0);
  EXPECT_EQ(api.PARAMETERS_GetSymbolsOption(), 7);
  DWORD value = 0;
  DWORD type = 0;
  ASSERT_TRUE(QueryDword(kOptionsKey, L"Symbols", &value, &type));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 7u);
  // The next load repairs it.
  Load();
  EXPECT_EQ(api.PARAMETERS_GetSymbolsOption(), 0);
}

TEST_F(ApiTest, MissingOptionsKeyIsCreatedAndStringSettingsAreSafe) {
  Load();
  EXPECT_EQ(api.PARAMETERS_GetSlideStep(), 20);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kOptionsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);

  wchar_t buffer[8] = L"keep";
  EXPECT_EQ(api.PARAMETERS_GetGlossaryFile(buffer, 8), 0);
  EXPECT_STREQ(buffer, L"keep");
  api.PARAMETERS_SetGlossaryFile(L"C:\\g.glo");
  EXPECT_EQ(api.PARAMETERS_GetGlossaryFile(buffer, 8), 0);  // does not fit: not set
  EXPECT_STREQ(buffer, L"keep");
  wchar_t path[MAX_PATH];
  EXPECT_EQ(api.PARAMETERS_GetGlossaryFile(path, MAX_PATH), 1);
  EXPECT_STREQ(path, L"C:\\g.glo");
}

TEST_F(ApiTest, SharedBlockIsSeenByASecondProcess) {
  Load();
  QUOREL_WINDOW window = reinterpret_cast<QUOREL_WINDOW>(1);
  api.GLOBAL_GetQuorelWindow(&window);
  EXPECT_EQ(window, nullptr);  // the first opener sees zeros
  unsigned int message = 1;
  api.GLOBAL_GetQuorelLoadSlideFileMsg(&message);
  EXPECT_EQ(message, 0u);

  api.GLOBAL_SetQuorelEditorCurrentDialog(reinterpret_cast<QUOREL_WINDOW>(0x4321));
  api.GLOBAL_SetQuorelEditorSpecialKeyMsg(0x8001);
  // The child reads the editor's fields through its own copy of the library and writes
  // the keyboard's fields as the keyboard does.
  EXPECT_EQ(RunChild(L"--child-shared-block"), 0u);
  api.GLOBAL_GetQuorelWindow(&window);
  EXPECT_EQ(window, reinterpret_cast<QUOREL_WINDOW>(0x1234));
  api.GLOBAL_GetQuorelLoadSlideFileMsg(&message);
  EXPECT_EQ(message, 0x8032u);
  api.GLOBAL_GetQuorelOptionsChangedMsg(&message);
  EXPECT_EQ(message, 0x8014u);
  api.GLOBAL_GetQuorelLoadGlossaryMsg(&message);
  EXPECT_EQ(message, 0x8028u);
}

}  // namespace

int ChildMain(const std::wstring& argument) {
  if (argument != L"--child-shared-block") return 90;
  HMODULE module = nullptr;
  Api api;
  if (!LoadApi(&module, &api).empty()) return 91;
  QUOREL_WINDOW dialog = nullptr;
  api.GLOBAL_GetQuorelEditorCurrentDialog(&dialog);
  if (dialog != reinterpret_cast<QUOREL_WINDOW>(0x4321)) return 92;

  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kBlockName);
  if (mapping == nullptr) return 93;
  auto* fields = static_cast<volatile DWORD*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 52));
  if (fields == nullptr) return 94;
  if (fields[12] != 0x8001) return 95;
  fields[3] = 0x1234;
  fields[4] = 0x800A;
  fields[5] = 0x8014;
  fields[6] = 0x801E;
  fields[7] = 0x8028;
  fields[8] = 0x8032;
  UnmapViewOfFile(const_cast<DWORD*>(fields));
  CloseHandle(mapping);
  FreeLibrary(module);
  return 0;
}

}  // namespace quorel::wine
