// The in-memory system behind host tests. Tests set the scene through System() and
// assert on what the logic asked for; Reset() gives every test a clean machine.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/drawing.h"
#include "platform/focus.h"
#include "platform/fonts.h"
#include "platform/input.h"
#include "platform/menus.h"
#include "platform/screen.h"
#include "platform/shared_memory.h"
#include "platform/types.h"

namespace platform::fake {

struct RegistryValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct MessageBoxRecord {
  std::u16string text;
  std::u16string caption;
  WindowHandle capture = 0;  // the window that held the pen while the box was up
  WindowHandle owner = 0;
};

// One SendInput call with its inputs.
struct InputCall {
  std::vector<Input> inputs;
  bool operator==(const InputCall&) const = default;
};

struct PostedMessage {
  WindowHandle window = 0;
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
  bool sent = false;  // SendMessage rather than PostMessage
  bool operator==(const PostedMessage&) const = default;
};

struct DrawOperation {
  enum Kind { kCopy, kInvert } kind = kCopy;
  std::u16string image;  // the file copied from
  WindowHandle window = 0;
  PaintContext paint = 0;
  Rect target;
  int source_x = 0;
  int source_y = 0;
  bool operator==(const DrawOperation&) const = default;
};

struct FakeList {
  struct Row {
    std::u16string text;
    std::intptr_t data = 0;
  };
  std::vector<Row> rows;
  int selected = -1;
  int row_height = 16;
  int font_row_height = 16;  // the rows' height a font gives them
  FontHandle font = 0;
};

struct FakeSystem {
  // Registry: key paths below HKEY_CURRENT_USER, compared without regard to ASCII case.
  std::map<std::u16string, std::map<std::u16string, RegistryValue>> registry;
  long registry_failure = 0;  // nonzero: every open and create fails with this code
  long registry_write_failure = 0;  // nonzero: every value write fails with this code
  int registry_flushes = 0;

  // Shared memory: one byte buffer per mapping name, kept across "processes".
  std::map<std::u16string, std::vector<std::uint8_t>> mappings;
  MappingResult mapping_failure = MappingResult::kOk;

  std::vector<MessageBoxRecord> message_boxes;

  // Files by full path; paths starting with a prefix in `unwritable` cannot be written,
  // and those in `unreadable` cannot be opened for reading.
  std::map<std::u16string, std::string> files;
  std::set<std::u16string> unwritable;
  std::set<std::u16string> unreadable;
  std::set<std::u16string> unreachable;  // as a share that is offline: neither there nor not
  std::u16string exe_path = u"C:\\Program Files\\Quorel\\QuorelKeyboard.exe";
  std::u16string documents = u"C:\\Users\\pen\\Documents";

  int primary_screen_width = 1024;
  int virtual_screen_width = 1024;
  int virtual_screen_height = 768;
  int dpi_y = 96;
  std::map<WindowHandle, Rect> windows;  // live windows and their screen rectangles
  // Windows of processes that run as administrator while the keyboard does not.
  std::set<WindowHandle> elevated_windows;
  // The control with the keyboard focus, as the system tells of it: notepad's edit box
  // until a test puts the focus elsewhere. Each question asked of UI Automation is answered
  // with `automation`: at once, or only when the test calls AnswerAutomation() (late), or
  // never (an application that hangs, or no UI Automation at all).
  FocusedControl focus{0x3001, u"Edit", 0, u"Notepad", u"notepad.exe", 0,
                       AutomationAnswer::kNone, false, false, {}};
  enum class Answering { kAtOnce, kLate, kNever } answering = Answering::kAtOnce;
  AutomationAnswer automation = AutomationAnswer::kShowsText;
  bool automation_read_only = false;        // given with that answer
  std::optional<Rect> automation_caret;     // likewise: the element's own caret
  std::optional<Rect> system_caret;         // the system's caret, on the screen

  // Work given to the background: run at once, job and then done, unless held; held jobs
  // stand for a disk that makes them wait, until RunHeldBackgroundWork().
  bool hold_background = false;
  std::vector<std::pair<std::function<void()>, std::function<void()>>> background;

  std::vector<FontDescription> fonts_created;
  std::set<std::u16string> missing_font_faces;  // fonts that cannot be made

  // Input injection, in call order. The layout answers come from `key_scans` (a US layout
  // until a test changes it) and `scan_codes`; `key_states` holds GetKeyState answers, and
  // a lock key pressed through the input calls flips its toggle bit as on a real system.
  std::vector<InputCall> input_calls;
  // A window in front that refuses the keyboard's input, as one running as administrator
  // does: every call injects only its first `refused_after` inputs, which alone are recorded
  // in `input_calls`; each call cut short is kept whole in `refused_calls`.
  bool refuses_input = false;
  std::size_t refused_after = 0;
  std::vector<InputCall> refused_calls;
  std::map<char16_t, std::int16_t> key_scans;
  std::uint16_t input_language = 0x0409;  // the foreground layout's: English (US)
  std::map<std::uint32_t, std::uint32_t> scan_codes;
  std::map<int, std::int16_t> key_states;
  std::set<std::pair<std::uint8_t, unsigned>> dead_keys;  // virtual key, shift state

  bool clipboard_opens = true;
  bool clipboard_open = false;
  bool clipboard_has_text = true;
  std::u16string clipboard_text;
  std::uint32_t clipboard_sequence = 1;
  // The application's selection, which it copies at Ctrl+C unless told not to.
  std::u16string selection;
  bool copies_selection = true;
  bool control_down = false;  // as the latched Ctrl left it
  int clipboard_restores = 0;

