// Connected displays from the EDID of each DRM connector.
#pragma once

#include <vector>

#include "core/snapshot.h"
#include "linux/collect/drm.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// One display per connected connector with a decodable EDID, in connector entry order; a
// connector seen through a second card node of the same device counts once.
std::vector<DisplayInfo> collect_displays(const SysRoot& root, const DrmTree& drm);
inline std::vector<DisplayInfo> collect_displays(const SysRoot& root) {
    return collect_displays(root, scan_drm(root));
}

}  // namespace nadrel
