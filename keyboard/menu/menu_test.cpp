#include "keyboard/menu/menu.h"
#include "keyboard/panels/display_scale.h"

#include <gtest/gtest.h>

#include <string>

#include "keyboard/key_kinds.h"
#include "keyboard/placement/placement_test_scene.h"
#include "platform/desktop.h"

namespace quorel::keyboard {
namespace {

using namespace desktop;
using platform::fake::PostedMessage;
using platform::fake::System;

constexpr std::u16string_view kProgramFolder = u"C:\\Program Files\\Quorel";
constexpr std::u16string_view kDocuments = u"C:\\Users\\pen\\Documents";

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

std::u16string Setting(StringSetting setting) {
  char16_t buffer[kPathChars];
  return GetStringSetting(setting, buffer, kPathChars) ? std::u16string(buffer) : u"(none)";
}

std::u16string Path(std::u16string_view folder, std::u16string_view leaf) {
  return std::u16string(folder) + u"\\" + std::u16string(leaf);
}

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpDesktop();
    InstallMenuHooks();
    SetOption(OptionId::kSize, 2);
  }
  void TearDown() override { Hooks() = OutputHooks(); }

  // What a key did to the world, in a few words.
  static std::string Effects() {
    std::string effects;
    for (const auto& open : System().shell_opens) effects += "open " + Narrow(open.file) + " ";
    for (const auto& program : System().programs_started) {
      effects += "start " + Narrow(program) + " ";
    }
    for (const auto& request : System().open_file_requests) {
      effects += "choose " + Narrow(request.pattern) + " in " + Narrow(request.initial_folder) + " ";
    }
    if (!System().font_requests.empty()) effects += "font ";
    for (const PostedMessage& message : KeyboardMessages()) {
      effects += "message " + std::to_string(message.message) + "/" +
                 std::to_string(message.wparam) + (message.sent ? "" : " posted") + " ";
    }
    for (platform::WindowHandle window : System().foreground_changes) {
      effects += window == kClient ? "foreground client " : "foreground other ";
    }
    for (const auto& box : System().message_boxes) effects += "says " + Narrow(box.text) + " ";
    return effects + "size " + std::to_string(GetOption(OptionId::kSize));
  }

  // The menu as shown: "-" for a separator, "*" after the checked entry.
  static std::string ShownMenu() {
    std::string shown;
    if (System().menu_tracks.empty()) return "(not shown)";
    for (const auto& entry : System().menu_tracks.back().entries) {
      shown += entry.id == 0 ? "-" : Narrow(entry.text) + (entry.checked ? "*" : "");
      shown += "|";
    }
    return shown;
  }
};

