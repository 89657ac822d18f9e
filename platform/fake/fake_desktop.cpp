// The fake desktop: foreground, other programs' windows, menus, display modes, dialogs,
// the shell and folders, answering from the scene a test sets in System() and recording
// what the logic asked for.
#include <algorithm>

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/fake/fake_system.h"
#include "platform/folders.h"
#include "platform/menus.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace platform {

namespace {

using Menu = fake::FakeSystem::Menu;
using MenuEntry = fake::FakeSystem::MenuEntry;

fake::FakeSystem& Scene() { return fake::System(); }

bool IsLive(WindowHandle window) { return Scene().windows.count(window) != 0; }

Menu* FindMenu(MenuHandle menu) {
  auto found = Scene().menus.find(menu);
  return found == Scene().menus.end() ? nullptr : &found->second;
}

MenuEntry* FindEntry(MenuHandle menu, std::uint32_t id) {
  Menu* found = FindMenu(menu);
  if (found == nullptr || id == 0) return nullptr;
  for (MenuEntry& entry : found->entries) {
    if (entry.submenu != 0) {
      if (MenuEntry* inner = FindEntry(entry.submenu, id)) return inner;
    } else if (entry.id == id) {
      return &entry;
    }
  }
  return nullptr;
}

MenuHandle AddMenu(Menu menu) {
  const MenuHandle handle = Scene().next_menu += 4;
  Scene().menus[handle] = std::move(menu);
  return handle;
}

std::u16string FolderOf(std::u16string_view path) {
  const std::size_t slash = path.rfind(u'\\');
  return std::u16string(path.substr(0, slash == std::u16string_view::npos ? 0 : slash));
}

}  // namespace

WindowHandle ForegroundWindow() { return Scene().foreground; }

void SetForeground(WindowHandle window) {
  Scene().foreground_changes.push_back(window);
  if (IsLive(window)) Scene().foreground = window;
}

WindowHandle FindTopLevelWindow(std::u16string_view class_name) {
  auto found = Scene().top_level_classes.find(std::u16string(class_name));
  if (found == Scene().top_level_classes.end() || !IsLive(found->second)) return 0;
  return found->second;
}

bool GetWindowOwner(WindowHandle window, WindowOwner* owner) {
  if (!IsLive(window)) return false;
  auto found = Scene().window_owners.find(window);
  if (found != Scene().window_owners.end()) {
    *owner = found->second;
  } else {
    *owner = {static_cast<std::uint32_t>(window), static_cast<std::uint32_t>(window)};
  }
  return true;
}

bool IsMinimized(WindowHandle window) { return Scene().minimized.count(window) != 0; }

void ShowWindowAs(WindowHandle window, ShowCommand command) {
  if (!IsLive(window)) return;
  Scene().minimized.erase(window);
  Scene().maximized.erase(window);
  if (command == ShowCommand::kMinimize || command == ShowCommand::kMinimizeQuietly) {
    Scene().minimized.insert(window);
  }
  if (command == ShowCommand::kMaximize) Scene().maximized.insert(window);
  Scene().visible.insert(window);
}

void MoveWindowQuietly(WindowHandle window, int x, int y) {
  auto found = Scene().windows.find(window);
  if (found == Scene().windows.end()) return;
  const Rect old = found->second;
  PlaceWindow(window, x, y, old.Width(), old.Height());
}

void PlaceAndShowWindow(WindowHandle window, const Rect& rect) {
  if (!IsLive(window)) return;
  PlaceWindow(window, rect.left, rect.top, rect.Width(), rect.Height());
  Scene().visible.insert(window);
}

void DestroyWindowAt(WindowHandle window) {
  if (!IsLive(window)) return;
  Scene().windows.erase(window);
  Scene().visible.erase(window);
  Scene().minimized.erase(window);
  Scene().maximized.erase(window);
  Scene().destroyed.push_back(window);
  if (Scene().foreground == window) Scene().foreground = 0;
}

void DragWindowByCaption(WindowHandle window) {
  Scene().caption_drags.push_back({window, Scene().foreground, Scene().capture});
}

MenuHandle SystemMenuOf(WindowHandle window) {
  if (!IsLive(window)) return 0;
  for (const auto& [handle, menu] : Scene().menus) {
    if (menu.system_menu_of == window) return handle;
  }
  Menu menu;
  menu.system_menu_of = window;
  menu.entries = {{kSystemRestore, u"&Restore"},   {kSystemMove, u"&Move"},
                  {kSystemSize, u"&Size"},         {kSystemMinimize, u"Mi&nimize"},
                  {kSystemMaximize, u"Ma&ximize"}, {0, u""},
                  {kSystemClose, u"&Close"}};
  return AddMenu(std::move(menu));
}

MenuHandle NewPopupMenu() { return AddMenu({}); }

void AddMenuItem(MenuHandle menu, std::uint32_t id, std::u16string_view text) {
  if (Menu* found = FindMenu(menu)) found->entries.push_back({id, std::u16string(text)});
}

