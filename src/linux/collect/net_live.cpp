// getifaddrs and the ethtool driver-information ioctl on a datagram socket.
#include "linux/collect/net_live.h"

#include <ifaddrs.h>
#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/text/unicode.h"
#include "linux/root/unique_fd.h"

namespace nadrel {

namespace {

struct IfaddrsDeleter {
    void operator()(ifaddrs* list) const { ::freeifaddrs(list); }
};

template <std::size_t N>
std::span<const std::uint8_t, N> bytes_of(const void* data) {
    return std::span<const std::uint8_t, N>(static_cast<const std::uint8_t*>(data), N);
}

std::optional<InterfaceAddress> address_of(const ifaddrs& entry) {
    if (entry.ifa_addr == nullptr || entry.ifa_name == nullptr)
        return std::nullopt;
    InterfaceAddress out;
    out.interface = entry.ifa_name;
    const sockaddr* netmask = entry.ifa_netmask;
    if (entry.ifa_addr->sa_family == AF_INET) {
        sockaddr_in address{};
        std::memcpy(&address, entry.ifa_addr, sizeof address);
        out.address.address = format_ipv4(bytes_of<4>(&address.sin_addr));
        if (netmask != nullptr && netmask->sa_family == AF_INET) {
            sockaddr_in mask{};
            std::memcpy(&mask, netmask, sizeof mask);
            out.address.prefix_length = mask_prefix_length(bytes_of<4>(&mask.sin_addr)).value_or(0);
        }
        return out;
    }
    if (entry.ifa_addr->sa_family == AF_INET6) {
        sockaddr_in6 address{};
        std::memcpy(&address, entry.ifa_addr, sizeof address);
        out.address.ipv6 = true;
        out.address.address = format_ipv6(bytes_of<16>(&address.sin6_addr));
        if (netmask != nullptr && netmask->sa_family == AF_INET6) {
            sockaddr_in6 mask{};
            std::memcpy(&mask, netmask, sizeof mask);
            out.address.prefix_length =
                mask_prefix_length(bytes_of<16>(&mask.sin6_addr)).value_or(0);
        }
        return out;
    }
    return std::nullopt;
}

}  // namespace

std::vector<InterfaceAddress> live_interface_addresses() {
    ifaddrs* raw = nullptr;
    if (::getifaddrs(&raw) != 0)
        return {};
    const std::unique_ptr<ifaddrs, IfaddrsDeleter> list(raw);
    std::vector<InterfaceAddress> out;
    for (const ifaddrs* entry = list.get(); entry != nullptr; entry = entry->ifa_next) {
        if (out.size() >= max_table_entries)
            break;
        if (auto address = address_of(*entry))
            out.push_back(std::move(*address));
    }
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
        return !a.address.ipv6 && b.address.ipv6;
    });
    return out;
}

std::vector<std::string> live_firmware_versions(const std::vector<std::string>& interfaces) {
    std::vector<std::string> versions(interfaces.size());
    const UniqueFd socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return versions;
    for (std::size_t i = 0; i < interfaces.size(); ++i) {
        if (interfaces[i].empty() || interfaces[i].size() >= IFNAMSIZ)
            continue;
        ethtool_drvinfo info{};
        info.cmd = ETHTOOL_GDRVINFO;
        ifreq request{};
        std::memcpy(request.ifr_name, interfaces[i].data(), interfaces[i].size());
        request.ifr_data = reinterpret_cast<char*>(&info);
        if (::ioctl(socket.get(), SIOCETHTOOL, &request) != 0)
            continue;
        const std::string_view version(info.fw_version,
                                       ::strnlen(info.fw_version, sizeof info.fw_version));
        // Drivers without a firmware of their own answer with nothing or "N/A".
        if (trim(version) != "N/A" && is_valid_utf8(version))
            versions[i] = std::string(trim(version));
    }
    return versions;
}

}  // namespace nadrel
