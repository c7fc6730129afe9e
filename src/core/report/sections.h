// The rows of each report section; build_report assembles them in order.
#pragma once

#include <vector>

#include "core/report/report.h"
#include "core/snapshot.h"

namespace nadrel {

std::vector<ReportRow> attention_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> system_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> cpu_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> memory_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> gpu_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> storage_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> network_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> motherboard_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> battery_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> sensor_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> other_rows(const SystemSnapshot& s, bool detail);
std::vector<ReportRow> devices_rows(const SystemSnapshot& s, bool detail);

}  // namespace nadrel