void AddMenuSeparator(MenuHandle menu) {
  if (Menu* found = FindMenu(menu)) found->entries.push_back({});
}

void CheckMenuEntry(MenuHandle menu, std::uint32_t id) {
  if (MenuEntry* entry = FindEntry(menu, id)) entry->checked = true;
}

void GreyMenuEntry(MenuHandle menu, std::uint32_t id) {
  if (MenuEntry* entry = FindEntry(menu, id)) entry->greyed = true;
}

void AddSubmenu(MenuHandle menu, MenuHandle submenu, std::u16string_view text) {
  Menu* found = FindMenu(menu);
  if (found == nullptr || FindMenu(submenu) == nullptr) return;
  MenuEntry entry{0, std::u16string(text)};
  entry.submenu = submenu;
  found->entries.push_back(std::move(entry));
}

void FreeMenu(MenuHandle menu) {
  Menu* found = FindMenu(menu);
  if (found == nullptr) return;
  for (const MenuEntry& entry : found->entries) {
    if (entry.submenu != 0) FreeMenu(entry.submenu);
  }
  Scene().menus.erase(menu);
}

std::uint32_t TrackMenuUpward(MenuHandle menu, WindowHandle owner, Point at,
                              const Rect* exclusion) {
  const Menu* found = FindMenu(menu);
  if (found == nullptr || !IsLive(owner)) return 0;
  fake::FakeSystem::MenuTrack track;
  track.menu = menu;
  track.entries = found->entries;
  track.owner = owner;
  track.at = at;
  track.has_exclusion = exclusion != nullptr;
  if (exclusion != nullptr) track.exclusion = *exclusion;
  Scene().menu_tracks.push_back(std::move(track));
  const MenuEntry* chosen = FindEntry(menu, Scene().menu_choice);
  return chosen != nullptr && !chosen->greyed ? chosen->id : 0;
}

bool ReadDisplaySettings(DisplaySettings* settings) {
  if (!Scene().display_readable) return false;
  *settings = Scene().display;
  return true;
}

void ApplyDisplaySettings(const DisplaySettings& settings) {
  Scene().display_changes.push_back(settings);
  Scene().display = settings;
}

int MonitorDpiNearestRect(const Rect& rect) {
  const fake::FakeSystem::Monitor* monitor = fake::MonitorNearest(rect);
  return monitor != nullptr ? monitor->dpi : Scene().dpi_y;
}

Rect WorkAreaNearestRect(const Rect& rect) {
  const fake::FakeSystem::Monitor* monitor = fake::MonitorNearest(rect);
  return monitor != nullptr ? monitor->work : Scene().work_area;
}

bool AskOpenFileName(const OpenFileRequest& request, std::u16string* path) {
  Scene().open_file_requests.push_back(request);
  if (!Scene().open_file_confirms) return false;
  *path = Scene().open_file_answer;
  return true;
}

bool AskFont(const FontRequest& request, FontChoice* choice) {
  Scene().font_requests.push_back(request);
  if (!Scene().font_confirms) return false;
  *choice = Scene().font_answer;
  return true;
}

bool ShellOpen(std::u16string_view file, std::uint32_t wait_limit_ms) {
  Scene().shell_opens.push_back({std::u16string(file), wait_limit_ms});
  if (Scene().shell_unopenable.count(std::u16string(file)) != 0) return false;
  Scene().tick += std::min(Scene().input_idle_after, wait_limit_ms);
  return true;
}

bool StartProgram(std::u16string_view application) {
  if (Scene().program_start_fails) return false;
  Scene().programs_started.emplace_back(application);
  return true;
}

bool CreateFolder(std::u16string_view path) {
  if (path.empty()) return false;
  return Scene().folders.insert(std::u16string(path)).second;
}

bool ListFolder(std::u16string_view path, std::vector<FolderEntry>* entries) {
  const std::u16string folder(path);
  if (Scene().folders.count(folder) == 0) return false;
  entries->clear();
  entries->push_back({u".", true});
  entries->push_back({u"..", true});
  const std::u16string prefix = folder + u"\\";
  auto add_child = [&](const std::u16string& child, bool directory) {
    if (child.size() <= prefix.size() || child.compare(0, prefix.size(), prefix) != 0) return;
    std::u16string name = child.substr(prefix.size());
    if (name.find(u'\\') == std::u16string::npos) entries->push_back({std::move(name), directory});
  };
  for (const std::u16string& child : Scene().folders) add_child(child, true);
  for (const auto& [child, bytes] : Scene().files) add_child(child, false);
  return true;
}

bool CopyFileIfAbsent(std::u16string_view from, std::u16string_view to) {
  auto& files = Scene().files;
  auto found = files.find(std::u16string(from));
  if (found == files.end() || files.count(std::u16string(to)) != 0) return false;
  if (Scene().folders.count(FolderOf(to)) == 0) return false;
  for (const std::u16string& prefix : Scene().unwritable) {
    if (to.substr(0, prefix.size()) == prefix) return false;
  }
  std::string bytes = found->second;
  files[std::u16string(to)] = std::move(bytes);
  return true;
}

}  // namespace platform
