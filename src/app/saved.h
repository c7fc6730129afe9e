// Reports saved by --json, read back for --load and --compare.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/snapshot_json.h"

namespace nadrel {

struct SavedReport {
    std::string text;  // the document as read
    LoadedReport report;
    // A line for standard error when a newer nadrel wrote it, else empty.
    std::string warning;
};

// The report in path ("-": standard input), or nothing and the line for standard error that
// says why: "nadrel: cannot read FILE: ..." or "nadrel: FILE is not a nadrel report: ...".
// unknown_keys ends the warning about a newer document: what happens to the keys this version
// does not know ("are ignored").
std::optional<SavedReport> read_saved_report(const std::string& path, std::string_view unknown_keys,
                                             std::string& failure);

}  // namespace nadrel
