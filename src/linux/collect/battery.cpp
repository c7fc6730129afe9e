// The power supplies: batteries by name with capacity, chemistry, age and state; peripherals'
// batteries; the mains adapter.
#include "linux/collect/battery.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "core/text/fields.h"
#include "core/text/fmt.h"
#include "core/text/names.h"
#include "core/text/numbers.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

__extension__ using u128 = unsigned __int128;

constexpr std::uint64_t u32_max = std::numeric_limits<std::uint32_t>::max();
constexpr std::string_view supply_dir = "/sys/class/power_supply";
// A laptop has one or two packs, a desk a handful of peripherals; a tree claiming more is cut.
constexpr std::size_t max_supplies = 256;
constexpr std::size_t max_batteries = 16;
constexpr std::size_t max_device_batteries = 64;

std::string trimmed(const SysRoot& root, const std::string& path) {
    const auto text = read_text(root, path);
    return text ? std::string(trim(*text)) : std::string();
}

// A magnitude from a file some drivers write signed (current_now, power_now).
std::optional<std::uint64_t> read_magnitude(const SysRoot& root, const std::string& path) {
    const auto text = read_text(root, path);
    if (!text)
        return std::nullopt;
    if (const auto v = parse_i64(*text))
        return *v < 0 ? static_cast<std::uint64_t>(-(*v + 1)) + 1 : static_cast<std::uint64_t>(*v);
    return parse_u64(*text);
}

std::optional<std::uint8_t> read_percent(const SysRoot& root, const std::string& path) {
    const auto percent = read_u64(root, path);
    if (!percent)
        return std::nullopt;
    return static_cast<std::uint8_t>(std::min<std::uint64_t>(*percent, 100));
}

// The kernel's words for a battery's state and level; anything else ("Unknown", garbage) is
// not known.
std::string known_word(std::string text, std::initializer_list<std::string_view> words) {
    for (const std::string_view word : words) {
        if (text == word)
            return text;
    }
    return {};
}

std::string read_status(const SysRoot& root, const std::string& path) {
    return known_word(trimmed(root, path), {"Charging", "Discharging", "Not charging", "Full"});
}

struct Supply {
    std::string name;
    std::string type;
    std::string scope;
};

// Name, type and scope of each supply, sorted by name.
std::vector<Supply> list_supplies(const SysRoot& root) {
    std::vector<Supply> supplies;
    for (auto& name : list_dir_sorted(root, supply_dir)) {
        if (supplies.size() >= max_supplies)
            break;
        const std::string dir = std::string(supply_dir) + "/" + name;
        const auto texts = read_texts_in(root, dir, {"type", "scope"});
        supplies.push_back({std::move(name), std::string(trim(texts[0].value_or(""))),
                            std::string(trim(texts[1].value_or("")))});
    }
    return supplies;
}

bool is_machine_battery(const Supply& s) {
    return s.type == "Battery" && s.scope != "Device";
}

