// A saved report: a bounded read, then the core reader; every way it can fail is one line.
#include "app/saved.h"

#include "app/app.h"

namespace nadrel {

std::optional<SavedReport> read_saved_report(const std::string& path, std::string_view unknown_keys,
                                             std::string& failure) {
    const std::string label = file_label(path);
    std::string error;
    std::optional<std::string> text = read_bounded(path, max_report_bytes, error);
    if (!text) {
        failure = "nadrel: cannot read " + label + ": " + error + "\n";
        return std::nullopt;
    }
    LoadResult loaded = load_snapshot_json(*text);
    if (!loaded.report) {
        failure = "nadrel: " + label + " is not a nadrel report: " + loaded.failure + "\n";
        return std::nullopt;
    }
    SavedReport saved{std::move(*text), std::move(*loaded.report), {}};
    if (saved.report.schema_version > json_schema_version) {
        saved.warning = "nadrel: " + label + " is from a newer nadrel (schema version " +
                        std::to_string(saved.report.schema_version) + ", this one reads " +
                        std::to_string(json_schema_version) + "); keys it does not know " +
                        std::string(unknown_keys) + "\n";
    }
    return saved;
}

}  // namespace nadrel
