// What a battery pack's record implies.
#include "core/battery.h"

namespace nadrel {

double battery_wear_percent(const BatteryInfo& b) {
    if (b.design_mwh == 0 || b.full_mwh == 0)
        return 0;
    const double wear =
        (1.0 - static_cast<double>(b.full_mwh) / static_cast<double>(b.design_mwh)) * 100.0;
    return wear < 0 ? 0 : wear;
}

}  // namespace nadrel
