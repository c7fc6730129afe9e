// Memory-controller error counts (EDAC): per DIMM, or per controller without DIMMs.
#pragma once

#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// Every controller's DIMMs (dimmN: dimm_label, dimm_ce_count, dimm_ue_count), else its rows
// and channels (csrowN/chM_ce_count, chM_dimm_label; the row's ue_count goes to its first
// channel, since the kernel counts uncorrected errors per row), else its totals.
std::vector<MemoryErrorCount> collect_edac(const SysRoot& root);

}  // namespace nadrel
