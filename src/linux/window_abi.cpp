// Report documents to and from the plain arrays the window module takes.
#include "linux/window_abi.h"

#include <string>

namespace nadrel {
namespace {

NadrelText text_of(const std::string& s) {
    return {s.data(), s.size()};
}

std::string string_of(NadrelText t) {
    return t.data != nullptr ? std::string(t.data, t.size) : std::string();
}

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
          SectionKind::Battery}) {
        if (static_cast<std::uint8_t>(k) == kind)
            return k;
    }
    return SectionKind::Other;
}

}  // namespace

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
                {static_cast<std::uint8_t>(row.kind), text_of(row.text), text_of(row.value)});
        }
        flat.sections.push_back({static_cast<std::uint8_t>(section.kind), text_of(section.title),
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
        section.title = string_of(flat.title);
        if (flat.rows != nullptr) {
            section.rows.reserve(flat.row_count);
            for (std::size_t r = 0; r < flat.row_count; ++r) {
                const NadrelRow& row = flat.rows[r];
                section.rows.push_back(
                    {row_kind(row.kind), string_of(row.text), string_of(row.value)});
            }
        }
        report.sections.push_back(std::move(section));
    }
    return report;
}

}  // namespace nadrel
