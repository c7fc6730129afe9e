// The number rules of sysfs and procfs attribute text: strict, trimmed, overflow-checked.
#include "core/text/numbers.h"

#include <limits>

#include "core/text/unicode.h"

namespace nadrel {

std::optional<std::uint64_t> parse_u64(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::uint64_t v = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        const auto d = static_cast<std::uint64_t>(ch - '0');
        if (v > (std::numeric_limits<std::uint64_t>::max() - d) / 10)
            return std::nullopt;
        v = v * 10 + d;
    }
    return v;
}

std::optional<std::uint64_t> parse_hex64(std::string_view text) {
    text = trim(text);
    if (text.starts_with("0x"))
        text.remove_prefix(2);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::uint64_t v = 0;
    for (const char ch : text) {
        std::uint64_t d = 0;
        if (ch >= '0' && ch <= '9') {
            d = static_cast<std::uint64_t>(ch - '0');
        } else if (ch >= 'a' && ch <= 'f') {
            d = static_cast<std::uint64_t>(ch - 'a' + 10);
        } else if (ch >= 'A' && ch <= 'F') {
            d = static_cast<std::uint64_t>(ch - 'A' + 10);
        } else {
            return std::nullopt;
        }
        if (v > (std::numeric_limits<std::uint64_t>::max() >> 4))
            return std::nullopt;
        v = v * 16 + d;
    }
    return v;
}

std::optional<std::uint32_t> parse_hex32(std::string_view text) {
    const auto v = parse_hex64(text);
    if (!v || *v > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(*v);
}

std::optional<std::int64_t> parse_i64(std::string_view text) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    // Accumulate as a negative number so that INT64_MIN fits.
    std::int64_t v = 0;
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    for (const char ch : text) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        const std::int64_t d = ch - '0';
        if (v < (min + d) / 10)
            return std::nullopt;
        v = v * 10 - d;
    }
    if (!negative) {
        if (v == min)
            return std::nullopt;
        v = -v;
    }
    return v;
}

}  // namespace nadrel
