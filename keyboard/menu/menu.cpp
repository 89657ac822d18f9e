#include "keyboard/menu/menu.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "keyboard/key_kinds.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/display_scale.h"
#include "keyboard/render/render.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "library/strings/file_text.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/menus.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace quorel::keyboard {

namespace {

constexpr std::u16string_view kCaption = u"Quorel";
constexpr std::u16string_view kNoProgramDirectory = u"Can't find running exe directory.";
constexpr std::u16string_view kMissingCompanion =
    u"Some program components are missing. Please reinstall Quorel";
constexpr std::u16string_view kEditorProgram = u"QuorelEditor.exe";
constexpr std::u16string_view kOptionsProgramFile = u"QuorelOptions.exe";
constexpr std::u16string_view kManualPage = u"\\manual\\quorelmanual.htm";
constexpr std::u16string_view kInstallationDirectory = u"Installation directory";

// Below the user's Documents folder.
constexpr std::u16string_view kUserFolder = u"\\Quorel";
constexpr std::u16string_view kUserSlidesFolder = u"\\Slidefiles";
constexpr std::u16string_view kUserGlossaryFolder = u"\\Glossaries";
constexpr std::u16string_view kCustomSlidesName = u"\\CustomSlides.txt";
constexpr std::u16string_view kDefaultGlossaryName = u"\\business.glo";
// Below the installation or program folder.
constexpr std::u16string_view kShippedSlidesFolder = u"\\Quorel slidefiles\\";
constexpr std::u16string_view kShippedCustomSlides = u"CustomSlides.txt";
constexpr std::u16string_view kShippedTemplate = u"CustomSlidesTemplate.txt";
constexpr std::u16string_view kShippedGlossaryFolder = u"\\Quorel glossaries";

// The keyboard menu: the commands always, then the sizes that fit the keyboard's monitor.
struct MenuLine {
  std::uint32_t id;  // 0: separator
  std::u16string_view text;
  int narrowest_screen;  // monitor width the entry needs, in design pixels
};
constexpr MenuLine kCommandLines[] = {
    {1, u"Help...", 0},         {0, u"", 0},
    {2, u"Options...", 0},      {5, u"Preview font...", 0},
    {0, u"", 0},                {3, u"Load glossary...", 0},
    {4, u"Load slides...", 0},
};
constexpr int kNarrowestScreenForSizes = 320;
constexpr MenuLine kSizeLines[] = {
    {0, u"", 0},
    {6, u"Finger size", 800},
    {7, u"Large size", 480},
    {8, u"Medium size", 0},
    {9, u"Small size", 0},
};
// "Keyboard size" 1..4 is entry 9..6.
constexpr std::uint32_t kSmallSizeEntry = 9;

// What each menu id performs as a key. A dialog or a rebuilt keyboard may have taken the
// foreground; those choices hand it back to the application the user was typing into.
struct MenuChoice {
  std::uint16_t kind;
  std::uint16_t parameter;
  bool give_back_foreground;
};
constexpr MenuChoice kMenuChoices[] = {
    {0, 0, false},
    {kind::kHelp, 0, false},
    {kind::kOptionsProgram, 0, false},
    {kind::kChooseGlossary, 0, true},
    {kind::kChooseSlides, 0, true},
    {kind::kChooseFont, 0, true},
    {kind::kSize, 4, true},
    {kind::kSize, 3, true},
    {kind::kSize, 2, true},
    {kind::kSize, 1, true},
};

constexpr int kSmallestFontPoints = 6;
constexpr int kLargestFontPoints = 18;
constexpr int kBoldWeight = 700;

void Tell(std::u16string_view text) { platform::ShowMessage(text, kCaption); }

platform::WindowHandle LiveKeyboard() {
  const platform::WindowHandle keyboard = KeyboardWindow();
  return platform::IsLiveWindow(keyboard) ? keyboard : 0;
}

// The keyboard's message of that field, when both the keyboard and the number are there;
// otherwise the change waits for the next start.
void TellKeyboard(SharedField message_field, bool wait_until_handled) {
  const platform::WindowHandle keyboard = LiveKeyboard();
  const std::uint32_t message = ReadSharedField(message_field);
  if (keyboard == 0 || message == 0) return;
  if (wait_until_handled) {
    platform::SendMessageTo(keyboard, message, 0, 0);
  } else {
    platform::PostMessageTo(keyboard, message, 0, 0);
  }
}

// A path the registry can give back: something, and short enough for the readers' buffer.
bool IsStorablePath(std::u16string_view path) {
  return !path.empty() && path.size() < static_cast<std::size_t>(kPathChars) &&
         path.find(u'\0') == std::u16string_view::npos;
}

bool HasStringSetting(StringSetting setting) {
  char16_t buffer[kPathChars];
  return GetStringSetting(setting, buffer, kPathChars);
}

// Whatever installs the program may name where the shipped slide files lie.
bool ReadInstallationDirectory(std::u16string* directory) {
  platform::RegistryKey key = 0;
  if (platform::RegistryOpenKeyRead(kProductKey, &key) != 0) return false;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long error = platform::RegistryQueryValue(key, kInstallationDirectory, &type, &data);
  platform::RegistryCloseKey(key);
  if (error != 0 || (type != platform::kRegSz && type != platform::kRegExpandSz)) return false;
  std::u16string text(data.size() / 2, u'\0');
  std::memcpy(text.data(), data.data(), text.size() * 2);
  text.resize(std::min(text.size(), text.find(u'\0')));
  if (text.size() >= static_cast<std::size_t>(kPathChars)) return false;
  *directory = std::move(text);
  return true;
}

std::u16string DocumentsSubfolder(std::u16string_view leaf) {
  std::u16string documents;
  if (!platform::GetDocumentsFolder(&documents)) return {};
  return documents + std::u16string(kUserFolder) + std::u16string(leaf);
}

// The user's folder for slide files or glossaries, made when missing. False when the
// system names no Documents folder: a path below nothing would be no place of the user's.
bool ProvideUserFolder(std::u16string_view leaf, std::u16string* folder) {
  std::u16string documents;
  if (!platform::GetDocumentsFolder(&documents) || documents.empty()) return false;
  const std::u16string parent = documents + std::u16string(kUserFolder);
  platform::CreateFolder(parent);
  *folder = parent + std::u16string(leaf);
  platform::CreateFolder(*folder);
  return true;
}

void OpenManual() {
  std::u16string directory;
  if (!GetRunningExeDirectory(&directory)) {
    Tell(kNoProgramDirectory);
    return;
  }
  OpenDocument(directory + std::u16string(kManualPage));
}

void ChooseFile(std::u16string_view filter_name, std::u16string_view pattern,
                std::u16string_view leaf, void (*use)(std::u16string_view)) {
  // Owned by no window: the keyboard stays usable while the chooser is up.
  const platform::OpenFileRequest request{std::u16string(filter_name), std::u16string(pattern),
                                          DocumentsSubfolder(leaf), 0};
  std::u16string path;
  if (platform::AskOpenFileName(request, &path)) use(path);
}

void ChooseSlidesFont() {
  // In the system's points, whatever the scale the keyboard shows at: the dialog counts the
  // size it shows at the screen's dpi, and a size given at the keyboard's would come back
  // larger at every OK.
  const platform::FontDescription shown = SlidesFontDescription(0);
  const platform::FontRequest request{shown, kSmallestFontPoints, kLargestFontPoints};
  platform::FontChoice choice;
  if (!platform::AskFont(request, &choice)) return;
  const bool unchanged = choice.face == shown.face &&
                         choice.size_tenths / 10 == GetOption(OptionId::kPreviewFontSize) &&
                         (choice.weight == kBoldWeight) == (shown.weight == kBoldWeight) &&
                         choice.italic == shown.italic;
  // OK without a change changes nothing: no setting written, no font made anew.
  char16_t stored[kFontNameChars];
  if (unchanged && GetStringSetting(StringSetting::kPreviewFontName, stored, kFontNameChars)) return;
  SetStringSetting(StringSetting::kPreviewFontName, choice.face.c_str());
  SetOption(OptionId::kPreviewFontSize, choice.size_tenths / 10);
  SetOption(OptionId::kPreviewFontBold, choice.weight == kBoldWeight ? 1 : 0);
  SetOption(OptionId::kPreviewFontItalic, choice.italic ? 1 : 0);
  TellKeyboard(&SharedBlock::preview_font_changed_message, false);
}

void AddMenuLine(platform::MenuHandle menu, const MenuLine& line) {
  if (line.id == 0) {
    platform::AddMenuSeparator(menu);
  } else {
    platform::AddMenuItem(menu, line.id, line.text);
  }
}

void ShowKeyboardMenu() {
  const platform::WindowHandle keyboard = LiveKeyboard();
  if (keyboard == 0) return;
  const platform::WindowHandle previous = platform::ForegroundWindow();
  const platform::MenuHandle menu = platform::NewPopupMenu();
  if (menu == 0) return;
  for (const MenuLine& line : kCommandLines) AddMenuLine(menu, line);
  // Which sizes fit is judged on the keyboard's own monitor in design pixels at its scale:
  // at 200 % a finger keyboard takes twice the device pixels, and a wide monitor beside a
  // small tablet leaves the tablet no wider.
  const int screen_width = ToDesignLength(platform::MonitorAreaNearest(keyboard).Width());
  if (screen_width >= kNarrowestScreenForSizes) {
    for (const MenuLine& line : kSizeLines) {
      if (screen_width >= line.narrowest_screen) AddMenuLine(menu, line);
    }
    const int size = GetOption(OptionId::kSize);
    if (size >= 1 && size <= 4) {
      platform::CheckMenuEntry(menu, kSmallSizeEntry + 1 - static_cast<std::uint32_t>(size));
    }
  }
  // Upward from the keyboard's top-left corner, just outside its client area.
  const platform::Point at = platform::ClientToScreen(keyboard, {-1, -1});
  const std::uint32_t chosen = platform::TrackMenuUpward(menu, keyboard, at, nullptr);
  platform::FreeMenu(menu);
  if (chosen == 0 || chosen >= std::size(kMenuChoices)) return;
  const MenuChoice& choice = kMenuChoices[chosen];
  ProcessKey(choice.kind, choice.parameter);
  if (choice.give_back_foreground && previous != 0) platform::SetForeground(previous);
}

}  // namespace

