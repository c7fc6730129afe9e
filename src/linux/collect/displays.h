// Connected displays from the EDID of each DRM connector.
#pragma once

#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

std::vector<DisplayInfo> collect_displays(const SysRoot& root);

}  // namespace nadrel
