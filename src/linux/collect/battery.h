// The machine's batteries among the power supplies, and the first of them.
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

// The power supplies that are the machine's own batteries ("BAT0", "BAT1"), sorted by name so
// that every reader picks the same pack first; at most limit of them.
std::vector<std::string> battery_supplies(
    const SysRoot& root, std::size_t limit = std::numeric_limits<std::size_t>::max());
// The first of them.
BatteryInfo collect_battery(const SysRoot& root);

// mWh from an energy in µWh, else from a charge in µAh times a voltage in µV; saturating.
std::uint32_t battery_energy_mwh(std::optional<std::uint64_t> energy_uwh, std::uint64_t charge_uah,
                                 std::uint64_t voltage_uv);
// The chemistry as shown: "Li-ion", "Li-poly", "LiFePO4", "NiMH", "NiCd" or the text itself.
std::string battery_technology(std::string_view text);
// YYYY-MM-DD, YYYY-MM or YYYY; empty for a missing year or one before 1981.
std::string battery_manufactured(std::optional<std::uint64_t> year,
                                 std::optional<std::uint64_t> month,
                                 std::optional<std::uint64_t> day);

}  // namespace nadrel
