// Turns a snapshot into the report document, in summary or diagnostic-detail form.
#pragma once

#include "core/report/report.h"
#include "core/snapshot.h"

namespace nadrel {

// Sections in their fixed order (ATTENTION, SYSTEM, CPU, RAM, GPU, STORAGE, NETWORK,
// MOTHERBOARD, BATTERY, SENSORS, OTHER); a section left without rows is omitted, so ATTENTION
// shows only when something needs attention.
Report build_report(const SystemSnapshot& snapshot, bool detail);

}  // namespace nadrel
