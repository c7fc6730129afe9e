// Column tables: aligned plain-text inventories (ports, slots) as Raw report rows.
#include "core/report/column_table.h"

#include <algorithm>
#include <string_view>

#include "core/report/format.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

std::string_view cell_at(const std::vector<std::string>& row, std::size_t column) {
    return column < row.size() ? std::string_view(row[column]) : std::string_view();
}

std::string table_line(const std::vector<std::size_t>& shown,
                       const std::vector<std::size_t>& widths,
                       const std::vector<std::string>& cells) {
    std::string line = "    ";
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const std::string cell = shorten(cell_at(cells, shown[i]), max_value_chars);
        line += cell;
        if (i + 1 == shown.size())
            break;
        const std::size_t n = char_count(cell);
        line.append(widths[i] - std::min(n, widths[i]) + 2, ' ');
    }
    return std::string(trim_end(line));
}

}  // namespace

std::vector<ReportRow> column_table(const std::vector<std::string>& headers,
                                    const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> shown;
    std::vector<std::size_t> widths;
    for (std::size_t column = 0; column < headers.size(); ++column) {
        std::size_t width = 0;
        bool used = false;
        for (const auto& row : rows) {
            const std::string_view cell = cell_at(row, column);
            if (cell.empty())
                continue;
            used = true;
            width = std::max(width, std::min(char_count(cell), max_value_chars));
        }
        if (!used)
            continue;
        shown.push_back(column);
        widths.push_back(std::max(width, char_count(headers[column])));
    }

    std::vector<ReportRow> out;
    if (shown.empty())
        return out;
    out.push_back(ReportRow{RowKind::Raw, table_line(shown, widths, headers), {}});
    for (const auto& row : rows) {
        out.push_back(ReportRow{RowKind::Raw, table_line(shown, widths, row), {}});
    }
    return out;
}

}  // namespace nadrel
