// IP address text and the /proc/net address tables.
#include "core/text/inet.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <unordered_set>

#include "core/text/fields.h"
#include "core/text/fmt.h"
#include "core/text/numbers.h"

namespace nadrel {

namespace {

// /proc/net/route flags (linux/route.h).
constexpr std::uint32_t route_up = 0x1;
constexpr std::uint32_t route_gateway = 0x2;

std::optional<std::array<std::uint8_t, 4>> parse_dotted(std::string_view text) {
    std::array<std::uint8_t, 4> bytes{};
    const auto parts = split_on(text, '.');
    if (parts.size() != 4)
        return std::nullopt;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string_view part = parts[i];
        if (part.empty() || part.size() > 3 ||
            part.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        const auto value = parse_u64(part);
        if (!value || *value > 255)
            return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(*value);
    }
    return bytes;
}

struct Route {
    std::string_view interface;
    std::uint32_t destination = 0;  // as the table writes it: host byte order of the capture
    std::uint32_t mask = 0;
    std::uint8_t prefix_length = 0;
};

std::vector<Route> on_link_routes(std::string_view route_table) {
    std::vector<Route> routes;
    std::size_t lines = 0;
    for_each_line(route_table, [&](std::string_view line) {
        if (++lines > max_table_lines)
            return true;
        // Iface Destination Gateway Flags RefCnt Use Metric Mask ...; the heading does not parse.
        const auto fields = split_fields(line);
        if (fields.size() < 8)
            return false;
        const auto destination = parse_hex32(fields[1]);
        const auto flags = parse_hex32(fields[3]);
        const auto mask = parse_hex32(fields[7]);
        if (!destination || !flags || !mask || *mask == 0 || (*flags & route_up) == 0 ||
            (*flags & route_gateway) != 0)
            return false;
        // The table writes each word as the capturing machine held it in memory.
        const std::array<std::uint8_t, 4> bytes = {
            static_cast<std::uint8_t>(*mask & 0xFF), static_cast<std::uint8_t>(*mask >> 8 & 0xFF),
            static_cast<std::uint8_t>(*mask >> 16 & 0xFF), static_cast<std::uint8_t>(*mask >> 24)};
        const auto prefix = mask_prefix_length(bytes);
        if (!prefix)
            return false;
        routes.push_back({fields[0], *destination, *mask, *prefix});
        return routes.size() >= max_table_entries;
    });
    return routes;
}

}  // namespace

std::string format_ipv4(std::span<const std::uint8_t, 4> bytes) {
    return strfmt("%u.%u.%u.%u", unsigned{bytes[0]}, unsigned{bytes[1]}, unsigned{bytes[2]},
                  unsigned{bytes[3]});
}

std::string format_ipv6(std::span<const std::uint8_t, 16> bytes) {
    std::array<unsigned, 8> groups{};
    for (std::size_t i = 0; i < 8; ++i)
        groups[i] = unsigned{bytes[2 * i]} << 8 | bytes[2 * i + 1];
    // ::ffff:a.b.c.d
    if (std::all_of(groups.begin(), groups.begin() + 5, [](unsigned g) { return g == 0; }) &&
        groups[5] == 0xFFFF) {
        return "::ffff:" + format_ipv4(bytes.subspan<12, 4>());
    }
    std::size_t best_start = 8;
    std::size_t best_length = 1;  // a single zero group is never shortened
    for (std::size_t i = 0; i < 8;) {
        if (groups[i] != 0) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < 8 && groups[end] == 0)
            ++end;
        if (end - i > best_length) {
            best_start = i;
            best_length = end - i;
        }
        i = end;
    }
    std::string text;
    for (std::size_t i = 0; i < 8; ++i) {
        if (i == best_start) {
            text += "::";
            i += best_length - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':')
            text += ':';
        text += strfmt("%x", groups[i]);
    }
    return text;
}

std::optional<std::uint8_t> mask_prefix_length(std::span<const std::uint8_t> mask) {
    std::size_t ones = 0;
    bool ended = false;
    for (const std::uint8_t byte : mask) {
        const int leading = std::countl_one(byte);
        if (ended && byte != 0)
            return std::nullopt;
        if (leading < 8) {
            // The rest of this byte must be zeros.
            if (static_cast<std::uint8_t>(byte << leading) != 0)
                return std::nullopt;
            ended = true;
        }
        ones += static_cast<std::size_t>(leading);
    }
    return static_cast<std::uint8_t>(ones);
}

bool is_link_local_ipv6(std::string_view address) {
    if (address.size() < 4 || address[0] != 'f' || address[1] != 'e')
        return false;
    // fe80::/10: the third digit is 8, 9, a or b.
    return address[2] == '8' || address[2] == '9' || address[2] == 'a' || address[2] == 'b';
}

std::vector<InterfaceAddress> parse_if_inet6(std::string_view text) {
    std::vector<InterfaceAddress> out;
    std::size_t lines = 0;
    for_each_line(text, [&](std::string_view line) {
        if (++lines > max_table_lines)
            return true;
        const auto fields = split_fields(line);
        if (fields.size() != 6 || fields[0].size() != 32)
            return false;
        std::array<std::uint8_t, 16> bytes{};
        for (std::size_t i = 0; i < 16; ++i) {
            const std::string_view pair = fields[0].substr(2 * i, 2);
            if (pair.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
                return false;
            bytes[i] = static_cast<std::uint8_t>(*parse_hex32(pair));
        }
        const auto prefix = parse_hex32(fields[2]);
        if (!prefix || *prefix > 128 || fields[2].size() > 2)
            return false;
        out.push_back({std::string(fields[5]),
                       NetAddress{true, format_ipv6(bytes), static_cast<std::uint8_t>(*prefix)}});
        return out.size() >= max_table_entries;
    });
    return out;
}

std::vector<InterfaceAddress> parse_ipv4_addresses(std::string_view fib_trie,
                                                   std::string_view route_table) {
    const std::vector<Route> routes = on_link_routes(route_table);
    std::vector<InterfaceAddress> out;
    std::unordered_set<std::string_view> seen;  // the main and local tries name each leaf
    std::string_view leaf;
    std::size_t lines = 0;
    for_each_line(fib_trie, [&](std::string_view line) {
        if (++lines > 16 * max_table_lines)
            return true;
        const auto fields = split_fields(line);
        if (fields.size() == 2 && fields[0] == "|--") {
            leaf = fields[1];
            return false;
        }
        if (fields.size() != 3 || fields[0] != "/32" || fields[1] != "host" ||
            fields[2] != "LOCAL" || leaf.empty() || !seen.insert(leaf).second)
            return false;
        const auto bytes = parse_dotted(leaf);
        if (!bytes)
            return false;
        // The address as the route table writes words: the capture's byte order.
        const std::uint32_t word = std::uint32_t{(*bytes)[0]} | std::uint32_t{(*bytes)[1]} << 8 |
                                   std::uint32_t{(*bytes)[2]} << 16 |
                                   std::uint32_t{(*bytes)[3]} << 24;
        const Route* best = nullptr;
        for (const Route& route : routes) {
            if ((word & route.mask) == route.destination &&
                (best == nullptr || route.prefix_length > best->prefix_length))
                best = &route;
        }
        if (best != nullptr) {
            out.push_back({std::string(best->interface),
                           NetAddress{false, format_ipv4(*bytes), best->prefix_length}});
        }
        return out.size() >= max_table_entries;
    });
    return out;
}

}  // namespace nadrel
