// Disks and optical drives from /sys/block.
#pragma once

#include <string>
#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

std::vector<DiskInfo> collect_disks(const SysRoot& root);
std::vector<std::string> collect_optical_drives(const SysRoot& root);

}  // namespace nadrel
