// Graphics adapters from the DRM class, their PCI functions and the PCI ID database.
#pragma once

#include <string_view>
#include <vector>

#include "core/snapshot.h"
#include "linux/collect/drm.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// One entry per DRM card ("cardN") on a PCI function with a vendor, in name order, once per
// function, with its connectors; the function's values come from pci (read afresh when the
// function is not in it).
std::vector<GpuInfo> collect_gpus(const SysRoot& root, const DrmTree& drm,
                                  const std::vector<PciDevice>& pci);
// The same from a fresh look at the DRM folder and the functions alone.
inline std::vector<GpuInfo> collect_gpus(const SysRoot& root) {
    return collect_gpus(root, scan_drm(root), {});
}

// Orders connector names by their text with digit runs compared as numbers ("DP-2" before
// "DP-10").
bool connector_before(std::string_view a, std::string_view b);

}  // namespace nadrel
