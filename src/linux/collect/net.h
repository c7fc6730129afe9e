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

std::vector<NetAdapter> collect_net_adapters(const SysRoot& root);
std::vector<std::string> collect_bluetooth(const SysRoot& root);

}  // namespace nadrel
