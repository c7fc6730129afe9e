// The PCI inventory: each function's attribute files read once, in one pass over its folder,
// names looked up once per distinct identifier, and each link set against the port above it.
#include "linux/collect/pci.h"

#include <algorithm>
#include <limits>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/text/numbers.h"
#include "core/text/unicode.h"
#include "linux/collect/pci_names.h"
#include "linux/collect/sysfs_links.h"

namespace nadrel {

namespace {

constexpr std::string_view bus_dir = "/sys/bus/pci/devices";

// The attribute files of one function, in the order they are read.
enum Attribute : std::size_t {
    Class,
    Vendor,
    Device,
    SubsystemVendor,
    SubsystemDevice,
    Revision,
    NumaNode,
    CurrentSpeed,
    CurrentWidth,
    MaxSpeed,
    MaxWidth,
    PowerState,
    RuntimeStatus,
};
const std::vector<std::string> attribute_names = {"class",
                                                  "vendor",
                                                  "device",
                                                  "subsystem_vendor",
                                                  "subsystem_device",
                                                  "revision",
                                                  "numa_node",
                                                  "current_link_speed",
                                                  "current_link_width",
                                                  "max_link_speed",
                                                  "max_link_width",
                                                  "power_state",
                                                  "power/runtime_status"};

std::optional<std::uint32_t> hex_at_most(const std::optional<std::string>& text,
                                         std::uint32_t most) {
    const auto value = text ? parse_hex32(*text) : std::nullopt;
    if (!value || *value > most)
        return std::nullopt;
    return value;
}

// Identifiers keep their low 16 bits and the revision its low 8, as the kernel's own are.
std::uint16_t id16(const std::optional<std::string>& text) {
    const auto value = text ? parse_hex32(*text) : std::nullopt;
    return static_cast<std::uint16_t>(value.value_or(0) & 0xFFFF);
}

// D0 is full power; D1 to D3cold are low-power states (PCI Power Management). Without a
// power_state (older kernels), the runtime state tells when it is suspended or active.
std::optional<bool> low_power_state(const std::optional<std::string>& state,
                                    const std::optional<std::string>& runtime) {
    const std::string_view d = state ? trim(*state) : std::string_view();
    if (d == "D0")
        return false;
    if (d == "D1" || d == "D2" || d == "D3hot" || d == "D3cold")
        return true;
    const std::string_view r = runtime ? trim(*runtime) : std::string_view();
    if (r == "suspended" || r == "suspending")
        return true;
    if (r == "active" || r == "resuming")
        return false;
    return std::nullopt;
}

std::string_view last_component(std::string_view path) {
    return path.substr(path.rfind('/') + 1);
}

// The PCI functions above the last one in a canonical path, nearest first.
std::vector<std::string_view> pci_ancestors(std::string_view canonical) {
    std::vector<std::string_view> found;
    std::string_view rest = canonical.substr(0, canonical.rfind('/'));
    while (!rest.empty()) {
        const std::size_t slash = rest.rfind('/');
        const std::string_view part = rest.substr(slash == std::string_view::npos ? 0 : slash + 1);
        if (is_pci_address(part))
            found.push_back(part);
        if (slash == std::string_view::npos)
            break;
        rest = rest.substr(0, slash);
    }
    return found;
}

struct ModuleInfo {
    std::string module;
    std::string version;
};

// The module a driver lives in, and its version when it declares one.
ModuleInfo driver_module(const SysRoot& root, const std::string& driver) {
    ModuleInfo info;
    info.module =
        linked_name(root, "/sys/bus/pci/drivers/" + driver + "/module", "module").value_or("");
    if (!info.module.empty()) {
        const auto version = read_text(root, "/sys/module/" + info.module + "/version");
        info.version = std::string(trim(version.value_or("")));
    }
    return info;
}

// The bus entries that name functions, the first max_pci_functions of them in address order.
std::vector<std::string> bus_entries(const SysRoot& root) {
    std::vector<std::string> names;
    for (auto& name : list_dir(root, bus_dir)) {
        if (is_pci_address(name))
            names.push_back(std::move(name));
    }
    const auto kept =
        names.begin() + static_cast<std::ptrdiff_t>(std::min(names.size(), max_pci_functions));
    std::partial_sort(names.begin(), kept, names.end());
    names.erase(kept, names.end());
    return names;
}

// Where each bus entry leads. On a captured tree that is resolved inside it, but the walk is
// made once per parent folder (functions share a few bridges) and the function's own name is
// only checked to be no link.
class FunctionFolders {
public:
    explicit FunctionFolders(const SysRoot& root) : root_(root) {}

