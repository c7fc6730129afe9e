// Hardware-monitor values in base units, and the channels the report shows at a glance.
#include "core/sensors.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/text/numbers.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

struct KindRule {
    std::string_view prefix;
    SensorKind kind;
    double divisor;  // the kernel's unit per base unit
    double lowest;   // readings outside [lowest, highest] are placeholders or garbage
    double highest;
};

// Bounds wide enough for any real part (a 400 V server supply, a 30,000 RPM fan, a 5 kW
// supply), narrow enough to drop register garbage such as 2^31 - 1.
constexpr std::array<KindRule, 5> rules = {{
    {"temp", SensorKind::Temperature, 1000.0, -40.0, 200.0},
    {"fan", SensorKind::Fan, 1.0, 0.0, 100000.0},
    {"in", SensorKind::Voltage, 1000.0, -1000.0, 1000.0},
    {"power", SensorKind::Power, 1000000.0, 0.0, 100000.0},
    {"curr", SensorKind::Current, 1000.0, -10000.0, 10000.0},
}};

const KindRule& rule_of(SensorKind kind) {
    for (const KindRule& rule : rules) {
        if (rule.kind == kind)
            return rule;
    }
    return rules.front();
}

bool is_chip(const Sensor& s, std::initializer_list<std::string_view> chips) {
    return std::find(chips.begin(), chips.end(), s.chip) != chips.end();
}

bool is_temperature(const Sensor& s) {
    return s.kind == SensorKind::Temperature;
}

std::vector<const Sensor*> labelled(const std::vector<Sensor>& sensors,
                                    std::initializer_list<std::string_view> chips,
                                    std::string_view label) {
    std::vector<const Sensor*> found;
    for (const Sensor& s : sensors) {
        if (is_temperature(s) && is_chip(s, chips) && s.label == label)
            found.push_back(&s);
    }
    return found;
}

}  // namespace

std::optional<SensorKind> sensor_kind_of(std::string_view prefix) {
    for (const KindRule& rule : rules) {
        if (rule.prefix == prefix)
            return rule.kind;
    }
    return std::nullopt;
}

std::optional<double> sensor_reading(SensorKind kind, std::string_view text) {
    const auto raw = parse_i64(text);
    if (!raw)
        return std::nullopt;
    const KindRule& rule = rule_of(kind);
    const double value = static_cast<double>(*raw) / rule.divisor;
    if (value < rule.lowest || value > rule.highest)
        return std::nullopt;
    return value;
}

std::optional<double> sensor_limit(SensorKind kind, std::string_view text, bool upper) {
    const auto value = sensor_reading(kind, text);
    if (!value || *value == 0.0 || (upper && kind == SensorKind::Temperature && *value <= 0.0))
        return std::nullopt;
    return value;
}

std::vector<const Sensor*> cpu_temperatures(const std::vector<Sensor>& sensors) {
    std::vector<const Sensor*> packages;
    for (const Sensor& s : sensors) {
        if (is_temperature(s) && s.chip == "coretemp" && starts_with(s.label, "Package id"))
            packages.push_back(&s);
    }
    if (!packages.empty())
        return packages;
    for (const std::string_view label : {"Tdie", "Tctl"}) {
        auto found = labelled(sensors, {"k10temp", "zenpower"}, label);
        if (!found.empty())
            return found;
    }
    // Older Intel processors (before Sandy Bridge) have no package sensor.
    const Sensor* hottest = nullptr;
    for (const Sensor& s : sensors) {
        if (is_temperature(s) && s.chip == "coretemp" && starts_with(s.label, "Core") &&
            (hottest == nullptr || s.value > hottest->value))
            hottest = &s;
    }
    if (hottest != nullptr)
        return {hottest};
    for (const Sensor& s : sensors) {
        if (is_temperature(s) && is_chip(s, {"x86_pkg_temp", "cpu_thermal", "cpu-thermal"}))
            return {&s};
    }
    return {};
}

std::vector<const Sensor*> gpu_temperatures(const std::vector<Sensor>& sensors) {
    std::vector<const Sensor*> gpus;
    for (const Sensor& s : sensors) {
        if (!is_temperature(s) || !is_chip(s, {"amdgpu", "radeon", "nouveau", "i915", "xe"}))
            continue;
        const auto same_chip = std::find_if(gpus.begin(), gpus.end(), [&s](const Sensor* g) {
            return g->chip == s.chip && g->device == s.device;
        });
        if (same_chip == gpus.end())
            gpus.push_back(&s);
        else if (s.label == "edge" && (*same_chip)->label != "edge")
            *same_chip = &s;
    }
    return gpus;
}

const Sensor* disk_sensor(const std::vector<Sensor>& sensors, std::string_view disk) {
    for (const Sensor& s : sensors) {
        if (is_temperature(s) && !disk.empty() && s.disk == disk)
            return &s;
    }
    return nullptr;
}

}  // namespace nadrel
