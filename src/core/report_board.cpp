// Report rows: board (not yet built).
#include "core/report_sections.h"

namespace nadrel {

std::vector<ReportRow> motherboard_rows(const SystemSnapshot&, bool) { return {}; }

}  // namespace nadrel
