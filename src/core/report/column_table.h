// Column tables: aligned plain-text inventories (ports, slots) as Raw report rows.
#pragma once

#include <string>
#include <vector>

#include "core/report/report.h"

namespace nadrel {

// A column is shown only when some row has a non-empty cell in it; widths count characters.
// Each line is indented by four spaces, columns are two spaces apart, trailing white space is
// dropped and there is no rule line. No shown column gives no rows at all. Missing cells of a
// short row count as empty.
std::vector<ReportRow> column_table(const std::vector<std::string>& headers,
                                    const std::vector<std::vector<std::string>>& rows);

}  // namespace nadrel
