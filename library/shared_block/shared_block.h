// The named block through which the keyboard, the editor and the options program find one
// another: the keyboard publishes its window and message numbers, the editor its current
// dialog and the message it wants special keys under. Every field has one writer and no
// lock; each is an aligned 32-bit value read and written whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace quorel {

constexpr std::u16string_view kSharedBlockName = u"Local\\PelmarikQuorelMap5.02";

// The keyboard's messages (WM_APP + 10 .. 50) and the one the editor asks special keys
// under (WM_APP + 1). Other programs compiled against older blocks rely on these numbers.
constexpr std::uint32_t kProduceKeyMessage = 0x800A;
constexpr std::uint32_t kOptionsChangedMessage = 0x8014;
constexpr std::uint32_t kPreviewFontChangedMessage = 0x801E;
constexpr std::uint32_t kLoadGlossaryMessage = 0x8028;
constexpr std::uint32_t kLoadSlideFileMessage = 0x8032;
constexpr std::uint32_t kEditorSpecialKeyMessage = 0x8001;
// Sent by the options program: the keyboard forgets every word it learned from the user's
// typing and saves at once; it answers 1 when the file holds no learned word any more.
constexpr std::uint32_t kForgetLearnedWordsMessage = 0x803C;

// Byte for byte the block every program of every version maps.
struct SharedBlock {
  std::uint32_t unused_0;
  std::uint32_t unused_4;
  std::uint32_t unused_8;
  std::uint32_t keyboard_window;
  std::uint32_t produce_key_message;
  std::uint32_t options_changed_message;
  std::uint32_t preview_font_changed_message;
  std::uint32_t load_glossary_message;
  std::uint32_t load_slide_file_message;
  std::uint32_t unused_36;
  std::uint32_t editor_dialog;
  std::uint32_t unused_44;
  std::uint32_t special_key_message;
};

static_assert(sizeof(SharedBlock) == 52);
static_assert(offsetof(SharedBlock, keyboard_window) == 12);
static_assert(offsetof(SharedBlock, produce_key_message) == 16);
static_assert(offsetof(SharedBlock, options_changed_message) == 20);
static_assert(offsetof(SharedBlock, preview_font_changed_message) == 24);
static_assert(offsetof(SharedBlock, load_glossary_message) == 28);
static_assert(offsetof(SharedBlock, load_slide_file_message) == 32);
static_assert(offsetof(SharedBlock, editor_dialog) == 40);
static_assert(offsetof(SharedBlock, special_key_message) == 48);

using SharedField = std::uint32_t SharedBlock::*;

// This process's view of the block, mapped on the first call and kept for the life of the
// process. Null after a failure, which has been shown to the user; the next call tries
// again.
SharedBlock* OpenSharedBlock();

// One field, read or written whole. Reading gives 0, and writing does nothing and returns
// false, when the block cannot be opened.
std::uint32_t ReadSharedField(SharedField field);
bool WriteSharedField(SharedField field, std::uint32_t value);

// Window handles live in 32 bits, which 64-bit Windows promises is enough; they come back
// sign-extended as the system does.
std::uint32_t WindowToSharedField(platform::WindowHandle window);
platform::WindowHandle SharedFieldToWindow(std::uint32_t field);

// The keyboard, once its main window exists: its handle and its five message numbers.
bool PublishKeyboard(platform::WindowHandle window);
// The keyboard at exit; the message numbers stay for the next start.
bool ClearKeyboardWindow();
platform::WindowHandle KeyboardWindow();

platform::WindowHandle EditorDialog();
bool SetEditorDialog(platform::WindowHandle window);
// 0 means the editor wants no special keys.
std::uint32_t EditorSpecialKeyMessage();
bool SetEditorSpecialKeyMessage(std::uint32_t message);

// Forgets this process's view, so that a test can act as a second process opening the
// same block.
void ResetSharedBlockForTest();

}  // namespace quorel
