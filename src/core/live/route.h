// The default gateway in the kernel's IPv4 routing table (/proc/net/route text).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nadrel {

// The gateway of the first default route: "0101A8C0" (host byte order) gives 192.168.1.1.
std::optional<std::string> default_gateway(std::string_view route_table);

}  // namespace nadrel
