// One fresh start for every test of the keyboard engine.
#pragma once

namespace quorel::keyboard {

// The fake system, the options, the shared block and every record the engine keeps for
// the life of the process, as a newly started keyboard finds them.
void ResetEngineForTest();

}  // namespace quorel::keyboard
