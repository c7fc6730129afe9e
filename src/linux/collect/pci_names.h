// Names from the PCI and USB ID databases beneath a root (hwdata, else misc): each database is
// read and indexed once per process for each root; a non-host root with neither file uses the
// host's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/ids/pci_ids.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// Device name from the PCI ID database.
std::optional<std::string> pci_name(const SysRoot& root, std::uint16_t vendor_id,
                                    std::uint16_t device_id);

struct PciNames {
    std::string vendor;
    std::string device;
    std::string subsystem;  // where the database lists the subsystem under the device
};
// The names of one function; empty texts for what the database does not list.
PciNames pci_function_names(const SysRoot& root, std::uint16_t vendor_id, std::uint16_t device_id,
                            std::uint16_t subsystem_vendor_id, std::uint16_t subsystem_device_id);
// The name of a 24-bit class code's subclass, else of its class.
std::optional<std::string> pci_class_name(const SysRoot& root, std::uint32_t class_code);
// The name of a USB class ("Mass Storage").
std::optional<std::string> usb_class_name(const SysRoot& root, std::uint8_t class_id);
// The PCI database name of a device folder from its vendor and device files; a virtio device
// ("…/0000:00:03.0/virtio0"), whose files hold virtio ids, is named from the PCI function above.
std::optional<std::string> pci_device_name(const SysRoot& root, std::string_view device_dir);
// Vendor and product names from usb.ids.
std::optional<IdNames> usb_ids_names(const SysRoot& root, std::uint16_t vendor_id,
                                     std::uint16_t product_id);

}  // namespace nadrel
