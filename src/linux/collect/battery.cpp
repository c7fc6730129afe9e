// The first battery among the power supplies, by name: capacity, chemistry, cycles and age.
#include "linux/collect/battery.h"

#include <limits>
#include <string>
#include <vector>

#include "core/text/fields.h"
#include "core/text/fmt.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

__extension__ using u128 = unsigned __int128;

constexpr std::uint64_t u32_max = std::numeric_limits<std::uint32_t>::max();

}  // namespace

std::uint32_t battery_energy_mwh(std::optional<std::uint64_t> energy_uwh, std::uint64_t charge_uah,
                                 std::uint64_t voltage_uv) {
    if (energy_uwh)
        return saturate_u32(*energy_uwh / 1000);
    // µAh x µV is 1e-12 Wh; the product of two 64-bit readings needs 128 bits.
    const u128 mwh = u128{charge_uah} * u128{voltage_uv} / 1000000000u;
    return mwh > u32_max ? static_cast<std::uint32_t>(u32_max) : static_cast<std::uint32_t>(mwh);
}

std::string battery_technology(std::string_view text) {
    if (text == "Li-ion" || text == "Li-Ion")
        return "Li-ion";
    if (text == "LiFe")
        return "LiFePO4";
    if (text == "Li-poly" || text == "Li-Poly")
        return "Li-poly";
    if (text == "Unknown")
        return {};
    return std::string(text);
}

std::string battery_manufactured(std::optional<std::uint64_t> year,
                                 std::optional<std::uint64_t> month,
                                 std::optional<std::uint64_t> day) {
    if (!year || *year < 1981)
        return {};
    // Years past 9999 would not fit the four-digit form; they are as bogus as 1980.
    if (*year > 9999)
        return {};
    const auto y = static_cast<unsigned>(*year);
    if (!month || *month < 1 || *month > 12)
        return strfmt("%04u", y);
    const auto m = static_cast<unsigned>(*month);
    if (!day || *day < 1 || *day > 31)
        return strfmt("%04u-%02u", y, m);
    return strfmt("%04u-%02u-%02u", y, m, static_cast<unsigned>(*day));
}

std::vector<std::string> battery_supplies(const SysRoot& root, std::size_t limit) {
    std::vector<std::string> names;
    for (auto& name : list_dir_sorted(root, "/sys/class/power_supply")) {
        if (names.size() >= limit)
            break;
        const std::string dir = "/sys/class/power_supply/" + name;
        // Peripherals (a wireless mouse, a game pad) report their cells as batteries too, with
        // the scope "Device"; they are not the machine's battery.
        if (read_text(root, dir + "/type") == "Battery" &&
            read_text(root, dir + "/scope") != "Device")
            names.push_back(std::move(name));
    }
    return names;
}

BatteryInfo collect_battery(const SysRoot& root) {
    BatteryInfo b;
    const std::vector<std::string> batteries = battery_supplies(root, 1);
    if (batteries.empty())
        return b;
    const std::string dir = "/sys/class/power_supply/" + batteries.front() + "/";

    const auto voltage_min = read_u64(root, dir + "voltage_min_design");
    const std::uint64_t voltage =
        voltage_min ? *voltage_min : read_u64(root, dir + "voltage_now").value_or(0);
    auto energy = [&](const char* energy_file, const char* charge_file) {
        const auto uwh = read_u64(root, dir + energy_file);
        if (uwh)
            return battery_energy_mwh(uwh, 0, 0);
        return battery_energy_mwh(std::nullopt, read_u64(root, dir + charge_file).value_or(0),
                                  voltage);
    };
    b.design_mwh = energy("energy_full_design", "charge_full_design");
    b.full_mwh = energy("energy_full", "charge_full");

    if (const auto tech = read_text(root, dir + "technology")) {
        b.technology = battery_technology(*tech);
    }
    if (const auto cycles = read_u64(root, dir + "cycle_count"); cycles && *cycles != 0) {
        b.cycle_count = saturate_u32(*cycles);
    }
    b.manufactured = battery_manufactured(read_u64(root, dir + "manufacture_year"),
                                          read_u64(root, dir + "manufacture_month"),
                                          read_u64(root, dir + "manufacture_day"));
    if (const auto serial = read_text(root, dir + "serial_number"))
        b.serial = std::string(trim(*serial));
    if (voltage_min)
        b.min_voltage_mv = saturate_u32(*voltage_min / 1000);
    b.present = true;
    return b;
}

}  // namespace nadrel
