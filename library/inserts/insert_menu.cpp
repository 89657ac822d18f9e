#include "library/inserts/insert_menu.h"

#include <array>
#include <string>

#include "library/options/options.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/menus.h"
#include "platform/message_box.h"

namespace quorel {

namespace {

using Ask = SpecialAsk;

constexpr SpecialItem kSpecialCharacters[] = {
    {u"unicode", 1, u"", Ask::kUnicode},
    {u"space", 2, u"<space>"},
    {u"tab", 3, u"<tab>"},
    {u"backspace", 4, u"<back>"},
    {u"delete", 5, u"<delete>"},
    {u"enter", 6, u"<enter>"},
    {u"escape", 7, u"<esc>"},
    {u"insert", 8, u"<insert>"},
    {u"pause", 9, u"<pause>"},
    {u"print screen", 10, u"<print screen>"},
};

constexpr SpecialItem kStateKeys[] = {
    {u"caps", 11, u"<caps>"},
    {u"shift", 12, u"<shift>"},
    {u"control", 13, u"<control>"},
    {u"alt", 14, u"<alt>"},
    {},
    {u"windows", 15, u"<windows key>"},
    {},
    {u"numlock", 16, u"<numlock>"},
    {u"scroll lock", 17, u"<scroll lock>"},
};

constexpr SpecialItem kPanelKeys[] = {
    {u"abc", 18, u"<abc>"},
    {u"123", 19, u"<123>"},
    {},
    {u"acute", 20, u"<acute>"},
    {u"circum", 21, u"<circum>"},
    {u"grave", 22, u"<grave>"},
    {u"umlaut", 23, u"<umlaut>"},
    {},
    {u"add", 24, u"<add>"},
    {u"arrows", 25, u"<arrows>"},
    {u"accents", 26, u"<accents>"},
    {u"info", 27, u"<info>"},
};

constexpr SpecialItem kDirectionKeys[] = {
    {u"left", 28, u"<left>"},
    {u"right", 29, u"<right>"},
    {u"up", 30, u"<up>"},
    {u"down", 31, u"<down>"},
    {},
    {u"home", 32, u"<home>"},
    {u"end", 33, u"<end>"},
    {},
    {u"page down", 34, u"<pagedown>"},
    {u"page up", 35, u"<pageup>"},
    {},
    {u"wide right", 36, u"<wideright>"},
    {u"wide left", 37, u"<wideleft>"},
};

constexpr SpecialItem kOptionKeys[] = {
    {u"small keyboard", 38, u"<smallsize>"},
    {u"medium keyboard", 39, u"<mediumsize>"},
    {u"large keyboard", 40, u"<largesize>"},
    {u"finger keyboard", 41, u"<fingersize>"},
    {},
    {u"symbols half cells", 42, u"<symbols halfcells>"},
    {u"symbols digits", 43, u"<symbols digits>"},
    {u"symbols punctuation", 44, u"<symbols punctuation>"},
    {},
    {u"expansion toggle on/off", 45, u"<expansion toggle>"},
    {u"expansion on", 46, u"<expansion on>"},
    {u"expansion off", 47, u"<expansion off>"},
};

constexpr SpecialItem kPositioningKeys[] = {
    {u"show quorel", 48, u"<show>"},
    {u"minimize quorel", 49, u"<mini>"},
    {u"move quorel", 50, u"<move keyboard>", Ask::kMove},
    {},
    {u"dock to client", 51, u"<dock>"},
    {u"duo with client", 52, u"<duo>"},
    {},
    {u"minimize client", 53, u"<miniclient>"},
    {u"maximize client", 54, u"<maxiclient>"},
};

constexpr SpecialItem kMetakeys[] = {
    {u"short date", 55, u"<shortdate>"},
    {u"long date", 56, u"<longdate>"},
    {u"short time", 57, u"<shorttime>"},
    {u"long time", 58, u"<longtime>"},
    {},
    {u"capitalize", 59, u"<capitalize>"},
    {u"lowercase", 60, u"<lowercase>"},
    {u"uppercase", 61, u"<uppercase>"},
    {},
    {u"launch", 62, u"<launch>", Ask::kLaunch},
    {u"load glossary", 63, u"<load glossary>", Ask::kLoadGlossary},
    {u"load slides", 64, u"<load slides>", Ask::kLoadSlides},
    {},
    {u"rotate screen", 65, u"<rotate>"},
    {u"context menu", 66, u"<context menu>"},
    {u"tap (x,y)", 67, u"<tap>", Ask::kTap},
    {u"wait", 68, u"<wait>", Ask::kWait},
    {},
    {u"no action", 69, u"<no action>"},
};

constexpr SpecialItem kFunctionKeys[] = {
    {u"F1", 70, u"<f1>"},    {u"F2", 71, u"<f2>"},    {u"F3", 72, u"<f3>"},
    {u"F4", 73, u"<f4>"},    {u"F5", 74, u"<f5>"},    {u"F6", 75, u"<f6>"},
    {u"F7", 76, u"<f7>"},    {u"F8", 77, u"<f8>"},    {u"F9", 78, u"<f9>"},
    {u"F10", 79, u"<f10>"},  {u"F11", 80, u"<f11>"},  {u"F12", 81, u"<f12>"},
    {u"F13", 82, u"<f13>"},  {u"F14", 83, u"<f14>"},  {u"F15", 84, u"<f15>"},
    {u"F16", 85, u"<f16>"},  {u"F17", 86, u"<f17>"},  {u"F18", 87, u"<f18>"},
    {u"F19", 88, u"<f19>"},  {u"F20", 89, u"<f20>"},  {u"F21", 90, u"<f21>"},
    {u"F22", 91, u"<f22>"},  {u"F23", 92, u"<f23>"},  {u"F24", 93, u"<f24>"},
};

constexpr SpecialItem kNumpadKeys[] = {
    {u"numpad 0", 94, u"<numpad 0>"},  {u"numpad 1", 95, u"<numpad 1>"},
    {u"numpad 2", 96, u"<numpad 2>"},  {u"numpad 3", 97, u"<numpad 3>"},
    {u"numpad 4", 98, u"<numpad 4>"},  {u"numpad 5", 99, u"<numpad 5>"},
    {u"numpad 6", 100, u"<numpad 6>"}, {u"numpad 7", 101, u"<numpad 7>"},
    {u"numpad 8", 102, u"<numpad 8>"}, {u"numpad 9", 103, u"<numpad 9>"},
};

constexpr SpecialItem kBrowserKeys[] = {
    {u"favorites", 104, u"<browser favorites>"}, {u"home", 105, u"<browser home>"},
    {u"stop", 106, u"<browser stop>"},           {u"back", 107, u"<browser back>"},
    {u"forward", 108, u"<browser forward>"},     {u"refresh", 109, u"<browser refresh>"},
    {u"search", 110, u"<browser search>"},
};

// "up" answers 113 and "down" 112: callers and stored habits know these numbers.
constexpr SpecialItem kVolumeKeys[] = {
    {u"mute", 111, u"<volume mute>"},
    {u"up", 113, u"<volume up>"},
    {u"down", 112, u"<volume down>"},
};

constexpr std::array<SpecialSubmenu, 11> kMenu = {{
    {u"special character", kSpecialCharacters},
    {u"state key", kStateKeys},
    {u"panel key", kPanelKeys},
    {u"direction key", kDirectionKeys},
    {u"option key", kOptionKeys},
    {u"positioning key", kPositioningKeys},
    {u"metakey", kMetakeys},
    {u"function key", kFunctionKeys},
    {u"numpad key", kNumpadKeys},
    {u"browser key", kBrowserKeys},
    {u"volume key", kVolumeKeys},
}};

// The menu as the system shows it: made, shown, and freed with its submenus.
std::uint32_t ChooseFromMenu(platform::WindowHandle owner, int x, int y) {
  const platform::MenuHandle menu = platform::NewPopupMenu();
  if (menu == 0) return 0;
  for (const SpecialSubmenu& submenu : kMenu) {
    const platform::MenuHandle sub = platform::NewPopupMenu();
    if (sub == 0) continue;
    for (const SpecialItem& item : submenu.items) {
      if (item.caption.empty()) {
        platform::AddMenuSeparator(sub);
      } else {
        platform::AddMenuItem(sub, item.command, item.caption);
      }
    }
    platform::AddSubmenu(menu, sub, submenu.caption);
  }
  const std::uint32_t command = platform::TrackMenuUpward(menu, owner, {x, y}, nullptr);
  platform::FreeMenu(menu);
  return command;
}

// A file path between the opening and the closing name, or nothing when cancelled.
// The chooser belongs to the owner, so the dialog behind it cannot be pressed again.
std::optional<std::u16string> AskFile(platform::WindowHandle owner, const SpecialItem& item,
                                      std::u16string_view filter_name,
                                      std::u16string_view pattern,
                                      std::u16string_view documents_folder) {
  platform::OpenFileRequest request;
  request.owner = owner;
  request.filter_name = filter_name;
  request.pattern = pattern;
  if (!documents_folder.empty()) {
    std::u16string documents;
    if (platform::GetDocumentsFolder(&documents)) {
      request.initial_folder = documents + u"\\Quorel" + std::u16string(documents_folder);
    }
  }
  std::u16string path;
  if (!platform::AskOpenFileName(request, &path)) return std::nullopt;
  return std::u16string(item.text) + path + ClosingName(item.text);
}

std::u16string Decimal(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::span<const SpecialSubmenu> SpecialKeysMenu() { return kMenu; }

const SpecialItem* FindSpecialItem(std::uint32_t command) {
  for (const SpecialSubmenu& submenu : kMenu) {
    for (const SpecialItem& item : submenu.items) {
      if (!item.caption.empty() && item.command == command) return &item;
    }
  }
  return nullptr;
}

std::u16string ClosingName(std::u16string_view opening) {
  if (opening.empty()) return std::u16string(u"/");
  std::u16string closing(opening.substr(0, 1));
  closing += u'/';
  closing += opening.substr(1);
  return closing;
}

std::optional<std::u16string> PickSpecial(platform::WindowHandle owner, int x, int y,
                                          const UnicodePicker& picker) {
  const SpecialItem* item = FindSpecialItem(ChooseFromMenu(owner, x, y));
  if (item == nullptr) return std::nullopt;
  const std::u16string opening(item->text);
  switch (item->ask) {
    case Ask::kNothing:
      return opening;
    case Ask::kUnicode: {
      std::u16string text;
      if (!picker || !picker(owner, &text)) return std::nullopt;
      return text;
    }
    case Ask::kMove: {
      platform::ShowMessageOwned(owner, kMovePrompt, kSpecialsTitle);
      // The keyboard stored its new place while the message was up.
      LoadOptions();
      return opening + Decimal(GetOption(OptionId::kX)) + u"," +
             Decimal(GetOption(OptionId::kY)) + ClosingName(opening);
    }
    case Ask::kTap:
      platform::ShowMessageOwned(owner, kTapPrompt, kSpecialsTitle);
      return opening + u"###,###" + ClosingName(opening);
    case Ask::kWait:
      platform::ShowMessageOwned(owner, kWaitPrompt, kSpecialsTitle);
      return opening + u"###" + ClosingName(opening);
    case Ask::kLaunch:
      return AskFile(owner, *item, u"All Files (*.*)", u"*.*", u"");
    case Ask::kLoadGlossary:
      return AskFile(owner, *item, u"Glossary Files (*.glo)", u"*.glo", u"\\Glossaries");
    case Ask::kLoadSlides:
      return AskFile(owner, *item, u"Slide Files (*.txt)", u"*.txt", u"\\Slidefiles");
  }
  return std::nullopt;
}

}  // namespace quorel
