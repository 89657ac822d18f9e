#include "keyboard/placement/placement.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <utility>

#include "keyboard/key_kinds.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/placement/caret_room.h"
#include "keyboard/placement/text_box_tap.h"
#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/panel_drawing.h"
#include "keyboard/panels/panels.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "platform/desktop.h"
#include "platform/display.h"
#include "platform/drawing.h"
#include "platform/menus.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace quorel::keyboard {

namespace {

constexpr std::u16string_view kDesktopClass = u"Progman";
constexpr std::u16string_view kTaskBarClass = u"Shell_TrayWnd";

// The display orientation each rotation key turns to, by current orientation for <rotate>
// (one step back) and fixed for the others.
constexpr std::array<int, 4> kTurnedBack = {3, 0, 1, 2};
constexpr std::array<int, 4> kFixedOrientation = {0, 1, 2, 3};  // parameters 2..5

// The entries that would let the user fight the keyboard's own placement.
constexpr std::array<std::uint32_t, 4> kGreyedSystemEntries = {
    platform::kSystemMove, platform::kSystemSize, platform::kSystemMaximize,
    platform::kSystemRestore};

// The keyboard's window as the shared block names it, or 0 when it is gone.
platform::WindowHandle LiveKeyboard() {
  const platform::WindowHandle keyboard = KeyboardWindow();
  return platform::IsLiveWindow(keyboard) ? keyboard : 0;
}

// Sent, not posted: the keyboard has moved or been rebuilt when the key is done.
void SendOptionsChanged(std::uintptr_t move_only) {
  const platform::WindowHandle keyboard = LiveKeyboard();
  const std::uint32_t message = ReadSharedField(&SharedBlock::options_changed_message);
  if (keyboard == 0 || message == 0) return;
  platform::SendMessageTo(keyboard, message, move_only, 0);
}

// The foreground window, unless it is the desktop, the task bar or the keyboard itself.
platform::WindowHandle Client(platform::WindowHandle keyboard) {
  const platform::WindowHandle client = platform::ForegroundWindow();
  if (client == 0 || client == keyboard || IsShellWindow(client)) return 0;
  return client;
}

// What DockKeyboard and <duo> both need: a client that is not minimised, its rectangle and
// the keyboard's.
struct DockScene {
  platform::WindowHandle keyboard = 0;
  platform::WindowHandle client = 0;
  platform::Rect client_rect;
  platform::Rect keyboard_rect;
};

bool GetDockScene(DockScene* scene) {
  scene->keyboard = LiveKeyboard();
  scene->client = Client(scene->keyboard);
  if (scene->keyboard == 0 || scene->client == 0 || platform::IsMinimized(scene->client)) {
    return false;
  }
  return platform::GetWindowScreenRect(scene->client, &scene->client_rect) &&
         platform::GetWindowScreenRect(scene->keyboard, &scene->keyboard_rect);
}

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// The keyboard's size on the client's monitor, at that monitor's scale: where it goes to
// follow the client it will have that size.
platform::Size SizeBesideClient(const DockScene& scene) {
  const int there = platform::MonitorDpiNearestRect(scene.client_rect);
  if (there == platform::MonitorDpiNearestRect(scene.keyboard_rect)) {
    return {scene.keyboard_rect.Width(), scene.keyboard_rect.Height()};
  }
  return KeyboardWindowSizeAt(there);
}

void Duo() {
  DockScene scene;
  if (!GetDockScene(&scene)) return;
  const platform::Rect work = platform::WorkAreaNearestRect(scene.client_rect);
  // A keyboard taller than the work area leaves the client no height, never a negative one.
  const int height = std::max(0, work.Height() - SizeBesideClient(scene).height);
  platform::PlaceAndShowWindow(scene.client, {work.left, work.top, work.right, work.top + height});
  DockKeyboard();
}

void ShowClient(platform::ShowCommand command) {
  const platform::WindowHandle client = Client(LiveKeyboard());
  if (client != 0) platform::ShowWindowAs(client, command);
}

// The keyboard never takes the focus from the application it types into, not even when it
// is minimised or comes back.
void ShowKeyboard(platform::ShowCommand command) {
  if (const platform::WindowHandle keyboard = LiveKeyboard()) {
    platform::ShowWindowAs(keyboard, command);
  }
}

void CloseKeyboard() {
  if (const platform::WindowHandle keyboard = LiveKeyboard()) platform::DestroyWindowAt(keyboard);
}

// The drag loop wants the keyboard in the foreground; the application the user types into
// gets it back when the pen is lifted.
void DragKeyboard() {
  platform::ReleasePen();
  const platform::WindowHandle keyboard = LiveKeyboard();
  if (keyboard == 0) return;
  const platform::WindowHandle previous = platform::ForegroundWindow();
  platform::SetForeground(keyboard);
  platform::DragWindowByCaption(keyboard);
  if (previous != 0 && previous != keyboard) platform::SetForeground(previous);
}

void MoveKeyboard(std::u16string_view argument) {
  int x = 0;
  int y = 0;
  if (!ParseKeyboardPosition(argument, &x, &y)) return;
  KeyboardPlacedByUser();
  SetOption(OptionId::kX, x);
  SetOption(OptionId::kY, y);
  SendOptionsChanged(1);
}

void ChangeSize(std::uint16_t parameter) {
  if (parameter < 1 || parameter > 4) return;
  SetOption(OptionId::kSize, parameter);
  SendOptionsChanged(0);
}

void TurnDisplay(std::uint16_t parameter) {
  platform::DisplaySettings settings;
  if (!platform::ReadDisplaySettings(&settings)) return;
  const int old_orientation = settings.orientation;
  if (old_orientation < 0 || old_orientation > 3) return;
  int orientation = 0;
  if (parameter == 1) {
    orientation = kTurnedBack[static_cast<std::size_t>(old_orientation)];
  } else if (parameter >= 2 && parameter <= 5) {
    orientation = kFixedOrientation[parameter - 2u];
  } else {
    return;
  }
  // Orientations 1 and 3 stand the default mode on its side.
  if (old_orientation % 2 != orientation % 2) std::swap(settings.width, settings.height);
  settings.orientation = orientation;
  platform::ApplyDisplaySettings(settings);
}

void ShowSystemMenu() {
  const platform::WindowHandle keyboard = LiveKeyboard();
  if (keyboard == 0) return;
  const platform::MenuHandle menu = platform::SystemMenuOf(keyboard);
  platform::Rect keyboard_rect;
  if (menu == 0 || !platform::GetWindowScreenRect(keyboard, &keyboard_rect)) return;
  for (std::uint32_t entry : kGreyedSystemEntries) platform::GreyMenuEntry(menu, entry);
  // Upward from the keyboard's top-left corner, just outside its client area.
  const platform::Point at = platform::ClientToScreen(keyboard, {-1, -1});
  const std::uint32_t choice = platform::TrackMenuUpward(menu, keyboard, at, &keyboard_rect);
  if (choice == platform::kSystemMinimize) {
    platform::ShowWindowAs(keyboard, platform::ShowCommand::kMinimizeQuietly);
  } else if (choice == platform::kSystemClose) {
    platform::DestroyWindowAt(keyboard);
  }
}

// Leading blanks, an optional sign, then decimal digits up to the first other character;
// no digits is 0, and a number beyond the range of int stops at its end.
int LeadingInteger(std::u16string_view field) {
  std::size_t at = 0;
  while (at < field.size() && (field[at] == u' ' || (field[at] >= u'\t' && field[at] <= u'\r'))) {
    ++at;
  }
  bool negative = false;
  if (at < field.size() && (field[at] == u'+' || field[at] == u'-')) {
    negative = field[at] == u'-';
    ++at;
  }
  std::int64_t value = 0;
  for (; at < field.size() && field[at] >= u'0' && field[at] <= u'9'; ++at) {
    value = std::min<std::int64_t>(value * 10 + (field[at] - u'0'),
                                   std::int64_t{std::numeric_limits<int>::max()} + 1);
  }
  return ClampToInt(negative ? -value : value);
}

}  // namespace

