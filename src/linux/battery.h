// The first battery among the power supplies.
#pragma once

#include "core/snapshot.h"
#include "core/sysroot.h"

namespace nadrel {

BatteryInfo collect_battery(const SysRoot& root);

}  // namespace nadrel
