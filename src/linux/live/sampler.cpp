// The live sampler: one pass over the few procfs and sysfs files that change from second to
// second, with rates taken against the previous sample's counters.
#include "linux/live/sampler.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "core/text/fields.h"
#include "core/text/unicode.h"
#include "linux/collect/net.h"

namespace nadrel {

namespace {

// Below this, two samples are too close together for a meaningful rate.
constexpr double min_rate_seconds = 0.05;

std::optional<float> parse_float(std::string_view s) {
    s = trim(s);
    float v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

std::optional<std::string> read_trimmed(const SysRoot& root, const std::string& path) {
    auto text = read_text(root, path);
    if (!text) {
        return std::nullopt;
    }
    return std::string(trim(*text));
}

// A magnitude from a file some drivers write signed (current_now, power_now).
std::optional<std::uint64_t> read_magnitude(const SysRoot& root, const std::string& path) {
    const auto text = read_text(root, path);
    if (!text) {
        return std::nullopt;
    }
    const auto v = parse_i64(*text);
    if (!v) {
        return parse_u64(*text);
    }
    return *v < 0 ? static_cast<std::uint64_t>(-(*v + 1)) + 1 : static_cast<std::uint64_t>(*v);
}

CpuTimes read_cpu_times(const SysRoot& root) {
    const auto text = read_raw_text(root, "/proc/stat", cpu_table_limit);
    return text ? parse_cpu_times(*text) : CpuTimes{};
}

}  // namespace

CpuTimes parse_cpu_times(std::string_view text) {
    if (!text.starts_with("cpu ")) {
        return {};
    }
    const std::string_view first = text.substr(0, text.find('\n'));
    std::vector<std::uint64_t> numbers;
    for (const std::string_view field : split_fields(first.substr(4))) {
        const auto v = parse_u64(field);
        if (!v) {
            return {};  // a malformed line: no numbers rather than shifted ones
        }
        numbers.push_back(*v);
    }
    CpuTimes times;
    for (const std::uint64_t v : numbers) {
        times.total = saturating_add(times.total, v);
    }
    std::uint64_t idle = 0;
    if (numbers.size() >= 5) {
        idle = saturating_add(numbers[3], numbers[4]);
    } else if (numbers.size() == 4) {
        idle = numbers[3];
    }
    times.busy = idle > times.total ? 0 : times.total - idle;
    return times;
}

namespace {

std::vector<InterfaceCounters> read_interfaces(const SysRoot& root) {
    std::vector<InterfaceCounters> list;
    for (const std::string& name : physical_interfaces(root)) {
        const std::string base = "/sys/class/net/" + name + "/statistics/";
        const auto rx = read_u64(root, base + "rx_bytes");
        const auto tx = read_u64(root, base + "tx_bytes");
        if (rx && tx) {
            list.push_back({name, *rx, *tx});
        }
    }
    return list;
}

void read_clocks(const SysRoot& root, LiveSample& out) {
    std::uint64_t sum = 0;
    std::uint32_t count = 0;
    for (const std::string& name : list_dir_sorted(root, "/sys/devices/system/cpu")) {
        if (!is_numbered_name(name, "cpu")) {
            continue;
        }
        const auto khz =
            read_u64(root, "/sys/devices/system/cpu/" + name + "/cpufreq/scaling_cur_freq");
        if (!khz) {
            continue;
        }
        const auto mhz = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(*khz / 1000, std::numeric_limits<std::uint32_t>::max()));
        out.cpu_mhz_min = count == 0 ? mhz : std::min(out.cpu_mhz_min, mhz);
        out.cpu_mhz_max = count == 0 ? mhz : std::max(out.cpu_mhz_max, mhz);
        sum = saturating_add(sum, mhz);
        ++count;
    }
    out.cpu_count = count;
    out.cpu_mhz_avg = count == 0 ? 0 : static_cast<std::uint32_t>(sum / count);
}

std::optional<float> wireless_number(const std::vector<std::string_view>& fields,
                                     std::size_t index) {
    if (index >= fields.size()) {
        return std::nullopt;
    }
    std::string_view field = fields[index];
    while (!field.empty() && field.back() == '.') {
        field.remove_suffix(1);
    }
    return parse_float(field);
}

std::vector<LiveWireless> read_wireless(const SysRoot& root) {
    const auto text = read_text(root, "/proc/net/wireless", list_limit);
    return text ? parse_wireless(*text) : std::vector<LiveWireless>{};
}

// Sensor chips and readings of each kind kept at most: a machine has a dozen chips and a few
// dozen readings; a tree claiming more is cut before any more files are read.
constexpr std::size_t max_hwmon_chips = 256;
constexpr std::size_t max_hwmon_readings = 1024;

struct HwmonKind {
    std::string_view prefix;  // "temp", "fan"
    double divisor;           // to degrees Celsius or RPM
    std::vector<LiveReading>* out;
};

// One pass over the hwmon folders for every kind of reading: each folder is listed once.
void scan_hwmon(const SysRoot& root, std::initializer_list<HwmonKind> kinds) {
    std::size_t chips = 0;
    for (const std::string& device : list_dir_sorted(root, "/sys/class/hwmon")) {
        if (++chips > max_hwmon_chips)
            break;
        const std::string dir = "/sys/class/hwmon/" + device + "/";
        std::optional<std::string> chip;  // read once a reading needs it
        for (const std::string& file : list_dir_sorted(root, dir)) {
            if (!file.ends_with("_input"))
                continue;
            const auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const HwmonKind& k) {
                return file.starts_with(k.prefix);
            });
            if (kind == kinds.end() || kind->out->size() >= max_hwmon_readings)
                continue;
            const auto text = read_text(root, dir + file);
            const auto raw = text ? parse_float(*text) : std::nullopt;
            if (!raw)
                continue;
            const auto value = static_cast<float>(double{*raw} / kind->divisor);
            if (!(value > 0))
                continue;
            const std::string base = file.substr(0, file.size() - 6);
            std::string label = read_trimmed(root, dir + base + "_label").value_or("");
            if (label.empty()) {
                if (!chip)
                    chip = read_trimmed(root, dir + "name").value_or("");
                label = chip->empty() ? base : *chip;
            }
            kind->out->push_back({std::move(label), value});
        }
    }
}

