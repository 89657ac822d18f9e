#include "platform/fake/fake_system.h"

#include <algorithm>
#include <cstring>

#include "platform/background.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "platform/shared_memory.h"
#include "platform/text.h"

namespace platform::fake {

namespace {

FakeSystem& Instance() {
  static FakeSystem system;
  return system;
}

// Open registry keys by handle; a handle names the canonical key path.
std::map<RegistryKey, std::u16string>& OpenKeys() {
  static std::map<RegistryKey, std::u16string> keys;
  return keys;
}

RegistryKey NextKeyHandle() {
  static RegistryKey next = 0x100;
  return next += 4;
}

bool StartsWithAny(const std::set<std::u16string>& prefixes, std::u16string_view path) {
  return std::any_of(prefixes.begin(), prefixes.end(), [&](const std::u16string& prefix) {
    return path.substr(0, prefix.size()) == prefix;
  });
}

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorInvalidHandle = 6;

}  // namespace

FakeSystem& System() { return Instance(); }

void Reset() {
  Instance() = FakeSystem();
  OpenKeys().clear();
}

namespace {
void GiveAutomationAnswer(FakeSystem& machine) {
  machine.focus.answer = machine.automation;
  machine.focus.read_only = machine.automation_read_only;
  machine.focus.caret_known = machine.automation_caret.has_value();
  machine.focus.caret = machine.automation_caret.value_or(Rect{});
}
}  // namespace

void AnswerAutomation() { GiveAutomationAnswer(Instance()); }

const FakeSystem::Monitor* MonitorNearest(const Rect& rect) {
  const FakeSystem::Monitor* nearest = nullptr;
  long long best_overlap = 0;
  long long best_distance = -1;
  for (const FakeSystem::Monitor& monitor : Instance().monitors) {
    const Rect& a = monitor.area;
    const long long width = std::min(a.right, rect.right) - std::max(a.left, rect.left);
    const long long height = std::min(a.bottom, rect.bottom) - std::max(a.top, rect.top);
    const long long overlap = width > 0 && height > 0 ? width * height : 0;
    const long long dx = std::max({0, a.left - rect.right, rect.left - a.right});
    const long long dy = std::max({0, a.top - rect.bottom, rect.top - a.bottom});
    const long long distance = dx * dx + dy * dy;
    if (overlap > best_overlap ||
        (best_overlap == 0 && overlap == 0 && (best_distance < 0 || distance < best_distance))) {
      nearest = &monitor;
      best_overlap = overlap;
      best_distance = distance;
    }
  }
  return nearest;
}

void SetMonitors(std::vector<FakeSystem::Monitor> monitors) {
  FakeSystem& system = Instance();
  system.monitors = std::move(monitors);
  if (system.monitors.empty()) return;
  Rect all = system.monitors.front().area;
  for (const FakeSystem::Monitor& monitor : system.monitors) {
    all = {std::min(all.left, monitor.area.left), std::min(all.top, monitor.area.top),
           std::max(all.right, monitor.area.right), std::max(all.bottom, monitor.area.bottom)};
  }
  system.metrics.virtual_left = all.left;
  system.metrics.virtual_top = all.top;
  system.metrics.virtual_width = all.Width();
  system.metrics.virtual_height = all.Height();
  system.metrics.screen_width = system.monitors.front().area.Width();
  system.metrics.screen_height = system.monitors.front().area.Height();
  system.virtual_screen_width = all.Width();
  system.virtual_screen_height = all.Height();
  system.primary_screen_width = system.monitors.front().area.Width();
  system.work_area = system.monitors.front().work;
}

void RunHeldBackgroundWork() {
  auto& queue = Instance().background;
  while (!queue.empty()) {
    auto [job, done] = std::move(queue.front());
    queue.erase(queue.begin());
    job();
    done();
  }
}

std::u16string RegistryKeyName(std::u16string_view path) {
  std::u16string name(path);
  for (char16_t& c : name) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return name;
}

void SetRegistryDword(std::u16string_view key, std::u16string_view name, std::uint32_t value) {
  RegistryValue& stored = Instance().registry[RegistryKeyName(key)][std::u16string(name)];
  stored.type = kRegDword;
  stored.data.resize(4);
  std::memcpy(stored.data.data(), &value, 4);
}

void SetRegistryString(std::u16string_view key, std::u16string_view name,
                       std::u16string_view value) {
  RegistryValue& stored = Instance().registry[RegistryKeyName(key)][std::u16string(name)];
  stored.type = kRegSz;
  stored.data.resize((value.size() + 1) * 2);
  std::memcpy(stored.data.data(), value.data(), value.size() * 2);
  stored.data[value.size() * 2] = 0;
  stored.data[value.size() * 2 + 1] = 0;
}

const RegistryValue* FindRegistryValue(std::u16string_view key, std::u16string_view name) {
  auto found_key = Instance().registry.find(RegistryKeyName(key));
  if (found_key == Instance().registry.end()) return nullptr;
  auto found = found_key->second.find(std::u16string(name));
  return found == found_key->second.end() ? nullptr : &found->second;
}

bool RegistryKeyExists(std::u16string_view key) {
  return Instance().registry.count(RegistryKeyName(key)) != 0;
}

}  // namespace platform::fake

