// Two documents walked side by side. What is known about their keys sits in the tables at the
// top (which keys to skip, what to call them, how the devices of each list are matched and
// named); everything else, the keys of a newer version included, is compared as a plain value.
#include "core/compare.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "core/json_document.h"
#include "core/report/format.h"
#include "core/sanitize.h"
#include "core/text/clean_text.h"
#include "core/text/fmt.h"

namespace nadrel {

namespace {

using json::Json;

// Keys are named by pattern: the path from the top, "[]" for any item of a list
// ("memory.modules[].speed_mts").

// Values that always change, compared with --detail only: these keys wherever they are, and
// these patterns.
constexpr std::string_view volatile_names[] = {
    "current_mhz",
    "uptime_seconds",
    "load_average",
    "temperature_c",
    "charge_percent",
    "energy_now_mwh",
    "power_mw",
    "time_to_empty_seconds",
    "time_to_full_seconds",
    "used_bytes",
    "available_bytes",
    "swap_used_bytes",
    "addresses",
    "low_power",
};
constexpr std::string_view volatile_keys[] = {
    "generated",
    "ac_online",
    "sensors[].value",
    "batteries[].status",
    "device_batteries[].status",
    "device_batteries[].level",
    // An idle device lowers its link speed to save power.
    "pci_devices[].link.speed_gts",
};

// Keys written from others beside them, which are compared instead.
constexpr std::string_view derived_keys[] = {
    "schema_version",
    "sanitized",
    "cpu.codename",
    "cpu.process",
    "cpu.cache_totals",
    "memory.modules[].soldered",
    "gpus[].link_gts",
    "gpus[].link_width",
    "disks[].link_gts",
    "disks[].link_width",
    "disks[].link_mbps",
    "battery.full_mwh",  // as its wear_percent
    "batteries[].full_mwh",
    "attention",  // findings, from the values compared themselves
    "cpu.vulnerabilities[].vulnerable",
    "system.kernel_taint.value",  // as its letters
    "sensors[].unit",
    "usb[].below_capability",
    "audio.controllers",  // the audio functions of pci_devices
    "pci_devices[].name",
    "pci_devices[].link.below_capability",
};

// What a key or section is called in a line. Values of a section of its own (not of a device
// in a list) are named in full; a key without a name here is named by its own words.
constexpr std::pair<std::string_view, std::string_view> names[] = {
    {"system", "System"},
    {"cpu", "CPU"},
    {"memory", "Memory"},
    {"gpus", "GPU"},
    {"displays", "Display"},
    {"disks", "Storage"},
    {"optical_drives", "Optical drive"},
    {"network", "Network"},
    {"board", "Motherboard"},
    {"battery", "Battery"},
    {"audio", "Audio"},
    {"audio.cards", "Audio device"},
    {"audio.endpoints", "Audio endpoint"},
    {"bluetooth", "Bluetooth"},
    {"usb", "USB"},
    {"cpu.features", "CPU feature"},
    {"cpu.caches", "CPU cache"},
    {"memory.modules", "Memory"},
    {"board.slots", "Slot"},
    {"board.ports", "Port"},
    {"system.hostname", "Host name"},
    {"system.os", "Operating system"},
    {"system.kernel", "Kernel"},
    {"system.os_installed", "OS installed"},
    {"system.machine_id", "Machine ID"},
    {"system.vendor", "System vendor"},
    {"system.product", "System"},
    {"system.sku", "Product SKU"},
    {"system.serial", "System serial"},
    {"system.uuid", "System UUID"},
    {"system.chassis.type", "Chassis"},
    {"system.chassis.serial", "Chassis serial"},
    {"system.chassis.asset_tag", "Chassis asset tag"},
    {"system.tpm", "TPM"},
    {"system.secure_boot", "Secure Boot"},
    {"system.virtual_machine", "Virtual machine"},
    {"cpu.base_mhz", "CPU base clock"},
    {"cpu.max_mhz", "CPU boost clock"},
    {"cpu.current_mhz", "CPU clock"},
    {"cpu.performance_cores", "CPU performance cores"},
    {"cpu.efficiency_cores", "CPU efficiency cores"},
    {"cpu.socket", "CPU socket"},
    {"memory.installed_bytes", "Memory installed"},
    {"memory.available_bytes", "Memory available to OS"},
    {"memory.max_capacity_bytes", "Memory max supported"},
    {"memory.error_correction", "Memory error correction"},
    {"memory.modules[].speed_mts", "base speed"},
    {"memory.modules[].configured_speed_mts", "current speed"},
    {"memory.modules[].configured_voltage_mv", "voltage"},
    {"memory.modules[].part_number", "part"},
    {"gpus[].pcie_link", "link"},
    {"gpus[].vram_bytes", "VRAM"},
    {"gpus[].vbios_version", "VBIOS"},
    {"displays[].refresh_hz", "max refresh"},
    {"disks[].size_bytes", "capacity"},
    {"network[].connected", "connected"},
    {"network[].speed_mbps", "link speed"},
    {"network[].mac", "MAC"},
    {"board.name", "Board"},
    {"board.vendor", "Board vendor"},
    {"board.version", "Board version"},
    {"board.serial", "Board serial"},
    {"board.asset_tag", "Board asset tag"},
    {"board.bios.version", "BIOS"},
    {"board.bios.vendor", "BIOS vendor"},
    {"board.bios.date", "BIOS date"},
    {"board.bios.rom_size_bytes", "BIOS ROM"},
    {"board.smbios_version", "SMBIOS"},
    {"board.usb_ports", "USB ports"},
    {"battery.wear_percent", "Battery wear"},
    {"battery.design_mwh", "Battery design capacity"},
    {"battery.cycle_count", "Battery cycle count"},
    {"system.hypervisor", "Hypervisor"},
    {"system.boot_mode", "Boot mode"},
    {"system.kernel_taint.flags", "Kernel taint"},
    {"cpu.min_mhz", "CPU minimum clock"},
    {"cpu.scaling_driver", "CPU scaling driver"},
    {"cpu.governor", "CPU governor"},
    {"cpu.microcode", "CPU microcode"},
    {"cpu.vulnerabilities", "CPU vulnerability"},
    {"memory.swap_total_bytes", "Swap"},
    {"memory.used_bytes", "Memory in use"},
    {"memory.swap_used_bytes", "Swap in use"},
    {"system.uptime_seconds", "Uptime"},
    {"system.load_average", "Load average"},
    {"disks[].temperature_c", "temperature"},
    {"disks[].partitions[].size_bytes", "size"},
    {"volumes[].size_bytes", "size"},
    {"volumes[].used_bytes", "used"},
    {"volumes[].available_bytes", "available"},
    {"batteries[].charge_percent", "charge"},
    {"memory.edac", "Memory errors"},
    {"memory.modules[].corrected_errors", "corrected errors"},
    {"memory.modules[].uncorrected_errors", "uncorrected errors"},
    {"volumes", "Volume"},
    {"arrays", "Array"},
    {"device_mapper", "Mapped device"},
    {"swap", "Swap"},
    {"loop_devices", "Loop device"},
    {"batteries", "Battery"},
    {"batteries[].wear_percent", "wear"},
    {"batteries[].design_mwh", "design capacity"},
    {"batteries[].cycle_count", "cycle count"},
    {"device_batteries", "Device battery"},
    {"sensors", "Sensor"},
    {"sensors[].value", "reading"},
    {"pci_devices", "PCI device"},
    {"usb[].interfaces", "USB interface"},
};

std::optional<std::string_view> name_of(std::string_view pattern) {
    for (const auto& [key, name] : names) {
        if (key == pattern)
            return name;
    }
    return std::nullopt;
}

// "configured_speed_mts" -> "configured speed mts": a key without a name, in words.
std::string words(std::string_view key) {
    std::string out(key);
    for (char& c : out) {
        if (c == '_' || c == '.')
            c = ' ';
    }
    return out;
}

std::string str(const Json& item, std::string_view key) {
    const auto at = item.find(key);
    if (at == item.end() || !at->is_string())
        return {};
    return at->get<std::string>();
}

std::uint64_t num(const Json& item, std::string_view key) {
    const auto at = item.find(key);
    return at != item.end() && at->is_number_unsigned() ? at->get<std::uint64_t>() : 0;
}

std::string join_words(std::initializer_list<std::string> parts, std::string_view separator) {
    return join(std::vector<std::string>(parts), separator);
}

std::string size_text(const Json& item, std::string_view key) {
    const std::uint64_t bytes = num(item, key);
    return bytes == 0 ? std::string() : format_size(bytes);
}

// How the devices of one list are matched, named and described.
struct ListSpec {
    std::string_view pattern;                // the list ("memory.modules")
    std::string_view prefix;                 // before the subject in a change line ("Disk")
    std::vector<std::string_view> identity;  // keys that say which device it is
    std::vector<std::string_view> fallback;  // when every identity key is null (sanitized)
    std::string_view place;  // a key whose equal values make a removal and an addition one
                             // replacement ("nvme0n1 replaced"); empty for none
    std::string (*subject)(const Json& item, std::size_t index, const Json& list);
    std::string (*describe)(const Json& item);  // the words in parentheses after added/removed
    std::string (*model)(const Json& item);     // what a replacement replaced
};

std::string module_subject(const Json& m, std::size_t, const Json& list) {
    const std::string locator = str(m, "locator");
    std::size_t same = 0;
    for (const Json& other : list)
        same += str(other, "locator") == locator ? 1u : 0u;
    const std::string bank = str(m, "bank_locator");
    if (locator.empty())
        return bank.empty() ? "DIMM" : bank;
    return same > 1 && !bank.empty() ? bank + " / " + locator : locator;
}

std::vector<ListSpec> list_specs() {
    return {
        {"memory.modules",
         "Memory",
         {"bank_locator", "locator"},
         {},
         {},
         module_subject,
         [](const Json& m) {
             const std::uint64_t speed = num(m, "speed_mts");
             return join_words({join_words({size_text(m, "size_bytes"), str(m, "type"),
                                            speed == 0 ? "" : std::to_string(speed)},
                                           " "),
                                join_words({str(m, "manufacturer"), str(m, "part_number")}, " ")},
                               ", ");
         },
         [](const Json& m) {
             return join_words({str(m, "manufacturer"), str(m, "part_number")}, " ");
         }},
        {"cpu.caches",
         "CPU cache",
         {"level", "type"},
         {},
         {},
         [](const Json& c, std::size_t, const Json&) {
             return "L" + std::to_string(num(c, "level")) + " " + str(c, "type");
         },
         [](const Json& c) { return size_text(c, "size_bytes"); },
         [](const Json& c) { return size_text(c, "size_bytes"); }},
        {"gpus",
         "",
         {"pci_address", "vendor_id", "device_id", "subsystem_vendor_id", "subsystem_device_id"},
         {},
         "pci_address",
         [](const Json&, std::size_t index, const Json&) {
             return "GPU " + std::to_string(index + 1);
         },
         [](const Json& g) {
             return join_words({str(g, "name"), str(g, "pcie_link")}, ", ");
         },
         [](const Json& g) { return str(g, "name"); }},
        {"displays",
         "Display",
         {"connector", "name", "serial"},
         {},
         "connector",
         [](const Json& d, std::size_t index, const Json&) {
             const std::string name = str(d, "name");
             return name.empty() ? std::to_string(index + 1) : name;
         },
         [](const Json& d) {
             const std::uint64_t w = num(d, "width");
             const std::uint64_t h = num(d, "height");
             const std::uint64_t inches = num(d, "diagonal_inches");
             return join_words(
                 {w != 0 && h != 0 ? strfmt("%llux%llu", static_cast<unsigned long long>(w),
                                            static_cast<unsigned long long>(h))
                                   : "",
                  inches != 0 ? std::to_string(inches) + "\"" : ""},
                 ", ");
         },
         [](const Json& d) { return str(d, "name"); }},
        {"disks",
         "Disk",
         {"serial", "wwn"},
         {"model", "size_bytes", "bus"},
         "name",
         [](const Json& d, std::size_t, const Json&) { return str(d, "name"); },
         [](const Json& d) {
             return join_words({str(d, "model"), size_text(d, "size_bytes"), str(d, "bus")}, ", ");
         },
         [](const Json& d) {
             const std::string model = str(d, "model");
             return model.empty() ? std::string("Unknown drive") : model;
         }},
        {"network",
         "Network",
         {"mac"},
         {"interface"},
         "interface",
         [](const Json& a, std::size_t, const Json&) {
             const std::string interface = str(a, "interface");
             return interface.empty() ? str(a, "name") : interface;
         },
         [](const Json& a) {
             return join_words({str(a, "name"), str(a, "kind")}, ", ");
         },
         [](const Json& a) { return str(a, "name"); }},
        {"board.slots",
         "Slot",
         {"designation"},
         {},
         {},
         [](const Json& s, std::size_t index, const Json&) {
             const std::string designation = str(s, "designation");
             return designation.empty() ? std::to_string(index + 1) : designation;
         },
         [](const Json& s) {
             return join_words({str(s, "type"), str(s, "width"), str(s, "usage")}, " ");
         },
         [](const Json& s) { return str(s, "type"); }},
        {"board.ports",
         "Port",
         {"designator", "type"},
         {},
         {},
         [](const Json& p, std::size_t, const Json&) {
             const std::string designator = str(p, "designator");
             return designator.empty() ? str(p, "type") : designator;
         },
         [](const Json& p) { return str(p, "type"); },
         [](const Json& p) { return str(p, "type"); }},
        {"cpu.vulnerabilities",
         "CPU vulnerability",
         {"name"},
         {},
         {},
         [](const Json& v, std::size_t, const Json&) { return str(v, "name"); },
         [](const Json& v) { return str(v, "status"); },
         [](const Json& v) { return str(v, "status"); }},
        {"memory.edac",
         "Memory errors",
         {"controller", "label"},
         {},
         {},
         [](const Json& e, std::size_t, const Json&) {
             return join_words({str(e, "controller"), str(e, "label")}, " ");
         },
         [](const Json& e) {
             return std::to_string(num(e, "corrected_errors")) + " corrected, " +
                    std::to_string(num(e, "uncorrected_errors")) + " uncorrected";
         },
         [](const Json& e) { return str(e, "label"); }},
        {"disks[].partitions",
         "partition",
         {"name"},
         {},
         {},
         [](const Json& p, std::size_t, const Json&) { return str(p, "name"); },
         [](const Json& p) {
             return join_words({size_text(p, "size_bytes"), str(p, "filesystem")}, ", ");
         },
         [](const Json& p) { return str(p, "filesystem"); }},
        {"volumes",
         "Volume",
         {"mount_point"},
         {},
         {},
         [](const Json& v, std::size_t, const Json&) { return str(v, "mount_point"); },
         [](const Json& v) {
             return join_words({str(v, "filesystem"), str(v, "source")}, ", ");
         },
         [](const Json& v) { return str(v, "source"); }},
        {"arrays",
         "Array",
         {"name"},
         {},
         {},
         [](const Json& a, std::size_t, const Json&) { return str(a, "name"); },
         [](const Json& a) {
             return join_words({str(a, "level"), size_text(a, "size_bytes")}, ", ");
         },
         [](const Json& a) { return str(a, "level"); }},
        {"device_mapper",
         "Mapped device",
         {"name"},
         {"device"},
         {},
         [](const Json& m, std::size_t, const Json&) {
             const std::string name = str(m, "name");
             return name.empty() ? str(m, "device") : name;
         },
         [](const Json& m) {
             return join_words({str(m, "kind"), size_text(m, "size_bytes")}, ", ");
         },
         [](const Json& m) { return str(m, "kind"); }},
        {"swap",
         "Swap",
         {"device"},
         {},
         {},
         [](const Json& a, std::size_t, const Json&) { return str(a, "device"); },
         [](const Json& a) {
             return join_words({str(a, "kind"), size_text(a, "size_bytes")}, ", ");
         },
         [](const Json& a) { return str(a, "kind"); }},
        {"loop_devices",
         "Loop device",
         {"backing_file"},
         {"name"},
         {},
         [](const Json& l, std::size_t, const Json&) { return str(l, "name"); },
         [](const Json& l) {
             return join_words({str(l, "backing_file"), size_text(l, "size_bytes")}, ", ");
         },
         [](const Json& l) { return str(l, "backing_file"); }},
        {"batteries",
         "Battery",
         {"name"},
         {},
         {},
         [](const Json& b, std::size_t, const Json&) { return str(b, "name"); },
         [](const Json& b) {
             return join_words({str(b, "model"), str(b, "manufacturer"), str(b, "technology")},
                               ", ");
         },
         [](const Json& b) { return str(b, "model"); }},
        {"device_batteries",
         "Device battery",
         {"model", "manufacturer"},
         {},
         {},
         [](const Json& d, std::size_t, const Json&) {
             return join_words({str(d, "manufacturer"), str(d, "model")}, " ");
         },
         [](const Json&) { return std::string(); },
         [](const Json& d) { return str(d, "model"); }},
        // The hwmon number is not written: it changes across boots.
        {"sensors",
         "Sensor",
         {"chip", "device", "label"},
         {},
         {},
         [](const Json& t, std::size_t, const Json&) {
             return join_words({str(t, "chip"), str(t, "label")}, " ");
         },
         [](const Json& t) {
             return join_words({str(t, "kind"), str(t, "device")}, ", ");
         },
         [](const Json& t) { return str(t, "kind"); }},
        {"pci_devices",
         "PCI",
         {"address", "vendor_id", "device_id"},
         {},
         "address",
         [](const Json& d, std::size_t, const Json&) { return str(d, "address"); },
         [](const Json& d) {
             return join_words({str(d, "vendor"), str(d, "device_name"), str(d, "driver")}, ", ");
         },
         [](const Json& d) {
             const std::string name = join_words({str(d, "vendor"), str(d, "device_name")}, " ");
             return name.empty() ? str(d, "vendor_id") + ":" + str(d, "device_id") : name;
         }},
        {"gpus[].connectors",
         "connector",
         {"name"},
         {},
         {},
         [](const Json& c, std::size_t, const Json&) { return str(c, "name"); },
         [](const Json&) { return std::string(); },
         [](const Json& c) { return str(c, "name"); }},
        {"usb",
         "USB",
         {"port_path", "vendor_id", "product_id"},
         {},
         "port_path",
         [](const Json& u, std::size_t, const Json&) {
             const std::string name = str(u, "name");
             return name.empty() ? str(u, "vendor_id") + ":" + str(u, "product_id") : name;
         },
         [](const Json& u) { return str(u, "vendor_id") + ":" + str(u, "product_id"); },
         [](const Json& u) { return str(u, "name"); }},
    };
}

// A section that is one device: replaced as a whole when what identifies it differs.
struct ObjectSpec {
    std::string_view pattern;
    std::vector<std::string_view> identity;
    std::string_view model;  // the key that names it in "CPU replaced: A → B"
};

std::vector<ObjectSpec> object_specs() {
    return {{"cpu", {"vendor", "model"}, "model"}};
}

// A value as a line shows it: in the unit its key names, null as "unknown".
std::string show(std::string_view key, const Json& value) {
    if (value.is_null())
        return "unknown";
    if (value.is_boolean())
        return value.get<bool>() ? "yes" : "no";
    if (value.is_string())
        return clean_text(value.get<std::string>());
    if (value.is_number_unsigned()) {
        const std::uint64_t n = value.get<std::uint64_t>();
        const auto unit = [key](std::string_view suffix) { return key.ends_with(suffix); };
        if (unit("_bytes"))
            return format_size(n);
        if (unit("_mbps"))
            return format_speed(static_cast<std::uint32_t>(n));
        if (unit("_mhz"))
            return std::to_string(n) + "MHz";
        if (unit("_mts"))
            return std::to_string(n) + "MT/s";
        if (unit("_hz"))
            return std::to_string(n) + "Hz";
        if (unit("_mv"))
            return strfmt("%.2fV", static_cast<double>(n) / 1000.0);
        if (unit("_mwh"))
            return strfmt("%.1fWh", static_cast<double>(n) / 1000.0);
        if (unit("_mm"))
            return std::to_string(n) + " mm";
        if (unit("_percent"))
            return std::to_string(n) + "%";
        return std::to_string(n);
    }
    if (value.is_number() && key.ends_with("_percent"))
        return strfmt("%.1f%%", value.get<double>());
    // A group that appeared or went as a whole (a value that was unknown): its parts in words.
    if (value.is_array() || value.is_object()) {
        std::string out;
        for (const auto& [part, item] : value.items()) {
            out += out.empty() ? "" : value.is_array() ? ", " : "; ";
            out += value.is_array() ? show(key, item) : part + ": " + show(part, item);
        }
        return out.empty() ? "none" : out;
    }
    return clean_text(value.dump(-1, ' ', false, Json::error_handler_t::replace));
}

// What a device without a description of its own is: its first few values.
std::string describe_any(const Json& item) {
    if (!item.is_object())
        return show("", item);
    std::vector<std::string> parts;
    for (const auto& [key, value] : item.items()) {
        if (parts.size() < 3 && (value.is_string() || value.is_number()))
            parts.push_back(show(key, value));
    }
    return join(parts, ", ");
}

struct Change {
    std::string section;
    std::optional<std::string> subject;
    std::string_view change;  // "added", "removed" or "changed"
    std::optional<std::string> key;
    Json old_value;
    Json new_value;
    std::string line;
};

// Where a value sits: its section, and the device it belongs to (none for the section's own
// values).
struct Place {
    std::string section;
    std::optional<std::string> subject;
    std::string title;  // the device in a line ("Disk nvme0n1", "GPU 1")
};

class Differ {
public:
    explicit Differ(bool detail)
        : detail_(detail), lists_(list_specs()), objects_(object_specs()) {}

