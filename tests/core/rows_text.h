// Rows as the text lines they render to, for compact expectations in builder tests.
#pragma once

#include <string>
#include <vector>

#include "core/report.h"

namespace nadrel::test {

inline std::string rows_text(const std::vector<ReportRow>& rows) {
    std::string out;
    for (const auto& row : rows)
        out += row_line(row) + "\n";
    return out;
}

}  // namespace nadrel::test
