// The key kinds by name. Kind 8 types its parameter; kinds 16, 24, 35, 37, 47 and 51
// belong to the keyboard's own cells and menu and have no written name.
#pragma once

#include <cstdint>

namespace quorel::keyboard::kind {

constexpr std::uint16_t kAcute = 1;
constexpr std::uint16_t kAdd = 2;
constexpr std::uint16_t kAlt = 3;
constexpr std::uint16_t kBack = 4;
constexpr std::uint16_t kBrowser = 5;
constexpr std::uint16_t kCaps = 6;
constexpr std::uint16_t kCaseChange = 7;
constexpr std::uint16_t kCharacter = 8;
constexpr std::uint16_t kCircum = 9;
constexpr std::uint16_t kClose = 10;
constexpr std::uint16_t kContextMenu = 11;
constexpr std::uint16_t kControl = 12;
constexpr std::uint16_t kDelete = 13;
constexpr std::uint16_t kDock = 14;
constexpr std::uint16_t kDown = 15;
constexpr std::uint16_t kDragHandle = 16;
constexpr std::uint16_t kDuo = 17;
constexpr std::uint16_t kEnd = 18;
constexpr std::uint16_t kEnter = 19;
constexpr std::uint16_t kEsc = 20;
constexpr std::uint16_t kExpand = 21;
constexpr std::uint16_t kExpansion = 22;
constexpr std::uint16_t kQuorel = 23;
constexpr std::uint16_t kHelp = 24;
constexpr std::uint16_t kSize = 25;
constexpr std::uint16_t kFunction = 26;
constexpr std::uint16_t kGrave = 27;
constexpr std::uint16_t kHide = 28;
constexpr std::uint16_t kHome = 29;
constexpr std::uint16_t kInfo = 30;
constexpr std::uint16_t kInsert = 31;
constexpr std::uint16_t kLaunch = 32;
constexpr std::uint16_t kLeft = 33;
constexpr std::uint16_t kLoadGlossary = 34;
constexpr std::uint16_t kChooseGlossary = 35;
constexpr std::uint16_t kLoadSlides = 36;
constexpr std::uint16_t kChooseSlides = 37;
constexpr std::uint16_t kLongDate = 38;
constexpr std::uint16_t kLongTime = 39;
constexpr std::uint16_t kMaxiClient = 40;
constexpr std::uint16_t kMiniClient = 41;
constexpr std::uint16_t kMini = 42;
constexpr std::uint16_t kMoveKeyboard = 43;
constexpr std::uint16_t kNoAction = 44;
constexpr std::uint16_t kNumLock = 45;
constexpr std::uint16_t kNumpad = 46;
constexpr std::uint16_t kOptionsProgram = 47;
constexpr std::uint16_t kPageDown = 48;
constexpr std::uint16_t kPageUp = 49;
constexpr std::uint16_t kPause = 50;
constexpr std::uint16_t kChooseFont = 51;
constexpr std::uint16_t kPrintScreen = 52;
constexpr std::uint16_t kRight = 53;
constexpr std::uint16_t kRotate = 54;
constexpr std::uint16_t kScrollLock = 55;
constexpr std::uint16_t kShift = 56;
constexpr std::uint16_t kShortDate = 57;
constexpr std::uint16_t kShortTime = 58;
constexpr std::uint16_t kNumbers = 59;
constexpr std::uint16_t kLetters = 60;
constexpr std::uint16_t kAccents = 61;
constexpr std::uint16_t kArrows = 62;
constexpr std::uint16_t kShow = 63;
constexpr std::uint16_t kSpace = 64;
constexpr std::uint16_t kSymbols = 65;
constexpr std::uint16_t kSysMenu = 66;
constexpr std::uint16_t kTab = 67;
constexpr std::uint16_t kTap = 68;
constexpr std::uint16_t kUmlaut = 69;
constexpr std::uint16_t kUp = 70;
constexpr std::uint16_t kVolume = 71;
constexpr std::uint16_t kWait = 72;
constexpr std::uint16_t kWideLeft = 73;
constexpr std::uint16_t kWideRight = 74;
constexpr std::uint16_t kWindowsKey = 75;

// Kinds above this are not keys.
constexpr std::uint16_t kLastKind = 75;

}  // namespace quorel::keyboard::kind
