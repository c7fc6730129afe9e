// What only the running machine tells about its interfaces, never a captured tree: the
// addresses (getifaddrs) and the firmware versions drivers report (the ETHTOOL_GDRVINFO ioctl,
// which needs no privilege).
#pragma once

#include <string>
#include <vector>

#include "core/text/inet.h"

namespace nadrel {

// Every IPv4 and IPv6 address of every interface, IPv4 first.
std::vector<InterfaceAddress> live_interface_addresses();

// The firmware version of each interface, in the order given; empty where the driver gives
// none.
std::vector<std::string> live_firmware_versions(const std::vector<std::string>& interfaces);

}  // namespace nadrel
