// Graphics adapters from the DRM class and the PCI ID database, and PCI Express links.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// One entry per DRM card ("cardN") with a PCI vendor, in name order, once per vendor and device.
std::vector<GpuInfo> collect_gpus(const SysRoot& root);
// The most a PCI device folder's link can run at, from its max_link_* files.
PcieLink read_pcie_link(const SysRoot& root, std::string_view device_dir);

}  // namespace nadrel