namespace platform {

using fake::Instance;
using fake::OpenKeys;

long RegistryCreateKey(std::u16string_view subkey, RegistryKey* key) {
  if (Instance().registry_failure != 0) return Instance().registry_failure;
  std::u16string name = fake::RegistryKeyName(subkey);
  Instance().registry[name];
  *key = fake::NextKeyHandle();
  OpenKeys()[*key] = name;
  return 0;
}

long RegistryOpenKeyRead(std::u16string_view subkey, RegistryKey* key) {
  if (Instance().registry_failure != 0) return Instance().registry_failure;
  std::u16string name = fake::RegistryKeyName(subkey);
  if (Instance().registry.count(name) == 0) return fake::kErrorFileNotFound;
  *key = fake::NextKeyHandle();
  OpenKeys()[*key] = name;
  return 0;
}

long RegistryQueryValue(RegistryKey key, std::u16string_view name, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) {
  auto open = OpenKeys().find(key);
  if (open == OpenKeys().end()) return fake::kErrorInvalidHandle;
  auto& values = Instance().registry[open->second];
  auto found = values.find(std::u16string(name));
  if (found == values.end()) return fake::kErrorFileNotFound;
  *type = found->second.type;
  *data = found->second.data;
  return 0;
}

long RegistrySetValue(RegistryKey key, std::u16string_view name, std::uint32_t type,
                      const void* data, std::size_t size) {
  auto open = OpenKeys().find(key);
  if (open == OpenKeys().end()) return fake::kErrorInvalidHandle;
  if (Instance().registry_write_failure != 0) return Instance().registry_write_failure;
  fake::RegistryValue& stored = Instance().registry[open->second][std::u16string(name)];
  stored.type = type;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  stored.data.assign(bytes, bytes + size);
  return 0;
}

void RegistryCloseKey(RegistryKey key) { OpenKeys().erase(key); }

void RegistryFlushUser() { ++Instance().registry_flushes; }

MappingResult MapSharedMemory(std::u16string_view name, std::size_t size, void** view,
                              bool* existed) {
  if (Instance().mapping_failure != MappingResult::kOk) return Instance().mapping_failure;
  auto& mappings = Instance().mappings;
  std::u16string key(name);
  *existed = mappings.count(key) != 0;
  std::vector<std::uint8_t>& memory = mappings[key];
  // Fresh page-file memory is not promised to be zero here, so a test sees whether the
  // first opener clears it.
  if (!*existed) memory.assign(size, 0xCD);
  if (memory.size() < size) memory.resize(size, 0xCD);
  *view = memory.data();
  return MappingResult::kOk;
}

void ShowMessage(std::u16string_view text, std::u16string_view caption) {
  Instance().message_boxes.push_back(
      {std::u16string(text), std::u16string(caption), Instance().capture});
}

void ShowMessageOwned(WindowHandle owner, std::u16string_view text,
                      std::u16string_view caption) {
  Instance().message_boxes.push_back(
      {std::u16string(text), std::u16string(caption), Instance().capture, owner});
}

bool ReadFileBytes(std::u16string_view path, std::string* bytes) {
  if (fake::StartsWithAny(Instance().unreadable, path)) return false;
  auto found = Instance().files.find(std::u16string(path));
  if (found == Instance().files.end()) return false;
  *bytes = found->second;
  return true;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  if (fake::StartsWithAny(Instance().unwritable, path)) return false;
  Instance().files[std::u16string(path)] = std::string(bytes);
  return true;
}

bool ReplaceFileWith(std::u16string_view source, std::u16string_view target) {
  auto& files = Instance().files;
  auto found = files.find(std::u16string(source));
  if (found == files.end() || fake::StartsWithAny(Instance().unwritable, target)) return false;
  std::string bytes = std::move(found->second);
  files.erase(found);
  files[std::u16string(target)] = std::move(bytes);
  return true;
}

bool CopyFileOver(std::u16string_view from, std::u16string_view to) {
  auto& files = Instance().files;
  auto found = files.find(std::u16string(from));
  if (found == files.end() || fake::StartsWithAny(Instance().unwritable, to)) return false;
  std::string bytes = found->second;
  files[std::u16string(to)] = std::move(bytes);
  return true;
}

bool DeleteFileAt(std::u16string_view path) {
  return Instance().files.erase(std::u16string(path)) != 0;
}

bool FileExists(std::u16string_view path) {
  return Instance().files.count(std::u16string(path)) != 0;
}

FileState LookUpFile(std::u16string_view path) {
  if (FileExists(path)) return FileState::kPresent;
  return fake::StartsWithAny(Instance().unreachable, path) ? FileState::kUnknown
                                                           : FileState::kAbsent;
}

bool GetRunningExePath(std::u16string* path) {
  if (Instance().exe_path.empty()) return false;
  *path = Instance().exe_path;
  return true;
}

bool GetDocumentsFolder(std::u16string* path) {
  if (Instance().documents.empty()) return false;
  *path = Instance().documents;
  return true;
}

int PrimaryScreenWidth() { return Instance().primary_screen_width; }
int VirtualScreenWidth() { return Instance().virtual_screen_width; }
int VirtualScreenHeight() { return Instance().virtual_screen_height; }
int ScreenDpiY() { return Instance().dpi_y; }

bool GetWindowScreenRect(WindowHandle window, Rect* rect) {
  auto found = Instance().windows.find(window);
  if (found == Instance().windows.end()) return false;
  *rect = found->second;
  return true;
}

bool IsLiveWindow(WindowHandle window) { return Instance().windows.count(window) != 0; }

std::uint32_t AskAboutFocusedControl() {
  fake::FakeSystem& machine = Instance();
  ++machine.focus.question;
  machine.focus.answer = AutomationAnswer::kNone;
  machine.focus.read_only = false;
  machine.focus.caret_known = false;
  if (machine.answering == fake::FakeSystem::Answering::kAtOnce) {
    fake::GiveAutomationAnswer(machine);
  }
  return machine.focus.question;
}

FocusedControl LookAtFocusedControl() { return Instance().focus; }

bool SystemCaretRect(Rect* screen_rect) {
  if (!Instance().system_caret) return false;
  *screen_rect = *Instance().system_caret;
  return true;
}

void RunInBackground(std::function<void()> job, std::function<void()> done) {
  Instance().background.emplace_back(std::move(job), std::move(done));
  if (!Instance().hold_background) fake::RunHeldBackgroundWork();
}

void RunFinishedBackgroundWork() {}

bool WaitForBackgroundWork(std::uint32_t) {
  if (!Instance().hold_background) fake::RunHeldBackgroundWork();
  return Instance().background.empty();
}
bool RunsAboveThisProgram(WindowHandle window) { return Instance().elevated_windows.count(window) != 0; }

FontHandle CreateFontFrom(const FontDescription& description) {
  if (Instance().missing_font_faces.count(description.face) != 0) return 0;
  Instance().fonts_created.push_back(description);
  return 0x5000 + Instance().fonts_created.size();
}

// The answers of the system's letter-or-digit test for the scripts our tests and users
// meet; enough to tell letters from punctuation, symbols and blanks.
bool IsLetterOrDigit(char16_t c) {
  struct Range {
    char16_t first;
    char16_t last;
  };
  static constexpr Range kRanges[] = {
      {u'0', u'9'},       {u'A', u'Z'},       {u'a', u'z'},       {0x00AA, 0x00AA},
      {0x00B5, 0x00B5},   {0x00BA, 0x00BA},   {0x00C0, 0x00D6},   {0x00D8, 0x00F6},
      {0x00F8, 0x02C1},   {0x0370, 0x0373},   {0x0376, 0x037D},   {0x0386, 0x0386},
      {0x0388, 0x03FF},   {0x0400, 0x0481},   {0x048A, 0x052F},   {0x0531, 0x0556},
      {0x05D0, 0x05EA},   {0x0620, 0x064A},   {0x0660, 0x0669},   {0x0E01, 0x0E30},
      {0x1E00, 0x1FBC},   {0x3041, 0x3096},   {0x30A1, 0x30FA},   {0x4E00, 0x9FFF},
      {0xAC00, 0xD7A3},   {0xFF10, 0xFF19},   {0xFF21, 0xFF3A},   {0xFF41, 0xFF5A},
  };
  for (const Range& range : kRanges) {
    if (c >= range.first && c <= range.last) return true;
  }
  return false;
}

}  // namespace platform