    void documents(const Json& a, const Json& b) {
        // The first pack's own object repeats batteries[0] where both documents list them all.
        const bool packs = a.contains("batteries") && b.contains("batteries");
        for (const std::string& key : union_keys(a, b)) {
            if (packs && key == "battery")
                continue;
            if (a.contains(key) && b.contains(key))
                walk({key, std::nullopt, {}}, key, {}, a[key], b[key]);
        }
    }

    std::vector<Change> changes;

private:
    static std::vector<std::string> union_keys(const Json& a, const Json& b) {
        std::vector<std::string> keys;
        for (const auto& [key, value] : a.items())
            keys.push_back(key);
        for (const auto& [key, value] : b.items()) {
            if (!a.contains(key))
                keys.push_back(key);
        }
        return keys;
    }

    bool skipped(std::string_view pattern) const {
        for (const std::string_view key : derived_keys) {
            if (key == pattern)
                return true;
        }
        const std::string_view leaf = pattern.substr(pattern.rfind('.') + 1);
        for (const std::string_view key : volatile_keys) {
            if (key == pattern)
                return !detail_;
        }
        for (const std::string_view name : volatile_names) {
            if (name == leaf)
                return !detail_;
        }
        return false;
    }

    std::string section_name(const std::string& section) const {
        return std::string(name_of(section).value_or(section));
    }

