// The scene the preview and expansion tests share: a clean fake machine with the keyboard
// window on a 1024 x 768 screen, its preview list, and what reached the application.
#pragma once

#include <string>
#include <vector>

#include "keyboard/keyboard_windows.h"
#include "keyboard/output/key_processor.h"
#include "keyboard/panels/keyboard_state.h"
#include "keyboard/preview/slide_preview.h"
#include "library/options/options.h"
#include "library/shared_block/shared_block.h"
#include "platform/fake/fake_system.h"
#include "platform/input.h"
#include "tests/support/engine_reset.h"

namespace quorel::keyboard::scene {

constexpr platform::WindowHandle kMain = 11;
constexpr platform::WindowHandle kList = 13;
constexpr platform::Rect kKeyboardLow{300, 500, 542, 700};  // more room above
constexpr platform::Rect kKeyboardHigh{300, 20, 542, 220};  // more room below
using Texts = std::vector<std::u16string>;

inline void PlaceKeyboard(const platform::Rect& rect) {
  platform::fake::System().windows[kMain] = rect;
  platform::fake::System().client_origins[kMain] = {rect.left + 1, rect.top + 1};
}

inline void SetUpScene() {
  ResetEngineForTest();
  Windows() = {kMain, 12, kList, 14};
  PlaceKeyboard(kKeyboardLow);
}

inline Texts Rows() {
  Texts rows;
  for (const auto& row : platform::fake::System().lists[kList].rows) rows.push_back(row.text);
  return rows;
}

inline bool ListVisible() { return platform::fake::System().visible.count(kList) != 0; }

// The character of a US layout key that is no letter, with or without Shift.
inline char16_t UsMark(std::uint16_t vk, bool shift) {
  struct Mark {
    std::uint16_t vk;
    char16_t plain, shifted;
  };
  constexpr Mark kMarks[] = {{0xBC, u',', u'<'}, {0xBE, u'.', u'>'}, {0xBA, u';', u':'},
                             {0xBF, u'/', u'?'}, {u'1', u'1', u'!'}, {u'9', u'9', u'('},
                             {u'0', u'0', u')'}};
  for (const Mark& mark : kMarks) {
    if (mark.vk == vk) return shift ? mark.shifted : mark.plain;
  }
  return static_cast<char16_t>(vk);
}

// The text the application received: US layout keys and Unicode inputs, backspace as '\b'.
inline std::u16string TypedText() {
  std::u16string typed;
  for (const platform::fake::InputCall& call : platform::fake::System().input_calls) {
    // A latched modifier going up or down on its own types nothing.
    if (call.inputs.size() == 1 && !call.inputs[0].mouse &&
        (call.inputs[0].vk == 0x10 || call.inputs[0].vk == 0x11 || call.inputs[0].vk == 0x12 ||
         call.inputs[0].vk == 0x5B)) {
      continue;
    }
    bool shift = false;
    for (const platform::Input& input : call.inputs) {
      if (input.mouse || (input.flags & platform::kKeyUp) != 0) continue;
      if ((input.flags & platform::kKeyUnicode) != 0) {
        typed += static_cast<char16_t>(input.scan);
      } else if (input.vk == 0x10) {
        shift = true;
      } else {
        const bool letter = input.vk >= u'A' && input.vk <= u'Z';
        typed += letter ? static_cast<char16_t>(shift ? input.vk : input.vk + 0x20)
                        : UsMark(input.vk, shift);
      }
    }
  }
  return typed;
}

}  // namespace quorel::keyboard::scene
