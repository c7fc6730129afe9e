// Hardware monitors and thermal zones: one directory listing per chip, then one small read
// per attribute that exists (input, label and the chip's own limits).
#include "linux/collect/sensors.h"

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>

#include "core/sensors.h"
#include "core/text/fields.h"
#include "core/text/numbers.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

constexpr std::string_view hwmon_dir = "/sys/class/hwmon";
constexpr std::string_view thermal_dir = "/sys/class/thermal";
// A large server has a few dozen chips and a few hundred channels; a tree claiming more is cut
// before its files are read.
constexpr std::size_t max_chips = 256;
constexpr std::size_t max_channels = 1024;
constexpr std::size_t max_zones = 256;
constexpr std::size_t max_trip_points = 16;

struct Channel {
    SensorKind kind = SensorKind::Temperature;
    std::uint32_t number = 0;
    std::string base;   // "temp1"
    std::string input;  // "temp1_input", or "power1_average" for chips without an input
};

// "temp12_input" as a channel; "power1_average" too (some chips have no instant power).
std::optional<Channel> channel_of(std::string_view file) {
    const std::size_t underscore = file.find('_');
    if (underscore == std::string_view::npos)
        return std::nullopt;
    const std::string_view base = file.substr(0, underscore);
    const std::string_view suffix = file.substr(underscore + 1);
    const std::size_t digits = base.find_first_of("0123456789");
    if (digits == std::string_view::npos || digits == 0 || base.size() - digits > 6)
        return std::nullopt;
    const auto kind = sensor_kind_of(base.substr(0, digits));
    const auto number = parse_u64(base.substr(digits));
    if (!kind || !number || base.substr(digits).front() == '+')
        return std::nullopt;
    if (suffix != "input" && !(suffix == "average" && *kind == SensorKind::Power))
        return std::nullopt;
    return Channel{*kind, static_cast<std::uint32_t>(*number), std::string(base),
                   std::string(file)};
}

// The first limit channels of a chip: kind by kind, in number order (temp2 before temp10).
std::vector<Channel> chip_channels(const std::vector<std::string>& files, std::size_t limit) {
    std::vector<Channel> channels;
    for (const std::string& file : files) {
        if (auto channel = channel_of(file))
            channels.push_back(std::move(*channel));
    }
    const auto order = [](const Channel& a, const Channel& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        if (a.number != b.number)
            return a.number < b.number;
        return a.input > b.input;  // "power1_input" before "power1_average"
    };
    // A channel appears at most twice (an input and an average): twice the limit is enough.
    const std::size_t keep = std::min(channels.size(), 2 * limit);
    std::partial_sort(channels.begin(), channels.begin() + static_cast<std::ptrdiff_t>(keep),
                      channels.end(), order);
    channels.resize(keep);
    channels.erase(std::unique(channels.begin(), channels.end(),
                               [](const Channel& a, const Channel& b) { return a.base == b.base; }),
                   channels.end());
    if (channels.size() > limit)
        channels.resize(limit);
    return channels;
}

std::string last_component(std::string_view path) {
    return std::string(path.substr(path.rfind('/') + 1));
}

struct Chip {
    std::string name;
    std::string device;
    std::vector<Sensor> sensors;
};

// The fans that read 0 RPM: listed as stopped only when something says a fan is there: a
// minimum speed set for it, or control over it (pwmN_enable manual or automatic, fanN_enable).
void keep_real_fans(const SysRoot& root, const std::string& dir,
                    const std::unordered_set<std::string_view>& have, std::vector<Sensor>& sensors,
                    const std::vector<std::uint32_t>& numbers) {
    std::vector<std::string> names;
    std::vector<std::size_t> owner;
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        if (sensors[i].kind != SensorKind::Fan || sensors[i].value != 0.0 || sensors[i].min)
            continue;
        const std::string number = std::to_string(numbers[i]);
        for (std::string file : {"pwm" + number + "_enable", "fan" + number + "_enable"}) {
            if (have.contains(file)) {
                names.push_back(std::move(file));
                owner.push_back(i);
            }
        }
    }
    std::vector<bool> controlled(sensors.size(), false);
    const auto texts = read_texts_in(root, dir, names);
    for (std::size_t k = 0; k < names.size(); ++k) {
        const auto mode = texts[k] ? parse_u64(*texts[k]) : std::nullopt;
        if (mode && *mode >= 1)
            controlled[owner[k]] = true;
    }
    std::size_t i = 0;
    std::erase_if(sensors, [&](const Sensor& s) {
        const bool ghost = s.kind == SensorKind::Fan && s.value == 0.0 && !s.min && !controlled[i];
        ++i;
        return ghost;
    });
}