    // Keys of a newer document, like its values, may hold anything: the line is cleaned whole.
    void add(const Place& at, std::string_view change, std::optional<std::string> key,
             const Json& a, const Json& b, std::string_view line) {
        changes.push_back({at.section, at.subject, change, std::move(key), a, b, clean_text(line)});
    }

    // A value changed: "GPU 1 link: PCIe 4.0 x16 → PCIe 4.0 x8", "BIOS: 1.20 → 1.40".
    void changed(const Place& at, const std::string& pattern, const std::string& rel, const Json& a,
                 const Json& b) {
        const std::string_view key = std::string_view(rel).substr(rel.rfind('.') + 1);
        std::string head;
        if (at.subject) {
            head = at.title + " " + std::string(name_of(pattern).value_or(words(rel)));
        } else {
            const auto name = name_of(pattern);
            head = name ? std::string(*name) : section_name(at.section) + " " + words(rel);
        }
        add(at, "changed", rel, a, b, head + ": " + show(key, a) + " → " + show(key, b));
    }

    void walk(const Place& at, const std::string& pattern, const std::string& rel, const Json& a,
              const Json& b) {
        if (skipped(pattern) || a == b)
            return;
        if (a.is_object() && b.is_object()) {
            if (replaced_object(at, pattern, a, b))
                return;
            for (const std::string& key : union_keys(a, b)) {
                // A key one of them lacks is a key of another version: nothing to compare.
                if (a.contains(key) && b.contains(key))
                    walk(at, pattern + "." + key, rel.empty() ? key : rel + "." + key, a[key],
                         b[key]);
            }
            return;
        }
        if (a.is_array() && b.is_array()) {
            list(at, pattern, a, b);
            return;
        }
        // A section that is there in one and null in the other (a battery): added or removed.
        if (!at.subject && rel.empty() && (a.is_object() || b.is_object())) {
            const bool added = a.is_null();
            const std::string description = describe_any(added ? b : a);
            add(at, added ? "added" : "removed", std::nullopt, a, b,
                section_name(at.section) + ": " + (added ? "added" : "removed") +
                    (description.empty() ? "" : " (" + description + ")"));
            return;
        }
        changed(at, pattern, rel, a, b);
    }

