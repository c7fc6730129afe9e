// The battery among the power supplies, its capacity, chemistry and age.
#include "linux/collect/battery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "support/temp_dir.h"

namespace nadrel {
namespace {

TEST(Battery, EnergyFromMicrowattHoursOrChargeTimesVoltage) {
    EXPECT_EQ(battery_energy_mwh(57000999, 0, 0), 57000u);
    EXPECT_EQ(battery_energy_mwh(std::nullopt, 5000000, 7600000), 38000u);
    EXPECT_EQ(battery_energy_mwh(std::nullopt, 0, 7600000), 0u);
    // The product needs 128 bits; the result saturates at 32.
    EXPECT_EQ(battery_energy_mwh(std::nullopt, UINT64_MAX, UINT64_MAX), UINT32_MAX);
    EXPECT_EQ(battery_energy_mwh(std::nullopt, 4294967296000000ull, 1000000), UINT32_MAX);
    EXPECT_EQ(battery_energy_mwh(UINT64_MAX, 1, 1), UINT32_MAX);
}

TEST(Battery, TechnologyNames) {
    for (const auto& [in, out] :
         std::vector<std::pair<std::string, std::string>>{{"Li-ion", "Li-ion"},
                                                          {"Li-Ion", "Li-ion"},
                                                          {"LiFe", "LiFePO4"},
                                                          {"NiMH", "NiMH"},
                                                          {"NiCd", "NiCd"},
                                                          {"Li-poly", "Li-poly"},
                                                          {"Li-Poly", "Li-poly"},
                                                          {"Unknown", ""},
                                                          {"LION", "LION"},
                                                          {"li-ion", "li-ion"}}) {
        EXPECT_EQ(battery_technology(in), out) << in;
    }
}

TEST(Battery, ManufactureDateForms) {
    using O = std::optional<std::uint64_t>;
    EXPECT_EQ(battery_manufactured(1980, 5, 5), "");
    EXPECT_EQ(battery_manufactured(std::nullopt, 5, 5), "");
    EXPECT_EQ(battery_manufactured(1981, O{}, O{}), "1981");
    EXPECT_EQ(battery_manufactured(2021, 13, 1), "2021");
    EXPECT_EQ(battery_manufactured(2021, 0, 1), "2021");
    EXPECT_EQ(battery_manufactured(2021, 3, 0), "2021-03");
    EXPECT_EQ(battery_manufactured(2021, 3, 32), "2021-03");
    EXPECT_EQ(battery_manufactured(2021, 3, O{}), "2021-03");
    EXPECT_EQ(battery_manufactured(2021, 3, 9), "2021-03-09");
    EXPECT_EQ(battery_manufactured(100000, 3, 9), "");
}

TEST(Battery, MachineBatteriesPeripheralsAndMains) {
    test::TempDir t;
    const SysRoot root(t.path());
    EXPECT_TRUE(collect_power_supplies(root).batteries.empty());
    t.write("sys/class/power_supply/AC/type", "Mains\n");
    t.write("sys/class/power_supply/hid-mouse/type", "battery\n");  // case matters
    t.write("sys/class/power_supply/hidpp_battery_0/type", "Battery\n");
    t.write("sys/class/power_supply/hidpp_battery_0/scope", "Device\n");
    t.write("sys/class/power_supply/hidpp_battery_0/model_name", "G502  X\n");
    t.write("sys/class/power_supply/hidpp_battery_0/capacity_level", "Normal\n");
    t.write("sys/class/power_supply/hidpp_battery_0/status", "Unknown\n");
    PowerSupplies p = collect_power_supplies(root);
    EXPECT_TRUE(p.batteries.empty());  // a mouse is not the machine's battery
    ASSERT_EQ(p.device_batteries.size(), 1u);
    EXPECT_EQ(p.device_batteries[0].model, "G502 X");
    EXPECT_EQ(p.device_batteries[0].level, "Normal");
    EXPECT_EQ(p.device_batteries[0].status, "");  // "Unknown" is not known
    EXPECT_FALSE(p.ac_online);                    // a mains supply that does not say
    t.write("sys/class/power_supply/AC/online", "0\n");
    t.write("sys/class/power_supply/USB-C/type", "Mains\n");
    t.write("sys/class/power_supply/USB-C/online", "1\n");
    EXPECT_EQ(collect_power_supplies(root).ac_online, true);  // any adapter online

    const std::string bat = "sys/class/power_supply/BAT0/";
    t.write(bat + "type", "Battery\n");
    t.write(bat + "charge_full_design", "5000000\n");
    t.write(bat + "charge_full", "-4000000\n");
    t.write(bat + "voltage_min_design", "7600000\n");
    t.write(bat + "voltage_now", "8000000\n");
    t.write(bat + "technology", "Li-Ion\n");
    t.write(bat + "cycle_count", "0\n");
    t.write(bat + "manufacture_year", "2021\n");
    t.write(bat + "manufacture_month", "3\n");
    t.write(bat + "manufacture_day", "0\n");
    BatteryInfo b = read_battery(root, "BAT0");
    EXPECT_EQ(b.name, "BAT0");
    EXPECT_EQ(b.design_mwh, 38000u);
    EXPECT_EQ(b.full_mwh, 0u);  // a negative charge counts as none
    EXPECT_EQ(b.min_voltage_mv, 7600u);
    EXPECT_EQ(b.technology, "Li-ion");
    EXPECT_FALSE(b.cycle_count);
    EXPECT_EQ(b.manufactured, "2021-03");

    // Energy files win; voltage_now stands in for a missing minimum voltage.
    t.write(bat + "energy_full_design", "57020000\n");
    t.write(bat + "charge_full", "4000000\n");
    t.write(bat + "voltage_min_design", "volts\n");
    t.write(bat + "cycle_count", "412\n");
    b = read_battery(root, "BAT0");
    EXPECT_EQ(b.design_mwh, 57020u);
    EXPECT_EQ(b.full_mwh, 32000u);
    EXPECT_EQ(b.min_voltage_mv, 0u);
    EXPECT_EQ(b.cycle_count, 412u);
}

TEST(Battery, ChargeDrawAndTimeLeft) {
    const std::pair<const char*, const char*> cases[] = {
        // files of the pack; percent, status, mWh, mW, seconds to empty and to full.
        // The laptop fixture's pack: 30.11 Wh at 9.87 W is 3 h 3 min.
        {"capacity=71 status=Discharging energy_now=30110000 power_now=9870000",
         "71 Discharging 30110 9870 10982 -"},
        // The kernel's own estimate wins; a signed power is a magnitude.
        {"status=Discharging energy_now=30110000 power_now=-9870000 time_to_empty_now=3600",
         "- Discharging 30110 9870 3600 -"},
        // Charge-based, charging: 2 Ah to go at 1.5 A is 80 min; 12 V gives the watts, and the
        // share comes from the charge when there is no capacity file.
        {"status=Charging charge_now=2000000 charge_full=4000000 current_now=-1500000 "
         "voltage_now=12000000",
         "50 Charging 24000 18000 - 4800"},
        // Not moving: no rate, no time; an unknown status is none.
        {"capacity=250 status=Unknown energy_now=5 power_now=0", "100  0 0 - -"},
        {"status=Discharging energy_now=30110000 power_now=0", "- Discharging 30110 0 - -"},
    };
    const auto text = [](const auto& v) { return v ? std::to_string(*v) : std::string("-"); };
    for (const auto& [files, read] : cases) {
        test::TempDir t;
        std::istringstream in(files);
        for (std::string file; in >> file;) {
            const std::size_t eq = file.find('=');
            t.write("sys/class/power_supply/BAT1/" + file.substr(0, eq),
                    file.substr(eq + 1) + "\n");
        }
        const BatteryInfo b = read_battery(SysRoot(t.path()), "BAT1");
        EXPECT_EQ(text(b.charge_percent) + " " + b.status + " " + text(b.energy_now_mwh) + " " +
                      text(b.power_mw) + " " + text(b.time_to_empty_s) + " " +
                      text(b.time_to_full_s),
                  read)
            << files;
    }
    EXPECT_EQ(battery_seconds(1, 0), std::nullopt);
    EXPECT_EQ(battery_seconds(UINT64_MAX, 1), std::nullopt);  // beyond a year
}

TEST(Battery, PacksInNameOrderWhateverTheDirectorySays) {
    // Eight packs written last to first: the first by name is described, as the live card
    // describes it, whatever order the directory lists them in.
    test::TempDir t;
    for (int i = 7; i >= 0; --i) {
        const std::string dir = "sys/class/power_supply/BAT" + std::to_string(i) + "/";
        t.write(dir + "type", "Battery\n");
        t.write(dir + "serial_number", "PACK" + std::to_string(i) + "\n");
    }
    t.write("sys/class/power_supply/AC/type", "Mains\n");
    const SysRoot root(t.path());
    EXPECT_EQ(collect_power_supplies(root).batteries.at(0).serial, "PACK0");
    const std::vector<std::string> all = battery_supplies(root);
    ASSERT_EQ(all.size(), 8u);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
}

}  // namespace
}  // namespace nadrel
