// The health parts of the --json document. Enumerations are fixed lower-case words; counts
// that can be 0 (a charge, a swap size, a number of errors) are 0, not null, when known.
#include "core/json_health.h"

#include <cmath>

#include "core/attention.h"
#include "core/battery.h"
#include "core/text/kernel_state.h"

namespace nadrel::json {

namespace {

using S = SystemSnapshot;

// The kernel's status words; any other ("Unknown") is not known.
std::vector<Word<std::string>> status_words() {
    return {{"Charging", "charging"},
            {"Discharging", "discharging"},
            {"Not charging", "not_charging"},
            {"Full", "full"}};
}

std::vector<Word<std::string>> level_words() {
    return {{"Full", "full"},
            {"High", "high"},
            {"Normal", "normal"},
            {"Low", "low"},
            {"Critical", "critical"}};
}

std::vector<Word<SensorKind>> kind_words() {
    return {{SensorKind::Temperature, "temperature"},
            {SensorKind::Fan, "fan"},
            {SensorKind::Voltage, "voltage"},
            {SensorKind::Power, "power"},
            {SensorKind::Current, "current"}};
}

std::vector<Word<SensorKind>> unit_words() {
    return {{SensorKind::Temperature, "celsius"},
            {SensorKind::Fan, "rpm"},
            {SensorKind::Voltage, "volt"},
            {SensorKind::Power, "watt"},
            {SensorKind::Current, "ampere"}};
}

// A count written as it is unless readers would round it; null reads as 0.
template <typename T, typename P>
Field<T> count(std::string_view key, P p) {
    return Keys<T>::custom(
        key, [p](const T& t) { return optional_number(std::optional(std::invoke(p, t))); },
        [p](const Json& j, T& t) { return read_number(j, std::invoke(p, t)); });
}

// A pack's capacity: the keys of the first pack's "battery" object, and of every pack.
void add_capacity_fields(Fields<BatteryInfo>& f) {
    using K = Keys<BatteryInfo>;
    using B = BatteryInfo;
    f.insert(f.end(), {
                          K::text("technology", &B::technology),
                          K::text("manufactured", &B::manufactured),
                          K::ident("serial", &B::serial),
                          K::maybe("cycle_count", &B::cycle_count),
                          K::known("design_mwh", &B::design_mwh),
                          K::known("full_mwh", &B::full_mwh),
                          K::derived("wear_percent",
                                     [](const B& b) -> Json {
                                         if (b.design_mwh == 0 || b.full_mwh == 0)
                                             return nullptr;
                                         // One decimal, as the report shows it.
                                         return std::round(battery_wear_percent(b) * 10.0) / 10.0;
                                     }),
                          K::known("design_voltage_mv", &B::min_voltage_mv),
                      });
}

Fields<BatteryInfo> capacity_fields() {
    Fields<BatteryInfo> f;
    add_capacity_fields(f);
    return f;
}

Fields<BatteryInfo> pack_fields() {
    using K = Keys<BatteryInfo>;
    using B = BatteryInfo;
    Fields<B> f = {K::text("name", &B::name)};
    add_capacity_fields(f);
    f.insert(f.end(), {
                          K::maybe("charge_percent", &B::charge_percent),
                          K::word("status", &B::status, status_words()),
                          K::maybe("energy_now_mwh", &B::energy_now_mwh),
                          K::maybe("power_mw", &B::power_mw),
                          K::maybe("time_to_empty_seconds", &B::time_to_empty_s),
                          K::maybe("time_to_full_seconds", &B::time_to_full_s),
                          K::text("model", &B::model),
                          K::text("manufacturer", &B::manufacturer),
                      });
    return f;
}

Fields<DeviceBattery> device_battery_fields() {
    using K = Keys<DeviceBattery>;
    using D = DeviceBattery;
    return {
        K::text("model", &D::model),
        K::text("manufacturer", &D::manufacturer),
        K::maybe("charge_percent", &D::charge_percent),
        K::word("level", &D::level, level_words()),
        K::word("status", &D::status, status_words()),
    };
}

Fields<Sensor> sensor_fields() {
    using K = Keys<Sensor>;
    return {
        K::text("chip", &Sensor::chip),
        K::text("device", &Sensor::device),
        K::text("label", &Sensor::label),
        K::word("kind", &Sensor::kind, kind_words()),
        K::custom(
            "value", [](const Sensor& s) { return Json(s.value); },
            [](const Json& j, Sensor& s) { return read_real(j, s.value); }),
        K::derived("unit", [](const Sensor& s) { return word_of(s.kind, unit_words()); }),
        K::real("max", &Sensor::max),
        K::real("critical", &Sensor::critical),
        K::real("min", &Sensor::min),
        K::real("critical_low", &Sensor::critical_low),
        K::text("disk", &Sensor::disk),
    };
}

Json taint_json(const S& s) {
    if (!s.kernel_taint || *s.kernel_taint > max_exact_integer)
        return nullptr;
    Json flags = Json::array();
    for (const TaintFlag& flag : taint_flags(*s.kernel_taint))
        flags.push_back(std::string(1, flag.letter));
    return {{"value", *s.kernel_taint}, {"flags", std::move(flags)}};
}

// The value is what is read; the letters are its bits.
ReadResult read_taint(const Json& j, S& s) {
    if (j.is_null()) {
        s.kernel_taint.reset();
        return std::nullopt;
    }
    if (!j.is_object())
        return fail("is not an object or null");
    const auto value = j.find("value");
    if (value == j.end()) {
        s.kernel_taint.reset();
        return std::nullopt;
    }
    return inside("value", read_optional_number(*value, s.kernel_taint));
}

Json load_json(const S& s) {
    if (!s.load_average)
        return nullptr;
    return {(*s.load_average)[0], (*s.load_average)[1], (*s.load_average)[2]};
}

ReadResult read_load(const Json& j, S& s) {
    if (j.is_null()) {
        s.load_average.reset();
        return std::nullopt;
    }
    if (!j.is_array() || j.size() != 3)
        return fail("is not a list of three numbers or null");
    std::array<double, 3> load{};
    for (std::size_t i = 0; i < load.size(); ++i) {
        if (auto error = inside("[" + std::to_string(i) + "]", read_real(j[i], load[i])))
            return error;
    }
    s.load_average = load;
    return std::nullopt;
}

}  // namespace

Field<S> attention_field() {
    return Keys<S>::derived("attention", [](const S& s) {
        Json list = Json::array();
        for (const AttentionItem& item : find_attention(s)) {
            list.push_back(
                {{"kind", item.kind}, {"subject", text(item.subject)}, {"text", text(item.text)}});
        }
        return list;
    });
}

Fields<S> system_state_fields() {
    using K = Keys<S>;
    return {
        K::text("hypervisor", &S::hypervisor),
        K::maybe("uptime_seconds", &S::uptime_seconds),
        K::custom("load_average", load_json, read_load),
        K::word("boot_mode", &S::boot_mode,
                std::vector<Word<BootMode>>{{BootMode::Uefi, "uefi"}, {BootMode::Bios, "bios"}},
                BootMode::Unknown),
        K::custom("kernel_taint", taint_json, read_taint),
    };
}

Fields<CpuInfo> cpu_state_fields() {
    using K = Keys<CpuInfo>;
    using V = CpuVulnerability;
    return {
        K::known("min_mhz", &CpuInfo::min_mhz),
        K::text("scaling_driver", &CpuInfo::scaling_driver),
        K::text("governor", &CpuInfo::governor),
        K::text("microcode", &CpuInfo::microcode),
        K::list(
            "vulnerabilities", &CpuInfo::vulnerabilities,
            Fields<V>{Keys<V>::text("name", &V::name), Keys<V>::text("status", &V::status),
                      Keys<V>::derived("vulnerable",
                                       [](const V& v) { return Json(is_vulnerable(v.status)); })}),
    };
}

Fields<S> memory_state_fields() {
    using K = Keys<S>;
    using E = MemoryErrorCount;
    return {
        K::maybe("used_bytes", &S::memory_used),
        K::maybe("swap_total_bytes", &S::swap_total),
        K::maybe("swap_used_bytes", &S::swap_used),
        K::list("edac", &S::memory_edac,
                Fields<E>{Keys<E>::text("controller", &E::controller),
                          Keys<E>::text("label", &E::label),
                          count<E>("corrected_errors", &E::corrected),
                          count<E>("uncorrected_errors", &E::uncorrected)}),
    };
}

Fields<MemoryModule> module_error_fields() {
    using K = Keys<MemoryModule>;
    return {
        K::maybe("corrected_errors", &MemoryModule::corrected_errors),
        K::maybe("uncorrected_errors", &MemoryModule::uncorrected_errors),
    };
}

Fields<DiskInfo> disk_temperature_fields() {
    return {Keys<DiskInfo>::real("temperature_c", &DiskInfo::temperature_c)};
}

Fields<S> power_and_sensor_fields() {
    using K = Keys<S>;
    return {
        // The first pack's capacity, as before there were several; a document from then gives
        // its one pack here.
        Field<S>{"battery",
                 [](const S& s, const JsonOptions& o) {
                     return s.batteries.empty()
                                ? Json(nullptr)
                                : write_object(s.batteries.front(), capacity_fields(), o);
                 },
                 [](const Json& j, S& s) -> ReadResult {
                     s.batteries.clear();
                     if (j.is_null())
                         return std::nullopt;
                     return read_object(j, s.batteries.emplace_back(), capacity_fields());
                 }},
        K::list("batteries", &S::batteries, pack_fields()),
        K::list("device_batteries", &S::device_batteries, device_battery_fields()),
        K::custom(
            "ac_online", [](const S& s) { return s.ac_online ? Json(*s.ac_online) : Json(); },
            [](const Json& j, S& s) { return read_optional_flag(j, s.ac_online); }),
        K::list("sensors", &S::sensors, sensor_fields()),
    };
}

}  // namespace nadrel::json
