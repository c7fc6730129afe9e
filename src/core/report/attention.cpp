// Report rows: ATTENTION, one bullet per finding, first in the report.
#include "core/attention.h"

#include "core/report/format.h"
#include "core/report/sections.h"

namespace nadrel {

std::vector<ReportRow> attention_rows(const SystemSnapshot& s, bool /*detail*/) {
    std::vector<ReportRow> rows;
    for (const AttentionItem& item : find_attention(s))
        rows.push_back(bullet(item.text));
    return rows;
}

}  // namespace nadrel
