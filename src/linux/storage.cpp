// Disks and optical drives (not yet collected).
#include "linux/storage.h"

namespace nadrel {

std::vector<DiskInfo> collect_disks(const SysRoot&) { return {}; }
std::vector<std::string> collect_optical_drives(const SysRoot&) { return {}; }

}  // namespace nadrel
