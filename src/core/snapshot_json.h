// The snapshot as one JSON document: typed values in base units, null for unknown, keys in a
// fixed order. doc/nadrel.schema.json describes it; schema_version rises on any incompatible
// change. The same description reads a document back into the snapshot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/snapshot.h"

namespace nadrel {

inline constexpr int json_schema_version = 1;

// A report is tens of kilobytes; a larger input is refused unread, whatever it holds.
inline constexpr std::size_t max_report_bytes = std::size_t{8} << 20;

struct JsonOptions {
    std::int64_t generated = 0;  // seconds since the epoch
    bool sanitized = false;      // identifying values become null
};

// The whole document, ending in a line feed. Invalid UTF-8 in a text becomes U+FFFD.
std::string snapshot_json(const SystemSnapshot& snapshot, const JsonOptions& options);

// "2026-12-09T04:38:42Z" (RFC 3339, UTC).
std::string rfc3339_utc(std::int64_t seconds);
// The seconds of a time written as rfc3339_utc writes it; nothing for any other text.
std::optional<std::int64_t> parse_rfc3339_utc(std::string_view text);

// A document read back, and what it says about itself.
struct LoadedReport {
    SystemSnapshot snapshot;
    std::int64_t generated = 0;        // seconds since the epoch
    bool sanitized = false;            // identifying values were hidden when it was written
    std::uint64_t schema_version = 0;  // above json_schema_version: a newer nadrel wrote it
};

// The report, or why the bytes are not one: a short text for "FILE is not a nadrel report:
// {}" ("no schema_version", "disks[1].size_bytes is not a whole number from 0 to ...").
// Keys it does not know (a newer document's) are ignored; keys it lacks keep their defaults.
struct LoadResult {
    std::optional<LoadedReport> report;
    std::string failure;
};
LoadResult load_snapshot_json(std::string_view text);

}  // namespace nadrel
