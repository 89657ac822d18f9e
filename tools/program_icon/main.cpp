// Draws the keyboard program's icon:
//   quorel_program_icon OUT.ico
// The build of the Windows programs takes it from data/QuorelKeyboard.ico, where `make icon`
// puts it; a host test holds that file to what this draws.
#include <cstdio>
#include <fstream>

#include "tools/program_icon/icon_file.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.ico\n", argv[0]);
    return 2;
  }
  const std::vector<std::uint8_t> icon = quorel::icon::ProgramIcon();
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
  if (icon.empty() || !file) {
    std::fprintf(stderr, "quorel_program_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
