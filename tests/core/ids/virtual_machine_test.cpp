// Hypervisor names from the DMI identity that real virtual machines and clouds report.
#include "core/ids/virtual_machine.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

TEST(VirtualMachineName, RealGuestsCloudsAndMetal) {
    struct Case {
        const char* sys_vendor;
        const char* product;
        const char* bios_vendor;
        const char* name;
    } const cases[] = {
        {"QEMU", "Standard PC (Q35 + ICH9, 2009)", "SeaBIOS", "QEMU"},
        {"Red Hat", "KVM", "SeaBIOS", "KVM"},
        {"", "", "SeaBIOS", "QEMU"},
        {"VMware, Inc.", "VMware Virtual Platform", "Phoenix Technologies LTD", "VMware"},
        {"VMware, Inc.", "VMware7,1", "VMware, Inc.", "VMware"},
        {"innotek GmbH", "VirtualBox", "innotek GmbH", "VirtualBox"},
        {"Microsoft Corporation", "Virtual Machine", "Microsoft Corporation", "Hyper-V"},
        {"Microsoft Corporation", "Surface Laptop 3", "Microsoft Corporation", ""},
        {"Xen", "HVM domU", "Xen", "Xen"},
        {"Parallels Software International Inc.", "Parallels Virtual Platform", "Parallels",
         "Parallels"},
        {"Amazon EC2", "t3.micro", "Amazon EC2", "Amazon EC2"},
        {"Amazon EC2", "m5.metal", "Amazon EC2", ""},
        {"Google", "Google Compute Engine", "Google", "Google Compute Engine"},
        {"Dell Inc.", "PowerEdge R630", "Dell Inc.", ""},
    };
    for (const Case& c : cases) {
        DmiIdentity dmi;
        dmi.sys_vendor = c.sys_vendor;
        dmi.product_name = c.product;
        dmi.bios_vendor = c.bios_vendor;
        EXPECT_EQ(virtual_machine_name(dmi, "", false), c.name) << c.sys_vendor << c.product;
    }
    // Without a DMI name: the kernel's hypervisor type, then the processor flag.
    EXPECT_EQ(virtual_machine_name({}, "xen\n", true), "Xen");
    EXPECT_EQ(virtual_machine_name({}, " acrn ", false), "acrn");
    EXPECT_EQ(virtual_machine_name({}, "", true), "Yes");
    EXPECT_EQ(virtual_machine_name({}, "", false), "");
}

// The vendor from the strongest source that names one; PCI vendors only one hypervisor uses.
TEST(HypervisorVendor, StrongestSourceFirst) {
    struct Case {
        HypervisorEvidence evidence;
        const char* vendor;
    } const cases[] = {
        {{std::string("KVMKVMKVM\0\0\0", 12), "", "hyperv_clocksource_tsc_page", "VMware"}, "KVM"},
        {{"Microsoft Hv", "", "", ""}, "Hyper-V"},
        {{"VMwareVMware", "", "", ""}, "VMware"},
        {{"XenVMMXenVMM", "", "", ""}, "Xen"},
        {{"Unheard ofHV", "xen\n", "", ""}, "Xen"},
        {{"", "", "kvm-clock\n", "QEMU"}, "KVM"},
        {{"", "", "tsc", "QEMU"}, ""},  // an emulator, not a hypervisor vendor
        {{"", "", "tsc", "VirtualBox"}, "VirtualBox"},
        {{"", "", "", "", {0x1af4, 0x15ad}}, "VMware"},  // virtio names no one
        {{"", "", "", "", {0x1af4, 0x8086}}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hypervisor_vendor(c.evidence), c.vendor) << c.evidence.clocksource;
}

}  // namespace
}  // namespace nadrel
