// The health parts of the --json document. Enumerations are fixed lower-case words; counts
// that can be 0 (a charge, a swap size, a number of errors) are 0, not null, when known.
#include "core/json_health.h"

#include <cmath>

#include "core/attention.h"
#include "core/battery.h"
#include "core/text/kernel_state.h"

namespace nadrel::json {

namespace {

template <typename T>
Json optional_number(const std::optional<T>& value) {
    if (!value || static_cast<double>(*value) > static_cast<double>(max_exact_integer))
        return nullptr;
    return *value;
}

Json optional_real(const std::optional<double>& value) {
    return value ? Json(*value) : Json(nullptr);
}

// The kernel's status words as enumeration values; anything else is not known.
Json status_word(std::string_view status) {
    if (status == "Charging")
        return "charging";
    if (status == "Discharging")
        return "discharging";
    if (status == "Not charging")
        return "not_charging";
    if (status == "Full")
        return "full";
    return nullptr;
}

Json level_word(std::string_view level) {
    constexpr std::pair<std::string_view, const char*> words[] = {{"Full", "full"},
                                                                  {"High", "high"},
                                                                  {"Normal", "normal"},
                                                                  {"Low", "low"},
                                                                  {"Critical", "critical"}};
    for (const auto& [kernel, word] : words) {
        if (level == kernel)
            return word;
    }
    return nullptr;
}

const char* kind_word(SensorKind kind) {
    switch (kind) {
        case SensorKind::Temperature:
            return "temperature";
        case SensorKind::Fan:
            return "fan";
        case SensorKind::Voltage:
            return "voltage";
        case SensorKind::Power:
            return "power";
        case SensorKind::Current:
            return "current";
    }
    return "temperature";
}

const char* unit_word(SensorKind kind) {
    switch (kind) {
        case SensorKind::Temperature:
            return "celsius";
        case SensorKind::Fan:
            return "rpm";
        case SensorKind::Voltage:
            return "volt";
        case SensorKind::Power:
            return "watt";
        case SensorKind::Current:
            return "ampere";
    }
    return "celsius";
}

Json boot_mode_word(BootMode mode) {
    switch (mode) {
        case BootMode::Uefi:
            return "uefi";
        case BootMode::Bios:
            return "bios";
        case BootMode::Unknown:
            return nullptr;
    }
    return nullptr;
}

}  // namespace

Json attention_json(const SystemSnapshot& s) {
    Json list = Json::array();
    for (const AttentionItem& item : find_attention(s))
        list.push_back(
            {{"kind", item.kind}, {"subject", text(item.subject)}, {"text", text(item.text)}});
    return list;
}

Json sensors_json(const SystemSnapshot& s) {
    Json list = Json::array();
    for (const Sensor& sensor : s.sensors) {
        list.push_back({{"chip", text(sensor.chip)},
                        {"device", text(sensor.device)},
                        {"label", text(sensor.label)},
                        {"kind", kind_word(sensor.kind)},
                        {"value", sensor.value},
                        {"unit", unit_word(sensor.kind)},
                        {"max", optional_real(sensor.max)},
                        {"critical", optional_real(sensor.critical)},
                        {"min", optional_real(sensor.min)},
                        {"critical_low", optional_real(sensor.critical_low)},
                        {"disk", text(sensor.disk)}});
    }
    return list;
}

Json battery_json(const BatteryInfo& b, const JsonOptions& o, bool state) {
    Json wear = nullptr;
    if (b.design_mwh != 0 && b.full_mwh != 0) {
        // One decimal, as the report shows it.
        wear = std::round(battery_wear_percent(b) * 10.0) / 10.0;
    }
    Json j;
    if (state)
        j["name"] = text(b.name);
    j["technology"] = text(b.technology);
    j["manufactured"] = text(b.manufactured);
    j["serial"] = ident(b.serial, o);
    j["cycle_count"] = b.cycle_count ? Json(*b.cycle_count) : Json(nullptr);
    j["design_mwh"] = known(b.design_mwh);
    j["full_mwh"] = known(b.full_mwh);
    j["wear_percent"] = std::move(wear);
    j["design_voltage_mv"] = known(b.min_voltage_mv);
    if (!state)
        return j;
    j["charge_percent"] = optional_number(b.charge_percent);
    j["status"] = status_word(b.status);
    j["energy_now_mwh"] = optional_number(b.energy_now_mwh);
    j["power_mw"] = optional_number(b.power_mw);
    j["time_to_empty_seconds"] = optional_number(b.time_to_empty_s);
    j["time_to_full_seconds"] = optional_number(b.time_to_full_s);
    j["model"] = text(b.model);
    j["manufacturer"] = text(b.manufacturer);
    return j;
}

Json batteries_json(const SystemSnapshot& s, const JsonOptions& o) {
    Json list = Json::array();
    for (const BatteryInfo& b : s.batteries)
        list.push_back(battery_json(b, o, true));
    return list;
}

Json device_batteries_json(const SystemSnapshot& s) {
    Json list = Json::array();
    for (const DeviceBattery& d : s.device_batteries) {
        list.push_back({{"model", text(d.model)},
                        {"manufacturer", text(d.manufacturer)},
                        {"charge_percent", optional_number(d.charge_percent)},
                        {"level", level_word(d.level)},
                        {"status", status_word(d.status)}});
    }
    return list;
}

Json ac_online_json(const SystemSnapshot& s) {
    return s.ac_online ? Json(*s.ac_online) : Json(nullptr);
}

void add_system_state(Json& system, const SystemSnapshot& s) {
    system["hypervisor"] = text(s.hypervisor);
    system["uptime_seconds"] = optional_number(s.uptime_seconds);
    system["load_average"] = s.load_average ? Json(*s.load_average) : Json(nullptr);
    system["boot_mode"] = boot_mode_word(s.boot_mode);
    Json taint = nullptr;
    if (s.kernel_taint && *s.kernel_taint <= max_exact_integer) {
        Json flags = Json::array();
        for (const TaintFlag& flag : taint_flags(*s.kernel_taint))
            flags.push_back(std::string(1, flag.letter));
        taint = {{"value", *s.kernel_taint}, {"flags", std::move(flags)}};
    }
    system["kernel_taint"] = std::move(taint);
}

void add_cpu_state(Json& cpu, const CpuInfo& c) {
    cpu["min_mhz"] = known(c.min_mhz);
    cpu["scaling_driver"] = text(c.scaling_driver);
    cpu["governor"] = text(c.governor);
    cpu["microcode"] = text(c.microcode);
    Json list = Json::array();
    for (const CpuVulnerability& v : c.vulnerabilities) {
        list.push_back({{"name", text(v.name)},
                        {"status", text(v.status)},
                        {"vulnerable", is_vulnerable(v.status)}});
    }
    cpu["vulnerabilities"] = std::move(list);
}

void add_memory_state(Json& memory, const SystemSnapshot& s) {
    memory["used_bytes"] = optional_number(s.memory_used);
    memory["swap_total_bytes"] = optional_number(s.swap_total);
    memory["swap_used_bytes"] = optional_number(s.swap_used);
    Json list = Json::array();
    for (const MemoryErrorCount& e : s.memory_edac) {
        list.push_back({{"controller", text(e.controller)},
                        {"label", text(e.label)},
                        {"corrected_errors", optional_number(std::optional(e.corrected))},
                        {"uncorrected_errors", optional_number(std::optional(e.uncorrected))}});
    }
    memory["edac"] = std::move(list);
}

void add_module_errors(Json& module, const MemoryModule& m) {
    module["corrected_errors"] = optional_number(m.corrected_errors);
    module["uncorrected_errors"] = optional_number(m.uncorrected_errors);
}

void add_disk_temperature(Json& disk, const DiskInfo& d) {
    disk["temperature_c"] = optional_real(d.temperature_c);
}

}  // namespace nadrel::json
