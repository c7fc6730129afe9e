// Report rows: SENSORS (the processor's, graphics chips' and disks' temperatures and the fans at
// a glance; in detail, every channel with the chip's own limits).
#include "core/sensors.h"

#include "core/report/column_table.h"
#include "core/report/format.h"
#include "core/report/sections.h"
#include "core/text/fmt.h"

namespace nadrel {

namespace {

std::string reading_text(const Sensor& s) {
    if (s.kind == SensorKind::Fan && s.value == 0.0)
        return "stopped";
    return format_sensor_value(s.kind, s.value);
}

std::string limit_text(const Sensor& s, const std::optional<double>& limit) {
    return limit ? format_sensor_value(s.kind, *limit) : std::string();
}

std::string joined_readings(const std::vector<const Sensor*>& sensors) {
    std::vector<std::string> values;
    for (const Sensor* s : sensors)
        values.push_back(reading_text(*s));
    return join(values, ", ");
}

void add_channel_table(std::vector<ReportRow>& rows, const std::vector<Sensor>& sensors) {
    std::vector<std::vector<std::string>> cells;
    for (const Sensor& s : sensors) {
        const std::string device = s.disk.empty() ? s.device : s.device + " (" + s.disk + ")";
        cells.push_back({s.chip, device, s.label, reading_text(s), limit_text(s, s.max),
                         limit_text(s, s.critical)});
    }
    if (cells.empty())
        return;
    rows.push_back(field("Channels", ""));
    append(rows, column_table({"Chip", "Device", "Sensor", "Value", "Max", "Critical"}, cells));
}

}  // namespace

std::vector<ReportRow> sensor_rows(const SystemSnapshot& s, bool detail) {
    std::vector<ReportRow> rows;
    if (const std::string cpu = joined_readings(cpu_temperatures(s.sensors)); !cpu.empty())
        rows.push_back(field("CPU", cpu));
    const std::vector<const Sensor*> gpus = gpu_temperatures(s.sensors);
    for (std::size_t i = 0; i < gpus.size(); ++i) {
        rows.push_back(field(gpus.size() == 1 ? std::string("GPU") : strfmt("GPU %zu", i + 1),
                             reading_text(*gpus[i])));
    }
    for (const DiskInfo& disk : s.disks) {
        if (disk.temperature_c)
            rows.push_back(field("Disk " + disk.name, format_celsius(*disk.temperature_c)));
    }
    std::vector<const Sensor*> fans;
    for (const Sensor& sensor : s.sensors) {
        if (sensor.kind == SensorKind::Fan)
            fans.push_back(&sensor);
    }
    if (!fans.empty())
        rows.push_back(field("Fans", joined_readings(fans)));
    if (detail)
        add_channel_table(rows, s.sensors);
    return rows;
}

}  // namespace nadrel