void StartCompanion(std::u16string_view name) {
  std::u16string path(name);
  if (std::u16string directory; GetRunningExeDirectory(&directory)) {
    path = directory + u"\\" + path;
  }
  if (!platform::StartProgram(path)) Tell(kMissingCompanion);
}

void OpenDocument(std::u16string_view file) {
  if (file.empty()) return;
  // Bounded: a program that never becomes ready must not freeze the keyboard.
  platform::ShellOpen(file, kDocumentReadyWaitMs);
}

void SwitchGlossary(std::u16string_view path) {
  if (!IsStorablePath(path)) return;
  SetStringSetting(StringSetting::kGlossaryFile, std::u16string(path).c_str());
  TellKeyboard(&SharedBlock::load_glossary_message, true);
}

void SwitchSlideFile(std::u16string_view path) {
  if (!IsStorablePath(path)) return;
  SetOption(OptionId::kSlides, 0);
  SetStringSetting(StringSetting::kCustomSlidesFile, std::u16string(path).c_str());
  TellKeyboard(&SharedBlock::load_slide_file_message, true);
}

void PerformProgramAction(std::uint16_t kind, std::uint16_t, std::u16string_view argument) {
  switch (kind) {
    case kind::kAdd:
      StartCompanion(kEditorProgram);
      break;
    case kind::kHelp:
      OpenManual();
      break;
    case kind::kInfo:
      ShowKeyboardMenu();
      break;
    case kind::kLaunch:
      OpenDocument(argument);
      break;
    case kind::kLoadGlossary:
      SwitchGlossary(argument);
      break;
    case kind::kChooseGlossary:
      ChooseFile(u"Glossary Files (*.glo)", u"*.glo", kUserGlossaryFolder, SwitchGlossary);
      break;
    case kind::kLoadSlides:
      SwitchSlideFile(argument);
      break;
    case kind::kChooseSlides:
      ChooseFile(u"Slide Files (*.txt)", u"*.txt", kUserSlidesFolder, SwitchSlideFile);
      break;
    case kind::kOptionsProgram:
      StartCompanion(kOptionsProgramFile);
      break;
    case kind::kChooseFont:
      ChooseSlidesFont();
      break;
    default:
      break;
  }
}

