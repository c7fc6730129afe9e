// Sensor readings in base units, and the channels the report picks out.
#include "core/sensors.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

TEST(SensorReading, BaseUnitsWithoutPlaceholders) {
    using K = SensorKind;
    struct Case {
        K kind;
        const char* text;
        std::optional<double> value;
    } const cases[] = {
        {K::Temperature, "38850\n", 38.85},
        {K::Temperature, "-40000", -40.0},
        {K::Temperature, "-273150", std::nullopt},   // NVMe: no such sensor
        {K::Temperature, "65261850", std::nullopt},  // NVMe: no such limit
        {K::Temperature, "200001", std::nullopt},
        {K::Temperature, "45.5", std::nullopt},  // the kernel writes integers
        {K::Temperature, "hot", std::nullopt},
        {K::Temperature, "99999999999999999999", std::nullopt},
        {K::Fan, "1150", 1150.0},
        {K::Fan, "-1", std::nullopt},
        {K::Fan, "2147483647", std::nullopt},
        {K::Voltage, "1032", 1.032},
        {K::Voltage, "-12100", -12.1},
        {K::Power, "15000000", 15.0},
        {K::Current, "450", 0.45},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sensor_reading(c.kind, c.text), c.value) << c.text;
    // Unset limit registers read 0; an upper temperature limit at or below 0 °C is none.
    EXPECT_EQ(sensor_limit(K::Temperature, "0", true), std::nullopt);
    EXPECT_EQ(sensor_limit(K::Temperature, "-5000", true), std::nullopt);
    EXPECT_EQ(sensor_limit(K::Temperature, "-5000", false), -5.0);
    EXPECT_EQ(sensor_limit(K::Voltage, "0", false), std::nullopt);
    EXPECT_EQ(sensor_kind_of("curr"), K::Current);
    EXPECT_EQ(sensor_kind_of("pwm"), std::nullopt);
}

Sensor temp(const char* chip, const char* device, const char* label, double value) {
    return {chip, device, label, SensorKind::Temperature, value};
}

TEST(SensorChoice, ProcessorGraphicsAndDisks) {
    std::vector<Sensor> s = {temp("coretemp", "coretemp.0", "Core 0", 52),
                             temp("coretemp", "coretemp.0", "Core 2", 55),
                             temp("x86_pkg_temp", "thermal_zone1", "temp1", 50)};
    // No package sensor: the hottest core.
    ASSERT_EQ(cpu_temperatures(s).size(), 1u);
    EXPECT_EQ(cpu_temperatures(s)[0]->label, "Core 2");
    s.push_back(temp("coretemp", "coretemp.1", "Package id 1", 60));
    s.push_back(temp("coretemp", "coretemp.0", "Package id 0", 58));
    ASSERT_EQ(cpu_temperatures(s).size(), 2u);  // every package, in list order
    EXPECT_EQ(cpu_temperatures(s)[0]->label, "Package id 1");
    // AMD: Tdie (the real die temperature) before Tctl (offset on some parts).
    const std::vector<Sensor> amd = {temp("k10temp", "0000:00:18.3", "Tctl", 70),
                                     temp("k10temp", "0000:00:18.3", "Tdie", 50)};
    EXPECT_EQ(cpu_temperatures(amd).at(0)->value, 50);
    EXPECT_EQ(cpu_temperatures({temp("cpu_thermal", "thermal_zone0", "temp1", 41)}).size(), 1u);

    const std::vector<Sensor> gpus = {
        temp("amdgpu", "0000:03:00.0", "junction", 52), temp("amdgpu", "0000:03:00.0", "edge", 45),
        temp("nouveau", "0000:01:00.0", "temp1", 40), temp("amdgpu", "0000:0e:00.0", "edge", 38)};
    const auto chosen = gpu_temperatures(gpus);
    ASSERT_EQ(chosen.size(), 3u);
    EXPECT_EQ(chosen[0]->label, "edge");
    EXPECT_EQ(chosen[1]->chip, "nouveau");
    EXPECT_EQ(chosen[2]->value, 38);

    std::vector<Sensor> nvme = {temp("nvme", "nvme0", "Composite", 38.85),
                                temp("nvme", "nvme0", "Sensor 1", 40)};
    for (Sensor& n : nvme)
        n.disk = "nvme0n1";
    EXPECT_EQ(disk_sensor(nvme, "nvme0n1")->label, "Composite");
    EXPECT_EQ(disk_sensor(nvme, "sda"), nullptr);
    EXPECT_EQ(disk_sensor(gpus, ""), nullptr);
}

}  // namespace
}  // namespace nadrel
