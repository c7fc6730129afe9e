// What a battery pack's record implies: its wear.
#pragma once

#include "core/snapshot.h"

namespace nadrel {

// Capacity lost against the design, in percent: 0 when either capacity is unknown, and for a
// pack above its design capacity.
double battery_wear_percent(const BatteryInfo& b);

}  // namespace nadrel
