// Report documents to and from the plain arrays the window module takes.
#include "linux/gui/window_abi.h"

#include <string>

namespace nadrel {
namespace {

RowKind row_kind(std::uint8_t kind) {
    for (const RowKind k : {RowKind::Field, RowKind::SubField, RowKind::Bullet, RowKind::Raw}) {
        if (static_cast<std::uint8_t>(k) == kind)
            return k;
    }
    return RowKind::Raw;
}

SectionKind section_kind(std::uint8_t kind) {
    for (const SectionKind k :
         {SectionKind::System, SectionKind::Cpu, SectionKind::Memory, SectionKind::Gpu,
          SectionKind::Storage, SectionKind::Network, SectionKind::Motherboard, SectionKind::Other,
          SectionKind::Battery, SectionKind::Attention, SectionKind::Sensors,
          SectionKind::Devices}) {
        if (static_cast<std::uint8_t>(k) == kind)
            return k;
    }
    return SectionKind::Other;
}

}  // namespace

NadrelText abi_text(std::string_view s) {
    return {s.data(), s.size()};
}

NadrelText abi_optional_text(const std::optional<std::string>& s) {
    return s ? abi_text(std::string_view(*s)) : NadrelText{nullptr, 0};
}

std::optional<std::string> abi_string(NadrelText t) {
    if (t.data == nullptr)
        return std::nullopt;
    return std::string(t.data, t.size);
}

FlatDocument flatten(const Report& report) {
    FlatDocument flat;
    std::size_t total = 0;
    for (const auto& section : report.sections)
        total += section.rows.size();
    // Reserved up front: the sections point into this array.
    flat.rows.reserve(total);
    for (const auto& section : report.sections) {
        const std::size_t first = flat.rows.size();
        for (const auto& row : section.rows) {
            flat.rows.push_back(
                {static_cast<std::uint8_t>(row.kind), abi_text(row.text), abi_text(row.value)});
        }
        flat.sections.push_back({static_cast<std::uint8_t>(section.kind), abi_text(section.title),
                                 flat.rows.data() + first, section.rows.size()});
    }
    return flat;
}

Report unflatten(const NadrelDocument& document) {
    Report report;
    if (document.sections == nullptr)
        return report;
    report.sections.reserve(document.section_count);
    for (std::size_t i = 0; i < document.section_count; ++i) {
        const NadrelSection& flat = document.sections[i];
        ReportSection section;
        section.kind = section_kind(flat.kind);
        section.title = abi_string(flat.title).value_or("");
        if (flat.rows != nullptr) {
            section.rows.reserve(flat.row_count);
            for (std::size_t r = 0; r < flat.row_count; ++r) {
                const NadrelRow& row = flat.rows[r];
                section.rows.push_back({row_kind(row.kind), abi_string(row.text).value_or(""),
                                        abi_string(row.value).value_or("")});
            }
        }
        report.sections.push_back(std::move(section));
    }
    return report;
}

}  // namespace nadrel
