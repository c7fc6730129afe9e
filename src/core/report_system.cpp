// Report rows: system (not yet built).
#include "core/report_sections.h"

namespace nadrel {

std::vector<ReportRow> system_rows(const SystemSnapshot&, bool) { return {}; }

std::vector<ReportRow> cpu_rows(const SystemSnapshot&, bool) { return {}; }

}  // namespace nadrel
