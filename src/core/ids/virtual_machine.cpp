// Hypervisor names from the strings virtual firmware writes into its DMI identity (the
// system vendor and product, the board and BIOS vendors).
#include "core/ids/virtual_machine.h"

#include <array>
#include <iterator>

#include "core/text/unicode.h"

namespace nadrel {

namespace {

enum class DmiField { SysVendor, ProductName, BoardVendor, BiosVendor };

struct Signature {
    DmiField where;
    std::string_view text;  // lower-case; matched as a part of the field
    std::string_view name;
};

// More specific signatures first: KVM guests say "QEMU" as well.
constexpr std::array signatures{
    Signature{DmiField::ProductName, "kvm", "KVM"},
    Signature{DmiField::SysVendor, "qemu", "QEMU"},
    Signature{DmiField::BoardVendor, "qemu", "QEMU"},
    Signature{DmiField::BiosVendor, "seabios", "QEMU"},
    Signature{DmiField::ProductName, "bochs", "Bochs"},
    Signature{DmiField::SysVendor, "vmware", "VMware"},
    Signature{DmiField::ProductName, "vmware", "VMware"},
    Signature{DmiField::ProductName, "virtualbox", "VirtualBox"},
    Signature{DmiField::SysVendor, "innotek", "VirtualBox"},
    Signature{DmiField::SysVendor, "xen", "Xen"},
    Signature{DmiField::ProductName, "hvm domu", "Xen"},
    Signature{DmiField::SysVendor, "parallels", "Parallels"},
    Signature{DmiField::ProductName, "parallels", "Parallels"},
    Signature{DmiField::BiosVendor, "bhyve", "bhyve"},
    Signature{DmiField::SysVendor, "amazon ec2", "Amazon EC2"},
    Signature{DmiField::ProductName, "google compute engine", "Google Compute Engine"},
    Signature{DmiField::ProductName, "alibaba cloud ecs", "Alibaba Cloud ECS"},
    Signature{DmiField::SysVendor, "digitalocean", "DigitalOcean"},
    Signature{DmiField::ProductName, "openstack", "OpenStack"},
    Signature{DmiField::SysVendor, "openstack", "OpenStack"},
    Signature{DmiField::SysVendor, "hetzner", "Hetzner Cloud"},
};

// The vendor signatures of CPUID leaf 0x40000000 (EBX, ECX, EDX), as lscpu knows them.
struct NamedText {
    std::string_view text;
    std::string_view name;
};
constexpr NamedText cpuid_signatures[] = {
    {"KVMKVMKVM", "KVM"},          {"Linux KVM Hv", "KVM"},   {"Microsoft Hv", "Hyper-V"},
    {"VMwareVMware", "VMware"},    {"XenVMMXenVMM", "Xen"},   {"VBoxVBoxVBox", "VirtualBox"},
    {" lrpepyh  vr", "Parallels"}, {"bhyve bhyve ", "bhyve"}, {"TCGTCGTCGTCG", "QEMU"},
    {"ACRNACRNACRN", "ACRN"},      {"QNXQVMBSQG", "QNX"},
};
constexpr NamedText clocksources[] = {
    {"kvm-clock", "KVM"},
    {"hyperv_clocksource_tsc_page", "Hyper-V"},
    {"hyperv_clocksource_msr", "Hyper-V"},
    {"xen", "Xen"},
};
// DMI names that are a hypervisor's rather than a cloud's or an emulator's.
constexpr std::string_view dmi_hypervisors[] = {"KVM",     "VMware",    "VirtualBox", "Xen",
                                                "Hyper-V", "Parallels", "bhyve"};
// PCI vendors of devices only one hypervisor emulates (virtio, 1af4, serves several).
struct PciVendor {
    std::uint16_t id;
    std::string_view name;
};
constexpr PciVendor pci_vendors[] = {
    {0x15ad, "VMware"}, {0x80ee, "VirtualBox"}, {0x1414, "Hyper-V"},
    {0x5853, "Xen"},    {0x1ab8, "Parallels"},
};

std::string_view lookup(const NamedText* begin, const NamedText* end, std::string_view text) {
    for (const NamedText* entry = begin; entry != end; ++entry) {
        if (entry->text == text)
            return entry->name;
    }
    return {};
}

const std::string& field_text(const DmiIdentity& dmi, DmiField where) {
    switch (where) {
        case DmiField::SysVendor:
            return dmi.sys_vendor;
        case DmiField::ProductName:
            return dmi.product_name;
        case DmiField::BoardVendor:
            return dmi.board_vendor;
        case DmiField::BiosVendor:
            return dmi.bios_vendor;
    }
    return dmi.sys_vendor;
}

}  // namespace

std::string virtual_machine_name(const DmiIdentity& dmi, std::string_view hypervisor_type,
                                 bool hypervisor_flag) {
    // Bare-metal cloud instances ("m5.metal", "c6g.metal") carry the cloud's name too.
    if (ends_with(ascii_lower(dmi.product_name), ".metal"))
        return {};
    // Microsoft also makes real machines; its hypervisor's product is "Virtual Machine".
    if (contains(ascii_lower(dmi.sys_vendor), "microsoft") &&
        ascii_lower(dmi.product_name) == "virtual machine") {
        return "Hyper-V";
    }
    for (const Signature& sig : signatures) {
        if (contains(ascii_lower(field_text(dmi, sig.where)), sig.text))
            return std::string(sig.name);
    }
    const std::string type = ascii_lower(trim(hypervisor_type));
    if (type == "xen")
        return "Xen";
    if (!type.empty())
        return std::string(trim(hypervisor_type));
    return hypervisor_flag ? "Yes" : "";
}

std::string hypervisor_vendor(const HypervisorEvidence& evidence) {
    // CPUID pads shorter signatures with NUL bytes.
    std::string_view cpuid = evidence.cpuid;
    while (!cpuid.empty() && cpuid.back() == '\0')
        cpuid.remove_suffix(1);
    std::string_view name = lookup(std::begin(cpuid_signatures), std::end(cpuid_signatures), cpuid);
    if (!name.empty())
        return std::string(name);
    const std::string type = ascii_lower(trim(evidence.hypervisor_type));
    if (type == "xen")
        return "Xen";
    if (!type.empty())
        return std::string(trim(evidence.hypervisor_type));
    name = lookup(std::begin(clocksources), std::end(clocksources), trim(evidence.clocksource));
    if (!name.empty())
        return std::string(name);
    for (const std::string_view dmi : dmi_hypervisors) {
        if (evidence.dmi_name == dmi)
            return std::string(dmi);
    }
    for (const std::uint16_t vendor : evidence.pci_vendors) {
        for (const PciVendor& known : pci_vendors) {
            if (known.id == vendor)
                return std::string(known.name);
        }
    }
    return {};
}

}  // namespace nadrel
