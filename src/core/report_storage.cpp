// Report rows: storage (not yet built).
#include "core/report_sections.h"

namespace nadrel {

std::vector<ReportRow> storage_rows(const SystemSnapshot&, bool) { return {}; }

std::vector<ReportRow> network_rows(const SystemSnapshot&, bool) { return {}; }

}  // namespace nadrel
