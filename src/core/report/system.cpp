// Report rows: the SYSTEM section (host and operating system) and the CPU section.
#include "core/ids/cpu_codename.h"
#include "core/report/format.h"
#include "core/report/sections.h"
#include "core/text/fmt.h"

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

}  // namespace

std::vector<ReportRow> system_rows(const SystemSnapshot& s, bool detail) {
    std::vector<ReportRow> rows;
    rows.push_back(field("Name", s.hostname));
    rows.push_back(field("Operating system", s.os_name));
    if (!s.virtual_machine.empty())
        rows.push_back(field("Virtual machine", s.virtual_machine));
    if (detail) {
        const std::string_view build = strip_parentheses(s.kernel);
        if (!build.empty())
            rows.push_back(field("Build", build));
        if (!s.os_installed.empty())
            rows.push_back(field("OS installed", s.os_installed));
    }
    return rows;
}

std::vector<ReportRow> cpu_rows(const SystemSnapshot& s, bool detail) {
    const CpuInfo& cpu = s.cpu;
    std::vector<ReportRow> rows;
    rows.push_back(field("Model", cpu.model));
    if (cpu.vendor_id) {
        if (const auto name = cpu_codename(*cpu.vendor_id, cpu.family, cpu.model_number)) {
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
    if (cpu.base_mhz != 0)
        rows.push_back(field("Base clock", strfmt("%uMHz", cpu.base_mhz)));
    if (cpu.max_mhz > cpu.base_mhz) {
        rows.push_back(field("Boost clock", strfmt("%uMHz", cpu.max_mhz)));
    }
    if (detail && !cpu.features.empty())
        rows.push_back(field("Instructions", join(cpu.features, ", ")));
    return rows;
}

}  // namespace nadrel
