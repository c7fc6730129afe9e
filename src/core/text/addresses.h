// Hardware and network addresses, and other words, found inside free text so that a sanitized
// report can hide them wherever firmware, drivers or their owner put them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace nadrel {

// Where a match lies in the text: bytes [start, end).
struct TextMatch {
    std::size_t start = 0;
    std::size_t end = 0;
};

// The twelve hexadecimal digits of a MAC address as the kernel writes it, lower-cased
// ("00:E0:4c:68:00:01" -> "00e04c680001"); nothing for other text and for the all-zero and
// broadcast addresses, which identify nothing.
std::optional<std::string> mac_digits(std::string_view mac);

// The first address at or after from, standing as a word of its own: a hardware address (six
// or eight two-digit groups joined by ':' or '-', as MAC, Bluetooth and EUI-64 addresses are
// written, or three four-digit groups joined by '.') or an IPv6 address (eight groups of one
// to four digits joined by ':', or fewer with one "::"; a dotted IPv4 tail counts as two).
struct AddressMatch {
    TextMatch where;
    bool ipv6 = false;  // else a hardware address
};
std::optional<AddressMatch> find_address(std::string_view text, std::size_t from);

// The first place at or after from where the twelve digits of a MAC address (mac_digits) are
// written, in either case, with or without one ':', '-' or '.' between digit pairs; also
// inside longer names ("enx00e04c680001").
std::optional<TextMatch> find_mac_digits(std::string_view text, std::string_view digits,
                                         std::size_t from);

// The first whole-word occurrence of word at or after from: no ASCII letter or digit right
// before or after it. Letter case counts.
std::optional<TextMatch> find_word(std::string_view text, std::string_view word, std::size_t from);

}  // namespace nadrel
