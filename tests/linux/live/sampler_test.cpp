// The live sampler over fixture machines written per test, with the clock in the test's hand.
#include "linux/live/sampler.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace nadrel {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using test::TempDir;

const Instant t0 = Instant{} + std::chrono::hours(5);

void write_net(const TempDir& dir, const std::string& name, bool physical, std::uint64_t rx,
               std::uint64_t tx) {
    const std::string base = "sys/class/net/" + name;
    dir.write(base + "/statistics/rx_bytes", std::to_string(rx) + "\n");
    dir.write(base + "/statistics/tx_bytes", std::to_string(tx) + "\n");
    if (physical) {
        dir.mkdir(base + "/device");
    }
}

// A laptop at two moments three seconds apart.
void write_machine(const TempDir& dir, bool later) {
    dir.write("proc/stat", later ? "cpu  250 0 150 900 150 0 0 0 0 0\ncpu0 1 2 3 4 5\n"
                                 : "cpu  100 0 100 700 100 0 0 0 0 0\ncpu0 1 2 3 4 5\n");
    write_net(dir, "lo", false, 5, 5);
    write_net(dir, "virbr0", false, 7, 7);
    write_net(dir, "eth0", true, later ? 1000 + 3 * 1048576 : 1000, later ? 400 : 500);
    write_net(dir, "wlan0", true, 10, 20);
    if (later) {
        write_net(dir, "usb0", true, 0, 0);
    }
    dir.write("sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", "2456000\n");
    dir.write("sys/devices/system/cpu/cpu1/cpufreq/scaling_cur_freq", "1000999\n");
    dir.mkdir("sys/devices/system/cpu/cpu2");
    dir.write("sys/devices/system/cpu/cpufreq/scaling_cur_freq", "9999999\n");
    dir.write("sys/devices/system/cpu/cpux/cpufreq/scaling_cur_freq", "9999999\n");
    dir.write("proc/meminfo",
              "MemTotal:       16384000 kB\nMemFree:  100 kB\nMemAvailable:    4096000 kB\n");
}

TEST(LiveSampler, FirstSampleThenRates) {
    const TempDir dir;
    write_machine(dir, false);
    const SysRoot root(dir.path());
    const SampleResult first = sample(root, std::nullopt, t0);
    EXPECT_TRUE(first.sample.first);
    EXPECT_FALSE(first.sample.cpu_load);
    ASSERT_EQ(first.sample.traffic.size(), 2u);  // physical only, sorted
    EXPECT_EQ(first.sample.traffic[0].name, "eth0");
    EXPECT_EQ(first.sample.traffic[0].rx_per_s, 0u);
    EXPECT_EQ(first.sample.traffic[1].name, "wlan0");
    EXPECT_EQ(first.counters.taken_at, t0);
    EXPECT_EQ(first.counters.cpu_total, 1000u);
    EXPECT_EQ(first.counters.cpu_busy, 200u);  // idle + iowait = 800
    EXPECT_EQ(first.sample.cpu_mhz_avg, (2456 + 1000) / 2);
    EXPECT_EQ(first.sample.cpu_mhz_min, 1000u);
    EXPECT_EQ(first.sample.cpu_mhz_max, 2456u);
    EXPECT_EQ(first.sample.cpu_count, 2u);
    EXPECT_EQ(first.sample.mem_total, 16384000ull * 1024);
    EXPECT_EQ(first.sample.mem_used, (16384000ull - 4096000) * 1024);

    write_machine(dir, true);
    const SampleResult second = sample(root, first.counters, t0 + seconds(3));
    EXPECT_FALSE(second.sample.first);
    ASSERT_TRUE(second.sample.cpu_load);
    EXPECT_FLOAT_EQ(*second.sample.cpu_load, 200.0f / 450.0f * 100.0f);
    ASSERT_EQ(second.sample.traffic.size(), 2u);  // usb0 is new: it waits one sample
    EXPECT_EQ(second.sample.traffic[0].name, "eth0");
    EXPECT_EQ(second.sample.traffic[0].rx_per_s, 1048576u);
    EXPECT_EQ(second.sample.traffic[0].tx_per_s, 0u);  // went backwards
    EXPECT_EQ(second.sample.traffic[1].name, "wlan0");
    EXPECT_EQ(second.counters.interfaces.size(), 3u);

    const SampleResult third = sample(root, second.counters, t0 + seconds(6));
    ASSERT_EQ(third.sample.traffic.size(), 3u);
    EXPECT_EQ(third.sample.traffic[0].rx_per_s, 0u);
    EXPECT_EQ(third.sample.traffic[1].name, "usb0");
    EXPECT_FALSE(third.sample.cpu_load);  // no processor time passed
}

