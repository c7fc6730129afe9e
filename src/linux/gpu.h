// Graphics adapters from the DRM class, the PCI ID database and PCI Express link texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot.h"
#include "linux/sysroot.h"

namespace nadrel {

// One entry per DRM card ("cardN") with a PCI vendor, in name order, once per vendor and device.
std::vector<GpuInfo> collect_gpus(const SysRoot& root);
// Device name from the PCI ID database beneath root (hwdata, else misc), read once per process
// for each root; a non-host root with neither file uses the host's database.
std::optional<std::string> pci_name(const SysRoot& root, std::uint16_t vendor_id,
                                    std::uint16_t device_id);
// The PCI database name of a device folder from its vendor and device files; a virtio device
// ("…/0000:00:03.0/virtio0"), whose files hold virtio ids, is named from the PCI function above.
std::optional<std::string> pci_device_name(const SysRoot& root, std::string_view device_dir);
// "PCIe 4.0 x16", "x16" or empty, from a PCI device folder's max_link_* files.
std::string pcie_link_text(const SysRoot& root, std::string_view device_dir);

}  // namespace nadrel
