// The hypervisor's vendor: CPUID on the running machine, else what the kernel and the
// emulated hardware say (sysfs type, clocksource, DMI, PCI vendors).
#pragma once

#include <string>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// Fills hypervisor, and names the virtual machine by it where only the processor flag said
// "Yes". Reads the DMI identity and the processor flag, so it runs after both.
void collect_hypervisor(const SysRoot& root, SystemSnapshot& s);

// The signature of CPUID leaf 0x40000000 (EBX, ECX, EDX) when the processor says it runs
// under a hypervisor; empty elsewhere, and on processors without CPUID.
std::string cpuid_hypervisor_signature();

}  // namespace nadrel
