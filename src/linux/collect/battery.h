// The first battery among the power supplies.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

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