    bool replaced_object(const Place& at, const std::string& pattern, const Json& a,
                         const Json& b) {
        for (const ObjectSpec& spec : objects_) {
            if (spec.pattern != pattern)
                continue;
            for (const std::string_view key : spec.identity) {
                const Json& x = a.contains(key) ? a[std::string(key)] : Json();
                const Json& y = b.contains(key) ? b[std::string(key)] : Json();
                if (x != y) {
                    add(at, "changed", std::nullopt, a, b,
                        section_name(pattern) +
                            " replaced: " + show("", a.value(spec.model, Json())) + " → " +
                            show("", b.value(spec.model, Json())));
                    return true;
                }
            }
        }
        return false;
    }

    const ListSpec* spec_of(std::string_view pattern) const {
        for (const ListSpec& spec : lists_) {
            if (spec.pattern == pattern)
                return &spec;
        }
        return nullptr;
    }

    // The identity of an item as text; nothing when every key of keys is null or missing.
    static std::optional<std::string> identity(const Json& item,
                                               const std::vector<std::string_view>& keys) {
        Json values = Json::array();
        bool any = false;
        for (const std::string_view key : keys) {
            const Json value = item.is_object() ? item.value(key, Json()) : Json();
            any = any || !value.is_null();
            values.push_back(value);
        }
        if (!any)
            return std::nullopt;
        return values.dump(-1, ' ', false, Json::error_handler_t::replace);
    }

