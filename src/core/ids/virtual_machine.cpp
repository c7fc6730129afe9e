// Hypervisor names from the strings virtual firmware writes into its DMI identity (the
// system vendor and product, the board and BIOS vendors).
#include "core/ids/virtual_machine.h"

#include <array>

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

}  // namespace nadrel
