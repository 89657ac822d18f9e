// Starting other programs: by the shell's verb for a file, or as a program file.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// Opens a file, page or program with its default verb, shown normally, with no owner,
// parameters or working directory, and then waits until the started program is ready for
// input, but never longer than `wait_limit_ms`. False when the shell could not open it;
// the shell shows nothing of its own either way.
bool ShellOpen(std::u16string_view file, std::uint32_t wait_limit_ms);

// Starts the program file with no command line, no inherited handles, the default flags,
// environment and current directory, and lets go of it at once. False when it could not.
bool StartProgram(std::u16string_view application);

}  // namespace platform
