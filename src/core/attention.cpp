// What needs attention, kind by kind, in the order the report shows them.
#include "core/attention.h"

#include <cmath>
#include <set>

#include "core/battery.h"
#include "core/device_attention.h"
#include "core/report/format.h"
#include "core/report/module_labels.h"
#include "core/sensors.h"
#include "core/storage/findings.h"
#include "core/text/fmt.h"
#include "core/text/kernel_state.h"

namespace nadrel {

namespace {

using Findings = std::vector<AttentionItem>;

// The disks whose own sensor is at or above its critical limit.
std::set<std::string> hot_disks(const SystemSnapshot& s) {
    std::set<std::string> disks;
    for (const DiskInfo& disk : s.disks) {
        const Sensor* sensor = disk_sensor(s.sensors, disk.name);
        if (sensor != nullptr && disk.temperature_c && sensor->critical &&
            *disk.temperature_c >= *sensor->critical)
            disks.insert(disk.name);
    }
    return disks;
}

std::string sensor_subject(const Sensor& s) {
    if (!s.disk.empty())
        return s.disk;
    std::string subject = s.chip;
    for (const std::string* part : {&s.device, &s.label}) {
        if (!part->empty())
            subject += (subject.empty() ? "" : " ") + *part;
    }
    return subject;
}

// A channel at or above the chip's own critical limit, else its maximum.
void find_sensors(const SystemSnapshot& s, const std::set<std::string>& disks, Findings& out) {
    for (const Sensor& sensor : s.sensors) {
        if (!sensor.disk.empty() && disks.contains(sensor.disk))
            continue;  // the disk's own finding says it
        const char* which = nullptr;
        double limit = 0;
        if (sensor.critical && sensor.value >= *sensor.critical) {
            which = "critical";
            limit = *sensor.critical;
        } else if (sensor.max && sensor.value >= *sensor.max) {
            which = "max";
            limit = *sensor.max;
        }
        if (which == nullptr)
            continue;
        const std::string name = sensor.disk.empty() ? sensor.chip : "Disk " + sensor.disk;
        out.push_back({"sensor", sensor_subject(sensor),
                       name + " " + sensor.label + " at " +
                           format_sensor_value(sensor.kind, sensor.value) + " (" + which + " " +
                           format_sensor_value(sensor.kind, limit) + ")"});
    }
}

void find_disks(const SystemSnapshot& s, const std::set<std::string>& disks, Findings& out) {
    for (const DiskInfo& disk : s.disks) {
        if (!disks.contains(disk.name))
            continue;
        const Sensor* sensor = disk_sensor(s.sensors, disk.name);
        out.push_back({"disk_temperature", disk.name,
                       "Disk " + disk.name + " at " + format_celsius(*disk.temperature_c) +
                           " (critical " + format_celsius(*sensor->critical) + ")"});
    }
}

std::string errors_text(std::uint64_t count, const char* kind) {
    return strfmt("%llu %s memory error%s", static_cast<unsigned long long>(count), kind,
                  count == 1 ? "" : "s");
}

struct ErrorSubject {
    std::string subject;
    std::uint64_t corrected = 0;
    std::uint64_t uncorrected = 0;
};

// Uncorrected errors first (with the corrected ones of the same module), then corrected ones.
void find_memory_errors(const SystemSnapshot& s, Findings& out) {
    std::vector<ErrorSubject> subjects;
    const std::vector<std::string> labels = module_labels(s.memory_modules);
    for (std::size_t i = 0; i < s.memory_modules.size(); ++i) {
        const MemoryModule& m = s.memory_modules[i];
        subjects.push_back(
            {labels[i], m.corrected_errors.value_or(0), m.uncorrected_errors.value_or(0)});
    }
    for (const MemoryErrorCount& e : s.memory_edac) {
        subjects.push_back({e.label.empty() ? e.controller : e.controller + " " + e.label,
                            e.corrected, e.uncorrected});
    }
    for (const ErrorSubject& e : subjects) {
        if (e.uncorrected == 0)
            continue;
        std::string text = e.subject + ": " + errors_text(e.uncorrected, "uncorrected");
        if (e.corrected != 0)
            text += strfmt(" and %llu corrected", static_cast<unsigned long long>(e.corrected));
        out.push_back({"memory_errors", e.subject, text});
    }
    for (const ErrorSubject& e : subjects) {
        if (e.uncorrected == 0 && e.corrected != 0) {
            out.push_back({"memory_errors", e.subject,
                           e.subject + ": " + errors_text(e.corrected, "corrected")});
        }
    }
}

void find_vulnerabilities(const SystemSnapshot& s, Findings& out) {
    for (const CpuVulnerability& v : s.cpu.vulnerabilities) {
        if (is_vulnerable(v.status)) {
            out.push_back({"vulnerability", v.name,
                           "CPU vulnerability " + vulnerability_name(v.name) + ": " + v.status});
        }
    }
}

void find_worn_batteries(const SystemSnapshot& s, Findings& out) {
    for (const BatteryInfo& b : s.batteries) {
        const double wear = battery_wear_percent(b);
        // As the report rounds it: 49.96 shows as 50.0 and counts.
        if (std::round(wear * 10.0) < 500.0)
            continue;
        const std::string name = b.name.empty() ? "Battery" : "Battery " + b.name;
        out.push_back({"battery_wear", b.name,
                       name + strfmt(" worn %.1f%% (%.1fWh of %.1fWh)", wear, b.full_mwh / 1000.0,
                                     b.design_mwh / 1000.0)});
    }
}

void find_kernel_taint(const SystemSnapshot& s, Findings& out) {
    if (s.kernel_taint && taint_needs_attention(*s.kernel_taint))
        out.push_back({"kernel_taint", "kernel", "Kernel tainted: " + taint_text(*s.kernel_taint)});
}

}  // namespace

std::vector<AttentionItem> find_attention(const SystemSnapshot& s) {
    Findings found;
    const std::set<std::string> disks = hot_disks(s);
    find_sensors(s, disks, found);
    find_disks(s, disks, found);
    find_memory_errors(s, found);
    for (auto* find : {pci_link_attention, usb_speed_attention}) {
        for (AttentionItem& item : find(s))
            found.push_back(std::move(item));
    }
    find_vulnerabilities(s, found);
    find_worn_batteries(s, found);
    find_kernel_taint(s, found);
    for (auto* find : {degraded_arrays, nearly_full_filesystems}) {
        for (AttentionItem& item : find(s))
            found.push_back(std::move(item));
    }

    // Each subject once: the first finding about it, in this order, stands.
    std::set<std::string> subjects;
    std::vector<AttentionItem> items;
    for (AttentionItem& item : found) {
        if (subjects.insert(item.subject).second)
            items.push_back(std::move(item));
    }
    return items;
}

}  // namespace nadrel
