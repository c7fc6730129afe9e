// Report rows: memory (not yet built).
#include "core/report_sections.h"

namespace nadrel {

std::vector<ReportRow> memory_rows(const SystemSnapshot&, bool) { return {}; }

}  // namespace nadrel
