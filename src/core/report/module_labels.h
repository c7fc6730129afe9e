// The label each memory module is shown under, shared by the RAM section and the findings.
#pragma once

#include <string>
#include <vector>

#include "core/snapshot.h"

namespace nadrel {

// The locator ("DIMM" when empty); a locator that occurs more than once among the modules is
// shown with its bank ("P0 CHANNEL A / DIMM 0"), since real tables repeat "DIMM 0" per channel.
std::vector<std::string> module_labels(const std::vector<MemoryModule>& modules);

}  // namespace nadrel
