// One sample of the values that change while the live readout card is open: load, clocks,
// memory in use, temperatures, fans, throughput, wireless level and battery.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nadrel {

// A moment on the monotonic clock; the clock itself is read by the callers.
using Instant = std::chrono::steady_clock::time_point;

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

}  // namespace nadrel
