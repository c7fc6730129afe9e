// Graphics adapters from the DRM class, the PCI ID database and PCI Express link texts.
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
// "PCIe 4.0 x16", "x16" or empty, from a PCI device folder's max_link_* files.
std::string pcie_link_text(const SysRoot& root, std::string_view device_dir);

}  // namespace nadrel
