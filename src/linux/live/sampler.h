// The live sampler: load, clocks, memory, temperatures, fans, throughput, wireless level and
// battery, read from /proc and /sys while the live readout card is open.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linux/root/sysroot.h"

namespace nadrel {

using Instant = std::chrono::steady_clock::time_point;

struct InterfaceCounters {
    std::string name;
    std::uint64_t rx_bytes = 0;
    std::uint64_t tx_bytes = 0;
};

// The cumulative counters of one sample, kept until the next.
struct LiveCounters {
    Instant taken_at{};
    std::uint64_t cpu_busy = 0;                 // jiffies
    std::uint64_t cpu_total = 0;                // jiffies
    std::vector<InterfaceCounters> interfaces;  // sorted by name
};

struct LiveReading {
    std::string label;
    float value = 0;  // degrees Celsius or RPM
};

struct LiveTraffic {
    std::string name;
    std::uint64_t rx_per_s = 0;  // bytes per second
    std::uint64_t tx_per_s = 0;
};

struct LiveWireless {
    std::string name;
    std::int32_t level_dbm = 0;
};

struct LiveBattery {
    std::optional<std::string> status;
    std::int32_t power_mw = 0;  // positive charging, negative discharging
    std::uint32_t minutes_left = 0;
    std::uint8_t percent = 0;
};

struct LiveSample {
    bool first = true;              // no previous counters: rates are not available yet
    std::optional<float> cpu_load;  // percent
    std::uint64_t mem_used = 0;     // bytes
    std::uint64_t mem_total = 0;    // bytes; 0 when unknown
    std::uint32_t cpu_mhz_avg = 0;
    std::uint32_t cpu_mhz_min = 0;
    std::uint32_t cpu_mhz_max = 0;
    std::uint32_t cpu_count = 0;
    std::vector<LiveReading> temperatures;
    std::vector<LiveReading> fans;
    std::vector<LiveTraffic> traffic;
    std::vector<LiveWireless> wireless;
    std::optional<LiveBattery> battery;
};

struct SampleResult {
    LiveSample sample;
    LiveCounters counters;
};

// Busy and total jiffies from the first line of /proc/stat text; zeros when it is malformed.
struct CpuTimes {
    std::uint64_t busy = 0;
    std::uint64_t total = 0;
};
CpuTimes parse_cpu_times(std::string_view text);
// The link level of each interface in /proc/net/wireless text that reports one.
std::vector<LiveWireless> parse_wireless(std::string_view text);

// One sample at the instant now; rates are taken against previous when given.
SampleResult sample(const SysRoot& root, const std::optional<LiveCounters>& previous, Instant now);

// The physical network interfaces (not "lo", with a "device" entry), sorted by name.
std::vector<std::string> physical_interfaces(const SysRoot& root);

}  // namespace nadrel
