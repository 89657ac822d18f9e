#include "keyboard/expansion/text_privacy.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "library/options/options.h"

namespace quorel::keyboard {

namespace {

// The edit controls whose style says whether they hide their text: the system's, the rich
// edit controls and those of the .NET forms. Other classes use the same style bit for
// something else.
constexpr std::array<std::u16string_view, 4> kEditClassPrefixes = {
    u"Edit", u"RichEdit", u"WindowsForms10.EDIT.", u"WindowsForms10.RichEdit"};
constexpr std::uint32_t kPasswordStyle = 0x0020;

constexpr std::array<std::u16string_view, 9> kTerminalClasses = {
    u"ConsoleWindowClass", u"WineConsoleClass", u"CASCADIA_HOSTING_WINDOW_CLASS", u"PuTTY",
    u"KiTTY",              u"mintty",           u"VirtualConsoleClass",           u"Alacritty",
    u"TMobaXtermForm",
};
constexpr std::array<std::u16string_view, 20> kTerminalPrograms = {
    u"cmd.exe",       u"powershell.exe",  u"pwsh.exe",         u"conhost.exe",
    u"openconsole.exe", u"windowsterminal.exe", u"wt.exe",     u"putty.exe",
    u"kitty.exe",     u"mintty.exe",      u"conemu.exe",       u"conemu64.exe",
    u"alacritty.exe", u"wezterm-gui.exe", u"mobaxterm.exe",    u"securecrt.exe",
    u"wsl.exe",       u"bash.exe",        u"ssh.exe",          u"termius.exe",
};
// Remote desktop, remote control and virtual machine clients.
constexpr std::array<std::u16string_view, 3> kRemoteClasses = {
    u"TscShellContainerClass", u"VMPlayerFrame", u"VMUIFrame"};
constexpr std::array<std::u16string_view, 20> kRemotePrograms = {
    u"mstsc.exe",        u"msrdc.exe",        u"vmconnect.exe",    u"vmware.exe",
    u"vmplayer.exe",     u"virtualbox.exe",   u"virtualboxvm.exe", u"vncviewer.exe",
    u"tvnviewer.exe",    u"teamviewer.exe",   u"anydesk.exe",      u"rustdesk.exe",
    u"wfica32.exe",      u"cdviewer.exe",     u"vmware-view.exe",  u"remote-viewer.exe",
    u"virt-viewer.exe",  u"parsecd.exe",      u"qemu-system-x86_64.exe", u"ultravnc.exe",
};

char16_t FoldAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
}

bool EqualAscii(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

template <std::size_t N>
bool Names(const std::array<std::u16string_view, N>& names, std::u16string_view name) {
  return std::any_of(names.begin(), names.end(),
                     [name](std::u16string_view known) { return EqualAscii(known, name); });
}

}  // namespace

bool IsEditClass(std::u16string_view name) {
  return std::any_of(kEditClassPrefixes.begin(), kEditClassPrefixes.end(),
                     [name](std::u16string_view prefix) {
                       // "Edit" is a whole name; the others begin a family of names.
                       return prefix == u"Edit" ? EqualAscii(name, prefix)
                                                : name.size() >= prefix.size() &&
                                                      EqualAscii(name.substr(0, prefix.size()), prefix);
                     });
}

WindowKind JudgeWindowKind(const platform::FocusedControl& control) {
  if (Names(kTerminalClasses, control.window_class) || Names(kTerminalPrograms, control.program)) {
    return WindowKind::kTerminal;
  }
  if (Names(kRemoteClasses, control.window_class) || Names(kRemotePrograms, control.program)) {
    return WindowKind::kRemote;
  }
  return WindowKind::kOrdinary;
}

TextShown JudgeTextShown(const platform::FocusedControl& control) {
  if (control.control == 0) return TextShown::kUnknown;
  if (control.answer == platform::AutomationAnswer::kHidesText) return TextShown::kHidden;
  // An edit box's style is its own answer, read at this very moment.
  if (IsEditClass(control.control_class)) {
    return (control.control_style & kPasswordStyle) != 0 ? TextShown::kHidden : TextShown::kShown;
  }
  // A console or a remote window shows what is typed, except at the prompts nobody can see;
  // whether to trust it is the user's choice, made apart from this.
  if (JudgeWindowKind(control) != WindowKind::kOrdinary) return TextShown::kShown;
  return control.answer == platform::AutomationAnswer::kShowsText ? TextShown::kShown
                                                                    : TextShown::kUnknown;
}

bool MayShowTypedText(const platform::FocusedControl& control) {
  return JudgeTextShown(control) == TextShown::kShown &&
         (JudgeWindowKind(control) == WindowKind::kOrdinary ||
          GetOption(OptionId::kLearnInTerminals) != 0);
}

bool InputWatchLost(std::uint32_t last_sent, std::uint32_t last_heard, std::uint32_t now) {
  // The system stamps an input a little before the watch hears it; and an input just sent
  // may not have reached the watch yet.
  constexpr std::uint32_t kStampMs = 500;
  constexpr std::uint32_t kGraceMs = 2000;
  // Tick counts wrap after 49 days; differences stay right across the wrap.
  const auto later = [](std::uint32_t a, std::uint32_t b, std::uint32_t by) {
    const std::uint32_t difference = a - b;
    return difference < 0x80000000u && difference > by;
  };
  return later(last_sent, last_heard, kStampMs) && later(now, last_sent, kGraceMs);
}

}  // namespace quorel::keyboard
