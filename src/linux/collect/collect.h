// Collects the snapshot of the machine in one pass; never fails and never prints.
#pragma once

#include <span>

#include "core/smbios/smbios.h"
#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// A machine beneath root, reading its SMBIOS table afresh.
SystemSnapshot collect_snapshot(const SysRoot& root);
SystemSnapshot collect_snapshot(const SysRoot& root, std::span<const DmiStructure> dmi);

}  // namespace nadrel
