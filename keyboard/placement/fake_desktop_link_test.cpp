// The host platform library is built from fake_system.cpp alone, so this test program
// compiles the fake desktop itself. Once fake_desktop.cpp is one of that library's sources
// this file can go; until then it changes nothing for it either, since the linker takes no
// member from the library whose symbols are all defined here already.
#include "platform/fake/fake_desktop.cpp"  // NOLINT(bugprone-suspicious-include)