bool IsShellWindow(platform::WindowHandle window) {
  platform::WindowOwner owner;
  if (!platform::GetWindowOwner(window, &owner)) return false;
  for (std::u16string_view shell_class : {kDesktopClass, kTaskBarClass}) {
    const platform::WindowHandle shell = platform::FindTopLevelWindow(shell_class);
    platform::WindowOwner shell_owner;
    if (shell != 0 && platform::GetWindowOwner(shell, &shell_owner) && shell_owner == owner) {
      return true;
    }
  }
  return false;
}

void DockKeyboard() {
  DockScene scene;
  if (!GetDockScene(&scene)) return;
  const platform::Rect& client = scene.client_rect;
  const platform::Size size = SizeBesideClient(scene);
  const int width = size.width;
  const int height = size.height;
  // Centred under the client; halves truncate toward zero as the system's arithmetic does.
  const std::int64_t x = std::int64_t{client.left} + (std::int64_t{client.right} - client.left) / 2 -
                   width / 2;
  const int left = ClampToInt(x);
  const platform::Point at = KeptOnWorkArea(
      {left, client.bottom, ClampToInt(std::int64_t{left} + width),
       ClampToInt(std::int64_t{client.bottom} + height)},
      platform::WorkAreaNearestRect(client));
  KeyboardPlacedByDock();
  platform::MoveWindowQuietly(scene.keyboard, at.x, at.y);
}

