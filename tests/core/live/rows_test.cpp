// The live card's rows from a sample, its number formats and the gateway of a route table.
#include "core/live/rows.h"

#include <gtest/gtest.h>

#include "core/live/route.h"

namespace nadrel {
namespace {

TEST(LiveRows, NumberFormats) {
    const std::pair<std::uint32_t, std::string> clocks[] = {
        {0, "0 MHz"},      {999, "999 MHz"}, {1000, "1 GHz"}, {2456, "2.46 GHz"},
        {3400, "3.4 GHz"}, {3000, "3 GHz"},  {4999, "5 GHz"}, {1005, "1 GHz"}};
    for (const auto& [mhz, text] : clocks) {
        EXPECT_EQ(format_clock(mhz), text);
    }
    // Below 1 MB/s in KB/s, so a trickle does not read as nothing.
    const std::pair<std::uint64_t, std::string> rates[] = {{0, "0KB/s"},
                                                           {51, "0KB/s"},
                                                           {52, "0.1KB/s"},
                                                           {51200, "50KB/s"},
                                                           {1048524, "1023.9KB/s"},
                                                           {1048525, "1MB/s"},
                                                           {1258291, "1.2MB/s"},
                                                           {UINT64_MAX, "16777216TB/s"}};
    for (const auto& [bytes, text] : rates) {
        EXPECT_EQ(format_rate(bytes), text) << bytes;
    }
}

// The value of the row with this label ("" when there is none).
std::string value_of(const std::vector<LiveRow>& rows, std::string_view label) {
    for (const LiveRow& row : rows) {
        if (!row.is_heading && row.label == label) {
            return row.value;
        }
    }
    return "";
}

TEST(LiveRows, DefaultGatewayFromTheRouteTable) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"Iface Destination Gateway\neth0 00000000 0101A8C0 0003\n", "192.168.1.1"},
        {"eth0 00000000 0101A8C0 0003\n", std::nullopt},  // the first line is the header
        {"h\neth0 0000A8C0 00000000\nwlan0 00000000 FE01A8C0\n", "192.168.1.254"},
        {"h\neth0 00000000 zzzz\nwlan0 00000000 FE01A8C0\n", std::nullopt},
        {"h\neth0 00000000\n", std::nullopt},
        {"h\neth0 0 0101A8C0\n", std::nullopt},
        {"h\n\n\n  \n", std::nullopt},
        {"", std::nullopt},
        {"h\neth0 00000000 1FFFFFFFF\n", std::nullopt},
    };
    for (const auto& [table, gateway] : cases) {
        EXPECT_EQ(default_gateway(table), gateway) << table;
    }
}

TEST(LiveRows, RowsOfAFirstAndALaterSample) {
    LiveSample first;
    first.first = true;
    first.traffic = {{"eth0", 0, 0}};
    const auto rows = format_live_rows(first, {{"eth0 MAC", "aa"}}, {"a note"});
    const std::vector<std::tuple<bool, std::string, std::string>> expected = {
        {true, "RIGHT NOW", ""},
        {false, "CPU load", "Reading\u2026"},
        {false, "eth0 traffic", "Reading\u2026"},
        {true, "THIS MACHINE", ""},
        {false, "eth0 MAC", "aa"},
        {true, "NOT AVAILABLE HERE", ""},
        {false, "", "a note"}};
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(std::tie(rows[i].is_heading, rows[i].label, rows[i].value), expected[i]) << i;
    }

    LiveSample later;
    later.first = false;
    later.cpu_load = 104.6f;
    later.cpu_mhz_avg = 2456;
    later.cpu_mhz_min = 1000;
    later.cpu_mhz_max = 3400;
    later.cpu_count = 8;
    later.mem_used = 8375186227ull;
    later.mem_total = 16ull << 30;
    later.temperatures = {{"Package id 0", 45.5f}};
    later.fans = {{"fan1", 1200.4f}};
    later.traffic = {{"eth0", 1258291, 0}};
    later.wireless = {{"wlan0", -40}, {"wlan1", 0}};
    later.battery = LiveBattery{"Discharging", -7500, 95, 87};
    const auto values = format_live_rows(later, {}, {});
    const std::vector<std::pair<std::string, std::string>> items = {
        {"RIGHT NOW", ""},
        {"CPU load", "100%"},
        {"CPU clock", "2.46 GHz  (1 GHz to 3.4 GHz across 8 threads)"},
        {"Memory in use", "7.8GB of 16GB  (49%)"},
        {"Package id 0 temp", "46 C"},
        {"fan1 fan", "1200 RPM"},
        {"eth0 traffic", "1.2MB/s down  /  0KB/s up"},
        {"wlan0 network", "-40 dBm"},
        {"Battery", "87%, Discharging  (draining at 7.5 W, 1h 35m left)"}};
    ASSERT_EQ(values.size(), items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(values[i].label, items[i].first);
        EXPECT_EQ(values[i].value, items[i].second);
    }
}

TEST(LiveRows, TheLoadRowStaysWhenASampleGivesNoLoad) {
    LiveSample later;
    later.first = false;
    EXPECT_EQ(value_of(format_live_rows(later, {}, {}), "CPU load"), "\u2014");
}

TEST(LiveRows, BatteryLineParts) {
    const std::pair<LiveBattery, std::string> cases[] = {
        {{"Full", 0, 0, 100}, "100%, Full"},
        {{std::nullopt, 0, 0, 50}, "50%"},
        {{"Charging", 24000, 0, 60}, "60%, Charging  (charging at 24.0 W)"},
        {{"Discharging", 0, 45, 60}, "60%, Discharging  (45m left)"},
        {{"Discharging", -1, 120, 60}, "60%, Discharging  (draining at 0.0 W, 2h left)"},
        {{"Discharging", INT32_MIN, 61, 1},
         "1%, Discharging  (draining at 2147483.6 W, 1h 1m left)"},
    };
    for (const auto& [battery, text] : cases) {
        LiveSample s;
        s.first = false;
        s.battery = battery;
        EXPECT_EQ(value_of(format_live_rows(s, {}, {}), "Battery"), text);
    }
}

TEST(LiveRows, MemoryPercentOfHugeSizesDoesNotOverflow) {
    LiveSample s;
    s.first = false;
    s.mem_total = UINT64_MAX;
    s.mem_used = UINT64_MAX / 2;
    EXPECT_EQ(value_of(format_live_rows(s, {}, {}), "Memory in use"),
              "8388608TB of 16777216TB  (50%)");
}

}  // namespace
}  // namespace nadrel
