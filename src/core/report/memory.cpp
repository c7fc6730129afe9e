// Report rows: the RAM section (totals, memory arrays and the installed modules).
#include <string_view>
#include <unordered_map>

#include "core/report/column_table.h"
#include "core/report/format.h"
#include "core/report/module_labels.h"
#include "core/report/sections.h"
#include "core/smbios/snapshot.h"
#include "core/text/fmt.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

std::string description(const MemoryModule& m) {
    return join({m.memory_type, is_soldered(m) ? std::string("(soldered)") : m.form_factor}, " ");
}

// Size and description; a module without type and form factor gives just the size.
std::string headline(const MemoryModule& m, std::string_view prefix) {
    std::string out = std::string(prefix) + format_size(m.size) + " " + description(m);
    out.resize(trim_end(out).size());
    return out;
}

std::string part_text(const MemoryModule& m) {
    return join({m.manufacturer, m.part_number}, " ");
}

// Base speed, current speed and part, as sub-rows of their module (in the summary too, so that
// identical modules do not read as one list).
void add_speed_and_part(std::vector<ReportRow>& rows, const MemoryModule& m) {
    if (m.speed_mts != 0)
        rows.push_back(sub_field("Base speed", strfmt("%uMT/s", m.speed_mts)));
    if (m.configured_speed_mts != 0)
        rows.push_back(sub_field("Current speed", strfmt("%uMT/s", m.configured_speed_mts)));
    const std::string part = part_text(m);
    if (!part.empty())
        rows.push_back(sub_field("Part", part));
}

void add_module_detail(std::vector<ReportRow>& rows, const MemoryModule& m,
                       const std::string& label) {
    rows.push_back(field(label, headline(m, "")));
    add_speed_and_part(rows, m);
    if (m.rank != 0)
        rows.push_back(sub_field("Rank", std::to_string(m.rank)));
    if (m.data_width != 0) {
        const std::string width = m.data_width < m.total_width
                                      ? strfmt("%u-bit (%u-bit with ECC)", unsigned{m.data_width},
                                               unsigned{m.total_width})
                                      : strfmt("%u-bit", unsigned{m.data_width});
        rows.push_back(sub_field("Data width", width));
    }
    if (m.configured_voltage_mv != 0) {
        rows.push_back(sub_field("Voltage", strfmt("%.2fV", m.configured_voltage_mv / 1000.0)));
    }
    if (m.corrected_errors || m.uncorrected_errors) {
        rows.push_back(sub_field(
            "Errors", strfmt("%llu corrected, %llu uncorrected",
                             static_cast<unsigned long long>(m.corrected_errors.value_or(0)),
                             static_cast<unsigned long long>(m.uncorrected_errors.value_or(0)))));
    }
}

// EDAC counts that name no module, by controller.
void add_controller_errors(std::vector<ReportRow>& rows,
                           const std::vector<MemoryErrorCount>& edac) {
    if (edac.empty())
        return;
    rows.push_back(field("Memory errors", ""));
    std::vector<std::vector<std::string>> cells;
    for (const MemoryErrorCount& e : edac) {
        cells.push_back(
            {e.controller, e.label, std::to_string(e.corrected), std::to_string(e.uncorrected)});
    }
    append(rows, column_table({"Controller", "DIMM", "Corrected", "Uncorrected"}, cells));
}

// Soldered modules are all "Modules", so their banks do not keep them apart.
bool same_group(const MemoryModule& a, const std::string& a_label, const MemoryModule& b,
                const std::string& b_label) {
    const bool same_place = is_soldered(a) ? a.locator == b.locator : a_label == b_label;
    return same_place && a.size == b.size && a.memory_type == b.memory_type &&
           a.form_factor == b.form_factor && a.speed_mts == b.speed_mts &&
           a.configured_speed_mts == b.configured_speed_mts && a.manufacturer == b.manufacturer &&
           a.part_number == b.part_number;
}

void add_module_summary(std::vector<ReportRow>& rows, const std::vector<MemoryModule>& modules) {
    struct Group {
        const MemoryModule* first;
        const std::string* label;
        std::uint32_t count;
    };
    const std::vector<std::string> labels = module_labels(modules);
    std::vector<Group> groups;
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const MemoryModule& m = modules[i];
        bool joined = false;
        for (auto& g : groups) {
            if (same_group(*g.first, *g.label, m, labels[i])) {
                ++g.count;
                joined = true;
                break;
            }
        }
        if (!joined)
            groups.push_back(Group{&m, &labels[i], 1});
    }
    for (const auto& g : groups) {
        const MemoryModule& m = *g.first;
        const std::string prefix = g.count >= 2 ? strfmt("%u x ", g.count) : std::string();
        rows.push_back(
            field(is_soldered(m) ? std::string("Modules") : *g.label, headline(m, prefix)));
        add_speed_and_part(rows, m);
    }
}

}  // namespace

std::vector<std::string> module_labels(const std::vector<MemoryModule>& modules) {
    std::unordered_map<std::string_view, std::size_t> repeats;  // counted once, not per module
    for (const auto& m : modules)
        ++repeats[m.locator];
    std::vector<std::string> labels;
    labels.reserve(modules.size());
    for (const auto& m : modules) {
        if (m.locator.empty())
            labels.emplace_back("DIMM");
        else if (repeats[m.locator] > 1 && !m.bank_locator.empty())
            labels.push_back(m.bank_locator + " / " + m.locator);
        else
            labels.push_back(m.locator);
    }
    return labels;
}

std::vector<ReportRow> memory_rows(const SystemSnapshot& s, bool detail) {
    std::vector<ReportRow> rows;
    if (s.memory_installed != 0)
        rows.push_back(field("Installed", format_size(s.memory_installed)));
    if (s.memory_total != 0 && s.memory_total != s.memory_installed) {
        rows.push_back(field("Available to OS", format_size(s.memory_total)));
    }
    if (s.memory_used && s.memory_total != 0)
        rows.push_back(field("In use", format_share(*s.memory_used, s.memory_total)));
    if (detail && s.swap_total) {
        std::string swap = "none";
        if (*s.swap_total != 0) {
            swap = s.swap_used ? format_share(*s.swap_used, *s.swap_total)
                               : format_size(*s.swap_total);
        }
        rows.push_back(field("Swap", swap));
    }
    if (s.memory_slots != 0) {
        // A table listing more modules than its arrays have slots contradicts itself: the
        // count of modules is what is known.
        const std::size_t modules = s.memory_modules.size();
        rows.push_back(field("Slots", modules > s.memory_slots ? strfmt("%zu populated", modules)
                                                               : strfmt("%zu of %u populated",
                                                                        modules, s.memory_slots)));
    }
    if (s.memory_max_capacity != 0) {
        rows.push_back(field("Max supported", format_size(s.memory_max_capacity)));
    }
    if (!s.memory_ecc.empty())
        rows.push_back(field("Error correction", s.memory_ecc));
    if (s.memory_modules.empty()) {
        rows.push_back(field("Modules", "(per-module SMBIOS data unavailable)"));
    } else if (detail) {
        const std::vector<std::string> labels = module_labels(s.memory_modules);
        for (std::size_t i = 0; i < s.memory_modules.size(); ++i)
            add_module_detail(rows, s.memory_modules[i], labels[i]);
    } else {
        add_module_summary(rows, s.memory_modules);
    }
    if (detail)
        add_controller_errors(rows, s.memory_edac);
    return rows;
}

}  // namespace nadrel
