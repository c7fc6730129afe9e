// Processor identification from /proc/cpuinfo and /sys/devices/system/cpu.
#pragma once

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

CpuInfo collect_cpu(const SysRoot& root);

}  // namespace nadrel
