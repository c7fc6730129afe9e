// Replaces every identifying snapshot field, and identifiers found inside other texts; the
// report and the JSON are built from the result, and the counts tell the user what went.
#include "core/sanitize.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "core/text/addresses.h"
#include "core/text/inet.h"

namespace nadrel {

namespace {

// A whole value: replaced when known.
void hide(std::string& value, HiddenKind kind, HiddenCounts& counts) {
    if (value.empty())
        return;
    value = hidden_text;
    ++counts[kind];
}

// Replaces each match find(text, from) gives; true when there was any.
bool hide_matches(
    std::string& text,
    const std::function<std::optional<TextMatch>(std::string_view, std::size_t)>& find) {
    bool hid = false;
    std::size_t from = 0;
    while (const auto match = find(text, from)) {
        text.replace(match->start, match->end - match->start, hidden_text);
        from = match->start + hidden_text.size();
        hid = true;
    }
    return hid;
}

// "enx" + twelve lower-case hexadecimal digits: the kernel's and udev's name for an adapter
// named after its MAC address ("en" Ethernet, "wl" Wi-Fi, "ww" WWAN, "ib", "sl").
std::optional<TextMatch> mac_name_digits(std::string_view name) {
    if (name.size() != 15 || name[2] != 'x')
        return std::nullopt;
    for (std::size_t i = 0; i < 2; ++i) {
        if (name[i] < 'a' || name[i] > 'z')
            return std::nullopt;
    }
    for (std::size_t i = 3; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return std::nullopt;
    }
    return TextMatch{3, name.size()};
}

// Every text that comes from the machine (names and descriptions from firmware, drivers and
// the system) but the network adapters' names, which are looked at with their MACs. The program's
// own words (chassis types, memory types, link speeds) cannot hold an identifier.
template <typename Fn>
void for_each_machine_text(SystemSnapshot& s, Fn&& fn) {
    for (std::string* text :
         {&s.os_name, &s.kernel, &s.dmi.board_vendor, &s.dmi.board_name, &s.dmi.board_version,
          &s.dmi.sys_vendor, &s.dmi.product_name, &s.dmi.product_sku, &s.dmi.bios_vendor,
          &s.dmi.bios_version, &s.dmi.bios_date, &s.virtual_machine, &s.devicetree_model,
          &s.devicetree_compatible, &s.cpu.model, &s.cpu_socket})
        fn(*text);
    if (s.cpu.vendor_id)
        fn(*s.cpu.vendor_id);
    for (MemoryModule& m : s.memory_modules) {
        for (std::string* text : {&m.locator, &m.manufacturer, &m.part_number, &m.bank_locator})
            fn(*text);
    }
    for (PciDevice& d : s.pci_devices) {
        for (std::string* text : {&d.class_name, &d.vendor, &d.device_name, &d.subsystem_name,
                                  &d.driver, &d.module, &d.driver_version})
            fn(*text);
    }
    for (GpuInfo& g : s.gpus) {
        for (std::string* text : {&g.name, &g.vendor, &g.vbios_version, &g.driver})
            fn(*text);
        for (DrmConnector& c : g.connectors)
            fn(c.name);
    }
    for (DisplayInfo& d : s.displays) {
        fn(d.name);
        fn(d.connector);
    }
    for (DiskInfo& d : s.disks) {
        for (std::string* text : {&d.name, &d.model, &d.firmware, &d.driver})
            fn(*text);
    }
    for (std::vector<std::string>* list :
         {&s.optical_drives, &s.sound_cards, &s.audio_devices, &s.bluetooth}) {
        for (std::string& text : *list)
            fn(text);
    }
    for (NetAdapter& a : s.net_adapters) {
        fn(a.driver);
        fn(a.firmware_version);
    }
    for (UsbDevice& u : s.usb_devices) {
        fn(u.name);
        fn(u.version);
        for (UsbInterface& i : u.interfaces) {
            fn(i.class_name);
            fn(i.driver);
        }
    }
    // A Bluetooth peripheral's name may hold its address or the host's name.
    for (BatteryInfo& b : s.batteries) {
        for (std::string* text : {&b.model, &b.manufacturer})
            fn(*text);
    }
    for (DeviceBattery& d : s.device_batteries) {
        for (std::string* text : {&d.model, &d.manufacturer})
            fn(*text);
    }
    for (Sensor& sensor : s.sensors) {
        for (std::string* text : {&sensor.chip, &sensor.device, &sensor.label})
            fn(*text);
    }
    for (MemoryErrorCount& e : s.memory_edac)
        fn(e.label);
    for (Volume& v : s.volumes)
        fn(v.source);
    for (SystemSlot& slot : s.slots)
        fn(slot.designation);
    for (PortConnector& p : s.ports)
        fn(p.designator);
}

// The identifiers inside one machine text; the value counts once, under the first kind found.
std::optional<HiddenKind> hide_inside(std::string& text, std::string_view host,
                                      const std::vector<std::string>& macs) {
    std::optional<HiddenKind> kind;
    const auto found = [&kind](HiddenKind k) {
        if (!kind)
            kind = k;
    };
    if (!host.empty() && hide_matches(text, [host](std::string_view t, std::size_t from) {
            return find_word(t, host, from);
        }))
        found(HiddenKind::HoldsHostName);
    for (const std::string& digits : macs) {
        if (hide_matches(text, [&digits](std::string_view t, std::size_t from) {
                return find_mac_digits(t, digits, from);
            }))
            found(HiddenKind::Mac);
    }
    hide_matches(text, [&found](std::string_view t, std::size_t from) {
        const auto address = find_address(t, from);
        if (!address)
            return std::optional<TextMatch>();
        found(address->ipv6 ? HiddenKind::IpAddress : HiddenKind::Mac);
        return std::optional<TextMatch>(address->where);
    });
    return kind;
}

// The folder after "/home/", "/media/" or "/run/media/" (the user's), and in the latter two
// the folder below it when it is named like one of names (automounting names it after the
// label or UUID). True when the path held a user's folder, whose name is added to users.
bool hide_in_path(std::string& path, const std::vector<std::string>& names,
                  std::vector<std::string>& users) {
    if (!path.starts_with('/'))
        return false;
    std::vector<std::string> parts;
    for (std::size_t start = 1; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    std::size_t user = 0;
    if (parts.size() > 1 && (parts[0] == "home" || parts[0] == "media"))
        user = 1;
    else if (parts.size() > 2 && parts[0] == "run" && parts[1] == "media")
        user = 2;
    if (user == 0 || parts[user].empty() || parts[user] == hidden_text)
        return false;
    if (std::find(users.begin(), users.end(), parts[user]) == users.end())
        users.push_back(parts[user]);
    parts[user] = hidden_text;
    const std::size_t below = user + 1;
    if (parts[0] != "home" && below < parts.size() &&
        std::find(names.begin(), names.end(), parts[below]) != names.end())
        parts[below] = hidden_text;
    std::string joined;
    for (const std::string& part : parts)
        joined += "/" + part;
    path = std::move(joined);
    return true;
}

void hide_content(BlockContent& c, HiddenCounts& counts, const std::vector<std::string>& names) {
    hide(c.label, HiddenKind::Label, counts);
    hide(c.uuid, HiddenKind::Uuid, counts);
    // The same points are listed and counted with the volumes.
    std::vector<std::string> users;
    for (std::string& point : c.mount_points)
        hide_in_path(point, names, users);
}

// Every copy of a known UUID inside text (LUKS maps are named "luks-UUID"); true when any.
bool hide_uuids_in(std::string& text, const std::vector<std::string>& uuids) {
    bool hid = false;
    for (const std::string& uuid : uuids) {
        hid |= hide_matches(text, [&uuid](std::string_view t, std::size_t from) {
            const std::size_t at = t.find(uuid, from);
            return at == std::string_view::npos ? std::optional<TextMatch>()
                                                : std::optional<TextMatch>({at, at + uuid.size()});
        });
    }
    return hid;
}

// Labels, UUIDs and paths of the block devices, mounts, swap and loop devices.
void hide_storage(SystemSnapshot& s, HiddenCounts& counts) {
    std::vector<std::string> names;
    std::vector<std::string> uuids;  // long enough not to match by chance
    const auto collect = [&](const BlockContent& c) {
        for (const std::string* v : {&c.label, &c.uuid}) {
            if (!v->empty())
                names.push_back(*v);
        }
        if (c.uuid.size() >= 8)
            uuids.push_back(c.uuid);
    };
    for (const DiskInfo& d : s.disks) {
        collect(d.content);
        for (const PartitionInfo& p : d.partitions) {
            collect(p.content);
            if (p.part_uuid.size() >= 8)
                uuids.push_back(p.part_uuid);
        }
    }
    for (const MappedDevice& m : s.device_mapper)
        collect(m.content);
    for (const RaidArray& r : s.arrays)
        collect(r.content);
    for (const LoopDevice& l : s.loop_devices)
        collect(l.content);

    for (DiskInfo& d : s.disks) {
        hide_content(d.content, counts, names);
        for (PartitionInfo& p : d.partitions) {
            hide_content(p.content, counts, names);
            hide(p.part_uuid, HiddenKind::Uuid, counts);
            // A GPT name is chosen like a label, and is often the same text.
            hide(p.part_name, HiddenKind::Label, counts);
        }
    }
    for (MappedDevice& m : s.device_mapper) {
        hide_content(m.content, counts, names);
        hide(m.uuid, HiddenKind::Uuid, counts);
        if (hide_uuids_in(m.name, uuids))
            ++counts[HiddenKind::Uuid];
    }
    for (RaidArray& r : s.arrays)
        hide_content(r.content, counts, names);
    for (LoopDevice& l : s.loop_devices) {
        hide_content(l.content, counts, names);
        hide(l.backing_file, HiddenKind::BackingFile, counts);
    }
    std::vector<std::string> users;
    for (Volume& v : s.volumes) {
        if (hide_uuids_in(v.source, uuids))
            ++counts[HiddenKind::Uuid];
        if (hide_in_path(v.mount_point, names, users))
            ++counts[HiddenKind::UserName];
    }
    for (SwapArea& a : s.swap) {
        if (hide_uuids_in(a.device, uuids))
            ++counts[HiddenKind::Uuid];
        if (hide_in_path(a.device, names, users))
            ++counts[HiddenKind::UserName];
    }
    // A user's name found in a folder is hidden where a source names it too
    // ("pat@build:/home/pat").
    for (Volume& v : s.volumes) {
        bool hid = false;
        for (const std::string& user : users) {
            hid |= hide_matches(v.source, [&user](std::string_view t, std::size_t from) {
                return find_word(t, user, from);
            });
        }
        if (hid)
            ++counts[HiddenKind::UserName];
    }
}

struct KindName {
    const char* one;
    const char* many;
};

constexpr KindName kind_names[hidden_kinds] = {
    {"host name", "host names"},
    {"serial", "serials"},
    {"UUID", "UUIDs"},
    {"machine ID", "machine IDs"},
    {"asset tag", "asset tags"},
    {"MAC", "MACs"},
    {"interface name", "interface names"},
    {"IP address", "IP addresses"},
    {"name holding the host name", "names holding the host name"},
    {"label", "labels"},
    {"user name", "user names"},
    {"backing file", "backing files"},
};

}  // namespace

std::uint32_t HiddenCounts::total() const {
    std::uint32_t sum = 0;
    for (const std::uint32_t n : by_kind)
        sum += n;
    return sum;
}

std::string hide_embedded_mac(std::string_view name, std::string_view mac) {
    std::string out(name);
    if (const auto digits = mac_digits(mac)) {
        hide_matches(out, [&digits](std::string_view t, std::size_t from) {
            return find_mac_digits(t, *digits, from);
        });
    }
    // A name from the permanent address stays when the address itself is changed.
    if (const auto match = mac_name_digits(out))
        out.replace(match->start, match->end - match->start, hidden_text);
    return out;
}

SanitizedSnapshot sanitize_snapshot(SystemSnapshot s) {
    HiddenCounts counts;
    // The host name is looked for in the other texts before it is replaced. A report read back
    // from a sanitized document has it hidden already.
    const std::string host =
        s.hostname == "Unknown" || s.hostname == hidden_text ? std::string() : s.hostname;
    if (!host.empty())
        hide(s.hostname, HiddenKind::HostName, counts);
    for (std::string* serial : {&s.ids.system_serial, &s.ids.board_serial, &s.ids.chassis_serial})
        hide(*serial, HiddenKind::Serial, counts);
    for (BatteryInfo& b : s.batteries)
        hide(b.serial, HiddenKind::Serial, counts);
    hide(s.ids.system_uuid, HiddenKind::Uuid, counts);
    hide(s.ids.machine_id, HiddenKind::MachineId, counts);
    hide(s.ids.board_asset_tag, HiddenKind::AssetTag, counts);
    hide(s.ids.chassis_asset_tag, HiddenKind::AssetTag, counts);
    for (MemoryModule& m : s.memory_modules) {
        hide(m.serial, HiddenKind::Serial, counts);
        hide(m.asset_tag, HiddenKind::AssetTag, counts);
    }
    for (DisplayInfo& d : s.displays)
        hide(d.serial, HiddenKind::Serial, counts);
    for (DiskInfo& d : s.disks)
        hide(d.serial, HiddenKind::Serial, counts);
    hide_storage(s, counts);

    std::vector<std::string> macs;
    for (const NetAdapter& a : s.net_adapters) {
        if (auto digits = mac_digits(a.mac))
            macs.push_back(std::move(*digits));
    }
    for (NetAdapter& a : s.net_adapters) {
        // Without a name in pci.ids, a USB adapter's name is its interface's: "enx<MAC>".
        for (std::string* name : {&a.name, &a.interface}) {
            std::string hidden = hide_embedded_mac(*name, a.mac);
            const bool from_mac = hidden != *name;
            *name = std::move(hidden);
            const auto kind = hide_inside(*name, host, macs);
            if (from_mac || kind)
                ++counts[from_mac ? HiddenKind::InterfaceName : *kind];
        }
        hide(a.mac, HiddenKind::Mac, counts);
        // Link-local IPv6 addresses, which the text never shows, go altogether: as "<hidden>"
        // they could no longer be told apart from the others.
        std::erase_if(a.addresses, [&counts](const NetAddress& address) {
            const bool link_local = address.ipv6 && is_link_local_ipv6(address.address);
            if (link_local)
                ++counts[HiddenKind::IpAddress];
            return link_local;
        });
        for (NetAddress& address : a.addresses) {
            hide(address.address, HiddenKind::IpAddress, counts);
            address.prefix_length = 0;  // "<hidden>" alone in the text, null in the JSON
        }
    }
    for_each_machine_text(s, [&](std::string& text) {
        if (const auto kind = hide_inside(text, host, macs))
            ++counts[*kind];
    });
    return {std::move(s), counts};
}

std::string hidden_summary(const HiddenCounts& counts) {
    const std::uint32_t total = counts.total();
    if (total == 0)
        return "hid no values";
    std::string text = "hid " + std::to_string(total) + (total == 1 ? " value: " : " values: ");
    bool first = true;
    for (std::size_t k = 0; k < hidden_kinds; ++k) {
        const std::uint32_t n = counts.by_kind[k];
        if (n == 0)
            continue;
        text += first ? "" : ", ";
        text += n == 1 ? kind_names[k].one : std::to_string(n) + " " + kind_names[k].many;
        first = false;
    }
    return text;
}

}  // namespace nadrel