    std::optional<std::string> find(const std::string& name) {
        const std::string entry = std::string(bus_dir) + "/" + name;
        if (root_.is_host())
            return link_destination(root_, entry);
        const auto target = read_link(root_, entry);
        if (!target)
            return canonical_path(root_, entry);
        const std::string lexical = joined(bus_dir, *target);
        const std::size_t slash = lexical.rfind('/');
        auto [parent, added] = parents_.try_emplace(lexical.substr(0, slash));
        if (added)
            parent->second = canonical_path(root_, parent->first);
        if (!parent->second || read_link(root_, lexical))
            return canonical_path(root_, entry);
        return *parent->second + lexical.substr(slash);
    }

private:
    const SysRoot& root_;
    std::unordered_map<std::string, std::optional<std::string>> parents_;
};

// Along a PCI Express hierarchy, root ports and switch downstream ports own the link below
// them and switch upstream ports the one above: so a function whose count of PCI functions
// above it is odd hangs below a root or downstream port, and that link is its own to judge,
// against the port's maximum. The functions of a multi-function device share one link: the
// first of them judges it.
void judge_links(std::vector<PciDevice>& devices, const std::vector<std::string>& paths) {
    std::unordered_map<std::string_view, std::size_t> by_address;
    for (std::size_t i = 0; i < devices.size(); ++i)
        by_address.emplace(devices[i].address, i);
    std::unordered_set<std::string_view> judged_ports;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        PciDevice& d = devices[i];
        const auto above = pci_ancestors(paths[i]);
        if (!d.link || above.size() % 2 == 0 || !judged_ports.insert(above.front()).second)
            continue;
        d.link_judged = true;
        const auto port = by_address.find(above.front());
        if (port != by_address.end() && devices[port->second].link) {
            d.link->port_max_mts = devices[port->second].link->max_mts;
            d.link->port_max_width = devices[port->second].link->max_width;
        }
    }
}

}  // namespace

std::uint32_t parse_link_width(std::string_view text) {
    const auto width = parse_u64(trim(text));
    // x1 to x32 (PCI Express base specification); 0 is a link that is down or not known.
    return width && *width >= 1 && *width <= 32 ? static_cast<std::uint32_t>(*width) : 0;
}

std::uint32_t parse_link_speed(std::string_view text) {
    text = trim(text);
    const std::string_view rate = text.substr(0, text.find_first_of(" \t"));
    static constexpr std::pair<std::string_view, std::uint32_t> rates[] = {
        {"2.5", 2500},   {"5.0", 5000},   {"8.0", 8000},
        {"16.0", 16000}, {"32.0", 32000}, {"64.0", 64000},
    };
    for (const auto& [known, mts] : rates) {
        if (rate == known)
            return mts;
    }
    return 0;
}

PcieLink read_pcie_link(const SysRoot& root, std::string_view device_dir) {
    const std::string dir(device_dir);
    PcieLink link;
    if (const auto width = read_text(root, dir + "/max_link_width"))
        link.max_width = parse_link_width(*width);
    if (const auto speed = read_text(root, dir + "/max_link_speed"))
        link.max_mts = parse_link_speed(*speed);
    return link;
}

