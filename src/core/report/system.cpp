// Report rows: the SYSTEM section (host, operating system and state) and the CPU section.
#include <cmath>

#include "core/ids/cpu_codename.h"
#include "core/report/column_table.h"
#include "core/report/format.h"
#include "core/report/sections.h"
#include "core/text/fmt.h"
#include "core/text/kernel_state.h"

namespace nadrel {

namespace {

// "(kernel 6.1.0)" -> "kernel 6.1.0": every enclosing parenthesis goes, at both ends.
std::string_view strip_parentheses(std::string_view text) {
    while (!text.empty() && (text.front() == '(' || text.front() == ')'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == '(' || text.back() == ')'))
        text.remove_suffix(1);
    return text;
}

std::string cache_entry_text(const CacheInfo& cache) {
    std::string out;
    if (cache.count >= 2)
        out = strfmt("%u x ", cache.count);
    out += format_cache_size(cache.size);
    std::vector<std::string> attributes;
    if (cache.ways != 0)
        attributes.push_back(strfmt("%u-way", cache.ways));
    if (cache.line_size != 0)
        attributes.push_back(strfmt("%uB line", cache.line_size));
    const std::string suffix = join(attributes, ", ");
    if (!suffix.empty())
        out += " (" + suffix + ")";
    return out;
}

void add_cache_rows(std::vector<ReportRow>& rows, const CpuInfo& cpu, bool detail) {
    if (detail && !cpu.caches.empty()) {
        rows.push_back(field("Cache", ""));
        for (const auto& cache : cpu.caches) {
            std::string label = strfmt("L%u ", unsigned{cache.level});
            label += cache.cache_type;
            rows.push_back(sub_field(std::move(label), cache_entry_text(cache)));
        }
        return;
    }
    std::vector<std::string> levels;
    const std::uint32_t totals[] = {cpu.l1_total, cpu.l2_total, cpu.l3_total};
    for (unsigned i = 0; i < 3; ++i) {
        if (totals[i] != 0)
            levels.push_back(strfmt("L%u ", i + 1) + format_cache_size(totals[i]));
    }
    const std::string text = join(levels, "  /  ");
    if (!text.empty())
        rows.push_back(field("Cache", text));
}

const char* boot_mode_text(BootMode mode) {
    switch (mode) {
        case BootMode::Uefi:
            return "UEFI";
        case BootMode::Bios:
            return "Legacy BIOS";
        case BootMode::Unknown:
            return "";
    }
    return "";
}

// The maximum is labelled "Base clock" under acpi-cpufreq when it is the brand string's
// rating: that driver hides the turbo range and reports the rated clock (or one MHz above it,
// its marker for turbo) as the maximum.
bool max_is_rated_clock(const CpuInfo& cpu) {
    const std::uint32_t rated = brand_rated_mhz(cpu.model);
    if (cpu.base_mhz != 0 || cpu.scaling_driver != "acpi-cpufreq" || rated == 0)
        return false;
    // The rating has two decimals in GHz: equal to within half its last digit.
    return std::abs(static_cast<double>(cpu.max_mhz) - rated) < 5.0;
}

void add_clock_rows(std::vector<ReportRow>& rows, const CpuInfo& cpu, bool detail) {
    if (cpu.base_mhz != 0)
        rows.push_back(field("Base clock", strfmt("%uMHz", cpu.base_mhz)));
    if (cpu.max_mhz > cpu.base_mhz) {
        rows.push_back(field(max_is_rated_clock(cpu) ? "Base clock" : "Boost clock",
                             strfmt("%uMHz", cpu.max_mhz)));
    }
    if (!detail)
        return;
    if (cpu.current_mhz != 0)
        rows.push_back(field("Current clock", strfmt("%uMHz", cpu.current_mhz)));
    if (cpu.min_mhz != 0)
        rows.push_back(field("Minimum clock", strfmt("%uMHz", cpu.min_mhz)));
    if (!cpu.scaling_driver.empty()) {
        rows.push_back(field("Frequency scaling", cpu.governor.empty() ? cpu.scaling_driver
                                                                       : cpu.scaling_driver + " (" +
                                                                             cpu.governor + ")"));
    }
}

// "none known", or "2 vulnerable: Retbleed, Spec store bypass".
std::string vulnerability_summary(const std::vector<CpuVulnerability>& list) {
    std::vector<std::string> names;
    for (const CpuVulnerability& v : list) {
        if (is_vulnerable(v.status))
            names.push_back(vulnerability_name(v.name));
    }
    if (names.empty())
        return "none known";
    return strfmt("%zu vulnerable: ", names.size()) + join(names, ", ");
}

void add_vulnerability_rows(std::vector<ReportRow>& rows, const CpuInfo& cpu, bool detail) {
    if (cpu.vulnerabilities.empty())
        return;
    rows.push_back(field("Vulnerabilities", vulnerability_summary(cpu.vulnerabilities)));
    if (!detail)
        return;
    std::vector<std::vector<std::string>> cells;
    for (const CpuVulnerability& v : cpu.vulnerabilities)
        cells.push_back({vulnerability_name(v.name), v.status});
    append(rows, column_table({"Name", "Status"}, cells));
}

std::string load_text(const std::array<double, 3>& load) {
    return strfmt("%.2f, %.2f, %.2f", load[0], load[1], load[2]);
}

}  // namespace

std::vector<ReportRow> system_rows(const SystemSnapshot& s, bool detail) {
    std::vector<ReportRow> rows;
    rows.push_back(field("Name", s.hostname));
    rows.push_back(field("Operating system", s.os_name));
    if (!s.virtual_machine.empty())
        rows.push_back(field("Virtual machine", s.virtual_machine));
    if (s.uptime_seconds)
        rows.push_back(field("Uptime", format_duration(*s.uptime_seconds)));
    if (s.boot_mode != BootMode::Unknown)
        rows.push_back(field("Boot mode", boot_mode_text(s.boot_mode)));
    if (detail) {
        const std::string_view build = strip_parentheses(s.kernel);
        if (!build.empty())
            rows.push_back(field("Build", build));
        if (!s.os_installed.empty())
            rows.push_back(field("OS installed", s.os_installed));
        if (s.load_average)
            rows.push_back(field("Load average", load_text(*s.load_average)));
        if (s.kernel_taint)
            rows.push_back(field("Kernel taint", taint_text(*s.kernel_taint)));
    }
    return rows;
}

std::vector<ReportRow> cpu_rows(const SystemSnapshot& s, bool detail) {
    const CpuInfo& cpu = s.cpu;
    std::vector<ReportRow> rows;
    rows.push_back(field("Model", cpu.model));
    if (cpu.vendor_id) {
        if (const auto name = shown_cpu_codename(cpu, !s.virtual_machine.empty())) {
            if (detail && !name->name.empty())
                rows.push_back(field("Codename", name->name));
            if (!name->process.empty())
                rows.push_back(field("Process", name->process));
        }
        if (detail) {
            rows.push_back(field("Vendor", *cpu.vendor_id));
            rows.push_back(
                field("Signature", strfmt("Family %u, Model %u (0x%X), Stepping %u", cpu.family,
                                          cpu.model_number, cpu.model_number, cpu.stepping)));
        }
    }
    if (cpu.cores != 0 || cpu.threads != 0) {
        std::string hybrid;
        if (cpu.p_cores != 0 && cpu.e_cores != 0) {
            hybrid = strfmt(" (%uP + %uE)", cpu.p_cores, cpu.e_cores);
        }
        rows.push_back(field("Cores / threads", strfmt("%u physical%s / %u logical", cpu.cores,
                                                       hybrid.c_str(), cpu.threads)));
    }
    add_cache_rows(rows, cpu, detail);
    add_clock_rows(rows, cpu, detail);
    if (detail && !cpu.microcode.empty())
        rows.push_back(field("Microcode", cpu.microcode));
    if (detail && !cpu.features.empty())
        rows.push_back(field("Instructions", join(cpu.features, ", ")));
    add_vulnerability_rows(rows, cpu, detail);
    return rows;
}

}  // namespace nadrel
