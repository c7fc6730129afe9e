// Connected displays (not yet collected).
#include "linux/displays.h"

namespace nadrel {

std::vector<DisplayInfo> collect_displays(const SysRoot&) { return {}; }

}  // namespace nadrel