Chip read_chip(const SysRoot& root, const std::string& entry, std::size_t& budget) {
    const std::string dir = std::string(hwmon_dir) + "/" + entry;
    const std::vector<std::string> files = list_dir(root, dir);
    const std::unordered_set<std::string_view> have(files.begin(), files.end());
    const std::vector<Channel> channels = chip_channels(files, budget);
    budget -= channels.size();

    constexpr const char* limit_suffixes[] = {"_label", "_max", "_crit", "_min", "_lcrit"};
    std::vector<std::string> names = {"name"};
    for (const Channel& c : channels) {
        names.push_back(c.input);
        for (const char* suffix : limit_suffixes)
            names.push_back(c.base + suffix);
    }
    // Only what exists is read; the rest is marked absent without a call.
    std::vector<std::string> present;
    for (const std::string& name : names) {
        if (have.contains(name))
            present.push_back(name);
    }
    const auto read = read_texts_in(root, dir, present);
    std::map<std::string_view, std::string_view> texts;
    for (std::size_t i = 0; i < present.size(); ++i) {
        if (read[i])
            texts.emplace(present[i], *read[i]);
    }
    const auto text = [&texts](const std::string& name) -> std::optional<std::string_view> {
        const auto it = texts.find(name);
        return it == texts.end() ? std::nullopt : std::optional(it->second);
    };

    Chip chip;
    chip.name = std::string(trim(text("name").value_or("")));
    std::vector<std::uint32_t> numbers;
    for (const Channel& c : channels) {
        const auto input = text(c.input);
        const auto value = input ? sensor_reading(c.kind, *input) : std::nullopt;
        if (!value)
            continue;
        Sensor s;
        s.chip = chip.name;
        s.kind = c.kind;
        s.value = *value;
        s.label = std::string(trim(text(c.base + "_label").value_or("")));
        if (s.label.empty())
            s.label = c.base;
        const auto limit = [&](const char* suffix, bool upper) {
            const auto t = text(c.base + suffix);
            return t ? sensor_limit(c.kind, *t, upper) : std::nullopt;
        };
        s.max = limit("_max", true);
        s.critical = limit("_crit", true);
        s.min = limit("_min", false);
        s.critical_low = limit("_lcrit", false);
        chip.sensors.push_back(std::move(s));
        numbers.push_back(c.number);
    }
    keep_real_fans(root, dir, have, chip.sensors, numbers);
    return chip;
}

// The disks by the device their sensor hangs on: an NVMe controller, a SCSI device.
std::map<std::string, std::string> disk_devices(const SysRoot& root,
                                                const std::vector<DiskInfo>& disks) {
    std::map<std::string, std::string> devices;
    for (const DiskInfo& disk : disks) {
        if (const auto path = canonical_path(root, "/sys/block/" + disk.name + "/device"))
            devices.emplace(*path, disk.name);
    }
    return devices;
}

// A multipath NVMe namespace hangs on its subsystem, not the controller: "nvme0" measures the
// first namespace named after it ("nvme0n1").
std::string nvme_disk(const std::vector<DiskInfo>& disks, std::string_view controller) {
    for (const DiskInfo& disk : disks) {
        const std::string_view name = disk.name;
        if (name.size() > controller.size() + 1 && starts_with(name, controller) &&
            name[controller.size()] == 'n' && is_numbered_name(name.substr(controller.size()), "n"))
            return disk.name;
    }
    return {};
}

