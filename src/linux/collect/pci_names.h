// Names from the PCI and USB ID databases beneath a root (hwdata, else misc): each database is
// read once per process for each root; a non-host root with neither file uses the host's.
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
// The PCI database name of a device folder from its vendor and device files; a virtio device
// ("…/0000:00:03.0/virtio0"), whose files hold virtio ids, is named from the PCI function above.
std::optional<std::string> pci_device_name(const SysRoot& root, std::string_view device_dir);
// Vendor and product names from usb.ids.
std::optional<IdNames> usb_ids_names(const SysRoot& root, std::uint16_t vendor_id,
                                     std::uint16_t product_id);

}  // namespace nadrel
