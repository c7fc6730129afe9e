// Network adapters from /sys/class/net and Bluetooth adapters from /sys/class/bluetooth.
#include "linux/collect/net.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_set>

#include "core/text/names.h"
#include "core/text/unicode.h"
#include "linux/collect/pci_names.h"

namespace nadrel {

namespace {

constexpr std::string_view net_dir = "/sys/class/net";

std::string net_kind(const SysRoot& root, const std::string& dir) {
    if (has_entry(root, dir + "/phy80211") || has_entry(root, dir + "/wireless"))
        return "Wi-Fi";
    const auto text = read_text(root, dir + "/type");
    const auto type = text ? parse_u64(*text) : std::nullopt;
    return type == 1u ? "Ethernet" : "";  // ARPHRD_ETHER
}

// The negotiated speed in Mb/s; the kernel writes -1 when it does not know.
std::uint32_t link_speed(const SysRoot& root, const std::string& dir) {
    const auto text = read_text(root, dir + "/speed");
    const auto speed = text ? parse_i64(*text) : std::nullopt;
    if (!speed || *speed < 1)
        return 0;
    return static_cast<std::uint32_t>(
        std::min<std::int64_t>(*speed, std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace

std::vector<NetAdapter> collect_net_adapters(const SysRoot& root) {
    std::vector<NetAdapter> adapters;
    std::unordered_set<std::string> listed;
    std::size_t devices = 0;
    for (const auto& interface : list_dir_sorted(root, net_dir)) {
        if (interface == "lo")
            continue;
        const std::string dir = std::string(net_dir) + "/" + interface;
        // Bridges, tunnels and container links have no device behind them.
        if (!has_entry(root, dir + "/device"))
            continue;
        if (++devices > max_net_devices)
            break;
        NetAdapter adapter;
        const auto known = pci_device_name(root, dir + "/device");
        if (known)
            adapter.name = clean_name(*known);
        // Two ports of one card, or two identical cards, are listed once; the interface names
        // an adapter the database does not know.
        if (!listed.insert(known ? adapter.name : clean_name(interface)).second)
            continue;
        adapter.interface = interface;
        adapter.mac = std::string(trim(read_text(root, dir + "/address").value_or("")));
        adapter.kind = net_kind(root, dir);
        const auto carrier = read_text(root, dir + "/carrier");
        adapter.link_up = carrier && trim(*carrier) == "1";
        if (adapter.link_up && adapter.kind == "Ethernet")
            adapter.speed_mbps = link_speed(root, dir);
        adapters.push_back(std::move(adapter));
    }
    return adapters;
}

std::vector<std::string> collect_bluetooth(const SysRoot& root) {
    std::vector<std::string> names;
    std::unordered_set<std::string> listed;
    for (const auto& entry : list_dir(root, "/sys/class/bluetooth")) {
        if (!starts_with(entry, "hci"))
            continue;
        const std::string device = "/sys/class/bluetooth/" + entry + "/device";
        // The radio is usually a USB interface; its parent USB device carries the product.
        std::string name;
        for (const char* path : {"/../product", "/product"}) {
            if (const auto text = read_text(root, device + path); text && !trim(*text).empty()) {
                name = *text;
                break;
            }
        }
        if (name.empty())
            name = pci_device_name(root, device).value_or("");
        if (name.empty())
            name = "Bluetooth adapter";
        name = clean_name(trim(name));
        if (listed.insert(name).second)
            names.push_back(std::move(name));
    }
    return names;
}

}  // namespace nadrel
