// Addresses found inside free text, and what only looks like them.
#include "core/text/addresses.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

// The first address of the text, or "" when none; ipv6 tells which kind.
std::string first_address(std::string_view text, bool* ipv6 = nullptr) {
    const auto match = find_address(text, 0);
    if (!match)
        return "";
    if (ipv6 != nullptr)
        *ipv6 = match->ipv6;
    return std::string(text.substr(match->where.start, match->where.end - match->where.start));
}

TEST(Addresses, HardwareAndIpv6AddressesAsWords) {
    const struct {
        std::string_view text;
        std::string_view found;
        bool ipv6;
    } cases[] = {
        {"Keyboard AA:BB:CC:DD:EE:FF", "AA:BB:CC:DD:EE:FF", false},  // a Bluetooth address
        {"mac=00-e0-4c-68-00-01.", "00-e0-4c-68-00-01", false},
        {"EUI 00:11:22:ff:fe:33:44:55 x", "00:11:22:ff:fe:33:44:55", false},
        {"cisco 0011.2233.4455", "0011.2233.4455", false},
        {"via fe80::2e0:4cff:fe68:1%eth0", "fe80::2e0:4cff:fe68:1", true},  // EUI-64
        {"(::ffff:192.0.2.1)", "::ffff:192.0.2.1", true},
        {"gw fe80::", "fe80::", true},
        // Not addresses: times, versions, part numbers, hex inside words, two gaps.
        {"12:30:45", "", false},
        {"BIOS 1.2.3.4, 113-D7020100-102", "", false},
        {"enx00e04c680001", "", false},
        {"x00:11:22:33:44:55", "", false},
        {"a::b::c", "", false},
        {"1:2:3:4:5:6:7:8:9", "", false},
    };
    for (const auto& c : cases) {
        bool ipv6 = false;
        EXPECT_EQ(first_address(c.text, &ipv6), c.found) << c.text;
        EXPECT_EQ(ipv6, c.ipv6) << c.text;
    }
}

TEST(Addresses, MacDigitsAnywhere) {
    EXPECT_EQ(mac_digits("00:E0:4c:68:00:01\n"), "00e04c680001");
    EXPECT_EQ(mac_digits("00:00:00:00:00:00"), std::nullopt);
    EXPECT_EQ(mac_digits("ff:ff:ff:ff:ff:ff"), std::nullopt);
    EXPECT_EQ(mac_digits("00:e0:4c:68:00:0g"), std::nullopt);
    EXPECT_FALSE(find_mac_digits("00e04c68000", "00e04c680001", 0));
    EXPECT_FALSE(find_mac_digits("00::e04c680001", "00e04c680001", 0));
}

}  // namespace
}  // namespace nadrel
