// What the disks hold and what is built on them: partitions, device-mapper devices (LUKS,
// LVM, multipath), md arrays, loop devices, mounted file systems and swap.
#pragma once

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// Fills the partitions and contents of s.disks (collected before), and s.device_mapper,
// s.arrays, s.loop_devices, s.volumes and s.swap, from /sys/block, the udev database
// (/run/udev/data), /proc/self/mountinfo and /proc/swaps. File systems are measured (statvfs)
// on the running machine only, and only local ones on disks, never a network or FUSE mount
// or anything below one.
void collect_storage_layout(const SysRoot& root, SystemSnapshot& s);

}  // namespace nadrel
