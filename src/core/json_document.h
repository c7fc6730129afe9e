// The document as a JSON value, for the parts of core that work on documents rather than on
// snapshots (comparing two reports keeps the keys of newer versions this one cannot read).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/json_values.h"
#include "core/snapshot_json.h"

namespace nadrel::json {

struct ParsedReport {
    Json document;
    LoadedReport report;
};

// What load_snapshot_json reads, with the document it was read from.
std::optional<ParsedReport> parse_report(std::string_view text, std::string& failure);

// What snapshot_json writes, as a value.
Json snapshot_document(const SystemSnapshot& snapshot, const JsonOptions& options);

}  // namespace nadrel::json
