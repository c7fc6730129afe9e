// IP addresses: their text (dotted IPv4, RFC 5952 IPv6), and the addresses of each interface
// as a captured machine's /proc/net files give them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot.h"

namespace nadrel {

// Bytes in network order.
std::string format_ipv4(std::span<const std::uint8_t, 4> bytes);
// Lower-case groups without leading zeros, the longest run of two or more zero groups (the
// first of equal runs) as "::", and an IPv4-mapped address ending in dotted form.
std::string format_ipv6(std::span<const std::uint8_t, 16> bytes);
// The number of leading one bits of a network mask; nothing when the ones are not contiguous.
std::optional<std::uint8_t> mask_prefix_length(std::span<const std::uint8_t> mask);
// fe80::/10, in the text format_ipv6 writes.
bool is_link_local_ipv6(std::string_view address);

struct InterfaceAddress {
    std::string interface;
    NetAddress address;
};

// Lines examined at most in each /proc/net table (sixteen times as many in fib_trie, which
// takes several lines per address), and addresses and routes kept at most: a host with
// thousands of addresses or routes is a router, whose addresses a captured tree need not hold.
inline constexpr std::size_t max_table_lines = 4096;
inline constexpr std::size_t max_table_entries = 1024;

// /proc/net/if_inet6: "address ifindex prefix scope flags name", the address as 32 hex digits.
std::vector<InterfaceAddress> parse_if_inet6(std::string_view text);

// IPv4 addresses from /proc/net/fib_trie (the "/32 host LOCAL" leaves: addresses of this
// host) with the interface and prefix length of the longest on-link route in /proc/net/route
// that holds each. An address no such route holds (loopback) is left out.
std::vector<InterfaceAddress> parse_ipv4_addresses(std::string_view fib_trie,
                                                   std::string_view route_table);

}  // namespace nadrel
