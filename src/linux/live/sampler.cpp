// The live sampler: one pass over the few procfs and sysfs files that change from second to
// second, with rates taken against the previous sample's counters.
#include "linux/live/sampler.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "core/sensors.h"
#include "core/text/fields.h"
#include "core/text/unicode.h"
#include "linux/collect/battery.h"
#include "linux/collect/net.h"
#include "linux/collect/sensors.h"

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

// The card's name for a channel: its label, else (a channel without one, "temp1") its chip.
std::string live_label(const Sensor& s) {
    const std::size_t digits = s.label.find_first_of("0123456789");
    const bool unlabelled = digits != std::string::npos && digits > 0 &&
                            sensor_kind_of(std::string_view(s.label).substr(0, digits)) &&
                            s.label.find_first_not_of("0123456789", digits) == std::string::npos;
    return unlabelled && !s.chip.empty() ? s.chip : s.label;
}

// The report's sensor reader, so the card and the report name and read channels alike; the
// card shows what is running and warm (a stopped fan or a reading at 0 °C says nothing now).
void read_sensors(const SysRoot& root, LiveSample& out) {
    for (const Sensor& s : collect_sensors(root)) {
        if (!(s.value > 0))
            continue;
        if (s.kind == SensorKind::Temperature)
            out.temperatures.push_back({live_label(s), static_cast<float>(s.value)});
        else if (s.kind == SensorKind::Fan)
            out.fans.push_back({live_label(s), static_cast<float>(s.value)});
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

// The first of the machine's batteries, read as the report reads it.
std::optional<LiveBattery> read_live_battery(const SysRoot& root) {
    const std::vector<std::string> names = battery_supplies(root, 1);
    if (names.empty())
        return std::nullopt;
    const BatteryInfo b = read_battery(root, names.front());
    LiveBattery battery;
    battery.percent = b.charge_percent.value_or(0);
    if (!b.status.empty())
        battery.status = b.status;
    const auto power_mw = static_cast<std::int32_t>(
        std::min<std::uint32_t>(b.power_mw.value_or(0), std::numeric_limits<std::int32_t>::max()));
    if (b.status == "Charging") {
        battery.power_mw = power_mw;
    } else if (b.status == "Discharging") {
        battery.power_mw = -power_mw;
        battery.minutes_left = b.time_to_empty_s.value_or(0) / 60;
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
    read_sensors(root, out);
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
    out.battery = read_live_battery(root);
    result.counters = {now, cpu.busy, cpu.total, std::move(interfaces)};
    return result;
}

}  // namespace nadrel
