// The keyboard menu and the actions it leads to, the companion programs, documents opened
// through the shell, the switching of slide file and glossary, and the first-run copies of
// a custom slide file and the glossaries into the user's Documents folder. The key
// processor hands these keys over through its program-action hook.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorel::keyboard {

// Performs one program key: <add>, help (24), <info>, <launch>, <load glossary>, the glossary
// chooser (35), <load slides>, the slide file chooser (37), the options program (47) and
// the slides font chooser (51). Other kinds do nothing.
void PerformProgramAction(std::uint16_t kind, std::uint16_t parameter,
                          std::u16string_view argument);

// The longest a started document or program may keep the keyboard waiting for it to be
// ready for input.
constexpr std::uint32_t kDocumentReadyWaitMs = 10000;

// Starts the program file of that name beside the keyboard's own; says so when it cannot.
void StartCompanion(std::u16string_view name);
// Opens a file, page or program through the shell and waits until it is ready for input,
// at most kDocumentReadyWaitMs. Failures are silent.
void OpenDocument(std::u16string_view file);

// Names the glossary in the registry and has the running keyboard load it.
void SwitchGlossary(std::u16string_view path);
// Names the custom slide file in the registry, makes it the one in use and has the running
// keyboard load it.
void SwitchSlideFile(std::u16string_view path);

// Start-up, in this order, before the single-instance check: give a user without a custom
// slide file or glossary setting a copy of the shipped ones in the Documents folder.
void EnsureCustomSlidesFile();
void EnsureGlossaryFile();

// Points the key processor's program-action hook at PerformProgramAction.
void InstallMenuHooks();

}  // namespace quorel::keyboard