void read_memory(const SysRoot& root, LiveSample& out) {
    const auto text = read_text(root, "/proc/meminfo", list_limit);
    if (!text) {
        return;
    }
    const auto total = meminfo_bytes(*text, "MemTotal");
    const auto available = meminfo_bytes(*text, "MemAvailable");
    // Without MemAvailable the use is unknown; showing the total as used would be wrong.
    if (!total || !available) {
        return;
    }
    out.mem_total = *total;
    out.mem_used = *available > *total ? 0 : *total - *available;
}

std::optional<LiveBattery> read_battery(const SysRoot& root) {
    std::optional<std::string> name;
    for (const std::string& entry : list_dir_sorted(root, "/sys/class/power_supply")) {
        if (entry.starts_with("BAT")) {
            name = entry;
            break;
        }
    }
    if (!name) {
        return std::nullopt;
    }
    const std::string base = "/sys/class/power_supply/" + *name + "/";
    LiveBattery battery;
    battery.percent = static_cast<std::uint8_t>(
        std::min<std::uint64_t>(read_u64(root, base + "capacity").value_or(0), 100));
    battery.status = read_trimmed(root, base + "status");
    if (battery.status && battery.status->empty()) {
        battery.status.reset();
    }
    const auto power_uw = read_magnitude(root, base + "power_now");
    const auto current = read_magnitude(root, base + "current_now");
    const auto voltage = read_magnitude(root, base + "voltage_now");
    std::uint64_t power = 0;
    if (power_uw) {
        power = *power_uw / 1000;
    } else if (current && voltage) {
        power = saturating_mul(*current, *voltage) / 1000000000;
    }
    const auto power_mw = static_cast<std::int32_t>(
        std::min<std::uint64_t>(power, std::numeric_limits<std::int32_t>::max()));
    if (battery.status == "Charging") {
        battery.power_mw = power_mw;
    } else if (battery.status == "Discharging") {
        battery.power_mw = -power_mw;
        std::uint64_t minutes = 0;
        if (const auto seconds = read_u64(root, base + "time_to_empty_now")) {
            minutes = *seconds / 60;
        } else {
            auto numerator = read_u64(root, base + "energy_now");
            if (!numerator) {
                numerator = read_u64(root, base + "charge_now");
            }
            const auto denominator = power_uw ? power_uw : current;
            if (numerator && denominator && *denominator != 0) {
                minutes = saturating_mul(*numerator, 60) / *denominator;
            }
        }
        battery.minutes_left = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(minutes, std::numeric_limits<std::uint32_t>::max()));
    }
    return battery;
}

