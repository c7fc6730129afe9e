// The live readout card's rows: what is happening now, identity values the report leaves out,
// and notes on what cannot be shown.
#include "linux/live/card.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/sanitize.h"
#include "core/smbios/tables.h"
#include "core/text/clean_text.h"
#include "core/text/fields.h"
#include "core/text/fmt.h"
#include "core/text/unicode.h"
#include "linux/root/unique_fd.h"

namespace nadrel {

namespace {

constexpr std::string_view reading = "Reading\u2026";
constexpr std::string_view serial_note =
    "System and board serials are readable only as root on Linux (the DMI table is mode "
    "0400). Run with sudo to see them.";
constexpr std::string_view public_ip_note =
    "The public IP address is not shown: finding it means asking an outside service, and "
    "Nadrel makes no network calls.";

std::optional<std::string> trimmed(const SysRoot& root, const std::string& path) {
    const auto text = read_text(root, path);
    if (!text) {
        return std::nullopt;
    }
    return std::string(trim(*text));
}

std::optional<std::string> local_ipv4() {
    UniqueFd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    sockaddr_in any{};
    any.sin_family = AF_INET;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(80);
    if (::inet_pton(AF_INET, "192.0.2.1", &peer.sin_addr) != 1 ||
        ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0 ||
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        return std::nullopt;
    }
    sockaddr_in local{};
    socklen_t len = sizeof local;
    char text[INET_ADDRSTRLEN] = {};
    if (::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&local), &len) != 0 ||
        ::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text) == nullptr) {
        return std::nullopt;
    }
    return std::string(text);
}

std::optional<std::string> local_ipv6() {
    UniqueFd fd(::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    sockaddr_in6 any{};
    any.sin6_family = AF_INET6;
    sockaddr_in6 peer{};
    peer.sin6_family = AF_INET6;
    peer.sin6_port = htons(80);
    if (::inet_pton(AF_INET6, "2001:db8::1", &peer.sin6_addr) != 1 ||
        ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0 ||
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        return std::nullopt;
    }
    sockaddr_in6 local{};
    socklen_t len = sizeof local;
    char text[INET6_ADDRSTRLEN] = {};
    if (::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&local), &len) != 0 ||
        ::inet_ntop(AF_INET6, &local.sin6_addr, text, sizeof text) == nullptr) {
        return std::nullopt;
    }
    return std::string(text);
}

// One decimal place, a trailing ".0" dropped.
std::string one_decimal(double v) {
    std::string text = strfmt("%.1f", v);
    if (text.ends_with(".0")) {
        text.resize(text.size() - 2);
    }
    return text;
}

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

}  // namespace

LocalAddresses probe_local_addresses() {
    return {local_ipv4(), local_ipv6()};
}

std::optional<std::string> default_gateway(std::string_view route_table) {
    std::optional<std::string> gateway;
    bool heading = true;
    for_each_line(route_table, [&](std::string_view line) {
        if (std::exchange(heading, false))
            return false;
        const auto fields = split_fields(line);
        if (fields.size() < 2 || fields[1] != "00000000")
            return false;
        // The first default route decides, even one whose gateway does not parse.
        const auto address = fields.size() >= 3 ? parse_hex32(fields[2]) : std::nullopt;
        if (address) {
            gateway = strfmt("%u.%u.%u.%u", *address & 0xFF, (*address >> 8) & 0xFF,
                             (*address >> 16) & 0xFF, *address >> 24);
        }
        return true;
    });
    return gateway;
}

LiveStatic read_live_static(const SysRoot& root, const AddressProbe& probe) {
    LiveStatic out;
    const std::pair<const char*, const char*> serials[] = {
        {"System serial", "/sys/class/dmi/id/product_serial"},
        {"Board serial", "/sys/class/dmi/id/board_serial"},
        {"System UUID", "/sys/class/dmi/id/product_uuid"},
    };
    for (const auto& [label, path] : serials) {
        const auto value = trimmed(root, path);
        if (value && !is_placeholder(*value)) {
            out.rows.emplace_back(label, *value);
        }
    }
    if (out.rows.empty()) {
        out.notes.emplace_back(serial_note);
    }
    for (const std::string& name : physical_interfaces(root)) {
        const auto mac = trimmed(root, "/sys/class/net/" + name + "/address");
        if (mac && !mac->empty()) {
            out.rows.emplace_back(name + " MAC", *mac);
        }
    }
    const LocalAddresses addresses = probe ? probe() : LocalAddresses{};
    if (addresses.ipv4) {
        out.rows.emplace_back("Local IP", *addresses.ipv4);
    }
    if (addresses.ipv6) {
        out.rows.emplace_back("Local IPv6", *addresses.ipv6);
    }
    if (const auto routes = read_text(root, "/proc/net/route", list_limit)) {
        if (const auto gateway = default_gateway(*routes)) {
            out.rows.emplace_back("Default gateway", *gateway);
        }
    }
    for (const std::string& name : list_dir_sorted(root, "/sys/block")) {
        auto serial = trimmed(root, "/sys/block/" + name + "/device/serial");
        if (!serial || serial->empty()) {
            serial = trimmed(root, "/sys/block/" + name + "/device/device/serial");
        }
        if (serial && !is_placeholder(*serial)) {
            out.rows.emplace_back("Disk " + name + " serial", *serial);
        }
    }
    out.notes.emplace_back(public_ip_note);
    return out;
}

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

