// Which hypervisor a machine runs under, told from its firmware identity and the kernel's
// hypervisor facts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot.h"

namespace nadrel {

// The hypervisor's name from the DMI identity ("QEMU", "VMware", "Hyper-V", "Amazon EC2"),
// else from /sys/hypervisor/type ("xen" gives "Xen"), else "Yes" when the processor's
// hypervisor flag is set; empty on bare metal.
std::string virtual_machine_name(const DmiIdentity& dmi, std::string_view hypervisor_type,
                                 bool hypervisor_flag);

// What tells the hypervisor's vendor, strongest first.
struct HypervisorEvidence {
    std::string cpuid;            // the CPUID leaf 0x40000000 signature (live runs only)
    std::string hypervisor_type;  // /sys/hypervisor/type
    std::string clocksource;      // the current clocksource
    std::string dmi_name;         // virtual_machine_name of the DMI identity
    std::vector<std::uint16_t> pci_vendors{};  // PCI vendor ids, when the machine is a guest
};

// The vendor ("KVM", "Hyper-V", "VMware", "Xen", "VirtualBox", ...) from the first source that
// names one: CPUID ("KVMKVMKVM", "Microsoft Hv", "VMwareVMware", "XenVMMXenVMM"), the kernel's
// hypervisor type, the clocksource ("kvm-clock", "hyperv_clocksource_tsc_page", "xen"), the
// DMI identity, then a PCI vendor only one hypervisor uses; empty when none does.
std::string hypervisor_vendor(const HypervisorEvidence& evidence);

}  // namespace nadrel
