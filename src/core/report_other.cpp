// Report rows: other (not yet built).
#include "core/report_sections.h"

namespace nadrel {

std::vector<ReportRow> battery_rows(const SystemSnapshot&, bool) { return {}; }

std::vector<ReportRow> other_rows(const SystemSnapshot&, bool) { return {}; }

}  // namespace nadrel