#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/drawing.h"
#include "platform/input.h"
#include "platform/list_box.h"
#include "platform/window.h"

namespace platform {

namespace {

// The answers of a US keyboard layout for the characters typed in tests.
std::int16_t UsLayoutScan(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<std::int16_t>(c - u'a' + 'A');
  if (c >= u'A' && c <= u'Z') return static_cast<std::int16_t>(0x100 | c);
  if (c >= u'0' && c <= u'9') return static_cast<std::int16_t>(c);
  static constexpr std::u16string_view kShiftedDigits = u")!@#$%^&*(";
  if (std::size_t at = kShiftedDigits.find(c); at != std::u16string_view::npos) {
    return static_cast<std::int16_t>(0x100 | ('0' + at));
  }
  struct Key {
    char16_t plain;
    char16_t shifted;
    std::int16_t vk;
  };
  static constexpr Key kKeys[] = {
      {u';', u':', 0xBA}, {u'=', u'+', 0xBB}, {u',', u'<', 0xBC}, {u'-', u'_', 0xBD},
      {u'.', u'>', 0xBE}, {u'/', u'?', 0xBF}, {u'`', u'~', 0xC0}, {u'[', u'{', 0xDB},
      {u'\\', u'|', 0xDC}, {u']', u'}', 0xDD}, {u'\'', u'"', 0xDE},
  };
  for (const Key& key : kKeys) {
    if (c == key.plain) return key.vk;
    if (c == key.shifted) return static_cast<std::int16_t>(0x100 | key.vk);
  }
  switch (c) {
    case u' ': return 0x20;
    case 0x08: return 0x08;
    case 0x09: return 0x09;
    case 0x0D: return 0x0D;
    default: return -1;
  }
}

std::uint32_t UsScanCode(std::uint32_t vk) {
  static const std::map<std::uint32_t, std::uint32_t> kCodes = {
      {0x08, 0x0E}, {0x09, 0x0F}, {0x0D, 0x1C}, {0x10, 0x2A}, {0x11, 0x1D}, {0x12, 0x38},
      {0x13, 0x45}, {0x1B, 0x01}, {0x20, 0x39}, {0x21, 0x49}, {0x22, 0x51}, {0x23, 0x4F},
      {0x24, 0x47}, {0x25, 0x4B}, {0x26, 0x48}, {0x27, 0x4D}, {0x28, 0x50}, {0x2C, 0x37},
      {0x2D, 0x52}, {0x2E, 0x53}, {0x5B, 0x5B}, {0x5D, 0x5D}, {0x90, 0x45}, {0x91, 0x46},
      {0xA5, 0x38}, {0x70, 0x3B}, {0x41, 0x1E}, {0x43, 0x2E}, {0x51, 0x10}, {0x58, 0x2D},
  };
  auto found = kCodes.find(vk);
  return found == kCodes.end() ? 0 : found->second;
}

void ToggleLocks(const Input& input) {
  if (input.mouse || (input.flags & (kKeyUp | kKeyUnicode)) != 0) return;
  if (input.vk == 0x90 || input.vk == 0x91 || input.vk == 0x14) {
    Instance().key_states[input.vk] ^= 1;
  }
}

fake::FakeList& List(WindowHandle list) { return Instance().lists[list]; }

void (*input_observer)() = nullptr;

void InputSent() {
  if (input_observer != nullptr) input_observer();
}

}  // namespace

void SetInputObserver(void (*observer)()) { input_observer = observer; }

// The application under the keyboard copies its selection at Ctrl+C.
void CopyAtControlC(const Input& input) {
  fake::FakeSystem& system = Instance();
  if (input.mouse || input.vk != 0x43 || (input.flags & (kKeyUp | kKeyUnicode)) != 0) return;
  if (!system.control_down || !system.copies_selection) return;
  system.clipboard_text = system.selection;
  system.clipboard_has_text = true;
  ++system.clipboard_sequence;
}

std::size_t SendInputs(std::span<const Input> inputs) {
  fake::FakeSystem& system = Instance();
  const std::size_t injected =
      system.refuses_input ? std::min(system.refused_after, inputs.size()) : inputs.size();
  if (injected < inputs.size()) {
    system.refused_calls.push_back({std::vector<Input>(inputs.begin(), inputs.end())});
  }
  if (injected > 0) {
    system.input_calls.push_back({std::vector<Input>(inputs.begin(), inputs.begin() + injected)});
  }
  for (const Input& input : inputs.first(injected)) {
    ToggleLocks(input);
    CopyAtControlC(input);
    if (!input.mouse && input.vk == 0x11 && (input.flags & kKeyUnicode) == 0) {
      system.control_down = (input.flags & kKeyUp) == 0;
    }
  }
  InputSent();
  return injected;
}

CharacterKey KeyForCharacter(char16_t c) {
  auto found = Instance().key_scans.find(c);
  const std::int16_t key = found != Instance().key_scans.end() ? found->second : UsLayoutScan(c);
  CharacterKey result;
  if (key == -1) return result;
  result.found = true;
  result.vk = static_cast<std::uint8_t>(key & 0xFF);
  result.shift_state = (static_cast<std::uint16_t>(key) >> 8) & 0x07;
  const std::uint32_t code = MapVirtualKey(result.vk, 0);
  result.scan = static_cast<std::uint8_t>(code & 0xFF);
  result.extended = (code >> 8) != 0;
  result.dead = Instance().dead_keys.count({result.vk, result.shift_state}) != 0;
  return result;
}

std::uint16_t ForegroundInputLanguage() { return Instance().input_language; }

std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t map_type) {
  if (map_type != 0) return 0;
  auto found = Instance().scan_codes.find(code);
  return found != Instance().scan_codes.end() ? found->second : UsScanCode(code);
}