    // Pairs old and new items whose key (by) is equal, in order among equals.
    template <typename By>
    static void pair(const Json& a, const Json& b, std::vector<std::optional<std::size_t>>& match,
                     std::vector<bool>& taken, By by) {
        std::map<std::string, std::vector<std::size_t>> waiting;
        for (std::size_t i = a.size(); i-- > 0;) {
            if (!taken[i]) {
                if (auto id = by(a[i]))
                    waiting[*id].push_back(i);
            }
        }
        for (std::size_t j = 0; j < b.size(); ++j) {
            if (match[j])
                continue;
            const auto id = by(b[j]);
            if (!id)
                continue;
            auto found = waiting.find(*id);
            if (found == waiting.end() || found->second.empty())
                continue;
            match[j] = found->second.back();
            taken[*match[j]] = true;
            found->second.pop_back();
        }
    }

    void list(const Place& at, const std::string& pattern, const Json& a, const Json& b) {
        const ListSpec* spec = spec_of(pattern);
        std::vector<std::optional<std::size_t>> match(b.size());
        std::vector<bool> taken(a.size(), false);
        if (spec != nullptr) {
            const auto& keys = spec->identity;
            const auto& fallback = spec->fallback;
            pair(a, b, match, taken, [&keys](const Json& item) { return identity(item, keys); });
            pair(a, b, match, taken, [&](const Json& item) -> std::optional<std::string> {
                if (fallback.empty() || identity(item, keys))
                    return std::nullopt;
                return identity(item, fallback);
            });
            // Sanitized on one side only cannot happen (both are sanitized then); a device whose
            // identity is readable on one side only (root then, not now) still finds itself.
            pair(a, b, match, taken, [&fallback](const Json& item) {
                return fallback.empty() ? std::nullopt : identity(item, fallback);
            });
        } else {
            // A list this version does not describe: equal items are the same item.
            pair(a, b, match, taken, [](const Json& item) {
                return std::optional(item.dump(-1, ' ', false, Json::error_handler_t::replace));
            });
        }
        // A list inside a device is named within it ("Disk sda partition sda3", "Disk sda
        // mount points").
        const bool nested = at.subject.has_value();
        const std::string label =
            nested ? at.title + " " + words(pattern.substr(pattern.rfind('.') + 1))
                   : section_name(pattern);
        const std::string item_pattern = pattern + "[]";
        const auto place = [&](const Json& item, std::size_t index, const Json& items) {
            if (spec == nullptr)
                return at;
            std::string subject = clean_text(spec->subject(item, index, items));
            std::string title =
                spec->prefix.empty() ? subject : std::string(spec->prefix) + " " + subject;
            if (nested) {
                subject = *at.subject + " " + title;
                title = at.title + " " + title;
            }
            return Place{at.section, std::move(subject), title};
        };
        const auto description = [spec](const Json& item) {
            const std::string text = spec != nullptr ? spec->describe(item) : describe_any(item);
            return text.empty() ? std::string() : " (" + clean_text(text) + ")";
        };
        const auto whole = [&](const Json& item, std::size_t index, const Json& items, bool added) {
            const Place p = place(item, index, items);
            const std::string name = spec != nullptr ? *p.subject : describe_any(item);
            Place where = p;
            if (spec == nullptr && !nested)
                where.subject = item.is_string() ? item.get<std::string>() : name;
            const std::string head = spec != nullptr && nested ? p.title : label + ": " + name;
            add(where, added ? "added" : "removed", std::nullopt, added ? Json() : item,
                added ? item : Json(),
                head + (added ? " added" : " removed") +
                    (spec != nullptr ? description(item) : ""));
        };

        // Same place, another device: one replacement rather than a removal and an addition.
        std::vector<std::optional<std::size_t>> replaces(b.size());
        if (spec != nullptr && !spec->place.empty()) {
            pair(a, b, replaces, taken, [spec](const Json& item) -> std::optional<std::string> {
                const Json value = item.is_object() ? item.value(spec->place, Json()) : Json();
                if (value.is_null())
                    return std::nullopt;
                return value.dump(-1, ' ', false, Json::error_handler_t::replace);
            });
        }
        for (std::size_t j = 0; j < b.size(); ++j) {
            if (match[j]) {
                walk(place(b[j], j, b), item_pattern, {}, a[*match[j]], b[j]);
            } else if (replaces[j]) {
                const Place p = place(b[j], j, b);
                add(p, "changed", std::nullopt, a[*replaces[j]], b[j],
                    p.title + " replaced: " + clean_text(spec->model(a[*replaces[j]])) + " → " +
                        clean_text(spec->model(b[j])));
            }
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (!taken[i])
                whole(a[i], i, a, false);
        }
        for (std::size_t j = 0; j < b.size(); ++j) {
            if (!match[j] && !replaces[j])
                whole(b[j], j, b, true);
        }
    }