std::vector<Sensor> thermal_zones(const SysRoot& root,
                                  const std::unordered_set<std::string>& shown_devices) {
    std::vector<Sensor> zones;
    std::size_t examined = 0;
    for (const std::string& entry : list_dir_sorted(root, thermal_dir)) {
        if (!is_numbered_name(entry, "thermal_zone"))
            continue;
        if (++examined > max_zones)
            break;
        const std::string dir = std::string(thermal_dir) + "/" + entry;
        const auto path = canonical_path(root, dir);
        if (!path || shown_devices.contains(*path))
            continue;
        std::vector<std::string> names = {"type", "temp"};
        for (std::size_t k = 0; k < max_trip_points; ++k) {
            names.push_back("trip_point_" + std::to_string(k) + "_type");
            names.push_back("trip_point_" + std::to_string(k) + "_temp");
        }
        const std::vector<std::string> files = list_dir(root, dir);
        const std::unordered_set<std::string_view> have(files.begin(), files.end());
        std::erase_if(names, [&have](const std::string& n) { return !have.contains(n); });
        const auto texts = read_texts_in(root, dir, names);
        std::map<std::string, std::string> text;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (texts[i])
                text.emplace(names[i], std::string(trim(*texts[i])));
        }
        const auto value = text.contains("temp")
                               ? sensor_reading(SensorKind::Temperature, text["temp"])
                               : std::nullopt;
        if (!value)
            continue;
        Sensor s;
        s.chip = text["type"];
        s.device = entry;
        s.label = "temp1";
        s.value = *value;
        for (std::size_t k = 0; k < max_trip_points; ++k) {
            const std::string trip = "trip_point_" + std::to_string(k);
            const auto type = text.find(trip + "_type");
            const auto temp = text.find(trip + "_temp");
            if (type == text.end() || temp == text.end())
                continue;
            const auto limit = sensor_limit(SensorKind::Temperature, temp->second, true);
            if (!limit)
                continue;
            // The kernel's trip types: "critical" shuts down, "hot" warns; the others
            // ("passive", "active") start cooling and are no limit.
            std::optional<double>* slot = type->second == "critical" ? &s.critical
                                          : type->second == "hot"    ? &s.max
                                                                     : nullptr;
            if (slot != nullptr && (!*slot || *limit < **slot))
                *slot = limit;
        }
        zones.push_back(std::move(s));
    }
    return zones;
}

}  // namespace

std::vector<Sensor> collect_sensors(const SysRoot& root, const std::vector<DiskInfo>& disks) {
    const std::map<std::string, std::string> disk_paths = disk_devices(root, disks);
    std::vector<Chip> chips;
    std::unordered_set<std::string> shown_devices;
    std::size_t budget = max_channels;
    std::size_t examined = 0;
    for (const std::string& entry : list_dir_sorted(root, hwmon_dir)) {
        if (++examined > max_chips || budget == 0)
            break;
        Chip chip = read_chip(root, entry, budget);
        const std::string link = std::string(hwmon_dir) + "/" + entry + "/device";
        std::string disk;
        if (const auto path = canonical_path(root, link)) {
            chip.device = last_component(*path);
            shown_devices.insert(*path);
            if (const auto it = disk_paths.find(*path); it != disk_paths.end())
                disk = it->second;
        }
        if (disk.empty() && chip.name == "nvme")
            disk = nvme_disk(disks, chip.device);
        for (Sensor& s : chip.sensors) {
            s.device = chip.device;
            s.disk = disk;
        }
        if (!chip.sensors.empty())
            chips.push_back(std::move(chip));
    }
    std::stable_sort(chips.begin(), chips.end(), [](const Chip& a, const Chip& b) {
        return a.name != b.name ? a.name < b.name : a.device < b.device;
    });
    std::vector<Sensor> sensors;
    for (Chip& chip : chips) {
        sensors.insert(sensors.end(), std::make_move_iterator(chip.sensors.begin()),
                       std::make_move_iterator(chip.sensors.end()));
    }
    std::vector<Sensor> zones = thermal_zones(root, shown_devices);
    sensors.insert(sensors.end(), std::make_move_iterator(zones.begin()),
                   std::make_move_iterator(zones.end()));
    return sensors;
}

void attach_disk_temperatures(std::vector<DiskInfo>& disks, const std::vector<Sensor>& sensors) {
    for (DiskInfo& disk : disks) {
        if (const Sensor* s = disk_sensor(sensors, disk.name))
            disk.temperature_c = s->value;
    }
}

}  // namespace nadrel
