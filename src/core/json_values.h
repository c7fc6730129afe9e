// The value helpers every part of the --json document is written with, so that each section
// (in a file of its own where it is large) writes unknowns, names, identifiers and numbers alike.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot_json.h"
#include "core/text/clean_text.h"
#include "core/text/fmt.h"
#include "core/text/names.h"

namespace nadrel::json {

using Json = nlohmann::ordered_json;

// Every text of the document is cleaned of control characters once, in the helpers below.
// A name or description, cleaned as the report cleans it; null when not known, which includes
// the words the collector and the SMBIOS tables use for it.
inline Json text(std::string_view value) {
    if (value.empty() || value == "Unknown" || value == "Unknown processor")
        return nullptr;
    return clean_name(clean_text(value));
}

// A serial, UUID, address or tag: never altered, null when unknown or when sanitizing.
inline Json ident(std::string_view value, const JsonOptions& options) {
    if (value.empty() || value == "Unknown" || options.sanitized)
        return nullptr;
    return clean_text(value);
}

// The largest integer every JSON reader holds exactly (2^53 - 1, a double's whole numbers).
inline constexpr std::uint64_t max_exact_integer = (std::uint64_t{1} << 53) - 1;

// A count or measure where 0 means not known; beyond max_exact_integer (only a saturated sum
// or a lying file gets there) not known either, rather than a number readers would round.
template <typename T>
Json known(T value) {
    if (value == 0 || static_cast<std::uint64_t>(value) > max_exact_integer)
        return nullptr;
    return value;
}

// A count or measure that may be absent (0 is a value): null when absent, or beyond
// max_exact_integer.
template <typename T>
Json optional_number(const std::optional<T>& value) {
    if (!value || static_cast<std::uint64_t>(*value) > max_exact_integer)
        return nullptr;
    return *value;
}

// A transfer rate in GT/s (16.0) from MT/s; null when not known.
inline Json gts(std::uint32_t mts) {
    if (mts == 0)
        return nullptr;
    return mts / 1000.0;
}

// A PCI or USB identifier as lspci -n writes it ("10de"); null when 0 (unreadable).
inline Json hex_id(std::uint32_t value, int digits) {
    if (value == 0)
        return nullptr;
    return strfmt("%0*x", digits, value);
}

inline Json text_list(const std::vector<std::string>& values) {
    Json list = Json::array();
    for (const std::string& v : values)
        list.push_back(clean_name(clean_text(v)));
    return list;
}

}  // namespace nadrel::json