std::int16_t GetKeyState(int vk) {
  auto found = Instance().key_states.find(vk);
  return found == Instance().key_states.end() ? 0 : found->second;
}

bool OpenClipboard() {
  if (!Instance().clipboard_opens) return false;
  Instance().clipboard_open = true;
  return true;
}

bool ClipboardUnicodeText(std::u16string* text) {
  if (!Instance().clipboard_open || !Instance().clipboard_has_text) return false;
  *text = Instance().clipboard_text;
  return true;
}

void CloseClipboard() { Instance().clipboard_open = false; }

std::uint32_t ClipboardSequence() { return Instance().clipboard_sequence; }

bool SaveClipboard(SavedClipboard* saved) {
  saved->formats.clear();
  if (!Instance().clipboard_opens) return false;
  if (Instance().clipboard_has_text) {
    const std::u16string& text = Instance().clipboard_text;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    saved->formats.push_back({13, std::vector<std::uint8_t>(bytes, bytes + 2 * text.size())});
  }
  return true;
}

bool RestoreClipboard(WindowHandle, const SavedClipboard& saved) {
  if (!Instance().clipboard_opens) return false;
  ++Instance().clipboard_restores;
  ++Instance().clipboard_sequence;
  Instance().clipboard_has_text = false;
  Instance().clipboard_text.clear();
  for (const SavedClipboard::Format& format : saved.formats) {
    if (format.format != 13) continue;
    Instance().clipboard_has_text = true;
    Instance().clipboard_text.assign(reinterpret_cast<const char16_t*>(format.data.data()),
                                     format.data.size() / 2);
  }
  return true;
}

