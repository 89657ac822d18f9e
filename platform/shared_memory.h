// Named shared memory backed by the page file.
#pragma once

#include <cstddef>

#include "platform/types.h"

namespace platform {

enum class MappingResult { kOk, kCreateFailed, kMapFailed };

// Creates the named mapping, or opens it when it exists already, and maps a writable view
// of `size` bytes. `existed` tells whether another opener was first. The view stays mapped
// until the process ends.
MappingResult MapSharedMemory(std::u16string_view name, std::size_t size, void** view,
                              bool* existed);

}  // namespace platform
