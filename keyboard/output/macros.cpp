// The keys that do more than press a key: <tap>, <wait> and the case changes.

#include <algorithm>
#include <string>

#include "keyboard/key_kinds.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/output/output_internal.h"
#include "keyboard/panels/keyboard_state.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/screen.h"
#include "platform/text.h"

namespace quorel::keyboard::output {

namespace {

// A longer <wait> is a slip of the pen, not an intent: the keyboard would be frozen.
constexpr std::int64_t kLongestWait = 60000;
// The longest the application gets to put the selection on the clipboard after Ctrl+C,
// and how often the clipboard is looked at meanwhile.
constexpr std::uint32_t kCopyWaitLimit = 1000;
constexpr std::uint32_t kCopyPoll = 10;

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// The point a pixel is in 0..65535 across the virtual screen, which the system maps back as
// origin + point * extent / 65536: the smallest point that lands on the pixel itself. (The
// older x * 65535 / width + 1 gave the same point for most pixels but one pixel short for
// some, the last column among them.) The argument stays a screen coordinate: the primary
// monitor's top left is 0,0 and a monitor left of or above it has negative ones.
int AbsoluteCoordinate(std::int64_t pixel, int virtual_origin, int virtual_extent) {
  const std::int64_t offset = pixel - virtual_origin;
  const std::int64_t absolute =
      offset <= 0 ? 0 : (offset * 65536 + virtual_extent - 1) / virtual_extent;
  return static_cast<int>(std::clamp<std::int64_t>(absolute, 0, 65535));
}

}  // namespace

Decimal ReadDecimal(std::u16string_view text) {
  constexpr std::int64_t kLimit = 2147483647;
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  Decimal number;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    number.digits = true;
    number.value = std::min(number.value * 10 + (text[i] - u'0'), kLimit + 1);
  }
  number.value = negative ? -number.value : std::min(number.value, kLimit);
  return number;
}

void Tap(std::u16string_view argument) {
  const std::size_t comma = argument.find(u',');
  if (comma == std::u16string_view::npos) return;
  const Decimal x = ReadDecimal(argument.substr(0, comma));
  const Decimal y = ReadDecimal(argument.substr(comma + 1));
  // A coordinate that is not a number would click wherever 0 lands, a window's system
  // menu as likely as not.
  if (!x.digits || !y.digits) return;
  // Absolute input over the virtual desktop reaches a point on any monitor.
  const platform::ScreenMetrics metrics = platform::GetScreenMetrics();
  if (metrics.virtual_width <= 0 || metrics.virtual_height <= 0) return;
  platform::Input input;
  input.mouse = true;
  input.dx = AbsoluteCoordinate(x.value, metrics.virtual_left, metrics.virtual_width);
  input.dy = AbsoluteCoordinate(y.value, metrics.virtual_top, metrics.virtual_height);
  constexpr std::uint32_t kWhere = platform::kMouseAbsolute | platform::kMouseVirtualDesk;
  platform::Input inputs[3] = {input, input, input};
  inputs[0].flags = platform::kMouseMove | kWhere;
  inputs[1].flags = platform::kMouseLeftDown | kWhere;
  inputs[2].flags = platform::kMouseLeftUp | kWhere;
  Inject(inputs);
}

void Wait(std::u16string_view argument) {
  const std::int64_t milliseconds =
      std::clamp<std::int64_t>(ReadDecimal(argument).value, 0, kLongestWait);
  platform::Sleep(static_cast<std::uint32_t>(milliseconds));
}

void ChangeCase(std::uint16_t parameter) {
  if (parameter < 1 || parameter > 3) return;
  KeyboardState& state = State();
  // Copy the selection with a plain Ctrl+C: a latched shift would make it something else.
  if (state.shift != 0) {
    state.shift = 0;
    Dispatch(kind::kShift, 0);
  }
  if (state.control == 0) {
    state.control = 1;
    Dispatch(kind::kControl, 0);
  }
  // The user's clipboard goes back as soon as the copy is read.
  platform::SavedClipboard saved;
  const bool was_saved = platform::SaveClipboard(&saved);
  const std::uint32_t sequence = platform::ClipboardSequence();
  Dispatch(kind::kCharacter, u'c');
  state.control = 0;
  Dispatch(kind::kControl, 0);
  // No copy can come from a window that refused the Ctrl+C.
  if (InputRefused()) return;

  // Only a copy that actually arrived is typed: with nothing selected the clipboard still
  // holds whatever the user copied last, which is not the text to change.
  std::u16string text;
  bool has_text = false;
  bool copied = false;
  const std::uint32_t start = platform::TickCount();
  for (;;) {
    if (platform::ClipboardSequence() != sequence && platform::OpenClipboard()) {
      copied = true;
      has_text = platform::ClipboardUnicodeText(&text);
      platform::CloseClipboard();
      break;
    }
    if (platform::TickCount() - start >= kCopyWaitLimit) break;
    platform::Sleep(kCopyPoll);
  }
  if (copied && was_saved) platform::RestoreClipboard(Windows().main, saved);
  if (!has_text) return;
  if (parameter == 1) {
    // The first character, both halves of it when it lies beyond U+FFFF.
    const std::size_t first =
        text.size() > 1 && IsHighSurrogate(text[0]) && IsLowSurrogate(text[1]) ? 2 : 1;
    if (!text.empty()) text.replace(0, first, platform::ToUpper(text.substr(0, first)));
  } else {
    text = parameter == 2 ? platform::ToLower(text) : platform::ToUpper(text);
  }
  DispatchCharacters(text);
}

}  // namespace quorel::keyboard::output
