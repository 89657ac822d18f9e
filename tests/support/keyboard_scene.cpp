#include "tests/support/keyboard_scene.h"

#include "keyboard/expansion/expansion.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/panels.h"
#include "keyboard/pen/pen.h"
#include "keyboard/preview/slide_preview.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "tests/support/engine_reset.h"

namespace quorel::keyboard::scene {

void BuildKeyboard(const Setup& setup) {
  ResetEngineForTest();
  auto& system = platform::fake::System();
  system.metrics = {0, 0, setup.screen_width, setup.screen_height,
                    setup.screen_width, setup.screen_height, 1, 1};
  system.primary_screen_width = setup.screen_width;
  system.work_area = {0, 0, setup.screen_width, setup.screen_height - 40};
  SetOption(OptionId::kSize, setup.size);
  const ClientSize client = KeyboardClientSize(setup.size);
  system.windows[kMain] = {setup.window.x, setup.window.y, setup.window.x + client.width + 2,
                           setup.window.y + client.height + 2};
  system.client_origins[kMain] = {setup.window.x + 1, setup.window.y + 1};
  system.client_origins[kSensor] = system.client_origins[kMain];
  system.windows[kList] = {0, 0, 0, 0};
  Windows() = {kMain, kSensor, kList, kFont};
  InstallExpansionHooks();
  SetPanelWindow(kSensor);
  ResetKeyboardState();
  RefreshPanels(true);
  system.input_calls.clear();
  system.draws.clear();
}

platform::Point CentreOf(std::uint16_t kind, std::uint16_t parameter) {
  for (int index = 0; index < kPanelRecords; ++index) {
    const Panel* panel = PanelRecord(index);
    if (panel == nullptr) continue;
    for (int row = 0; row < panel->row_count; ++row) {
      for (int column = 0; column < panel->column_count; ++column) {
        const int x = panel->left + (panel->columns[column].start + panel->columns[column].end) / 2;
        const int y = panel->top + (panel->rows[row].start + panel->rows[row].end) / 2;
        KeyHit hit;
        if (HitTest(x, y, &hit) && hit.kind == kind && hit.parameter == parameter) return {x, y};
      }
    }
  }
  return {-1, -1};
}

std::vector<platform::Input> TakeInputs() {
  std::vector<platform::Input> inputs;
  for (const auto& call : platform::fake::System().input_calls) {
    inputs.insert(inputs.end(), call.inputs.begin(), call.inputs.end());
  }
  platform::fake::System().input_calls.clear();
  return inputs;
}

void HeldKeys::Take() {
  for (const platform::Input& input : TakeInputs()) {
    if (input.mouse || (input.flags & platform::kKeyUnicode) != 0) continue;
    if ((input.flags & platform::kKeyUp) != 0) {
      held_.erase(input.vk);
    } else {
      held_.insert(input.vk);
    }
  }
}

std::vector<platform::Input> KeyPair(std::uint16_t vk, std::uint16_t scan) {
  platform::Input press;
  press.vk = vk;
  press.scan = scan;
  platform::Input release = press;
  release.flags = platform::kKeyUp;
  return {press, release};
}

}  // namespace quorel::keyboard::scene
