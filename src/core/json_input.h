// Untrusted bytes to a JSON value: whatever no nadrel report can be (too large, nested too
// deep, too many values) is refused before the parser sees it, so that reading any file takes
// bounded time and memory; the parser's own complaints come back as one line of text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/json_values.h"
#include "core/snapshot_json.h"

namespace nadrel::json {

// A report is five levels deep; these leave room for any machine and for the keys of later
// versions.
inline constexpr std::size_t max_document_bytes = max_report_bytes;
inline constexpr std::size_t max_document_depth = 64;
inline constexpr std::size_t max_document_values = 250'000;

// The value, or nothing and the reason in error ("not JSON: syntax error at line 1, column 1:
// ..."), with any byte of the input in it escaped.
std::optional<Json> parse_document(std::string_view text, std::string& error);

}  // namespace nadrel::json
