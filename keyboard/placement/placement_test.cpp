#include "keyboard/placement/placement.h"

#include <gtest/gtest.h>

#include <climits>

#include "keyboard/key_kinds.h"
#include "keyboard/placement/placement_test_scene.h"
#include "platform/desktop.h"

namespace quorel::keyboard {
namespace {

using namespace desktop;
using platform::DisplaySettings;
using platform::Rect;
using platform::fake::FindRegistryValue;
using platform::fake::PostedMessage;
using platform::fake::System;

std::uint32_t StoredDword(std::u16string_view name) {
  const auto* value = FindRegistryValue(kOptionsKey, name);
  if (value == nullptr || value->data.size() != 4) return 0xDEADBEEF;
  return value->data[0] | value->data[1] << 8 | value->data[2] << 16 |
         static_cast<std::uint32_t>(value->data[3]) << 24;
}

class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override { SetUpDesktop(); }
  void TearDown() override { Hooks() = OutputHooks(); }
};

TEST_F(PlacementTest, DockCentresTheKeyboardUnderTheClientWithinTheWorkArea) {
  const struct {
    const char* name;
    Rect work;
    Rect client;
    Rect keyboard;
    Rect docked;
  } cases[] = {
      {"room below", kWorkArea, {200, 100, 700, 300}, kKeyboardRect, {329, 300, 571, 500}},
      {"client 50 px above the bottom", kWorkArea, {100, 100, 600, 678}, kKeyboardRect,
       {229, 528, 471, 728}},
      {"narrow client at the left edge", kWorkArea, {0, 100, 100, 300}, kKeyboardRect,
       {0, 300, 242, 500}},
      {"client at the right edge", kWorkArea, {900, 100, 1024, 300}, kKeyboardRect,
       {782, 300, 1024, 500}},
      {"work area off the origin", {100, 50, 1024, 728}, {0, 0, 80, 40}, kKeyboardRect,
       {100, 50, 342, 250}},
      {"client below the screen", kWorkArea, {300, 800, 500, 900}, {0, 0, 101, 99},
       {350, 629, 451, 728}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUpDesktop();
    System().work_area = c.work;
    System().windows[kClient] = c.client;
    PlaceKeyboard(c.keyboard);
    ProcessKey(kind::kDock, 0);
    EXPECT_EQ(RectOf(kKeyboard), c.docked);
    EXPECT_EQ(RectOf(kClient), c.client);
  }
}

TEST_F(PlacementTest, DuoGivesTheClientTheWorkAreaAboveTheKeyboard) {
  PlaceKeyboard({300, 500, 542, 680});  // 180 high
  ProcessKey(kind::kDuo, 0);
  EXPECT_EQ(RectOf(kClient), (Rect{0, 0, 1024, 548}));
  EXPECT_EQ(System().visible.count(kClient), 1u);
  EXPECT_EQ(RectOf(kKeyboard), (Rect{391, 548, 633, 728}));

  // A keyboard taller than the work area leaves the client no height, not a negative one.
  SetUpDesktop();
  PlaceKeyboard({0, 0, 242, 800});
  ProcessKey(kind::kDuo, 0);
  EXPECT_EQ(RectOf(kClient), (Rect{0, 0, 1024, 0}));
}

TEST_F(PlacementTest, ClientActionsLeaveTheShellAndTheKeyboardAlone) {
  constexpr platform::WindowHandle kShellChild = 0x150;    // another desktop window
  constexpr platform::WindowHandle kFolderWindow = 0x160;  // shell's process, own thread
  const std::uint16_t client_keys[] = {kind::kDock, kind::kDuo, kind::kMaxiClient,
                                       kind::kMiniClient};
  const struct {
    const char* name;
    platform::WindowHandle foreground;
    bool acted_on;
  } cases[] = {
      {"desktop", kDesktop, false},     {"task bar", kTaskBar, false},
      {"desktop thread", kShellChild, false}, {"keyboard", kKeyboard, false},
      {"no foreground", 0, false},      {"shell process, other thread", kFolderWindow, true},
      {"ordinary client", kClient, true},
  };
  for (const auto& c : cases) {
    for (std::uint16_t key : client_keys) {
      SCOPED_TRACE(::testing::Message() << c.name << ", key " << key);
      SetUpDesktop();
      System().windows[kShellChild] = {0, 0, 10, 10};
      System().window_owners[kShellChild] = kShellThread;
      System().windows[kFolderWindow] = kClientRect;
      System().window_owners[kFolderWindow] = {kTaskBarThread.process, 777};
      const auto before = System().windows;
      System().foreground = c.foreground;
      ProcessKey(key, 0);
      const bool changed = System().windows != before || !System().minimized.empty() ||
                           !System().maximized.empty();
      EXPECT_EQ(changed, c.acted_on);
    }
  }
}

TEST_F(PlacementTest, AMinimisedClientIsNotDockedButCanBeMaximised) {
  System().minimized.insert(kClient);
  ProcessKey(kind::kDock, 0);
  ProcessKey(kind::kDuo, 0);
  EXPECT_EQ(RectOf(kKeyboard), kKeyboardRect);
  EXPECT_EQ(RectOf(kClient), kClientRect);
  ProcessKey(kind::kMaxiClient, 0);
  EXPECT_EQ(System().maximized.count(kClient), 1u);
  EXPECT_EQ(System().minimized.count(kClient), 0u);
  ProcessKey(kind::kMiniClient, 0);
  EXPECT_EQ(System().minimized.count(kClient), 1u);

  // Without the shell's windows every other window is a client.
  SetUpDesktop();
  System().top_level_classes.clear();
  System().foreground = kDesktop;
  ProcessKey(kind::kMaxiClient, 0);
  EXPECT_EQ(System().maximized.count(kDesktop), 1u);
}

TEST_F(PlacementTest, RotationKeysTurnTheDisplayAndStandTheModeOnItsSide) {
  std::vector<DisplaySettings> seen;
  for (int turn = 0; turn < 4; ++turn) {
    ProcessKey(kind::kRotate, 1);
    seen.push_back(System().display);
  }
  EXPECT_EQ(seen, (std::vector<DisplaySettings>{
                      {3, 768, 1024}, {2, 1024, 768}, {1, 768, 1024}, {0, 1024, 768}}));

  const struct {
    DisplaySettings from;
    std::uint16_t parameter;
    DisplaySettings to;
  } cases[] = {
      {{1, 768, 1024}, 2, {0, 1024, 768}},  // portrait from 1 exchanges
      {{2, 1024, 768}, 2, {0, 1024, 768}},  // portrait from 2 does not
      {{0, 1024, 768}, 3, {1, 768, 1024}},  // landscape right
      {{3, 768, 1024}, 4, {2, 1024, 768}},  // portrait upside down
      {{0, 1024, 768}, 5, {3, 768, 1024}},  // landscape left
      {{1, 768, 1024}, 5, {3, 768, 1024}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "parameter " << c.parameter);
    System().display = c.from;
    ProcessKey(kind::kRotate, c.parameter);
    EXPECT_EQ(System().display, c.to);
  }
}

TEST_F(PlacementTest, RotationDoesNothingWithoutAModeItUnderstands) {
  System().display_readable = false;
  ProcessKey(kind::kRotate, 1);
  System().display_readable = true;
  ProcessKey(kind::kRotate, 0);
  ProcessKey(kind::kRotate, 6);
  System().display = {7, 1024, 768};
  ProcessKey(kind::kRotate, 1);
  ProcessKey(kind::kRotate, 2);
  EXPECT_TRUE(System().display_changes.empty());
}

TEST_F(PlacementTest, MoveKeyboardStoresThePositionAndMovesWithoutRebuilding) {
  ProcessKey(kind::kMoveKeyboard, 0, u"100,200");
  EXPECT_EQ(StoredDword(u"X"), 100u);
  EXPECT_EQ(StoredDword(u"Y"), 200u);
  EXPECT_EQ(KeyboardMessages(),
            (std::vector<PostedMessage>{{kKeyboard, kOptionsChangedMessage, 1, 0, true}}));

  SetUpDesktop();
  ProcessKey(kind::kMoveKeyboard, 0, u"100");
  ProcessKey(kind::kMoveKeyboard, 0, u"");
  EXPECT_EQ(FindRegistryValue(kOptionsKey, u"X"), nullptr);
  EXPECT_TRUE(KeyboardMessages().empty());
}

// The keyboard is 324 x 134; its centre decides whether a stored coordinate is kept.
TEST_F(PlacementTest, StartPositionKeepsTheKeyboardOnTheVirtualScreen) {
  using platform::Point;
  EXPECT_EQ(KeyboardStartPosition({300, 560}, 324, 134), (Point{300, 560}));
  EXPECT_EQ(KeyboardStartPosition({-5000, 560}, 324, 134), (Point{0, 560}));
  EXPECT_EQ(KeyboardStartPosition({300, 9000}, 324, 134), (Point{300, 0}));
  // A centre exactly on the far edge still counts as on the screen.
  EXPECT_EQ(KeyboardStartPosition({1024 - 162, 768 - 67}, 324, 134), (Point{862, 701}));
  EXPECT_EQ(KeyboardStartPosition({1024 - 161, 768 - 66}, 324, 134), (Point{0, 0}));
  EXPECT_EQ(KeyboardStartPosition({INT_MAX, INT_MIN}, 324, 134), (Point{0, 0}));

  // A second monitor left of and above the primary one: the virtual screen starts at
  // negative coordinates, and a keyboard placed there stays there...
  System().metrics.virtual_left = -1280;
  System().metrics.virtual_top = -200;
  System().metrics.virtual_width = 2304;
  System().metrics.virtual_height = 1024;
  EXPECT_EQ(KeyboardStartPosition({-1000, -100}, 324, 134), (Point{-1000, -100}));
  // ...while the width of the virtual screen, counted from 0, is no longer on any monitor.
  EXPECT_EQ(KeyboardStartPosition({1500, 300}, 324, 134), (Point{0, 300}));
  EXPECT_EQ(KeyboardStartPosition({-1500, 500}, 324, 134), (Point{0, 500}));
}

// The work area is 1024 x 728 at the origin.
TEST_F(PlacementTest, TheKeyboardIsPlacedWholeOnItsWorkAreaMovedTheLeastDistance) {
  const platform::Size size = KeyboardWindowSize(2);
  struct Case {
    int x, y;
    int left, top;
  };
  const Case cases[] = {
      {100, 200, 100, 200},                           // already whole on it: stays
      {-40, 200, 0, 200},                             // partly off the left edge
      {900, 700, 1024 - size.width, 728 - size.height},  // off the bottom-right corner
      {INT_MAX, INT_MIN, 1024 - size.width, 0},       // any stored number makes a place
  };
  for (const Case& c : cases) {
    SetOption(OptionId::kSize, 2);
    SetOption(OptionId::kX, c.x);
    SetOption(OptionId::kY, c.y);
    PlaceKeyboardOnWorkArea(kKeyboard);
    EXPECT_EQ(System().windows[kKeyboard],
              (Rect{c.left, c.top, c.left + size.width, c.top + size.height}))
        << c.x << ", " << c.y;
  }
  // Larger than the work area: its top-left corner stays on it.
  SetOption(OptionId::kSize, 4);
  SetOption(OptionId::kX, -300);
  System().work_area = {0, 0, 400, 300};
  PlaceKeyboardOnWorkArea(kKeyboard);
  EXPECT_EQ(System().windows[kKeyboard].left, 0);
  EXPECT_EQ(System().windows[kKeyboard].top, 0);
}

TEST_F(PlacementTest, MoveKeyboardArgumentsReadAsLeadingIntegers) {
  const struct {
    std::u16string_view argument;
    bool valid;
    int x;
    int y;
  } cases[] = {
      {u" 100 , -20px", true, 100, -20},
      {u"+7,-0,3", true, 7, 0},
      {u",,5,,7", true, 5, 7},
      {u"a,b", true, 0, 0},
      {u"\t12,\n34", true, 12, 34},
      {u"99999999999,-99999999999", true, INT_MAX, INT_MIN},
      {u"100,", false, 0, 0},
      {u",", false, 0, 0},
      {u"-,-", true, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.argument.begin(), c.argument.end()));
    int x = -1;
    int y = -1;
    EXPECT_EQ(ParseKeyboardPosition(c.argument, &x, &y), c.valid);
    if (c.valid) {
      EXPECT_EQ(std::make_pair(x, y), std::make_pair(c.x, c.y));
    }
  }
}

TEST_F(PlacementTest, SizeKeysStoreTheSizeAndRebuildTheKeyboard) {
  ProcessKey(kind::kSize, 3);
  EXPECT_EQ(StoredDword(u"Keyboard size"), 3u);
  EXPECT_EQ(GetOption(OptionId::kSize), 3);
  EXPECT_EQ(KeyboardMessages(),
            (std::vector<PostedMessage>{{kKeyboard, kOptionsChangedMessage, 0, 0, true}}));

  System().messages.clear();
  ProcessKey(kind::kSize, 0);
  ProcessKey(kind::kSize, 5);
  EXPECT_EQ(GetOption(OptionId::kSize), 3);
  EXPECT_TRUE(KeyboardMessages().empty());

  // A keyboard that is gone gets no message; the size waits for the next start.
  System().windows.erase(kKeyboard);
  ProcessKey(kind::kSize, 1);
  EXPECT_EQ(StoredDword(u"Keyboard size"), 1u);
  EXPECT_TRUE(KeyboardMessages().empty());
}

TEST_F(PlacementTest, SystemMenuGreysItsPlacementEntriesAndActsOnMinimiseAndClose) {
  System().menu_choice = platform::kSystemMinimize;
  ProcessKey(kind::kSysMenu, 0);
  ASSERT_EQ(System().menu_tracks.size(), 1u);
  const auto& track = System().menu_tracks[0];
  EXPECT_EQ(track.owner, kKeyboard);
  EXPECT_EQ(track.at, (platform::Point{300, 500}));  // client (-1, -1)
  EXPECT_TRUE(track.has_exclusion);
  EXPECT_EQ(track.exclusion, kKeyboardRect);
  EXPECT_EQ(System().minimized.count(kKeyboard), 1u);

  // The greying stays on the keyboard's own menu, so a greyed choice comes back as none.
  ASSERT_EQ(System().menus.size(), 1u);
  std::u16string greyed;
  for (const auto& entry : System().menus.begin()->second.entries) {
    if (entry.greyed) greyed += entry.text + u" ";
  }
  EXPECT_EQ(greyed, u"&Restore &Move &Size Ma&ximize ");
  System().menu_choice = platform::kSystemMove;
  ProcessKey(kind::kSysMenu, 0);
  EXPECT_TRUE(System().destroyed.empty());

  System().menu_choice = platform::kSystemClose;
  ProcessKey(kind::kSysMenu, 0);
  EXPECT_EQ(System().destroyed, std::vector<platform::WindowHandle>{kKeyboard});
}

TEST_F(PlacementTest, KeyboardMinimisesRestoresAndCloses) {
  ProcessKey(kind::kMini, 0);
  EXPECT_EQ(System().minimized.count(kKeyboard), 1u);
  ProcessKey(kind::kShow, 0);
  EXPECT_EQ(System().minimized.count(kKeyboard), 0u);
  ProcessKey(kind::kHide, 0);
  EXPECT_EQ(System().minimized.count(kKeyboard), 1u);
  EXPECT_EQ(System().foreground, kClient);
  ProcessKey(kind::kClose, 0);
  EXPECT_EQ(System().destroyed, std::vector<platform::WindowHandle>{kKeyboard});

  // With the keyboard gone every window key is harmless.
  for (std::uint16_t key : {kind::kClose, kind::kDock, kind::kDuo, kind::kSysMenu, kind::kShow,
                            kind::kDragHandle}) {
    ProcessKey(key, 0);
  }
  EXPECT_EQ(System().destroyed.size(), 1u);
  EXPECT_TRUE(System().menu_tracks.empty());
  EXPECT_TRUE(System().caption_drags.empty());
}

TEST_F(PlacementTest, DragHandleDragsInTheForegroundAndHandsTheForegroundBack) {
  System().capture = 0x999;
  ProcessKey(kind::kDragHandle, 0);
  ASSERT_EQ(System().caption_drags.size(), 1u);
  EXPECT_EQ(System().caption_drags[0].window, kKeyboard);
  EXPECT_EQ(System().caption_drags[0].foreground, kKeyboard);
  EXPECT_EQ(System().caption_drags[0].capture, 0u);
  EXPECT_EQ(System().foreground, kClient);
}

}  // namespace
}  // namespace quorel::keyboard
