// Disks and optical drives from /sys/block.
#pragma once

#include <string>
#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// The functions' values come from pci where the disk's controller is in it.
std::vector<DiskInfo> collect_disks(const SysRoot& root, const std::vector<PciDevice>& pci = {});
std::vector<std::string> collect_optical_drives(const SysRoot& root);

}  // namespace nadrel
