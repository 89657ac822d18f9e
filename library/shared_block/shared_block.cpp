#include "library/shared_block/shared_block.h"

#include <atomic>

#include "platform/message_box.h"
#include "platform/shared_memory.h"

namespace quorel {

namespace {

SharedBlock*& View() {
  static SharedBlock* view = nullptr;
  return view;
}

// A block that failed to open is told once and is then unavailable for the life of the
// process: the user is not shown the same message at every tap.
bool& Failed() {
  static bool failed = false;
  return failed;
}

SharedBlock* Fail(std::u16string_view message) {
  Failed() = true;
  platform::ShowMessage(message, u"Pelmarik");
  return nullptr;
}

}  // namespace

SharedBlock* OpenSharedBlock() {
  if (View() != nullptr) return View();
  if (Failed()) return nullptr;
  void* memory = nullptr;
  bool existed = false;
  switch (platform::MapSharedMemory(kSharedBlockName, sizeof(SharedBlock), &memory, &existed)) {
    case platform::MappingResult::kOk:
      break;
    case platform::MappingResult::kCreateFailed:
      return Fail(u"CreateFileMapping failed");
    case platform::MappingResult::kMapFailed:
      return Fail(u"MapViewOfFile failed");
  }
  if (memory == nullptr) return Fail(u"MapViewOfFile failed");
  auto* block = static_cast<SharedBlock*>(memory);
  // Only the first opener clears: a later one would wipe what the running programs wrote.
  if (!existed) *block = SharedBlock{};
  View() = block;
  return block;
}

// Other processes write the block behind the compiler's back, so every access goes through
// an atomic reference: one whole 32-bit load or store, never cached or split.
std::uint32_t ReadSharedField(SharedField field) {
  SharedBlock* block = OpenSharedBlock();
  if (block == nullptr) return 0;
  return std::atomic_ref<std::uint32_t>(block->*field).load(std::memory_order_acquire);
}

bool WriteSharedField(SharedField field, std::uint32_t value) {
  SharedBlock* block = OpenSharedBlock();
  if (block == nullptr) return false;
  std::atomic_ref<std::uint32_t>(block->*field).store(value, std::memory_order_release);
  return true;
}

std::uint32_t WindowToSharedField(platform::WindowHandle window) {
  return static_cast<std::uint32_t>(window);
}

platform::WindowHandle SharedFieldToWindow(std::uint32_t field) {
  return static_cast<platform::WindowHandle>(
      static_cast<std::intptr_t>(static_cast<std::int32_t>(field)));
}

bool PublishKeyboard(platform::WindowHandle window) {
  if (OpenSharedBlock() == nullptr) return false;
  WriteSharedField(&SharedBlock::produce_key_message, kProduceKeyMessage);
  WriteSharedField(&SharedBlock::options_changed_message, kOptionsChangedMessage);
  WriteSharedField(&SharedBlock::preview_font_changed_message, kPreviewFontChangedMessage);
  WriteSharedField(&SharedBlock::load_glossary_message, kLoadGlossaryMessage);
  WriteSharedField(&SharedBlock::load_slide_file_message, kLoadSlideFileMessage);
  // The handle last, so whoever sees it also sees the numbers to send it.
  return WriteSharedField(&SharedBlock::keyboard_window, WindowToSharedField(window));
}

bool ClearKeyboardWindow() { return WriteSharedField(&SharedBlock::keyboard_window, 0); }

platform::WindowHandle KeyboardWindow() {
  return SharedFieldToWindow(ReadSharedField(&SharedBlock::keyboard_window));
}

platform::WindowHandle EditorDialog() {
  return SharedFieldToWindow(ReadSharedField(&SharedBlock::editor_dialog));
}

bool SetEditorDialog(platform::WindowHandle window) {
  return WriteSharedField(&SharedBlock::editor_dialog, WindowToSharedField(window));
}

std::uint32_t EditorSpecialKeyMessage() {
  return ReadSharedField(&SharedBlock::special_key_message);
}

bool SetEditorSpecialKeyMessage(std::uint32_t message) {
  return WriteSharedField(&SharedBlock::special_key_message, message);
}

void ResetSharedBlockForTest() {
  View() = nullptr;
  Failed() = false;
}

}  // namespace quorel
