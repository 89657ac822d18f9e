#include "tools/panel_art/preview.h"

#include <array>
#include <vector>

#include "keyboard/key_kinds.h"
#include "tools/panel_art/panel_art.h"
#include "tools/panel_art/png.h"

namespace quorel::art {

namespace {

using keyboard::PanelKind;
using keyboard::Slot;

struct PressedCell {
  Slot slot;
  int cell;
};

struct Scene {
  int sidebar_position;
  std::array<PanelKind, keyboard::kSlotCount> kinds;  // by slot
  std::vector<PressedCell> pressed;
};

const std::vector<Scene>& Scenes() {
  using enum PanelKind;
  static const std::vector<Scene> scenes = {
      {2,
       {kCaption, kLetterNormal, kSymbolNormal, kLeft123, kRightAccents, kRightSidebarArrows},
       {}},
      // A letter, the latched shift and the close button pressed, as during use.
      {2,
       {kCaption, kCapsNormal, kSymbolShifted, kLeft123, kRightAccents, kRightSidebarArrows},
       {{keyboard::kMainSlot, 7},
        {keyboard::kSideBlockSlot, 4},
        {keyboard::kCaptionSlot, 4},
        {keyboard::kSymbolSlot, 3}}},
      {2,
       {kCaption, kNumberCalcul, kSymbolPunctuation, kLeftAbc, kRightArrows, kSidebarAccents},
       {}},
      {2, {kCaption, kNumberShifted, kSymbolShifted, kLeftAbc, kRightArrows, kSidebarAccents}, {}},
      {2, {kCaption, kLetterAcute, kSymbolAcute, kLeft123, kRightAccents, kRightSidebarArrows}, {}},
      {1, {kCaption, kCapsUmlaut, kSymbolUmlaut, kRight123, kLeftAccents, kLeftSidebarArrows}, {}},
      {1, {kCaption, kCapsCircum, kSymbolCircum, kRightAbc, kLeftArrows, kSidebarAccents}, {}},
      {1, {kCaption, kLetterGrave, kSymbolGrave, kRight123, kLeftArrows, kSidebarAccents}, {}},
  };
  return scenes;
}

constexpr int kGap = 6;
constexpr Color kBackdrop{0x5a, 0x63, 0x6e};

}  // namespace

std::optional<Image> ComposePreview(const std::filesystem::path& out, int size) {
  const int width = keyboard::SlotWidth(size, keyboard::kCaptionSlot);
  const int height = keyboard::ClientHeight(size);
  const int count = static_cast<int>(Scenes().size());
  Image sheet(width + 2 * kGap, count * (height + kGap) + kGap, kBackdrop);
  int y = kGap;
  for (const Scene& scene : Scenes()) {
    for (int slot = 0; slot < keyboard::kSlotCount; ++slot) {
      const auto which = static_cast<Slot>(slot);
      const PanelKind kind = scene.kinds[static_cast<std::size_t>(slot)];
      const std::optional<Image> normal = ReadPng(ImagePath(out, size, kind, false));
      const std::optional<Image> pressed = ReadPng(ImagePath(out, size, kind, true));
      if (!normal || !pressed) return std::nullopt;
      Image panel = *normal;
      // As the keyboard shows a pressed key: its outer box copied from the pressed image.
      const PanelLayout layout = LayOutPanel(size, kind);
      for (const PressedCell& press : scene.pressed) {
        if (press.slot != which) continue;
        const int columns = static_cast<int>(layout.shape.columns.size());
        for (const KeyBox& key : layout.keys) {
          const int row = press.cell / columns;
          const int column = press.cell % columns;
          if (row < key.first_row || row > key.last_row || column < key.first_column ||
              column > key.last_column) {
            continue;
          }
          for (int py = key.outer.top; py <= key.outer.bottom; ++py) {
            for (int px = key.outer.left; px <= key.outer.right; ++px) {
              panel.Set(px, py, pressed->At(px, py));
            }
          }
        }
      }
      sheet.Paste(panel, kGap + keyboard::SlotLeft(size, scene.sidebar_position, which),
                  y + keyboard::SlotTop(size, which));
    }
    y += height + kGap;
  }
  return sheet;
}

}  // namespace quorel::art
