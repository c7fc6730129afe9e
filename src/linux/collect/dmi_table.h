// The machine's SMBIOS (DMI) table, read beneath a root and walked into structures.
#pragma once

#include <vector>

#include "core/smbios/smbios.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// Reads and walks the table beneath a root; empty when unreadable (it is root-only).
std::vector<DmiStructure> load_dmi_structures(const SysRoot& root);

}  // namespace nadrel
