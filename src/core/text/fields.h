// Splitting procfs and sysfs text, one rule for all: lines end at a line feed with one
// carriage return before it dropped; fields are separated by runs of white space (space, tab,
// CR, LF, VT, FF). Also the saturating arithmetic the collectors use on kernel numbers.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

namespace nadrel {

// Calls fn(line) for each line; when fn returns bool, true stops the walk. A text ending in a
// line feed has no empty last line.
template <typename Fn>
void for_each_line(std::string_view text, Fn&& fn) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if constexpr (std::is_same_v<std::invoke_result_t<Fn&, std::string_view>, bool>) {
            if (fn(line))
                return;
        } else {
            fn(line);
        }
        if (end == std::string_view::npos)
            return;
        text.remove_prefix(end + 1);
    }
}

std::vector<std::string_view> split_fields(std::string_view text);
// Every piece between separators, empty ones included ("a::b" gives "a", "", "b").
std::vector<std::string_view> split_on(std::string_view text, char separator);

// A sysfs entry name of the prefix and a number ("cpu12", "card0", "memory32"); with an empty
// prefix, a number alone.
bool is_numbered_name(std::string_view name, std::string_view prefix);

// "Key:   1234 kB" of /proc/meminfo in bytes, from the first such line that parses; a value
// too large for 64 bits in bytes is as useless as one that does not parse.
std::optional<std::uint64_t> meminfo_bytes(std::string_view meminfo, std::string_view key);

// The pages present in every zone of /proc/zoneinfo, summed (saturating); none when no zone
// line has a "present" count.
std::optional<std::uint64_t> zoneinfo_present_pages(std::string_view zoneinfo);

// Sums of kernel and firmware numbers stop at the largest value rather than wrap: a lying
// source must not shrink a total.
template <typename T>
requires std::is_unsigned_v<T>
constexpr T saturating_add(T a, std::type_identity_t<T> b) {
    return b > std::numeric_limits<T>::max() - a ? std::numeric_limits<T>::max() : a + b;
}

constexpr std::uint64_t saturating_mul(std::uint64_t a, std::uint64_t b) {
    return a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a
               ? std::numeric_limits<std::uint64_t>::max()
               : a * b;
}

constexpr std::uint32_t saturate_u32(std::uint64_t v) {
    return v > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                         : static_cast<std::uint32_t>(v);
}

}  // namespace nadrel
