// Assembles the report sections in their fixed order.
#include "core/report/builder.h"

#include "core/report/sections.h"

namespace nadrel {

Report build_report(const SystemSnapshot& snapshot, bool detail) {
    using RowsFn = std::vector<ReportRow> (*)(const SystemSnapshot&, bool);
    struct Entry {
        const char* title;
        SectionKind kind;
        RowsFn rows;
    };
    static constexpr Entry order[] = {
        {"ATTENTION", SectionKind::Attention, attention_rows},
        {"SYSTEM", SectionKind::System, system_rows},
        {"CPU", SectionKind::Cpu, cpu_rows},
        {"RAM", SectionKind::Memory, memory_rows},
        {"GPU", SectionKind::Gpu, gpu_rows},
        {"STORAGE", SectionKind::Storage, storage_rows},
        {"NETWORK", SectionKind::Network, network_rows},
        {"MOTHERBOARD", SectionKind::Motherboard, motherboard_rows},
        {"BATTERY", SectionKind::Battery, battery_rows},
        {"SENSORS", SectionKind::Sensors, sensor_rows},
        {"OTHER", SectionKind::Other, other_rows},
        {"DEVICES", SectionKind::Devices, devices_rows},
    };
    Report report;
    for (const auto& entry : order) {
        auto rows = entry.rows(snapshot, detail);
        if (rows.empty())
            continue;
        report.sections.push_back(ReportSection{entry.title, std::move(rows), entry.kind});
    }
    return report;
}

}  // namespace nadrel