std::string format_live_size(std::uint64_t bytes) {
    const double b = static_cast<double>(bytes);
    const double g = b / 1073741824.0;
    if (g >= 1023.95) {
        return one_decimal(b / 1099511627776.0) + "TB";
    }
    if (b / 1048576.0 >= 1023.95) {
        return one_decimal(g) + "GB";
    }
    return one_decimal(b / 1048576.0) + "MB";
}

std::string format_rate(std::uint64_t bytes_per_s) {
    return format_live_size(bytes_per_s) + "/s";
}

std::vector<LiveRow> format_live_rows(const LiveSample& sample,
                                      const std::vector<LabelValue>& static_rows,
                                      const std::vector<std::string>& notes) {
    std::vector<LiveRow> now;
    const auto item = [&now](std::string label, std::string value) {
        now.push_back({false, std::move(label), std::move(value)});
    };
    if (sample.first) {
        item("CPU load", std::string(reading));
    } else if (sample.cpu_load) {
        item("CPU load", strfmt("%.0f%%", std::clamp(double{*sample.cpu_load}, 0.0, 100.0)));
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
        // Integer rounding to the nearest percent; sizes past 2^64 / 100 bytes (only from a
        // lying meminfo) are divided first instead of overflowing.
        const std::uint64_t used = std::min(sample.mem_used, sample.mem_total);
        const std::uint64_t percent =
            used <= (UINT64_MAX - sample.mem_total) / 100
                ? (used * 100 + sample.mem_total / 2) / sample.mem_total
                : static_cast<std::uint64_t>(std::llround(
                      static_cast<double>(used) / static_cast<double>(sample.mem_total) * 100.0));
        item("Memory in use",
             strfmt("%s of %s  (%llu%%)", format_live_size(sample.mem_used).c_str(),
                    format_live_size(sample.mem_total).c_str(),
                    static_cast<unsigned long long>(percent)));
    }
    for (const LiveReading& t : sample.temperatures) {
        item(t.label + " temp", strfmt("%.0f C", double{t.value}));
    }
    for (const LiveReading& f : sample.fans) {
        item(f.label + " fan", strfmt("%.0f RPM", double{f.value}));
    }
    for (const LiveTraffic& t : sample.traffic) {
        item(t.name + " traffic", sample.first ? std::string(reading)
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

    std::vector<LiveRow> rows;
    const auto group = [&rows](std::string heading, std::vector<LiveRow> items) {
        if (!items.empty()) {
            rows.push_back({true, std::move(heading), {}});
            rows.insert(rows.end(), std::make_move_iterator(items.begin()),
                        std::make_move_iterator(items.end()));
        }
    };
    group("RIGHT NOW", std::move(now));
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

LiveCard make_live_card(const SysRoot& root, Instant now, const AddressProbe& probe,
                        bool sanitize) {
    LiveStatic fixed = read_live_static(root, probe);
    if (sanitize) {
        for (auto& row : fixed.rows)
            row.second = hidden_text;
    }
    LiveCard card;
    card.static_rows = std::move(fixed.rows);
    card.notes = std::move(fixed.notes);
    SampleResult result = sample(root, std::nullopt, now);
    card.rows = format_live_rows(result.sample, card.static_rows, card.notes);
    card.counters = std::move(result.counters);
    card.sampled_at = now;
    return card;
}

void refresh_live_card(LiveCard& card, const SysRoot& root, Instant now) {
    SampleResult result = sample(root, card.counters, now);
    card.rows = format_live_rows(result.sample, card.static_rows, card.notes);
    card.counters = std::move(result.counters);
    card.sampled_at = now;
}

}  // namespace nadrel
