// The power supplies: the machine's batteries with their capacity and state, peripherals'
// batteries, and whether the mains adapter is plugged in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

struct PowerSupplies {
    std::vector<BatteryInfo> batteries;  // sorted by name: every reader picks the same first
    std::vector<DeviceBattery> device_batteries;
    std::optional<bool> ac_online;
};

// Every power supply, read once. Peripherals (a wireless mouse, a game pad) report their
// cells as batteries too, with the scope "Device": they are device batteries.
PowerSupplies collect_power_supplies(const SysRoot& root);

// The power supplies that are the machine's own batteries ("BAT0", "BAT1"), sorted by name;
// at most limit of them.
std::vector<std::string> battery_supplies(
    const SysRoot& root, std::size_t limit = std::numeric_limits<std::size_t>::max());
// One battery by its power-supply name: capacity, chemistry, age and present state.
BatteryInfo read_battery(const SysRoot& root, const std::string& name);

// mWh from an energy in µWh, else from a charge in µAh times a voltage in µV; saturating.
std::uint32_t battery_energy_mwh(std::optional<std::uint64_t> energy_uwh, std::uint64_t charge_uah,
                                 std::uint64_t voltage_uv);
// The chemistry as shown: "Li-ion", "Li-poly", "LiFePO4", "NiMH", "NiCd" or the text itself.
std::string battery_technology(std::string_view text);
// YYYY-MM-DD, YYYY-MM or YYYY; empty for a missing year or one before 1981.
std::string battery_manufactured(std::optional<std::uint64_t> year,
                                 std::optional<std::uint64_t> month,
                                 std::optional<std::uint64_t> day);
// Seconds to go at a steady rate: amount (µWh or µAh) over rate (µW or µA); nothing for no
// rate, and nothing beyond a year (a rate of a few µW is no estimate).
std::optional<std::uint32_t> battery_seconds(std::uint64_t amount, std::uint64_t rate);

}  // namespace nadrel
