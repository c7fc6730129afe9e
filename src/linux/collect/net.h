// Network adapters (/sys/class/net) and Bluetooth adapters (/sys/class/bluetooth).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// One entry per interface with a device behind it, in name order; PCI values come from pci.
std::vector<NetAdapter> collect_net_adapters(const SysRoot& root,
                                             const std::vector<PciDevice>& pci = {});
std::vector<std::string> collect_bluetooth(const SysRoot& root);

}  // namespace nadrel