  std::uint32_t tick = 1000;  // Sleep advances it
  std::vector<std::uint32_t> sleeps;

  std::u16string long_date = u"Monday, December 7, 2026";
  std::u16string short_date = u"12/7/2026";
  std::u16string long_time = u"8:55:02 PM";
  std::u16string short_time = u"8:55 PM";

  ScreenMetrics metrics{0, 0, 1024, 768, 1024, 768, 1, 1};
  Rect work_area{0, 0, 1024, 728};  // the screen less a task bar
  // A desktop of several monitors, each with its place, work area and scale, when set (the
  // first is the primary); empty: the one screen of `metrics` and `work_area`.
  struct Monitor {
    Rect area;
    Rect work;
    int dpi = 96;
  };
  std::vector<Monitor> monitors;
  // Windows that follow the scale of the monitor they are on, as the system tells them: when
  // one is placed mostly on a monitor of another scale, and would be mostly on it at its
  // size there, `changed` is called (WM_DPICHANGED) with the old and new scale and the
  // system's rectangle, the window's size scaled at the same place. Keyed by window, with the scale each window has.
  struct ScaleFollower {
    int dpi = 96;
    std::function<void(int old_dpi, int new_dpi, const Rect& suggested)> changed;
  };
  std::map<WindowHandle, ScaleFollower> scale_followers;

  std::vector<PostedMessage> messages;
  std::map<std::pair<WindowHandle, std::uintptr_t>, std::uint32_t> timers;
  WindowHandle capture = 0;
  std::set<WindowHandle> visible;
  std::map<WindowHandle, Point> client_origins;  // screen position of a client area's origin

  std::vector<DrawOperation> draws;
  std::set<std::u16string> undecodable_images;
  int text_width_per_character = 7;

  std::map<WindowHandle, FakeList> lists;

  // The desktop around the keyboard. Live windows are those of `windows`; a window without
  // an entry in `window_owners` belongs to a process and thread numbered as its handle.
  WindowHandle foreground = 0;
  std::vector<WindowHandle> foreground_changes;  // every SetForeground, in order
  std::map<std::u16string, WindowHandle> top_level_classes;  // FindTopLevelWindow answers
  std::map<WindowHandle, WindowOwner> window_owners;
  std::set<WindowHandle> minimized;
  std::set<WindowHandle> maximized;
  std::vector<WindowHandle> destroyed;
  struct CaptionDrag {
    WindowHandle window = 0;
    WindowHandle foreground = 0;  // at the time of the drag
    WindowHandle capture = 0;
  };
  std::vector<CaptionDrag> caption_drags;

  // Menus. A window's system menu is made on first request with the usual entries; a track
  // answers `menu_choice` when the menu holds it as an entry that can be chosen, else 0.
  struct MenuEntry {
    std::uint32_t id = 0;  // 0 for a separator
    std::u16string text;
    bool checked = false;
    bool greyed = false;
    MenuHandle submenu = 0;
  };
  struct Menu {
    std::vector<MenuEntry> entries;
    WindowHandle system_menu_of = 0;
  };
  struct MenuTrack {
    MenuHandle menu = 0;
    std::vector<MenuEntry> entries;  // as shown
    WindowHandle owner = 0;
    Point at;
    bool has_exclusion = false;
    Rect exclusion;
  };
  std::map<MenuHandle, Menu> menus;  // live menus
  MenuHandle next_menu = 0x7000;
  std::uint32_t menu_choice = 0;
  std::vector<MenuTrack> menu_tracks;

  bool display_readable = true;
  DisplaySettings display{0, 1024, 768};
  std::vector<DisplaySettings> display_changes;

  std::vector<OpenFileRequest> open_file_requests;
  bool open_file_confirms = false;
  std::u16string open_file_answer;
  std::vector<FontRequest> font_requests;
  bool font_confirms = false;
  FontChoice font_answer;

  // The shell opens anything but what `shell_unopenable` names; the program it starts is
  // ready for input after `input_idle_after` ms, which the wait spends on `tick`.
  struct ShellOpenCall {
    std::u16string file;
    std::uint32_t wait_limit = 0;
  };
  std::vector<ShellOpenCall> shell_opens;
  std::set<std::u16string> shell_unopenable;
  std::uint32_t input_idle_after = 0;
  std::vector<std::u16string> programs_started;
  bool program_start_fails = false;

  // Folders that exist; a copy needs the target's folder to exist.
  std::set<std::u16string> folders;
};

FakeSystem& System();
void Reset();

// The monitor nearest to a rectangle, as the system chooses it: the one it overlaps most,
// else the one closest to it; null without monitors.
const FakeSystem::Monitor* MonitorNearest(const Rect& rect);
// Sets a desktop of monitors, the virtual screen spanning them all.
void SetMonitors(std::vector<FakeSystem::Monitor> monitors);

// UI Automation answers the latest question now.
void AnswerAutomation();
// Runs every job held back, and what it started, in order.
void RunHeldBackgroundWork();

std::u16string RegistryKeyName(std::u16string_view path);  // the canonical map key
void SetRegistryDword(std::u16string_view key, std::u16string_view name, std::uint32_t value);
void SetRegistryString(std::u16string_view key, std::u16string_view name,
                       std::u16string_view value);
const RegistryValue* FindRegistryValue(std::u16string_view key, std::u16string_view name);
bool RegistryKeyExists(std::u16string_view key);

}  // namespace platform::fake
