// The shared block. Getters store 0 first, so a caller never reads a stale out value when
// the block cannot be opened; every export returns 1 when the block was open, else 0.
#include "library/api/api_support.h"
#include "library/shared_block/shared_block.h"

using quorel::SharedBlock;
using quorel::api::FieldToWindow;
using quorel::api::Guarded;
using quorel::api::WindowToField;

namespace {

int GetNumber(quorel::SharedField field, unsigned int* out) {
  return Guarded([&] {
    if (out == nullptr) return 0;
    *out = 0;
    if (quorel::OpenSharedBlock() == nullptr) return 0;
    *out = quorel::ReadSharedField(field);
    return 1;
  });
}

int GetWindow(quorel::SharedField field, QUOREL_WINDOW* out) {
  return Guarded([&] {
    if (out == nullptr) return 0;
    *out = FieldToWindow(0);
    if (quorel::OpenSharedBlock() == nullptr) return 0;
    *out = FieldToWindow(quorel::ReadSharedField(field));
    return 1;
  });
}

int SetField(quorel::SharedField field, std::uint32_t value) {
  return Guarded([&] { return quorel::WriteSharedField(field, value) ? 1 : 0; });
}

}  // namespace

extern "C" {

int GLOBAL_GetQuorelWindow(QUOREL_WINDOW* window) {
  return GetWindow(&SharedBlock::keyboard_window, window);
}

int GLOBAL_GetQuorelOptionsChangedMsg(unsigned int* message) {
  return GetNumber(&SharedBlock::options_changed_message, message);
}

int GLOBAL_GetQuorelLoadGlossaryMsg(unsigned int* message) {
  return GetNumber(&SharedBlock::load_glossary_message, message);
}

int GLOBAL_GetQuorelLoadSlideFileMsg(unsigned int* message) {
  return GetNumber(&SharedBlock::load_slide_file_message, message);
}

int GLOBAL_GetQuorelEditorCurrentDialog(QUOREL_WINDOW* window) {
  return GetWindow(&SharedBlock::editor_dialog, window);
}

int GLOBAL_SetQuorelEditorCurrentDialog(QUOREL_WINDOW window) {
  return SetField(&SharedBlock::editor_dialog, WindowToField(window));
}

int GLOBAL_SetQuorelEditorSpecialKeyMsg(unsigned int message) {
  return SetField(&SharedBlock::special_key_message, message);
}

}  // extern "C"
