// Which hypervisor a machine runs under, told from its firmware identity and the kernel's
// hypervisor facts.
#pragma once

#include <string>
#include <string_view>

#include "core/snapshot.h"

namespace nadrel {

// The hypervisor's name from the DMI identity ("QEMU", "VMware", "Hyper-V", "Amazon EC2"),
// else from /sys/hypervisor/type ("xen" gives "Xen"), else "Yes" when the processor's
// hypervisor flag is set; empty on bare metal.
std::string virtual_machine_name(const DmiIdentity& dmi, std::string_view hypervisor_type,
                                 bool hypervisor_flag);

}  // namespace nadrel
