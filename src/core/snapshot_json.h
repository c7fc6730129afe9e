// The snapshot as one JSON document: typed values in base units, null for unknown, keys in a
// fixed order. doc/nadrel.schema.json describes it; schema_version rises on any incompatible
// change.
#pragma once

#include <cstdint>
#include <string>

#include "core/snapshot.h"

namespace nadrel {

inline constexpr int json_schema_version = 1;

struct JsonOptions {
    std::int64_t generated = 0;  // seconds since the epoch
    bool sanitized = false;      // identifying values become null
};

// The whole document, ending in a line feed. Invalid UTF-8 in a text becomes U+FFFD.
std::string snapshot_json(const SystemSnapshot& snapshot, const JsonOptions& options);

// "2026-12-09T04:38:42Z" (RFC 3339, UTC).
std::string rfc3339_utc(std::int64_t seconds);

}  // namespace nadrel