std::uint64_t per_second(std::uint64_t now, std::uint64_t before, double seconds) {
    const double rate = static_cast<double>(now >= before ? now - before : 0) / seconds;
    return rate >= 18446744073709551615.0 ? std::numeric_limits<std::uint64_t>::max()
                                          : static_cast<std::uint64_t>(rate);
}

}  // namespace

std::vector<LiveWireless> parse_wireless(std::string_view text) {
    std::vector<LiveWireless> list;
    std::size_t number = 0;
    for_each_line(text, [&](std::string_view line) {
        const std::size_t colon = line.find(':');
        if (++number <= 2 || colon == std::string_view::npos)  // two heading lines
            return;
        const auto fields = split_fields(line.substr(colon + 1));
        const auto quality = wireless_number(fields, 1);
        const float level = wireless_number(fields, 2).value_or(0.0f);
        if ((!quality || *quality == 0.0f) && level == 0.0f)
            return;
        list.push_back({std::string(trim(line.substr(0, colon))),
                        static_cast<std::int32_t>(
                            std::clamp(std::trunc(double{level}), -2147483648.0, 2147483647.0))});
    });
    return list;
}

std::vector<std::string> physical_interfaces(const SysRoot& root) {
    std::vector<std::string> names;
    for (std::string& name : list_dir_sorted(root, "/sys/class/net")) {
        if (name != "lo" && exists(root, "/sys/class/net/" + name + "/device")) {
            if (names.size() == max_net_devices)
                break;
            names.push_back(std::move(name));
        }
    }
    return names;
}

SampleResult sample(const SysRoot& root, const std::optional<LiveCounters>& previous, Instant now) {
    SampleResult result;
    LiveSample& out = result.sample;
    const CpuTimes cpu = read_cpu_times(root);
    std::vector<InterfaceCounters> interfaces = read_interfaces(root);
    read_clocks(root, out);
    out.wireless = read_wireless(root);
    scan_hwmon(root, {{"temp", 1000.0, &out.temperatures}, {"fan", 1.0, &out.fans}});
    read_memory(root, out);

    if (!previous) {
        out.first = true;
        for (const InterfaceCounters& i : interfaces) {
            out.traffic.push_back({i.name, 0, 0});
        }
    } else {
        out.first = false;
        const double elapsed =
            now < previous->taken_at
                ? 0.0
                : std::chrono::duration<double>(now - previous->taken_at).count();
        if (elapsed > min_rate_seconds) {
            if (cpu.total > previous->cpu_total) {
                // The kernel's iowait can step backwards, which makes busy grow faster than
                // the total; the load is at most all of it.
                const std::uint64_t total = cpu.total - previous->cpu_total;
                const std::uint64_t busy = std::min(
                    cpu.busy >= previous->cpu_busy ? cpu.busy - previous->cpu_busy : 0, total);
                out.cpu_load = static_cast<float>(static_cast<double>(busy) /
                                                  static_cast<double>(total) * 100.0);
            }
            // Both lists are sorted by name.
            const auto& before = previous->interfaces;
            for (const InterfaceCounters& i : interfaces) {
                const auto old =
                    std::lower_bound(before.begin(), before.end(), i.name,
                                     [](const InterfaceCounters& p, const std::string& name) {
                                         return p.name < name;
                                     });
                if (old != before.end() && old->name == i.name) {
                    out.traffic.push_back({i.name, per_second(i.rx_bytes, old->rx_bytes, elapsed),
                                           per_second(i.tx_bytes, old->tx_bytes, elapsed)});
                }
            }
        }
    }
    out.battery = read_battery(root);
    result.counters = {now, cpu.busy, cpu.total, std::move(interfaces)};
    return result;
}

}  // namespace nadrel
