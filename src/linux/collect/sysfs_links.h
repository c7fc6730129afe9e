// What sysfs says by links: the driver bound to a device, a driver's module, a function's IOMMU
// group; and the PCI function a device's path runs through.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "linux/root/sysroot.h"

namespace nadrel {

// A PCI function's name in sysfs: domain, bus, device and function ("0000:00:1f.6").
bool is_pci_address(std::string_view name);

// The name of the folder the link at path leads to, when that folder's parent is named parent:
// "…/driver" leading to "/sys/bus/pci/drivers/ahci" gives "ahci" for "drivers". The link's
// folder must be one reached without links (a canonical device folder). On a captured tree the
// link must lead to something inside it; anything else gives nothing.
std::optional<std::string> linked_name(const SysRoot& root, std::string_view path,
                                       std::string_view parent);

// Where the link at path leads, written as on the machine ("/sys/devices/pci0000:00/…"): on
// the running machine from the link's text joined to its folder, which must be one reached
// without links (the bus and class folders of sysfs are); on a captured tree resolved inside it.
std::optional<std::string> link_destination(const SysRoot& root, std::string_view path);

// folder + "/" + target with "." and ".." taken as they read ("/a/b" and "../c" give "/a/c");
// ".." stops at the top.
std::string joined(std::string_view folder, std::string_view target);

// The driver bound to a device folder (reached without links).
std::optional<std::string> bound_driver(const SysRoot& root, std::string_view device_dir);

// The last PCI function in a canonical device path when no USB device hangs between it and the
// end ("/sys/devices/pci0000:00/0000:00:1c.0/0000:02:00.0/net/eth0" gives "0000:02:00.0");
// empty otherwise.
std::string pci_function_of(std::string_view canonical);

}  // namespace nadrel
