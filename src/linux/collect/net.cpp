// Network adapters from /sys/class/net and Bluetooth adapters from /sys/class/bluetooth.
#include "linux/collect/net.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/text/inet.h"
#include "core/text/names.h"
#include "core/text/unicode.h"
#include "linux/collect/net_live.h"
#include "linux/collect/pci.h"
#include "linux/collect/pci_names.h"
#include "linux/collect/sysfs_links.h"

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

// The folder of the device behind an interface, as the machine names it; empty when its link
// leads nowhere.
std::string device_folder(const SysRoot& root, const std::string& dir) {
    if (!root.is_host())
        return canonical_path(root, dir + "/device").value_or("");
    // The link is relative to where the interface's own link leads.
    const auto interface = link_destination(root, dir);
    const auto target = read_link(root, dir + "/device");
    return interface && target ? joined(*interface, *target) : std::string();
}

// The addresses of each adapter: from the kernel on the running machine, else from the
// captured /proc/net tables.
void add_addresses(const SysRoot& root, std::vector<NetAdapter>& adapters) {
    if (adapters.empty())
        return;
    std::vector<InterfaceAddress> addresses;
    if (root.is_host()) {
        addresses = live_interface_addresses();
        std::vector<std::string> names;
        for (const NetAdapter& adapter : adapters)
            names.push_back(adapter.interface);
        const auto versions = live_firmware_versions(names);
        for (std::size_t i = 0; i < adapters.size(); ++i)
            adapters[i].firmware_version = versions[i];
    } else {
        const auto fib = read_text(root, "/proc/net/fib_trie", list_limit);
        const auto routes = read_text(root, "/proc/net/route", list_limit);
        if (fib && routes)
            addresses = parse_ipv4_addresses(*fib, *routes);
        if (const auto inet6 = read_text(root, "/proc/net/if_inet6", list_limit)) {
            for (auto& address : parse_if_inet6(*inet6))
                addresses.push_back(std::move(address));
        }
    }
    for (InterfaceAddress& address : addresses) {
        for (NetAdapter& adapter : adapters) {
            if (adapter.interface == address.interface) {
                adapter.addresses.push_back(std::move(address.address));
                break;
            }
        }
    }
}

}  // namespace

std::vector<NetAdapter> collect_net_adapters(const SysRoot& root,
                                             const std::vector<PciDevice>& pci) {
    std::vector<NetAdapter> adapters;
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
        const std::string device = device_folder(root, dir);
        adapter.pci_address = pci_function_of(device);
        if (const PciDevice* function = find_pci_device(pci, adapter.pci_address)) {
            adapter.name =
                clean_name(pci_name(root, function->vendor_id, function->device_id).value_or(""));
        } else {
            adapter.name = clean_name(pci_device_name(root, dir + "/device").value_or(""));
        }
        adapter.interface = interface;
        adapter.mac = std::string(trim(read_text(root, dir + "/address").value_or("")));
        adapter.kind = net_kind(root, dir);
        const auto carrier = read_text(root, dir + "/carrier");
        adapter.link_up = carrier && trim(*carrier) == "1";
        if (adapter.link_up && adapter.kind == "Ethernet")
            adapter.speed_mbps = link_speed(root, dir);
        if (!device.empty())
            adapter.driver = bound_driver(root, device).value_or("");
        const auto mtu = read_u64(root, dir + "/mtu");
        adapter.mtu = mtu && *mtu <= std::numeric_limits<std::uint32_t>::max()
                          ? static_cast<std::uint32_t>(*mtu)
                          : 0;
        if (const auto duplex = read_text(root, dir + "/duplex");
            duplex && (trim(*duplex) == "full" || trim(*duplex) == "half"))
            adapter.duplex = std::string(trim(*duplex));
        adapters.push_back(std::move(adapter));
    }
    add_addresses(root, adapters);
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
