// Draws every panel image of the keyboard at every size, and the editor's tab pictures:
//   quorel_panel_art OUT [--fonts DIR] [--preview DIR]
// writes OUT/Quorel bitmaps/<size>/<percent>/<Variant>.png and <Variant>_inv.png and
// OUT/Quorel bitmaps/editor/<percent>/tab<N>.png at every scale, and with --preview
// one sheet of whole keyboards per size into DIR for a person to look at.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "tools/panel_art/bitmap.h"
#include "tools/panel_art/panel_art.h"
#include "tools/panel_art/preview.h"
#include "tools/panel_art/tab_pictures.h"
#include "tools/panel_art/typeface.h"

#ifndef QUOREL_DEJAVU_DIR
#define QUOREL_DEJAVU_DIR "/usr/share/fonts/truetype/dejavu"
#endif

int main(int argc, char** argv) {
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
