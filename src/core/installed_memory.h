// How much memory is installed, from what the snapshot holds about it.
#pragma once

#include <cstdint>

#include "core/snapshot.h"

namespace nadrel {

// The SMBIOS modules, else the online memory blocks (as lsmem counts them), else MemTotal,
// which leaves out what the kernel reserves; 0 when none is known.
std::uint64_t installed_memory(const SystemSnapshot& snapshot);

}  // namespace nadrel
