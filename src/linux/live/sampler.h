// The live sampler: load, clocks, memory, temperatures, fans, throughput, wireless level and
// battery, read from /proc and /sys while the live readout card is open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/live/sample.h"
#include "linux/root/sysroot.h"

namespace nadrel {

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
