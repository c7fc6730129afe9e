// The display-neutral report document and its plain-text rendering.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nadrel {

enum class SectionKind : std::uint8_t {
    System = 0,
    Cpu = 1,
    Memory = 2,
    Gpu = 3,
    Storage = 4,
    Network = 5,
    Motherboard = 6,
    Other = 7,
    Battery = 9,  // 8 is never given
    Attention = 10,
    Sensors = 11,
    Devices = 12,
};

enum class RowKind : std::uint8_t {
    Field = 0,     // text: the label, value: the value (may be empty)
    SubField = 1,  // text: the label, value: the value; belongs to the Field above
    Bullet = 2,    // text: the item
    Raw = 3,       // text: a preformatted line
};

struct ReportRow {
    RowKind kind = RowKind::Field;
    std::string text;   // the label of a field, or the whole line of a bullet or raw row
    std::string value;  // the value of a field; empty for bullets and raw rows
};

struct ReportSection {
    std::string title;
    std::vector<ReportRow> rows;
    SectionKind kind = SectionKind::System;
};

struct Report {
    std::vector<ReportSection> sections;
};

// One row as a text line, without its line feed.
std::string row_line(const ReportRow& row);

// The header (title block) followed by every section: an empty line, the title, a rule of
// 60 hyphens and one line per row.
std::string render_text(std::string_view header, const Report& report);
// "NADREL  -  System Report\nGenerated {stamp}\n": the header of every printed or saved report.
std::string title_block(std::string_view stamp);

}  // namespace nadrel