PciDevice read_pci_function(const SysRoot& root, std::string_view canonical_dir) {
    const auto texts = read_texts_in(root, canonical_dir, attribute_names);
    const auto text = [&texts](Attribute a) -> const std::optional<std::string>& {
        return texts[a];
    };
    PciDevice d;
    d.address = std::string(last_component(canonical_dir));
    d.class_code = hex_at_most(text(Class), 0xFFFFFF);
    d.vendor_id = id16(text(Vendor));
    d.device_id = id16(text(Device));
    d.subsystem_vendor_id = id16(text(SubsystemVendor));
    d.subsystem_device_id = id16(text(SubsystemDevice));
    if (const auto revision = text(Revision) ? parse_hex32(*text(Revision)) : std::nullopt)
        d.revision = static_cast<std::uint8_t>(*revision & 0xFF);
    // -1: no NUMA node (one-node machines and devices without affinity).
    const auto node = text(NumaNode) ? parse_i64(*text(NumaNode)) : std::nullopt;
    if (node && *node >= 0 && *node <= std::numeric_limits<std::uint32_t>::max())
        d.numa_node = static_cast<std::uint32_t>(*node);
    PcieLink link;
    link.current_mts = text(CurrentSpeed) ? parse_link_speed(*text(CurrentSpeed)) : 0;
    link.current_width = text(CurrentWidth) ? parse_link_width(*text(CurrentWidth)) : 0;
    link.max_mts = text(MaxSpeed) ? parse_link_speed(*text(MaxSpeed)) : 0;
    link.max_width = text(MaxWidth) ? parse_link_width(*text(MaxWidth)) : 0;
    if (link.max_width != 0 || link.current_width != 0)
        d.link = link;
    d.low_power = low_power_state(text(PowerState), text(RuntimeStatus));
    const std::string dir(canonical_dir);
    d.driver = bound_driver(root, dir).value_or("");
    if (const auto group = linked_name(root, dir + "/iommu_group", "iommu_groups")) {
        const auto number = parse_u64(*group);
        if (number && *number <= std::numeric_limits<std::uint32_t>::max())
            d.iommu_group = static_cast<std::uint32_t>(*number);
    }
    return d;
}

std::vector<PciDevice> collect_pci_devices(const SysRoot& root) {
    FunctionFolders folders(root);
    std::map<std::string, ModuleInfo> modules;  // by driver
    std::vector<PciDevice> devices;
    std::vector<std::string> paths;
    for (const std::string& name : bus_entries(root)) {
        const auto path = folders.find(name);
        // A function lives beneath /sys/devices under its own name; anything else is not one.
        if (!path || !path->starts_with("/sys/devices/") || last_component(*path) != name)
            continue;
        PciDevice d = read_pci_function(root, *path);
        if (!d.driver.empty()) {
            auto [known, added] = modules.try_emplace(d.driver);
            if (added)
                known->second = driver_module(root, d.driver);
            d.module = known->second.module;
            d.driver_version = known->second.version;
        }
        const PciNames ids = pci_function_names(root, d.vendor_id, d.device_id,
                                                d.subsystem_vendor_id, d.subsystem_device_id);
        d.vendor = ids.vendor;
        d.device_name = ids.device;
        d.subsystem_name = ids.subsystem;
        if (d.class_code)
            d.class_name = pci_class_name(root, *d.class_code).value_or("");
        devices.push_back(std::move(d));
        paths.push_back(*path);
    }
    judge_links(devices, paths);
    return devices;
}

const PciDevice* find_pci_device(const std::vector<PciDevice>& devices, std::string_view address) {
    const auto found =
        std::lower_bound(devices.begin(), devices.end(), address,
                         [](const PciDevice& d, std::string_view a) { return d.address < a; });
    return found != devices.end() && found->address == address ? &*found : nullptr;
}

}  // namespace nadrel