platform::Point KeyboardStartPosition(platform::Point stored, int width, int height) {
  const platform::ScreenMetrics screen = platform::GetScreenMetrics();
  const auto off = [](int at, int extent, int origin, int span) {
    const std::int64_t centre = std::int64_t{at} + extent / 2;
    return centre < origin || centre > std::int64_t{origin} + span;
  };
  platform::Point start = stored;
  if (off(stored.x, width, screen.virtual_left, screen.virtual_width)) start.x = 0;
  if (off(stored.y, height, screen.virtual_top, screen.virtual_height)) start.y = 0;
  return start;
}

platform::Point KeptOnWorkArea(const platform::Rect& window, const platform::Rect& work) {
  const auto kept = [](int at, int extent, int low, int high) {
    const std::int64_t end = std::int64_t{high} - extent;
    return ClampToInt(std::max<std::int64_t>(std::min<std::int64_t>(at, end), low));
  };
  return {kept(window.left, window.Width(), work.left, work.right),
          kept(window.top, window.Height(), work.top, work.bottom)};
}

bool ParseKeyboardPosition(std::u16string_view argument, int* x, int* y) {
  // Fields as a tokenizer sees them: runs of commas separate, empty fields do not count.
  std::array<std::u16string_view, 2> fields;
  std::size_t found = 0;
  std::size_t at = 0;
  while (found < fields.size() && at < argument.size()) {
    const std::size_t comma = std::min(argument.find(u',', at), argument.size());
    if (comma > at) fields[found++] = argument.substr(at, comma - at);
    at = comma + 1;
  }
  if (found < fields.size()) return false;
  *x = LeadingInteger(fields[0]);
  *y = LeadingInteger(fields[1]);
  return true;
}

void PerformWindowAction(std::uint16_t kind, std::uint16_t parameter,
                         std::u16string_view argument) {
  switch (kind) {
    case kind::kClose:
      CloseKeyboard();
      break;
    case kind::kDock:
      DockKeyboard();
      break;
    case kind::kDragHandle:
      DragKeyboard();
      break;
    case kind::kDuo:
      Duo();
      break;
    case kind::kSize:
      ChangeSize(parameter);
      break;
    case kind::kHide:
    case kind::kMini:
      ShowKeyboard(platform::ShowCommand::kMinimizeQuietly);
      break;
    case kind::kMaxiClient:
      ShowClient(platform::ShowCommand::kMaximize);
      break;
    case kind::kMiniClient:
      ShowClient(platform::ShowCommand::kMinimize);
      break;
    case kind::kMoveKeyboard:
      MoveKeyboard(argument);
      break;
    case kind::kRotate:
      TurnDisplay(parameter);
      break;
    case kind::kShow:
      ShowKeyboard(platform::ShowCommand::kRestoreQuietly);
      break;
    case kind::kSysMenu:
      ShowSystemMenu();
      break;
    default:
      break;
  }
}

platform::Size KeyboardWindowSize(int keyboard_size) {
  const ClientSize client = KeyboardClientSize(keyboard_size);
  const platform::ScreenMetrics metrics = platform::GetScreenMetrics();
  return {ToDevice(client.width) + 2 * metrics.border_width,
          ToDevice(client.height) + 2 * metrics.border_height};
}