    bool detail_;
    std::vector<ListSpec> lists_;
    std::vector<ObjectSpec> objects_;
};

// The document as sanitizing would have written it; keys this version does not know stay.
void keep_unknown(Json& target, const Json& original) {
    if (target.is_object() && original.is_object()) {
        for (const auto& [key, value] : original.items()) {
            const auto at = target.find(key);
            if (at == target.end())
                target[key] = value;
            else
                keep_unknown(*at, value);
        }
    } else if (target.is_array() && original.is_array() && target.size() == original.size()) {
        for (std::size_t i = 0; i < target.size(); ++i)
            keep_unknown(target[i], original[i]);
    }
}

Json sanitized(const json::ParsedReport& parsed) {
    const SanitizedSnapshot hidden = sanitize_snapshot(parsed.report.snapshot);
    Json doc = json::snapshot_document(hidden.snapshot, {parsed.report.generated, true});
    keep_unknown(doc, parsed.document);
    return doc;
}

Json header(const Json& doc) {
    const Json system = doc.value("system", Json::object());
    return {{"generated", doc.value("generated", Json())},
            {"hostname", system.is_object() ? system.value("hostname", Json()) : Json()}};
}

}  // namespace

Comparison compare_reports(std::string_view old_text, std::string_view new_text,
                           const CompareOptions& options) {
    Comparison result;
    auto older = json::parse_report(old_text, result.failure);
    auto newer = older ? json::parse_report(new_text, result.failure) : std::nullopt;
    if (!newer)
        return result;
    Json a = std::move(older->document);
    Json b = std::move(newer->document);
    const bool hide = options.sanitize || older->report.sanitized != newer->report.sanitized;
    if (hide && !older->report.sanitized)
        a = sanitized(*older);
    if (hide && !newer->report.sanitized)
        b = sanitized(*newer);

    Differ differ(options.detail);
    differ.documents(a, b);
    result.changes = differ.changes.size();
    if (options.json) {
        Json changes = Json::array();
        for (const Change& c : differ.changes) {
            changes.push_back({{"section", c.section},
                               {"subject", c.subject ? Json(*c.subject) : Json()},
                               {"change", c.change},
                               {"key", c.key ? Json(*c.key) : Json()},
                               {"old", c.old_value},
                               {"new", c.new_value}});
        }
        const Json doc = {{"old", header(a)}, {"new", header(b)}, {"changes", std::move(changes)}};
        result.output = doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
        return result;
    }
    for (const Change& c : differ.changes)
        result.output += c.line + "\n";
    return result;
}

}  // namespace nadrel
