// Plain-text rendering of a report: aligned label columns counted in characters.
#include "core/report/report.h"

#include "core/text/unicode.h"

namespace nadrel {

namespace {

void append_padded(std::string& out, std::string_view label, std::size_t width) {
    out += label;
    const std::size_t n = char_count(label);
    if (n < width)
        out.append(width - n, ' ');
}

}  // namespace

std::string row_line(const ReportRow& row) {
    std::string line;
    switch (row.kind) {
        case RowKind::Field:
            line = "  ";
            if (row.value.empty()) {
                line += row.text;
            } else {
                append_padded(line, row.text, 18);
                line += ": ";
                line += row.value;
            }
            return line;
        case RowKind::SubField:
            line = "  \u2502 ";
            append_padded(line, row.text, 16);
            line += ": ";
            line += row.value;
            return line;
        case RowKind::Bullet:
            line = "  \u2022 ";
            line += row.text;
            return line;
        case RowKind::Raw:
            return row.text;
    }
    return line;
}

std::string render_text(std::string_view header, const Report& report) {
    std::string out(header);
    out.reserve(out.size() + 8192);
    for (const auto& section : report.sections) {
        out += '\n';
        out += section.title;
        out += '\n';
        out.append(60, '-');
        out += '\n';
        for (const auto& row : section.rows) {
            out += row_line(row);
            out += '\n';
        }
    }
    return out;
}

std::string title_block(std::string_view stamp) {
    std::string out = "NADREL  -  System Report\nGenerated ";
    out += stamp;
    out += '\n';
    return out;
}

}  // namespace nadrel
