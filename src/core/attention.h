// What needs a technician's attention, found in the snapshot alone (never thresholds of ours:
// the hardware's own limits, error counts, states). The report shows it first; the JSON lists
// it; later runs compare it.
#pragma once

#include <string>
#include <vector>

#include "core/snapshot.h"

namespace nadrel {

struct AttentionItem {
    std::string kind;     // a fixed lower-case word, stable for scripts ("temperature", ...)
    std::string subject;  // what it is about, once per subject ("nvme0n1", "DIMM_A2", ...)
    std::string text;     // one short, concrete line for the report
};

// Every finding, in this order: sensors at or above their own limits; disks at or above their
// critical temperature; uncorrected, then corrected memory errors; PCI links below their
// capability (not an idle power-saving drop) and USB 3 devices at USB 2 speed; vulnerable
// CPUs; worn batteries; a tainted kernel; degraded arrays and nearly full filesystems. Each
// subject appears once.
std::vector<AttentionItem> find_attention(const SystemSnapshot& s);

}  // namespace nadrel