TEST(LiveSampler, TooCloseOrBackwardsGivesNoRates) {
    const TempDir dir;
    write_machine(dir, false);
    const SysRoot root(dir.path());
    const SampleResult first = sample(root, std::nullopt, t0);
    write_machine(dir, true);
    for (const Instant when : {t0 + milliseconds(40), t0 + milliseconds(50), t0 - seconds(3)}) {
        const SampleResult next = sample(root, first.counters, when);
        EXPECT_FALSE(next.sample.first);
        EXPECT_FALSE(next.sample.cpu_load);
        EXPECT_TRUE(next.sample.traffic.empty());
        EXPECT_EQ(next.counters.taken_at, when);  // replaced whatever the elapsed time
    }
    EXPECT_TRUE(sample(root, first.counters, t0 + milliseconds(51)).sample.cpu_load);
}

TEST(LiveSampler, ProcessorTimeLines) {
    struct Case {
        std::string stat;
        std::uint64_t busy, total;
    };
    const Case cases[] = {
        {"cpu  1 2 3 4 5 6\n", 21 - 9, 21},
        {"cpu  1 2 3 4\n", 6, 10},
        {"cpu  1 2 3\n", 6, 6},
        {"cpu0 1 2 3 4 5\ncpu  1 2 3 4 5\n", 0, 0},  // first line not the aggregate
        {"intr 5\n", 0, 0},
        {"cpu  18446744073709551615 18446744073709551615 0 0 0\n", UINT64_MAX, UINT64_MAX},
        {"cpu  1 x 3 10 10\n", 0, 0},  // malformed: nothing rather than shifted numbers
        {"cpu  0 0 0 18446744073709551615 18446744073709551615\n", 0, UINT64_MAX},
    };
    for (const Case& c : cases) {
        const TempDir dir;
        dir.write("proc/stat", c.stat);
        const SampleResult r = sample(SysRoot(dir.path()), std::nullopt, t0);
        EXPECT_EQ(r.counters.cpu_busy, c.busy) << c.stat;
        EXPECT_EQ(r.counters.cpu_total, c.total) << c.stat;
    }
    // Counters that shrink give no load rather than a huge one.
    const TempDir dir;
    dir.write("proc/stat", "cpu  10 0 0 10 0\n");
    LiveCounters previous{t0, 500, 1000, {}};
    EXPECT_FALSE(sample(SysRoot(dir.path()), previous, t0 + seconds(3)).sample.cpu_load);
    // iowait going backwards puts more than all the time in busy: at most 100%.
    dir.write("proc/stat", "cpu  200 0 0 110 50\n");  // busy 200 of 360; before 100 of 300
    previous = LiveCounters{t0, 100, 300, {}};
    EXPECT_EQ(sample(SysRoot(dir.path()), previous, t0 + seconds(3)).sample.cpu_load, 100.0f);
}

TEST(LiveSampler, HardwareMonitorsAndWireless) {
    const TempDir dir;
    dir.write("sys/class/hwmon/hwmon1/name", "coretemp\n");
    dir.write("sys/class/hwmon/hwmon1/temp1_input", "45000\n");
    dir.write("sys/class/hwmon/hwmon1/temp1_label", "Package id 0\n");
    dir.write("sys/class/hwmon/hwmon1/temp2_input", "0\n");
    dir.write("sys/class/hwmon/hwmon1/temp10_input", "50000\n");
    dir.write("sys/class/hwmon/hwmon1/temp3_input", "garbage\n");
    dir.write("sys/class/hwmon/hwmon1/temp4_input", "-5000\n");
    dir.write("sys/class/hwmon/hwmon0/temp1_input", "30500\n");
    dir.write("sys/class/hwmon/hwmon0/temp1_label", "  \n");
    dir.write("sys/class/hwmon/hwmon0/fan1_input", "1200\n");
    dir.write("sys/class/hwmon/hwmon0/fan2_input", "0\n");
    dir.write("sys/class/hwmon/hwmon0/fan3_min", "500\n");
    dir.write("proc/net/wireless",
              "Inter-| sta-|   Quality        |   Discarded packets\n"
              " face | tus | link level noise |  nwid  crypt   frag  retry   misc | beacon\n"
              "wlan0: 0000   70.  -40.  -256        0      0      0      0      0        0\n"
              "wlan1: 0000    0.    0.  -256        0\n"
              "wlan2: 0000    0.  -71.  -256        0\n"
              "no colon here\n"
              " wlan3 : 0000   50.\n");
    const LiveSample s = sample(SysRoot(dir.path()), std::nullopt, t0).sample;
    ASSERT_EQ(s.temperatures.size(), 3u);
    EXPECT_EQ(s.temperatures[0].label, "temp1");  // empty label, no chip name
    EXPECT_FLOAT_EQ(s.temperatures[0].value, 30.5f);
    EXPECT_EQ(s.temperatures[1].label, "Package id 0");  // in number order, as the report
    EXPECT_EQ(s.temperatures[2].label, "coretemp");      // no label: the chip's name
    EXPECT_FLOAT_EQ(s.temperatures[2].value, 50.0f);
    ASSERT_EQ(s.fans.size(), 1u);
    EXPECT_EQ(s.fans[0].label, "fan1");
    EXPECT_FLOAT_EQ(s.fans[0].value, 1200.0f);
    ASSERT_EQ(s.wireless.size(), 3u);
    EXPECT_EQ(s.wireless[0].name, "wlan0");
    EXPECT_EQ(s.wireless[0].level_dbm, -40);
    EXPECT_EQ(s.wireless[1].name, "wlan2");  // quality 0 but a level
    EXPECT_EQ(s.wireless[2].name, "wlan3");  // a quality, no level
    EXPECT_EQ(s.wireless[2].level_dbm, 0);
}