std::uint32_t TickCount() { return Instance().tick; }

void Sleep(std::uint32_t milliseconds) {
  Instance().sleeps.push_back(milliseconds);
  Instance().tick += milliseconds;
}

std::u16string ToUpper(std::u16string_view text) {
  std::u16string result(text);
  for (char16_t& c : result) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c -= 0x20;
  }
  return result;
}

std::u16string ToLower(std::u16string_view text) {
  std::u16string result(text);
  for (char16_t& c : result) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c += 0x20;
  }
  return result;
}

std::u16string FormatDate(std::uint32_t flags) {
  return flags == 2 ? Instance().long_date : Instance().short_date;
}

std::u16string FormatTime(std::uint32_t flags) {
  return flags == 2 ? Instance().short_time : Instance().long_time;
}

ScreenMetrics GetScreenMetrics() { return Instance().metrics; }

Rect MonitorAreaNearest(WindowHandle window) {
  const auto found = Instance().windows.find(window);
  const fake::FakeSystem::Monitor* monitor =
      found == Instance().windows.end() ? nullptr : fake::MonitorNearest(found->second);
  if (monitor != nullptr) return monitor->area;
  const ScreenMetrics& m = Instance().metrics;
  return {m.virtual_left, m.virtual_top, m.virtual_left + m.virtual_width,
          m.virtual_top + m.virtual_height};
}

