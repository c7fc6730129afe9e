// Report rows: gpu (not yet built).
#include "core/report_sections.h"

namespace nadrel {

std::vector<ReportRow> gpu_rows(const SystemSnapshot&, bool) { return {}; }

}  // namespace nadrel