TEST_F(MenuTest, MenuEntriesFollowTheWidthOfTheKeyboardsMonitor) {
  constexpr std::string_view kCommands =
      "Help...|-|Options...|Preview font...|-|Load glossary...|Load slides...|";
  const struct {
    int width;
    int size;
    std::string sizes;
  } cases[] = {
      {1024, 2, "-|Finger size|Large size|Medium size*|Small size|"},
      {800, 4, "-|Finger size*|Large size|Medium size|Small size|"},
      {600, 3, "-|Large size*|Medium size|Small size|"},
      {480, 1, "-|Large size|Medium size|Small size*|"},
      {479, 2, "-|Medium size*|Small size|"},
      {320, 4, "-|Medium size|Small size|"},
      {319, 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    platform::fake::SetMonitors({{{0, 0, c.width, 768}, {0, 0, c.width, 728}, 96}});
    SetOption(OptionId::kSize, c.size);
    PerformProgramAction(kind::kInfo, 0, {});
    EXPECT_EQ(ShownMenu(), std::string(kCommands) + c.sizes);
  }
  // Opened upward from the keyboard's top-left corner, and never left behind.
  EXPECT_EQ(System().menu_tracks.back().owner, kKeyboard);
  EXPECT_EQ(System().menu_tracks.back().at, (platform::Point{300, 500}));
  EXPECT_FALSE(System().menu_tracks.back().has_exclusion);
  EXPECT_TRUE(System().menus.empty());
  // On a 1280-pixel tablet at 200 % beside a wide monitor at 100 %, the keyboard has 640
  // design pixels: a finger keyboard would not fit where it is, whatever the whole desktop.
  platform::fake::SetMonitors({{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96},
                               {{-1280, 0, 0, 800}, {-1280, 0, 0, 760}, 192}});
  platform::PlaceWindow(kKeyboard, -1000, 300, 600, 200);
  SetDisplayDpi(192);
  PerformProgramAction(kind::kInfo, 0, {});
  SetDisplayDpi(96);
  EXPECT_EQ(ShownMenu(), std::string(kCommands) + "-|Large size|Medium size|Small size*|");
}

TEST_F(MenuTest, ChoicesArePerformedAsKeys) {
  const std::string program = Narrow(kProgramFolder);
  const std::string documents = Narrow(kDocuments);
  const struct {
    std::uint32_t choice;
    std::string effects;
  } cases[] = {
      {0, "size 2"},
      {1, "open " + program + "\\manual\\quorelmanual.htm size 2"},
      {2, "start " + program + "\\QuorelOptions.exe size 2"},
      {3, "choose *.glo in " + documents + "\\Quorel\\Glossaries foreground client size 2"},
      {4, "choose *.txt in " + documents + "\\Quorel\\Slidefiles foreground client size 2"},
      {5, "font foreground client size 2"},
      {6, "message 32788/0 foreground client size 4"},
      {7, "message 32788/0 foreground client size 3"},
      {8, "message 32788/0 foreground client size 2"},
      {9, "message 32788/0 foreground client size 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.choice);
    SetUp();
    System().menu_choice = c.choice;
    ProcessKey(kind::kInfo, 0);
    EXPECT_EQ(Effects(), c.effects);
  }
}

TEST_F(MenuTest, ChosenSlideFileIsUsedAtOnce) {
  SetOption(OptionId::kSlides, 2);  // a shipped slide file
  System().menu_choice = 4;
  System().open_file_confirms = true;
  System().open_file_answer = u"D:\\Mine\\slides.txt";
  ProcessKey(kind::kInfo, 0);
  EXPECT_EQ(GetOption(OptionId::kSlides), 0);
  EXPECT_EQ(Setting(StringSetting::kCustomSlidesFile), u"D:\\Mine\\slides.txt");
  EXPECT_EQ(KeyboardMessages(),
            (std::vector<PostedMessage>{{kKeyboard, kLoadSlideFileMessage, 0, 0, true}}));

  // Cancelled: nothing written, nothing sent.
  SetUp();
  SetOption(OptionId::kSlides, 2);
  ProcessKey(kind::kChooseSlides, 0);
  ProcessKey(kind::kChooseGlossary, 0);
  EXPECT_EQ(GetOption(OptionId::kSlides), 2);
  EXPECT_EQ(Setting(StringSetting::kCustomSlidesFile), u"(none)");
  EXPECT_EQ(Setting(StringSetting::kGlossaryFile), u"(none)");
  EXPECT_TRUE(KeyboardMessages().empty());
}

TEST_F(MenuTest, LoadKeysSwitchFilesAndTellTheKeyboardWhenItIsThere) {
  ProcessKey(kind::kLoadGlossary, 0, u"D:\\missing.glo");
  EXPECT_EQ(Setting(StringSetting::kGlossaryFile), u"D:\\missing.glo");
  ProcessKey(kind::kLoadSlides, 0, u"D:\\s.txt");
  EXPECT_EQ(Setting(StringSetting::kCustomSlidesFile), u"D:\\s.txt");
  EXPECT_EQ(KeyboardMessages(), (std::vector<PostedMessage>{
                                    {kKeyboard, kLoadGlossaryMessage, 0, 0, true},
                                    {kKeyboard, kLoadSlideFileMessage, 0, 0, true}}));

  // An empty path, or one no reader could take back, is not stored.
  SetUp();
  ProcessKey(kind::kLoadGlossary, 0, u"");
  ProcessKey(kind::kLoadSlides, 0, std::u16string(kPathChars, u'x'));
  EXPECT_EQ(Setting(StringSetting::kGlossaryFile), u"(none)");
  EXPECT_EQ(Setting(StringSetting::kCustomSlidesFile), u"(none)");
  EXPECT_TRUE(KeyboardMessages().empty());

  // Without a keyboard window the value waits for the next start.
  System().windows.erase(kKeyboard);
  ProcessKey(kind::kLoadGlossary, 0, u"D:\\g.glo");
  EXPECT_EQ(Setting(StringSetting::kGlossaryFile), u"D:\\g.glo");
  EXPECT_TRUE(KeyboardMessages().empty());
}

TEST_F(MenuTest, FontChooserStoresTheChoiceAndPostsTheFontChange) {
  SetStringSetting(StringSetting::kPreviewFontName, u"Georgia");
  SetOption(OptionId::kPreviewFontSize, 11);
  SetOption(OptionId::kPreviewFontItalic, 1);
  System().font_confirms = true;
  System().font_answer = {u"Verdana", 125, 600, true};
  ProcessKey(kind::kChooseFont, 0);
  ASSERT_EQ(System().font_requests.size(), 1u);
  const platform::FontDescription& initial = System().font_requests[0].initial;
  EXPECT_EQ(initial.face, u"Georgia");
  EXPECT_EQ(initial.height, -15);  // 11 pt at 96 dpi
  EXPECT_EQ(initial.weight, 400);
  EXPECT_TRUE(initial.italic);
  EXPECT_EQ(System().font_requests[0].smallest_points, 6);
  EXPECT_EQ(System().font_requests[0].largest_points, 18);
  EXPECT_EQ(Setting(StringSetting::kPreviewFontName), u"Verdana");
  EXPECT_EQ(GetOption(OptionId::kPreviewFontSize), 12);
  EXPECT_EQ(GetOption(OptionId::kPreviewFontBold), 0);  // 600 is not bold
  EXPECT_EQ(GetOption(OptionId::kPreviewFontItalic), 1);
  EXPECT_EQ(KeyboardMessages(),
            (std::vector<PostedMessage>{{kKeyboard, kPreviewFontChangedMessage, 0, 0, false}}));

  System().font_answer = {u"Tahoma", 80, 700, false};
  ProcessKey(kind::kChooseFont, 0);
  EXPECT_EQ(GetOption(OptionId::kPreviewFontSize), 8);
  EXPECT_EQ(GetOption(OptionId::kPreviewFontBold), 1);
  EXPECT_EQ(GetOption(OptionId::kPreviewFontItalic), 0);

  SetUp();
  ProcessKey(kind::kChooseFont, 0);
  EXPECT_EQ(Setting(StringSetting::kPreviewFontName), u"(none)");
  EXPECT_TRUE(KeyboardMessages().empty());
}

// The keyboard at 200 % on a screen of 100 %: the dialog is given the font in the screen's
// points, and OK without a change changes nothing.
TEST_F(MenuTest, TheFontDialogCountsPointsAtTheScreensScale) {
  SetDisplayDpi(192);
  SetStringSetting(StringSetting::kPreviewFontName, u"Georgia");
  SetOption(OptionId::kPreviewFontSize, 11);
  System().font_confirms = true;
  System().font_answer = {u"Georgia", 110, 400, false};
  const std::size_t writes = System().registry.size();
  System().messages.clear();
  ProcessKey(kind::kChooseFont, 0);
  SetDisplayDpi(96);
  ASSERT_EQ(System().font_requests.size(), 1u);
  EXPECT_EQ(System().font_requests[0].initial.height, -15);  // 11 pt at the screen's 96 dpi
  EXPECT_EQ(GetOption(OptionId::kPreviewFontSize), 11);
  EXPECT_TRUE(KeyboardMessages().empty());
  EXPECT_EQ(System().registry.size(), writes);
}

TEST_F(MenuTest, CompanionsStartBesideTheKeyboardOrSayTheyAreMissing) {
  ProcessKey(kind::kAdd, 0);
  EXPECT_EQ(Effects(), "start " + Narrow(kProgramFolder) + "\\QuorelEditor.exe size 2");

  SetUp();
  System().program_start_fails = true;
  ProcessKey(kind::kAdd, 0);
  ASSERT_EQ(System().message_boxes.size(), 1u);
  EXPECT_EQ(System().message_boxes[0].text,
            u"Some program components are missing. Please reinstall Quorel");
  EXPECT_EQ(System().message_boxes[0].caption, u"Quorel");

  // No program folder: the bare name for the companion, a message for the manual.
  SetUp();
  System().exe_path = u"QuorelKeyboard.exe";
  ProcessKey(kind::kOptionsProgram, 0);
  ProcessKey(kind::kHelp, 0);
  EXPECT_EQ(Effects(), "start QuorelOptions.exe says Can't find running exe directory. size 2");
}

TEST_F(MenuTest, LaunchNeverKeepsTheKeyboardWaitingLongerThanTenSeconds) {
  System().input_idle_after = 0xFFFFFFFF;  // a program that never becomes ready
  const std::uint32_t start = System().tick;
  TypeText(0, 0, false, false, u"<launch>C:\\slow.exe /x</launch>a");
  ASSERT_EQ(System().shell_opens.size(), 1u);
  EXPECT_EQ(System().shell_opens[0].file, u"C:\\slow.exe /x");
  EXPECT_EQ(System().shell_opens[0].wait_limit, 10000u);
  EXPECT_EQ(System().tick - start, 10000u);
  EXPECT_FALSE(System().input_calls.empty());  // the text goes on afterwards

  SetUp();
  System().shell_unopenable.insert(u"nothing.exe");
  ProcessKey(kind::kLaunch, 0, u"nothing.exe");
  ProcessKey(kind::kLaunch, 0, u"");
  EXPECT_EQ(System().shell_opens.size(), 1u);
  EXPECT_TRUE(System().message_boxes.empty());
}

class FirstRunTest : public MenuTest {
 protected:
  const std::u16string slides_folder_ = std::u16string(kDocuments) + u"\\Quorel\\Slidefiles";
  const std::u16string glossary_folder_ = std::u16string(kDocuments) + u"\\Quorel\\Glossaries";
  const std::u16string shipped_glossaries_ = std::u16string(kProgramFolder) + u"\\Quorel glossaries";
};

TEST_F(FirstRunTest, CustomSlideFileIsCopiedOnceAndNeverOverwritten) {
  const std::u16string target = Path(slides_folder_, u"CustomSlides.txt");
  const std::u16string shipped = Path(kProgramFolder, u"Quorel slidefiles\\CustomSlidesTemplate.txt");
  System().files[shipped] = "template";
  EnsureCustomSlidesFile();
  EXPECT_EQ(System().files[target], "template");
  EXPECT_EQ(Setting(StringSetting::kCustomSlidesFile), target);

  // Registered: a second start does nothing at all.
  System().files.erase(target);
  EnsureCustomSlidesFile();
  EXPECT_EQ(System().files.count(target), 0u);

  // The installation folder wins over the program folder; the user's own file stays.
  SetUp();
  System().files[shipped] = "template";
  platform::fake::SetRegistryString(kProductKey, u"Installation directory", u"D:\\Setup");
  System().files[u"D:\\Setup\\Quorel slidefiles\\CustomSlides.txt"] = "installed";
  System().folders = {std::u16string(kDocuments) + u"\\Quorel", slides_folder_};
  System().files[target] = "mine";
  EnsureCustomSlidesFile();
  EXPECT_EQ(System().files[target], "mine");
  EXPECT_EQ(Setting(StringSetting::kCustomSlidesFile), target);
  System().files.erase(target);
  System().registry.clear();
  platform::fake::SetRegistryString(kProductKey, u"Installation directory", u"D:\\Setup");
  EnsureCustomSlidesFile();
  EXPECT_EQ(System().files[target], "installed");
  System().files.erase(target);
  System().registry.clear();
  EnsureCustomSlidesFile();
  EXPECT_EQ(System().files[target], "template") << "without the value, the program folder";

  SetUp();
  System().exe_path.clear();
  EnsureCustomSlidesFile();
  EXPECT_EQ(Setting(StringSetting::kCustomSlidesFile), u"(none)");
  EXPECT_EQ(Effects(), "says Can't find running exe directory. size 2");
}

// An installation folder that holds only the template, or no slide file at all.
TEST_F(FirstRunTest, CustomSlideFileFromWhateverIsShippedAndOnlyRegisteredWhenThere) {
  const std::u16string target = Path(slides_folder_, u"CustomSlides.txt");
  platform::fake::SetRegistryString(kProductKey, u"Installation directory", u"D:\\Setup");
  System().files[u"D:\\Setup\\Quorel slidefiles\\CustomSlidesTemplate.txt"] = "installed template";
  System().files[Path(kProgramFolder, u"Quorel slidefiles\\CustomSlidesTemplate.txt")] = "template";
  EnsureCustomSlidesFile();
  EXPECT_EQ(System().files[target], "installed template");

  SetUp();
  EnsureCustomSlidesFile();
  EXPECT_EQ(System().files.count(target), 0u);
  EXPECT_EQ(Setting(StringSetting::kCustomSlidesFile), u"(none)");
  System().files[Path(kProgramFolder, u"Quorel slidefiles\\CustomSlidesTemplate.txt")] = "template";
  EnsureCustomSlidesFile();
  EXPECT_EQ(System().files[target], "template") << "the next start tries again";
  EXPECT_EQ(Setting(StringSetting::kCustomSlidesFile), target);
}

TEST_F(FirstRunTest, ShippedGlossariesAreCopiedWithoutOverwriting) {
  const std::u16string old_folder = shipped_glossaries_ + u"\\old";
  System().folders = {shipped_glossaries_, old_folder, std::u16string(kDocuments) + u"\\Quorel",
                      glossary_folder_};
  System().files[Path(shipped_glossaries_, u"business.glo")] = "shipped business";
  System().files[Path(shipped_glossaries_, u"medical.glo")] = "shipped medical";
  System().files[Path(old_folder, u"legacy.glo")] = "legacy";
  System().files[Path(glossary_folder_, u"medical.glo")] = "mine";
  EnsureGlossaryFile();
  EXPECT_EQ(System().files[Path(glossary_folder_, u"business.glo")], "shipped business");
  EXPECT_EQ(System().files[Path(glossary_folder_, u"medical.glo")], "mine");
  EXPECT_EQ(System().files.count(Path(glossary_folder_, u"legacy.glo")), 0u);
  EXPECT_EQ(System().files.count(Path(glossary_folder_, u"old")), 0u);
  EXPECT_EQ(Setting(StringSetting::kGlossaryFile), Path(glossary_folder_, u"business.glo"));

  const auto files = System().files;
  System().files.erase(Path(glossary_folder_, u"business.glo"));
  EnsureGlossaryFile();
  EXPECT_EQ(System().files.size(), files.size() - 1);

  // Nothing to list: nothing copied, the default name registered all the same.
  SetUp();
  EnsureGlossaryFile();
  EXPECT_EQ(System().folders.count(glossary_folder_), 1u);
  EXPECT_EQ(Setting(StringSetting::kGlossaryFile), Path(glossary_folder_, u"business.glo"));

  SetUp();
  System().exe_path = u"nowhere";
  EnsureGlossaryFile();
  EXPECT_EQ(Setting(StringSetting::kGlossaryFile), u"(none)");
  EXPECT_EQ(Effects(), "says Can't find running exe directory. size 2");
}

}  // namespace
}  // namespace quorel::keyboard