Rect WorkAreaNearest(WindowHandle window) {
  const auto found = Instance().windows.find(window);
  return found == Instance().windows.end() ? Instance().work_area
                                           : WorkAreaNearestRect(found->second);
}

void PostMessageTo(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam) {
  Instance().messages.push_back({window, message, wparam, lparam, false});
}

void SendMessageTo(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam) {
  Instance().messages.push_back({window, message, wparam, lparam, true});
}

void StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) {
  Instance().timers[{window, id}] = milliseconds;
}

void StopTimer(WindowHandle window, std::uintptr_t id) { Instance().timers.erase({window, id}); }

void CapturePen(WindowHandle window) { Instance().capture = window; }

void ReleasePen() { Instance().capture = 0; }

Point ClientToScreen(WindowHandle window, Point point) {
  Point origin = Instance().client_origins[window];
  return {point.x + origin.x, point.y + origin.y};
}

Point ScreenToClient(WindowHandle window, Point point) {
  Point origin = Instance().client_origins[window];
  return {point.x - origin.x, point.y - origin.y};
}

void PlaceWindow(WindowHandle window, int x, int y, int width, int height) {
  const Rect rect{x, y, x + width, y + height};
  Instance().windows[window] = rect;
  Instance().client_origins[window] = {x + Instance().metrics.border_width,
                                       y + Instance().metrics.border_height};
  const auto follower = Instance().scale_followers.find(window);
  if (follower == Instance().scale_followers.end()) return;
  const fake::FakeSystem::Monitor* monitor = fake::MonitorNearest(rect);
  const int old_dpi = follower->second.dpi;
  if (monitor == nullptr || monitor->dpi == old_dpi || old_dpi <= 0) return;
  follower->second.dpi = monitor->dpi;
  const auto scaled = [&](int length) {
    return static_cast<int>((std::int64_t{length} * monitor->dpi + old_dpi / 2) / old_dpi);
  };
  const Rect suggested{x, y, x + scaled(width), y + scaled(height)};
  // Only when the window at its new size is still mostly on that monitor, or it would go
  // back and forth between the two.
  if (fake::MonitorNearest(suggested) != monitor) return;
  // A copy: the window may be placed again from inside, which may end its following.
  const auto changed = follower->second.changed;
  if (changed) changed(old_dpi, monitor->dpi, suggested);
}