void EnsureCustomSlidesFile() {
  if (HasStringSetting(StringSetting::kCustomSlidesFile)) return;
  std::u16string folder;
  if (!ProvideUserFolder(kUserSlidesFolder, &folder)) return;
  const std::u16string target = folder + std::u16string(kCustomSlidesName);

  // The shipped file: an installer's own "CustomSlides.txt" first, else the template, in
  // the installation folder and then beside the program; the first that exists is copied.
  std::vector<std::u16string> sources;
  std::u16string installed;
  std::u16string program;
  const bool have_installed = ReadInstallationDirectory(&installed);
  const bool have_program = GetRunningExeDirectory(&program);
  if (!have_installed && !have_program) {
    Tell(kNoProgramDirectory);
    return;
  }
  const std::u16string shipped_folder(kShippedSlidesFolder);
  if (have_installed) {
    sources.push_back(installed + shipped_folder + std::u16string(kShippedCustomSlides));
    sources.push_back(installed + shipped_folder + std::u16string(kShippedTemplate));
  }
  if (have_program) sources.push_back(program + shipped_folder + std::u16string(kShippedTemplate));
  for (const std::u16string& source : sources) {
    if (!platform::FileExists(source)) continue;
    // Whatever the user has at the target already is theirs and stays.
    platform::CopyFileIfAbsent(source, target);
    break;
  }
  // A file that did not arrive is not registered: the next start tries again, instead of
  // naming a missing file for good.
  if (platform::FileExists(target)) {
    SetStringSetting(StringSetting::kCustomSlidesFile, target.c_str());
  }
}

void EnsureGlossaryFile() {
  if (HasStringSetting(StringSetting::kGlossaryFile)) return;
  std::u16string program;
  if (!GetRunningExeDirectory(&program)) {
    Tell(kNoProgramDirectory);
    return;
  }
  const std::u16string source = program + std::u16string(kShippedGlossaryFolder);
  std::u16string target;
  if (!ProvideUserFolder(kUserGlossaryFolder, &target)) return;

  std::vector<platform::FolderEntry> entries;
  if (platform::ListFolder(source, &entries)) {
    for (const platform::FolderEntry& entry : entries) {
      if (entry.directory) continue;
      platform::CopyFileIfAbsent(source + u"\\" + entry.name, target + u"\\" + entry.name);
    }
  }
  // Named even when no such file arrived: the keyboard then says it cannot open it.
  SetStringSetting(StringSetting::kGlossaryFile,
                   (target + std::u16string(kDefaultGlossaryName)).c_str());
}

void InstallMenuHooks() { Hooks().program_action = PerformProgramAction; }

}  // namespace quorel::keyboard
