// Line, field and meminfo splitting for procfs and sysfs text.
#include "core/text/fields.h"

#include "core/text/numbers.h"

namespace nadrel {

namespace {

constexpr bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

std::vector<std::string_view> split_fields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && is_space(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !is_space(text[i]))
            ++i;
        if (i > start)
            fields.push_back(text.substr(start, i - start));
    }
    return fields;
}

std::vector<std::string_view> split_on(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

bool is_numbered_name(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size())
        return false;
    name.remove_prefix(prefix.size());
    return name.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<std::uint64_t> meminfo_bytes(std::string_view meminfo, std::string_view key) {
    std::optional<std::uint64_t> bytes;
    for_each_line(meminfo, [&](std::string_view line) {
        if (!line.starts_with(key) || line.substr(key.size(), 1) != ":")
            return false;
        const auto fields = split_fields(line.substr(key.size() + 1));
        const auto kib = fields.empty() ? std::nullopt : parse_u64(fields[0]);
        if (!kib || *kib > std::numeric_limits<std::uint64_t>::max() / 1024)
            return false;
        bytes = *kib * 1024;
        return true;
    });
    return bytes;
}

std::optional<std::uint64_t> zoneinfo_present_pages(std::string_view zoneinfo) {
    std::optional<std::uint64_t> pages;
    for_each_line(zoneinfo, [&](std::string_view line) {
        const auto fields = split_fields(line);
        if (fields.size() != 2 || fields[0] != "present")
            return;
        if (const auto count = parse_u64(fields[1]))
            pages = saturating_add(pages.value_or(0), *count);
    });
    return pages;
}

}  // namespace nadrel
