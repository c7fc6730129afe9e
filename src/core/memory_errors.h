// Memory-controller (EDAC) error counts joined to the SMBIOS modules their labels name.
#pragma once

#include <string_view>
#include <vector>

#include "core/snapshot.h"

namespace nadrel {

// Whether an EDAC DIMM label names the module: the same letters and digits, case and
// punctuation aside, as its locator ("DIMM_A2" and "DIMM A2") or as its bank and locator
// together ("P0_CHANNEL_A_DIMM_1" and "P0 CHANNEL A" / "DIMM 1").
bool edac_label_names(std::string_view label, const MemoryModule& module);

// Gives each module the counts of the one EDAC DIMM whose label names it alone (counts of two
// DIMMs naming one module add up); every other count goes to memory_edac, in the given order.
void attach_memory_errors(SystemSnapshot& s, const std::vector<MemoryErrorCount>& counts);

}  // namespace nadrel
