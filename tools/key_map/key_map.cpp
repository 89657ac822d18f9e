// Prints where every key of the keyboard lies, for drivers that click the real program:
// one line per key, "kind parameter x y name", with a client point that hits it: the centre
// of its cell, or a point near a corner for either half of a split cell. The name is the
// special key's written name ("<shift>"), the character a character key types (UTF-8), or
// "-" for the keyboard's own cells that have no written name.
// Arguments: keyboard size (1-4), side bar position (1-2), and optionally "upper", "digits"
// or "accents N" for the panels of those states; "--dpi N" last gives the points on a
// keyboard shown at that scale, in its device pixels.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "keyboard/panels/display_scale.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/panels/panels.h"
#include "library/keys/key_table.h"
#include "library/options/options.h"
#include "platform/fake/fake_system.h"

namespace {

void AppendUtf8(std::string* out, char32_t c) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string KeyName(int kind, int parameter) {
  std::string name;
  if (kind == quorel::kCharacterKind) {
    AppendUtf8(&name, static_cast<char32_t>(parameter & 0xFFFF));
    return name;
  }
  const char16_t* written = quorel::GetSpecialKeyName(kind, parameter);
  if (written == nullptr) return "-";
  for (; *written != 0; ++written) AppendUtf8(&name, *written);
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quorel;
  using namespace quorel::keyboard;
  int dpi = 96;
  if (argc >= 5 && std::strcmp(argv[argc - 2], "--dpi") == 0) {
    dpi = std::atoi(argv[argc - 1]);
    argc -= 2;
  }
  if (argc < 3 || dpi <= 0) {
    std::fprintf(stderr, "usage: %s size sidebar [upper|digits|accents N] [--dpi N]\n", argv[0]);
    return 2;
  }
  platform::fake::Reset();
  ResetOptionsForTest();
  SetOption(OptionId::kSize, std::atoi(argv[1]));
  SetOption(OptionId::kSidebar, std::atoi(argv[2]));
  if (argc >= 4 && std::strcmp(argv[3], "upper") == 0) State().caps_lock = 1;
  if (argc >= 4 && std::strcmp(argv[3], "digits") == 0) State().number_mode = 1;
  if (argc >= 5 && std::strcmp(argv[3], "accents") == 0) State().accent_mode = std::atoi(argv[4]);
  SetPanelWindow(1);
  RefreshPanels(true);
  std::set<std::pair<int, int>> printed;
  for (int index = 0; index < kPanelRecords; ++index) {
    const Panel* panel = PanelRecord(index);
    if (panel == nullptr) continue;
    for (int row = 0; row < panel->row_count; ++row) {
      for (int column = 0; column < panel->column_count; ++column) {
        const auto& across = panel->columns[column];
        const auto& down = panel->rows[row];
        const int points[3][2] = {
            {(across.start + across.end) / 2, (down.start + down.end) / 2},
            {across.start + (across.end - across.start) / 4, down.start + (down.end - down.start) / 4},
            {across.end - (across.end - across.start) / 4, down.end - (down.end - down.start) / 4},
        };
        for (const auto& point : points) {
          const int x = panel->left + point[0];
          const int y = panel->top + point[1];
          KeyHit hit;
          if (!HitTest(x, y, &hit) || !printed.insert({hit.kind, hit.parameter}).second) continue;
          // The middle of the device pixels that the design pixel covers.
          const auto device = [dpi](int v) {
            return (DeviceOf(v, dpi) + DeviceOf(v + 1, dpi) - 1) / 2;
          };
          std::printf("%d %d %d %d %s\n", hit.kind, hit.parameter, device(x), device(y),
                      KeyName(hit.kind, hit.parameter).c_str());
        }
      }
    }
  }
  return 0;
}
