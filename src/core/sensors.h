// Hardware-monitor values: the kernel's integer units (millidegrees, millivolts, microwatts,
// milliamperes, RPM) in base units, with the readings no part can give left out, and the
// channels the report picks out of a chip list (the CPU's, the GPUs', the fans).
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/snapshot.h"

namespace nadrel {

// The kind of channel a hwmon file prefix names ("temp", "fan", "in", "power", "curr").
std::optional<SensorKind> sensor_kind_of(std::string_view prefix);

// A reading in base units from attribute text (a signed integer in the kernel's unit).
// Placeholders and impossible values are absent: temperatures below -40 °C or above 200 °C
// (NVMe drives report -273.15 °C and 65261.85 °C for missing sensors), negative fan speeds
// and values beyond what any part measures.
std::optional<double> sensor_reading(SensorKind kind, std::string_view text);
// A limit, read as a reading; chips leave unset limit registers at 0, so a 0 limit is absent,
// and an upper temperature limit at or below 0 °C is too.
std::optional<double> sensor_limit(SensorKind kind, std::string_view text, bool upper);

// The processor's temperature channels: the package ones of coretemp, else k10temp's or
// zenpower's Tdie (else Tctl), else the hottest coretemp core, else a processor thermal zone.
std::vector<const Sensor*> cpu_temperatures(const std::vector<Sensor>& sensors);
// One temperature per graphics chip (amdgpu, radeon, nouveau, i915, xe), in list order: its
// "edge" channel, else its first temperature.
std::vector<const Sensor*> gpu_temperatures(const std::vector<Sensor>& sensors);
// The first temperature channel of the disk, or nothing.
const Sensor* disk_sensor(const std::vector<Sensor>& sensors, std::string_view disk);

}  // namespace nadrel
