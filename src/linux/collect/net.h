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

// Interfaces with a device behind them examined at most: a machine has a handful, a server
// with virtual functions on its host a few hundred. A tree claiming more is not walked further
// (here and by the live sampler).
inline constexpr std::size_t max_net_devices = 1024;

// One entry per interface with a device behind it, in name order; PCI values come from pci.
std::vector<NetAdapter> collect_net_adapters(const SysRoot& root,
                                             const std::vector<PciDevice>& pci = {});
std::vector<std::string> collect_bluetooth(const SysRoot& root);

}  // namespace nadrel
