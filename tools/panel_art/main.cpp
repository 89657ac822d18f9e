// Draws every panel image of the keyboard at every size, and the editor's tab pictures:
//   quorel_panel_art OUT [--fonts DIR] [--preview DIR]
// writes OUT/Quorel bitmaps/<size>/<percent>/<Variant>.png and <Variant>_inv.png and
// OUT/Quorel bitmaps/editor/<percent>/tab<N>.png at every scale, and with --preview
// one sheet of whole keyboards per size into DIR for a person to look at.
//   quorel_panel_art --keyboard SIZE SIDEBAR DPI FILE.png
// draws the client area of the keyboard as it starts (default options and state) at a size,
// "Side bar position" and dpi: what the end-to-end tests compare a screenshot with.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "library/options/options.h"
#include "tools/panel_art/bitmap.h"
#include "tools/panel_art/png.h"
#include "tools/panel_art/panel_art.h"
#include "tools/panel_art/preview.h"
#include "tools/panel_art/tab_pictures.h"
#include "tools/panel_art/typeface.h"

#ifndef QUOREL_DEJAVU_DIR
#define QUOREL_DEJAVU_DIR "/usr/share/fonts/truetype/dejavu"
#endif

namespace {

int DrawWholeKeyboard(char** argv) {
  const int size = std::atoi(argv[2]);
  const int sidebar = std::atoi(argv[3]);
  const int dpi = std::atoi(argv[4]);
  std::string error;
  const auto faces = quorel::art::Typefaces::Open(QUOREL_DEJAVU_DIR, &error);
  if (!faces || size < 1 || size > quorel::art::kSizeCount || dpi < 96) {
    std::fprintf(stderr, "quorel_panel_art: %s\n", faces ? "no such size or scale" : error.c_str());
    return 1;
  }
  // The options the keyboard starts with, at this size and side bar position.
  quorel::SetOption(quorel::OptionId::kSize, size);
  quorel::SetOption(quorel::OptionId::kSidebar, sidebar);
  std::array<quorel::art::DrawnVariant, quorel::keyboard::kSlotCount> shown{};
  const auto kinds = quorel::keyboard::VariantsShown();
  for (std::size_t slot = 0; slot < shown.size(); ++slot) {
    shown[slot] = {kinds[slot], quorel::GetOption(quorel::OptionId::kSymbols)};
  }
  const quorel::art::Image whole =
      quorel::art::DrawKeyboard(*faces, size, sidebar, dpi, shown, false);
  if (!quorel::art::WritePng(argv[5], whole)) {
    std::fprintf(stderr, "quorel_panel_art: cannot write %s\n", argv[5]);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::string_view(argv[1]) == "--keyboard") return DrawWholeKeyboard(argv);
  std::filesystem::path out;
  std::filesystem::path fonts = QUOREL_DEJAVU_DIR;
  std::filesystem::path preview;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if ((arg == "--fonts" || arg == "--preview") && i + 1 < argc) {
      (arg == "--fonts" ? fonts : preview) = argv[++i];
    } else if (!arg.starts_with("--") && out.empty()) {
      out = arg;
    } else {
      out.clear();
      break;
    }
  }
  if (out.empty()) {
    std::fprintf(stderr, "usage: %s OUT [--fonts DIR] [--preview DIR]\n", argv[0]);
    return 2;
  }

  std::string error;
  const auto faces = quorel::art::Typefaces::Open(fonts, &error);
  if (!faces || !quorel::art::WriteArtwork(out, *faces, &error) ||
      !quorel::art::WriteTabPictures(out, *faces, &error)) {
    std::fprintf(stderr, "quorel_panel_art: %s\n", error.c_str());
    return 1;
  }
  if (!preview.empty()) {
    std::filesystem::create_directories(preview);
    for (int size = 1; size <= quorel::art::kSizeCount; ++size) {
      const auto sheet = quorel::art::ComposePreview(out, size);
      const std::filesystem::path path =
          preview / (std::string(quorel::art::SizeFolder(size)) + ".bmp");
      if (!sheet || !quorel::art::WriteBmp(path, *sheet)) {
        std::fprintf(stderr, "quorel_panel_art: no preview for %s\n", path.c_str());
        return 1;
      }
    }
  }
  return 0;
}
