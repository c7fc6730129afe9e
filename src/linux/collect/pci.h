// Every PCI function beneath /sys/bus/pci/devices: ids and names, class, driver and module,
// NUMA node, IOMMU group, power state, and its PCI Express link against the port above it.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// Functions read at most: a large server has a few hundred, with virtual functions a few
// thousand; a tree claiming more is cut, in address order, before their files are read.
inline constexpr std::size_t max_pci_functions = 4096;

// In address order.
std::vector<PciDevice> collect_pci_devices(const SysRoot& root);

// One function's folder, by its canonical path ("/sys/devices/pci0000:00/0000:00:02.0"), with
// its own link but not its port's, and without names from the ID database.
PciDevice read_pci_function(const SysRoot& root, std::string_view canonical_dir);

// The function at address in a list in address order, or nullptr.
const PciDevice* find_pci_device(const std::vector<PciDevice>& devices, std::string_view address);

// The most a PCI device folder's link can run at, from its max_link_* files.
PcieLink read_pcie_link(const SysRoot& root, std::string_view device_dir);

// A link width in lanes from a *_link_width text; 0 for none the standard defines.
std::uint32_t parse_link_width(std::string_view text);
// A transfer rate in MT/s from a *_link_speed text ("16.0 GT/s PCIe"); 0 for another rate.
std::uint32_t parse_link_speed(std::string_view text);

}  // namespace nadrel
