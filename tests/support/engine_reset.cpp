#include "tests/support/engine_reset.h"

#include "keyboard/expansion/expansion.h"
#include "keyboard/keyboard_windows.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/panels/panels.h"
#include "keyboard/pen/pen.h"
#include "keyboard/preview/slide_preview.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "platform/fake/fake_system.h"

namespace quorel::keyboard {

void ResetEngineForTest() {
  platform::fake::Reset();
  ResetSharedBlockForTest();
  ResetOptionsForTest();
  ResetPanelsForTest();
  ResetOutputForTest();
  ResetSlidePreviewForTest();
  ResetExpansionForTest();
  ResetPenForTest();
  State() = KeyboardState();
  Hooks() = OutputHooks();
  Windows() = KeyboardWindows();
}

}  // namespace quorel::keyboard
