// The live readout card's rows: what is happening now, identity values the report leaves out,
// and notes on what cannot be shown.
#include "core/live/rows.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/report/format.h"
#include "core/text/clean_text.h"
#include "core/text/fmt.h"

namespace nadrel {

namespace {

std::string minutes_text(std::uint32_t minutes) {
    if (minutes < 60) {
        return strfmt("%um", minutes);
    }
    const std::uint32_t h = minutes / 60;
    const std::uint32_t m = minutes % 60;
    return m != 0 ? strfmt("%uh %um", h, m) : strfmt("%uh", h);
}

std::string battery_text(const LiveBattery& battery) {
    std::string text = strfmt("%u%%", unsigned{battery.percent});
    if (battery.status) {
        text += ", " + *battery.status;
    }
    std::vector<std::string> parts;
    if (battery.power_mw != 0) {
        const double watts = std::fabs(static_cast<double>(battery.power_mw)) / 1000.0;
        parts.push_back(
            strfmt("%s %.1f W", battery.power_mw > 0 ? "charging at" : "draining at", watts));
    }
    if (battery.minutes_left != 0) {
        parts.push_back(minutes_text(battery.minutes_left) + " left");
    }
    if (!parts.empty()) {
        text += "  (";
        for (std::size_t i = 0; i < parts.size(); ++i) {
            text += (i == 0 ? "" : ", ") + parts[i];
        }
        text += ")";
    }
    return text;
}

// Integer rounding to the nearest percent; sizes past 2^64 / 100 bytes (only from a lying
// meminfo) are divided first instead of overflowing.
std::uint64_t used_percent(std::uint64_t used, std::uint64_t total) {
    used = std::min(used, total);
    if (used <= (UINT64_MAX - total) / 100) {
        return (used * 100 + total / 2) / total;
    }
    return static_cast<std::uint64_t>(
        std::llround(static_cast<double>(used) / static_cast<double>(total) * 100.0));
}

std::vector<LiveRow> right_now(const LiveSample& sample) {
    std::vector<LiveRow> now;
    const auto item = [&now](std::string label, std::string value) {
        now.push_back({false, std::move(label), std::move(value)});
    };
    // The row stays when a sample gives no load, so the card does not shrink under the pointer.
    if (sample.first) {
        item("CPU load", std::string(live_reading));
    } else if (sample.cpu_load) {
        item("CPU load", strfmt("%.0f%%", std::clamp(double{*sample.cpu_load}, 0.0, 100.0)));
    } else {
        item("CPU load", "\u2014");
    }
    if (sample.cpu_mhz_avg != 0) {
        std::string clock = format_clock(sample.cpu_mhz_avg);
        if (sample.cpu_mhz_min < sample.cpu_mhz_max && sample.cpu_count > 1) {
            clock +=
                strfmt("  (%s to %s across %u threads)", format_clock(sample.cpu_mhz_min).c_str(),
                       format_clock(sample.cpu_mhz_max).c_str(), sample.cpu_count);
        }
        item("CPU clock", std::move(clock));
    }
    if (sample.mem_total != 0) {
        item("Memory in use", strfmt("%s of %s  (%llu%%)", format_size(sample.mem_used).c_str(),
                                     format_size(sample.mem_total).c_str(),
                                     static_cast<unsigned long long>(
                                         used_percent(sample.mem_used, sample.mem_total))));
    }
    for (const LiveReading& t : sample.temperatures) {
        item(t.label + " temp", strfmt("%.0f C", double{t.value}));
    }
    for (const LiveReading& f : sample.fans) {
        item(f.label + " fan", strfmt("%.0f RPM", double{f.value}));
    }
    for (const LiveTraffic& t : sample.traffic) {
        item(t.name + " traffic", sample.first ? std::string(live_reading)
                                               : format_rate(t.rx_per_s) + " down  /  " +
                                                     format_rate(t.tx_per_s) + " up");
    }
    for (const LiveWireless& w : sample.wireless) {
        if (w.level_dbm != 0) {
            item(w.name + " network", strfmt("%d dBm", w.level_dbm));
        }
    }
    if (sample.battery) {
        item("Battery", battery_text(*sample.battery));
    }
    return now;
}

}  // namespace

std::string format_clock(std::uint32_t mhz) {
    if (mhz < 1000) {
        return strfmt("%u MHz", mhz);
    }
    std::string text = strfmt("%.2f", mhz / 1000.0);
    while (text.ends_with('0')) {
        text.pop_back();
    }
    if (text.ends_with('.')) {
        text.pop_back();
    }
    return text + " GHz";
}

std::string format_rate(std::uint64_t bytes_per_s) {
    // Below 1 MB/s in KB/s, so a trickle does not read as nothing; the same rounding edge as
    // format_size, so 1023.95 KB/s and up read 1MB/s.
    const double kb = static_cast<double>(bytes_per_s) / 1024.0;
    if (kb < 1023.95) {
        std::string text = strfmt("%.1f", kb);
        if (text.ends_with(".0")) {
            text.resize(text.size() - 2);
        }
        return text + "KB/s";
    }
    return format_size(bytes_per_s) + "/s";
}

std::vector<LiveRow> format_live_rows(const LiveSample& sample,
                                      const std::vector<LabelValue>& static_rows,
                                      const std::vector<std::string>& notes) {
    std::vector<LiveRow> rows;
    const auto group = [&rows](std::string heading, std::vector<LiveRow> items) {
        if (!items.empty()) {
            rows.push_back({true, std::move(heading), {}});
            rows.insert(rows.end(), std::make_move_iterator(items.begin()),
                        std::make_move_iterator(items.end()));
        }
    };
    group("RIGHT NOW", right_now(sample));
    std::vector<LiveRow> machine;
    for (const auto& [label, value] : static_rows) {
        machine.push_back({false, label, value});
    }
    group("THIS MACHINE", std::move(machine));
    std::vector<LiveRow> missing;
    for (const std::string& note : notes) {
        missing.push_back({false, {}, note});
    }
    group("NOT AVAILABLE HERE", std::move(missing));
    // Sensor labels, interface names and serials come from drivers and firmware.
    for (LiveRow& row : rows) {
        row.label = clean_text(row.label);
        row.value = clean_text(row.value);
    }
    return rows;
}

}  // namespace nadrel
