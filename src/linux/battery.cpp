// Battery identity (not yet collected).
#include "linux/battery.h"

namespace nadrel {

BatteryInfo collect_battery(const SysRoot&) { return {}; }

}  // namespace nadrel
