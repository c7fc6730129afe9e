// IP address text and the /proc/net tables a captured machine's addresses come from.
#include "core/text/inet.h"

#include <gtest/gtest.h>

#include <array>

namespace nadrel {
namespace {

std::array<std::uint8_t, 16> v6(std::initializer_list<unsigned> groups) {
    std::array<std::uint8_t, 16> bytes{};
    std::size_t i = 0;
    for (const unsigned g : groups) {
        bytes[i++] = static_cast<std::uint8_t>(g >> 8);
        bytes[i++] = static_cast<std::uint8_t>(g & 0xFF);
    }
    return bytes;
}

TEST(Inet, Rfc5952Text) {
    const std::pair<std::array<std::uint8_t, 16>, const char*> cases[] = {
        {v6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1}), "2001:db8::1"},
        {v6({0, 0, 0, 0, 0, 0, 0, 1}), "::1"},
        {v6({0, 0, 0, 0, 0, 0, 0, 0}), "::"},
        {v6({0xfe80, 0, 0, 0, 0x2e0, 0x4cff, 0xfe68, 1}), "fe80::2e0:4cff:fe68:1"},
        // One zero group stays; of two equal runs the first is shortened.
        {v6({0x2001, 0xdb8, 0, 1, 1, 1, 1, 1}), "2001:db8:0:1:1:1:1:1"},
        {v6({0x2001, 0, 0, 1, 0, 0, 1, 1}), "2001::1:0:0:1:1"},
        {v6({0x2001, 0xdb8, 0, 0, 1, 0, 0, 0}), "2001:db8:0:0:1::"},
        {v6({0, 0, 0, 0, 0, 0xffff, 0xc000, 0x0201}), "::ffff:192.0.2.1"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(format_ipv6(bytes), text);
    const std::uint8_t mask24[] = {255, 255, 255, 0};
    const std::uint8_t holes[] = {255, 0, 255, 0};
    const std::uint8_t mask20[] = {255, 255, 240, 0};
    EXPECT_EQ(mask_prefix_length(mask24), 24);
    EXPECT_EQ(mask_prefix_length(mask20), 20);
    EXPECT_EQ(mask_prefix_length(holes), std::nullopt);
    EXPECT_TRUE(is_link_local_ipv6("fe80::1"));
    EXPECT_TRUE(is_link_local_ipv6("febf::1"));
    EXPECT_FALSE(is_link_local_ipv6("fec0::1"));
    EXPECT_FALSE(is_link_local_ipv6("fd00::2"));
}

TEST(Inet, CapturedTables) {
    const auto inet6 = parse_if_inet6(
        "fd000000000000000000000000000002 02 40 00 80     eth0\n"
        "fe8000000000000000fc00fffe000001 02 40 20 80     eth0\n"
        "00000000000000000000000000000001 01 80 10 80       lo\n"
        "zz000000000000000000000000000001 01 80 10 80       lo\n"  // not hexadecimal
        "fd000000000000000000000000000002 02 81 00 80     eth0\n"  // prefix past 128
        "fd00 02 40 00 80 eth0\n");
    ASSERT_EQ(inet6.size(), 3u);
    EXPECT_EQ(inet6[0].interface, "eth0");
    EXPECT_EQ(inet6[0].address.address, "fd00::2");
    EXPECT_EQ(inet6[0].address.prefix_length, 64);
    EXPECT_EQ(inet6[1].address.address, "fe80::fc:ff:fe00:1");
    EXPECT_EQ(inet6[2].address.prefix_length, 128);

    // The tables of a machine with 192.0.2.2/24 on eth0 and 10.1.0.5/16 on eth1, as Linux
    // writes them (route words in the little-endian machine's byte order).
    const char* routes =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
        "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
        "eth1\t0000010A\t00000000\t0001\t0\t0\t0\t0000FFFF\t0\t0\t0\n"
        "eth1\t0000000A\t0101010A\t0003\t0\t0\t0\t000000FF\t0\t0\t0\n";
    const char* fib =
        "Main:\n  +-- 0.0.0.0/0 3 0 5\n     |-- 0.0.0.0\n        /0 universe UNICAST\n"
        "     +-- 127.0.0.0/8 2 0 2\n           |-- 127.0.0.1\n              /32 host LOCAL\n"
        "     +-- 192.0.2.0/24 2 0 2\n           |-- 192.0.2.0\n              /24 link UNICAST\n"
        "           |-- 192.0.2.2\n              /32 host LOCAL\n"
        "        |-- 192.0.2.255\n           /32 link BROADCAST\n"
        "           |-- 10.1.0.5\n              /32 host LOCAL\n"
        "Local:\n           |-- 192.0.2.2\n              /32 host LOCAL\n"
        "           |-- 300.1.0.5\n              /32 host LOCAL\n";
    const auto inet = parse_ipv4_addresses(fib, routes);
    ASSERT_EQ(inet.size(), 2u);  // loopback has no route; each leaf once; 300 is no octet
    EXPECT_EQ(inet[0].interface, "eth0");
    EXPECT_EQ(inet[0].address.address, "192.0.2.2");
    EXPECT_EQ(inet[0].address.prefix_length, 24);
    // The longest on-link route that holds it, not the gateway route to 10.0.0.0/8.
    EXPECT_EQ(inet[1].interface, "eth1");
    EXPECT_EQ(inet[1].address.prefix_length, 16);
    EXPECT_TRUE(parse_ipv4_addresses(fib, "").empty());
}

}  // namespace
}  // namespace nadrel