void ShowWindowQuietly(WindowHandle window, bool show) {
  if (show) {
    // As the system's: showing a minimised window brings it back.
    Instance().minimized.erase(window);
    Instance().visible.insert(window);
  } else {
    Instance().visible.erase(window);
  }
}

void ShowOnTopQuietly(WindowHandle window) { Instance().visible.insert(window); }

bool IsWindowShown(WindowHandle window) {
  return Instance().visible.count(window) != 0 && Instance().minimized.count(window) == 0;
}

void Repaint(WindowHandle) {}

void CopyImageRect(std::u16string_view image_path, WindowHandle window, PaintContext paint,
                   const Rect& target, int source_x, int source_y) {
  if (Instance().undecodable_images.count(std::u16string(image_path)) != 0) return;
  Instance().draws.push_back({fake::DrawOperation::kCopy, std::u16string(image_path), window,
                              paint, target, source_x, source_y});
}

void ForgetImages() {}

std::size_t ImagesInMemory() { return 0; }

void SetImageMemoryBudget(double) {}

void InvertRect(WindowHandle window, PaintContext paint, const Rect& target) {
  Instance().draws.push_back({fake::DrawOperation::kInvert, u"", window, paint, target, 0, 0});
}

int MeasureTextWidth(FontHandle, std::u16string_view text) {
  return static_cast<int>(text.size()) * Instance().text_width_per_character;
}

void ListClear(WindowHandle list) {
  List(list).rows.clear();
  List(list).selected = -1;
}

int ListAddRow(WindowHandle list, std::u16string_view text, std::intptr_t item_data,
               bool at_top) {
  auto& rows = List(list).rows;
  if (at_top) {
    rows.insert(rows.begin(), {std::u16string(text), item_data});
    return 0;
  }
  rows.push_back({std::u16string(text), item_data});
  return static_cast<int>(rows.size()) - 1;
}

int ListRowCount(WindowHandle list) { return static_cast<int>(List(list).rows.size()); }

void ListSelectRow(WindowHandle list, int row) {
  List(list).selected = (row >= 0 && row < ListRowCount(list)) ? row : -1;
}

int ListSelectedRow(WindowHandle list) { return List(list).selected; }

std::intptr_t ListRowData(WindowHandle list, int row) {
  if (row < 0 || row >= ListRowCount(list)) return 0;
  return List(list).rows[static_cast<std::size_t>(row)].data;
}

int ListRowHeight(WindowHandle list) { return List(list).row_height; }

int ListRowNearest(WindowHandle list, Point point) {
  int count = ListRowCount(list);
  if (count == 0) return -1;
  int row = point.y < 0 ? 0 : point.y / List(list).row_height;
  return row >= count ? count - 1 : row;
}

void ListSetFont(WindowHandle list, FontHandle font) {
  List(list).font = font;
  List(list).row_height = List(list).font_row_height;
}

void ListSetRowHeight(WindowHandle list, int height) { List(list).row_height = height; }

void ListHoldDrawing(WindowHandle, bool) {}

}  // namespace platform