// The charge, the draw and the time left of a battery now.
void read_state(const SysRoot& root, const std::string& dir, std::uint64_t voltage,
                BatteryInfo& b) {
    b.status = read_status(root, dir + "status");
    const auto energy_now = read_u64(root, dir + "energy_now");
    const auto charge_now = energy_now ? std::nullopt : read_u64(root, dir + "charge_now");
    if (energy_now || charge_now)
        b.energy_now_mwh = battery_energy_mwh(energy_now, charge_now.value_or(0), voltage);
    b.charge_percent = read_percent(root, dir + "capacity");
    if (!b.charge_percent && b.energy_now_mwh && b.full_mwh != 0) {
        b.charge_percent = static_cast<std::uint8_t>(std::min<std::uint64_t>(
            (std::uint64_t{*b.energy_now_mwh} * 100 + b.full_mwh / 2) / b.full_mwh, 100));
    }

    const auto power_uw = read_magnitude(root, dir + "power_now");
    const auto current_ua = power_uw ? std::nullopt : read_magnitude(root, dir + "current_now");
    const auto voltage_now = read_magnitude(root, dir + "voltage_now");
    if (power_uw) {
        b.power_mw = saturate_u32(*power_uw / 1000);
    } else if (current_ua && voltage_now) {
        b.power_mw = saturate_u32(saturating_mul(*current_ua, *voltage_now) / 1000000000);
    }
    // The kernel's own estimates first; else the amount over the rate, in matching units
    // (energy over power, or charge over current).
    const auto rate = power_uw ? power_uw : current_ua;
    const auto amount = power_uw ? energy_now : charge_now;
    if (b.status == "Discharging") {
        if (const auto s = read_u64(root, dir + "time_to_empty_now"))
            b.time_to_empty_s = saturate_u32(*s);
        else if (amount && rate)
            b.time_to_empty_s = battery_seconds(*amount, *rate);
    } else if (b.status == "Charging") {
        const auto full = read_u64(root, dir + (power_uw ? "energy_full" : "charge_full"));
        if (const auto s = read_u64(root, dir + "time_to_full_now"))
            b.time_to_full_s = saturate_u32(*s);
        else if (amount && rate && full && *full > *amount)
            b.time_to_full_s = battery_seconds(*full - *amount, *rate);
    }
}

DeviceBattery read_device_battery(const SysRoot& root, const std::string& name) {
    const std::string dir = std::string(supply_dir) + "/" + name + "/";
    DeviceBattery d;
    d.model = collapse_spaces(trimmed(root, dir + "model_name"));
    d.manufacturer = collapse_spaces(trimmed(root, dir + "manufacturer"));
    d.charge_percent = read_percent(root, dir + "capacity");
    d.level = known_word(trimmed(root, dir + "capacity_level"),
                         {"Full", "High", "Normal", "Low", "Critical"});
    d.status = read_status(root, dir + "status");
    return d;
}

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

std::optional<std::uint32_t> battery_seconds(std::uint64_t amount, std::uint64_t rate) {
    if (rate == 0)
        return std::nullopt;
    const u128 seconds = u128{amount} * 3600u / rate;
    if (seconds > 366u * 24u * 3600u)
        return std::nullopt;
    return static_cast<std::uint32_t>(seconds);
}

std::vector<std::string> battery_supplies(const SysRoot& root, std::size_t limit) {
    std::vector<std::string> names;
    for (Supply& s : list_supplies(root)) {
        if (names.size() >= limit)
            break;
        if (is_machine_battery(s))
            names.push_back(std::move(s.name));
    }
    return names;
}

BatteryInfo read_battery(const SysRoot& root, const std::string& name) {
    BatteryInfo b;
    b.name = name;
    const std::string dir = std::string(supply_dir) + "/" + name + "/";

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
    b.serial = trimmed(root, dir + "serial_number");
    if (voltage_min)
        b.min_voltage_mv = saturate_u32(*voltage_min / 1000);
    b.model = collapse_spaces(trimmed(root, dir + "model_name"));
    b.manufacturer = collapse_spaces(trimmed(root, dir + "manufacturer"));
    read_state(root, dir, voltage, b);
    return b;
}

PowerSupplies collect_power_supplies(const SysRoot& root) {
    PowerSupplies out;
    for (const Supply& s : list_supplies(root)) {
        const std::string dir = std::string(supply_dir) + "/" + s.name;
        if (is_machine_battery(s)) {
            if (out.batteries.size() < max_batteries)
                out.batteries.push_back(read_battery(root, s.name));
        } else if (s.type == "Battery") {
            if (out.device_batteries.size() < max_device_batteries)
                out.device_batteries.push_back(read_device_battery(root, s.name));
        } else if (s.type == "Mains") {
            // Any adapter online powers the machine.
            const auto online = read_u64(root, dir + "/online");
            if (online)
                out.ac_online = out.ac_online.value_or(false) || *online != 0;
        }
    }
    return out;
}

}  // namespace nadrel
