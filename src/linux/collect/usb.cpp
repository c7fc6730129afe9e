// USB devices from /sys/bus/usb/devices, in bus and port order, with their depth in the tree.
#include "linux/collect/usb.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <tuple>

#include "core/text/numbers.h"
#include "core/text/unicode.h"
#include "linux/collect/pci_names.h"
#include "linux/collect/sysfs_links.h"

namespace nadrel {

namespace {

constexpr std::string_view usb_dir = "/sys/bus/usb/devices";

// USB devices listed at most: 127 per bus, and even a rack of hubs comes nowhere near this; a
// tree claiming more is cut before any of its files is read.
constexpr std::size_t max_usb_devices = 4096;

// A decimal u32 with an optional "+", nothing else (no white space).
std::optional<std::uint32_t> parse_number(std::string_view s) {
    const auto v = s == trim(s) ? parse_u64(s) : std::nullopt;
    if (!v || *v > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(*v);
}

std::string trimmed_text(const SysRoot& root, const std::string& path) {
    const auto text = read_text(root, path);
    return text ? std::string(trim(*text)) : std::string();
}

std::string device_name(const std::string& manufacturer, const std::string& product) {
    if (!product.empty() && !manufacturer.empty()) {
        if (contains(ascii_lower(product), ascii_lower(manufacturer)))
            return product;
        return manufacturer + " " + product;
    }
    return product.empty() ? manufacturer : product;
}

std::uint16_t usb_id(const SysRoot& root, const std::string& path) {
    const auto text = read_text(root, path);
    const auto value = text ? parse_hex32(*text) : std::nullopt;
    return value && *value <= 0xFFFF ? static_cast<std::uint16_t>(*value) : 0;
}

struct UsbEntry {
    std::vector<std::uint32_t> key;  // bus, then the port numbers
    std::string name;
};

// An interface entry ("1-2.4:1.0"): the device's name, then configuration and interface.
struct InterfaceEntry {
    std::string device;
    std::uint32_t configuration = 0;
    std::uint32_t number = 0;
    std::string name;
};

// The interfaces of one configuration: at most 32 (USB 2.0, the interface number's range in
// practice), which bounds the files read per device.
constexpr std::size_t max_interfaces = 32;

std::optional<InterfaceEntry> parse_interface_name(std::string_view name) {
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = name.substr(colon + 1);
    const std::size_t dot = rest.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    const auto configuration = parse_number(rest.substr(0, dot));
    const auto number = parse_number(rest.substr(dot + 1));
    if (!configuration || !number)
        return std::nullopt;
    return InterfaceEntry{std::string(name.substr(0, colon)), *configuration, *number,
                          std::string(name)};
}

// "3.20" from the version file (" 3.20"): digits, a point, digits; anything else is not one.
std::string usb_version(const SysRoot& root, const std::string& path) {
    const auto text = read_text(root, path);
    if (!text)
        return {};
    const std::string_view v = trim(*text);
    const std::size_t point = v.find('.');
    const auto digits = [](std::string_view s) {
        return !s.empty() && s.size() <= 2 &&
               s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (point == std::string_view::npos || !digits(v.substr(0, point)) ||
        !digits(v.substr(point + 1)))
        return {};
    return std::string(v);
}

std::optional<std::uint8_t> hex_byte(const SysRoot& root, const std::string& path) {
    const auto text = read_text(root, path);
    const auto value = text ? parse_hex32(*text) : std::nullopt;
    if (!value || *value > 0xFF)
        return std::nullopt;
    return static_cast<std::uint8_t>(*value);
}

// The interfaces of the device whose folder (as the machine names it) is device.
std::vector<UsbInterface> read_interfaces(const SysRoot& root, const std::string& device,
                                          const std::vector<InterfaceEntry>& entries) {
    std::vector<UsbInterface> interfaces;
    for (const InterfaceEntry& entry : entries) {
        if (interfaces.size() >= max_interfaces)
            break;
        const std::string dir = device + "/" + entry.name;
        UsbInterface interface;
        interface.number = static_cast<std::uint8_t>(
            hex_byte(root, dir + "/bInterfaceNumber")
                .value_or(static_cast<std::uint8_t>(std::min<std::uint32_t>(entry.number, 0xFF))));
        interface.class_id = hex_byte(root, dir + "/bInterfaceClass");
        if (interface.class_id)
            interface.class_name = usb_class_name(root, *interface.class_id).value_or("");
        interface.driver = bound_driver(root, dir).value_or("");
        interfaces.push_back(std::move(interface));
    }
    return interfaces;
}

}  // namespace

std::optional<std::vector<std::uint32_t>> parse_usb_key(std::string_view name) {
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    std::vector<std::uint32_t> key;
    const auto bus = parse_number(name.substr(0, dash));
    if (!bus)
        return std::nullopt;
    key.push_back(*bus);
    std::string_view ports = name.substr(dash + 1);
    for (;;) {
        const std::size_t dot = ports.find('.');
        const auto port = parse_number(ports.substr(0, dot));
        if (!port)
            return std::nullopt;
        key.push_back(*port);
        if (dot == std::string_view::npos)
            return key;
        ports.remove_prefix(dot + 1);
    }
}

std::uint32_t parse_usb_speed(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || !digits(whole) || !digits(fraction))
        return 0;
    if (point != std::string_view::npos && fraction.empty())
        return 0;
    // 1.5 (low speed) is not a whole number of Mb/s and gives 0.
    if (fraction.find_first_not_of('0') != std::string_view::npos)
        return 0;
    std::uint64_t v = 0;
    for (const char ch : whole) {
        v = v * 10 + static_cast<std::uint64_t>(ch - '0');
        if (v > std::numeric_limits<std::uint32_t>::max())
            return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(v);
}

std::string usb_ids_text(const std::optional<IdNames>& names) {
    if (!names)
        return {};
    if (!names->device || names->device->empty())
        return names->vendor;
    return names->vendor.empty() ? *names->device : names->vendor + " " + *names->device;
}

std::vector<UsbDevice> collect_usb_devices(const SysRoot& root) {
    std::vector<UsbEntry> entries;
    std::vector<InterfaceEntry> interfaces;
    for (auto& name : list_dir(root, usb_dir)) {
        // "1-0:1.0" is an interface and "usb1" a root hub.
        if (contains(name, ":")) {
            if (auto interface = parse_interface_name(name))
                interfaces.push_back(std::move(*interface));
            continue;
        }
        if (starts_with(name, "usb"))
            continue;
        if (auto key = parse_usb_key(name))
            entries.push_back({std::move(*key), std::move(name)});
    }
    std::sort(interfaces.begin(), interfaces.end(),
              [](const InterfaceEntry& a, const InterfaceEntry& b) {
                  return std::tie(a.device, a.configuration, a.number, a.name) <
                         std::tie(b.device, b.configuration, b.number, b.name);
              });
    // 1-2 before 1-10; the name breaks ties so that the order never depends on the directory.
    const auto kept =
        entries.begin() + static_cast<std::ptrdiff_t>(std::min(entries.size(), max_usb_devices));
    std::partial_sort(entries.begin(), kept, entries.end(),
                      [](const UsbEntry& a, const UsbEntry& b) {
                          return a.key != b.key ? a.key < b.key : a.name < b.name;
                      });
    entries.erase(kept, entries.end());

    std::vector<UsbDevice> devices;
    for (const auto& entry : entries) {
        const std::string dir = std::string(usb_dir) + "/" + entry.name;
        UsbDevice device;
        device.name = device_name(trimmed_text(root, dir + "/manufacturer"),
                                  trimmed_text(root, dir + "/product"));
        device.vendor_id = usb_id(root, dir + "/idVendor");
        device.product_id = usb_id(root, dir + "/idProduct");
        // Without strings of its own the device is named as lsusb names it.
        if (device.name.empty() && device.vendor_id != 0) {
            device.name = usb_ids_text(usb_ids_names(root, device.vendor_id, device.product_id));
        }
        if (const auto speed = read_text(root, dir + "/speed")) {
            device.speed_mbps = parse_usb_speed(*speed);
        }
        device.depth = static_cast<std::uint8_t>(std::min<std::size_t>(entry.key.size() - 1, 255));
        device.bus = entry.key.front();
        device.port_path = entry.name;
        device.version = usb_version(root, dir + "/version");
        const auto first = std::lower_bound(
            interfaces.begin(), interfaces.end(), entry.name,
            [](const InterfaceEntry& i, const std::string& name) { return i.device < name; });
        auto last = first;
        while (last != interfaces.end() && last->device == entry.name)
            ++last;
        if (first != last) {
            // Interfaces are folders of their device, reached here without links.
            const auto folder = link_destination(root, dir);
            if (folder) {
                device.interfaces =
                    read_interfaces(root, *folder, std::vector<InterfaceEntry>(first, last));
            }
        }
        devices.push_back(std::move(device));
    }
    return devices;
}

}  // namespace nadrel
