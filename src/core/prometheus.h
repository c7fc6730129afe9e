// The snapshot as Prometheus metrics (text exposition format 0.0.4), for node_exporter's
// textfile collector: what the machine is as *_info gauges of 1 with low-cardinality labels,
// what it measures as gauges and counters in base units.
#pragma once

#include <string>
#include <string_view>

#include "core/snapshot.h"

namespace nadrel {

struct PrometheusOptions {
    bool sanitized = false;    // no serial labels
    std::string_view version;  // nadrel's, for nadrel_info
};

// Every family once: # HELP, # TYPE, then its samples; no series twice; ends in a line feed.
std::string prometheus_text(const SystemSnapshot& snapshot, const PrometheusOptions& options);

// A label value as the format quotes it: backslash, double quote and line feed escaped.
std::string prometheus_label_value(std::string_view value);

}  // namespace nadrel
