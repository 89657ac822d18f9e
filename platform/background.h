// Work that may wait on a disk or a network (a file another program holds, a Documents
// folder on a share not yet online, a cloud file still downloading) runs away from the
// thread that answers the pen. One worker runs the jobs in the order they were given; each
// job's `done` runs afterwards on the program's own thread, where it may touch the
// program's records. A job itself touches only what it was given.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

void RunInBackground(std::function<void()> job, std::function<void()> done);
// On the program's thread, when told that jobs ended: runs the `done` of each.
void RunFinishedBackgroundWork();
// Waits up to `ms` for every job given so far to end, and runs their `done`s. False when
// one is still under way (its `done` then runs later, if the program lives that long).
bool WaitForBackgroundWork(std::uint32_t ms);

}  // namespace platform
