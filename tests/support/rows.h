// Report rows as the text report prints them, for tests that compare whole row lists.
#pragma once

#include <string>
#include <vector>

#include "core/report/report.h"

namespace nadrel::test {

// One line per row, each ending in a line feed.
inline std::string rows_text(const std::vector<ReportRow>& rows) {
    std::string out;
    for (const auto& row : rows)
        out += row_line(row) + "\n";
    return out;
}

}  // namespace nadrel::test