TEST(LiveSampler, MadeUpSensorChipsAreCut) {
    const TempDir dir;
    for (int i = 0; i < 257; ++i)
        dir.write("sys/class/hwmon/hwmon" + std::to_string(i) + "/temp1_input", "40000\n");
    const LiveSample s = sample(SysRoot(dir.path()), std::nullopt, t0).sample;
    EXPECT_EQ(s.temperatures.size(), 256u);
}

TEST(LiveSampler, FirstBattery) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> files;
        std::optional<std::string> status;
        std::int32_t power_mw;
        std::uint32_t minutes;
        std::uint8_t percent;
    };
    const Case cases[] = {
        {{{"status", "Discharging"},
          {"capacity", "87"},
          {"power_now", "7500000"},
          {"energy_now", "11875000"}},
         "Discharging",
         -7500,
         95,
         87},
        {{{"status", "Discharging"},
          {"capacity", "87"},
          {"power_now", "7500000"},
          {"time_to_empty_now", "3600"},
          {"energy_now", "1"}},
         "Discharging",
         -7500,
         60,
         87},
        {{{"status", "Full"}, {"capacity", "100"}, {"power_now", "7500000"}}, "Full", 0, 0, 100},
        {{{"status", "Charging"},
          {"capacity", "250"},
          {"current_now", "2000000"},
          {"voltage_now", "12000000"}},
         "Charging",
         24000,
         0,
         100},
        {{{"status", "Discharging"},
          {"current_now", "-1500000"},
          {"voltage_now", "10000000"},
          {"charge_now", "3000000"}},
         "Discharging",
         -15000,
         120,
         0},
        {{{"status", "Discharging"}, {"power_now", "99999999999999999"}, {"energy_now", "5"}},
         "Discharging",
         -2147483647,
         0,
         0},
        {{{"status", "Discharging"}, {"power_now", "0"}, {"energy_now", "5"}},
         "Discharging",
         0,
         0,
         0},
        {{{"status", ""}, {"capacity", "x"}}, std::nullopt, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const TempDir dir;
        dir.write("sys/class/power_supply/AC/online", "1\n");
        dir.write("sys/class/power_supply/BAT1/type", "Battery\n");
        dir.write("sys/class/power_supply/BAT1/status", "Charging\n");
        dir.write("sys/class/power_supply/BAT0/type", "Battery\n");
        // A mouse sorts first; the card, like the report, describes the machine's pack.
        dir.write("sys/class/power_supply/0-mouse/type", "Battery\n");
        dir.write("sys/class/power_supply/0-mouse/scope", "Device\n");
        dir.write("sys/class/power_supply/0-mouse/capacity", "5\n");
        for (const auto& [name, content] : c.files) {
            dir.write("sys/class/power_supply/BAT0/" + name, content + "\n");
        }
        const auto battery = sample(SysRoot(dir.path()), std::nullopt, t0).sample.battery;
        ASSERT_TRUE(battery);
        EXPECT_EQ(battery->status, c.status);
        EXPECT_EQ(battery->power_mw, c.power_mw) << c.files[0].second;
        EXPECT_EQ(battery->minutes_left, c.minutes);
        EXPECT_EQ(battery->percent, c.percent);
    }
    const TempDir none;
    none.write("sys/class/power_supply/AC/online", "1\n");
    EXPECT_FALSE(sample(SysRoot(none.path()), std::nullopt, t0).sample.battery);
}

TEST(LiveSampler, EmptyMachineHasNothing) {
    const TempDir dir;
    const LiveSample s = sample(SysRoot(dir.path()), std::nullopt, t0).sample;
    EXPECT_EQ(s.mem_total, 0u);
    EXPECT_EQ(s.cpu_mhz_avg, 0u);
    EXPECT_TRUE(s.temperatures.empty());
    EXPECT_TRUE(s.traffic.empty());
    EXPECT_FALSE(s.battery);
    // Without MemAvailable the use is unknown, not "everything".
    dir.write("proc/meminfo", "MemTotal: 1000 kB\n");
    EXPECT_EQ(sample(SysRoot(dir.path()), std::nullopt, t0).sample.mem_total, 0u);
}

}  // namespace
}  // namespace nadrel