void PlaceKeyboardOnWorkArea(platform::WindowHandle keyboard) {
  const platform::Size size = KeyboardWindowSize(GetOption(OptionId::kSize));
  // Any stored number at all, however far off, still makes a rectangle.
  constexpr int kFar = 1 << 24;
  const int x = std::clamp(GetOption(OptionId::kX), -kFar, kFar);
  const int y = std::clamp(GetOption(OptionId::kY), -kFar, kFar);
  const platform::Rect wanted{x, y, x + size.width, y + size.height};
  const platform::Point at = KeptOnWorkArea(wanted, platform::WorkAreaNearestRect(wanted));
  // Options read again with the place and size unchanged (a key of the keyboard's own, a
  // change of the work area) leave a keyboard that stands aside for the caret where it is.
  platform::Rect now;
  if (KeyboardStandsAsideFrom(at) && platform::GetWindowScreenRect(keyboard, &now) &&
      now.right - now.left == size.width && now.bottom - now.top == size.height) {
    return;
  }
  KeyboardBackHome();
  platform::PlaceWindow(keyboard, at.x, at.y, size.width, size.height);
}

void BringKeyboardBack(platform::WindowHandle keyboard) {
  platform::ShowWindowQuietly(keyboard, true);
  platform::ShowOnTopQuietly(keyboard);
  platform::PostMessageTo(keyboard, kOptionsChangedMessage, 1, 0);
}

namespace {
bool moving = false;
}  // namespace

bool ChooseDisplayScale(int monitor_dpi) {
  const int before = DisplayDpi();
  SetDisplayDpi(ArtDpiFor(monitor_dpi, GetOption(OptionId::kSize)));
  platform::SetImageMemoryBudget(DisplayDpi() / 96.0);
  return DisplayDpi() != before;
}

platform::Size KeyboardWindowSizeAt(int monitor_dpi) {
  const int art = ArtDpiFor(monitor_dpi, GetOption(OptionId::kSize));
  const ClientSize client = KeyboardClientSize(GetOption(OptionId::kSize));
  const platform::ScreenMetrics metrics = platform::GetScreenMetrics();
  return {DeviceOf(client.width, art) + 2 * metrics.border_width,
          DeviceOf(client.height, art) + 2 * metrics.border_height};
}

void KeyboardMoveBegan() {
  moving = true;
  KeyboardPlacedByUser();
}

bool KeyboardMoving() { return moving; }

void ResetPlacementForTest() {
  moving = false;
  ResetCaretRoomForTest();
  ResetTextBoxTapForTest();
}

void KeyboardMoveEnded(platform::WindowHandle keyboard) {
  moving = false;
  PlaceKeyboardOnWorkArea(keyboard);
}

bool TakeMonitorScale(platform::WindowHandle keyboard, int monitor_dpi,
                      const platform::Rect* suggested) {
  const bool changed = ChooseDisplayScale(monitor_dpi);
  const platform::Size size = KeyboardWindowSize(GetOption(OptionId::kSize));
  platform::Rect now;
  if (!platform::GetWindowScreenRect(keyboard, &now)) return changed;
  platform::Point at{now.left, now.top};
  if (suggested != nullptr) {
    at = {suggested->left, suggested->top};
  } else {
    // A keyboard kept at the bottom or the right edge of its work area stays there at its
    // new size: a keyboard docked at the bottom stays at the bottom.
    constexpr int kNear = 2;
    const platform::Rect work = platform::WorkAreaNearestRect(now);
    if (std::abs(now.bottom - work.bottom) <= kNear) at.y = work.bottom - size.height;
    if (std::abs(now.right - work.right) <= kNear) at.x = work.right - size.width;
  }
  platform::Rect wanted{at.x, at.y, at.x + size.width, at.y + size.height};
  if (!moving) {
    at = KeptOnWorkArea(wanted, platform::WorkAreaNearestRect(wanted));
  }
  platform::PlaceWindow(keyboard, at.x, at.y, size.width, size.height);
  return changed;
}

void InstallPlacementHooks() { Hooks().window_action = PerformWindowAction; }

}  // namespace quorel::keyboard
