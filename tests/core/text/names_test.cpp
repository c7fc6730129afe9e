// Trademark-mark removal and the firmware-placeholder test.
#include "core/text/names.h"

#include <gtest/gtest.h>

#include "core/smbios/tables.h"
#include "core/text/unicode.h"
#include "support/cases.h"

namespace nadrel {
namespace {

TEST(CleanName, RemovesMarksOnly) {
    EXPECT_EQ(clean_name("Intel(R) Core(TM) i7"), "Intel Core i7");
    EXPECT_EQ(clean_name("A(r)B(tm)C(c)D(C)"), "ABCD");
    EXPECT_EQ(clean_name("Foo\u00AE Bar\u2122 \u00A9Baz"), "Foo Bar Baz");
    EXPECT_EQ(clean_name("(T(TM)M)"), "(TM)");  // one pass per mark, not repeated
    EXPECT_EQ(clean_name("  spaced (x) "), "  spaced (x) ");
}

TEST(CollapseSpaces, RunsOfWhiteSpaceBecomeOneSpace) {
    EXPECT_EQ(collapse_spaces("Intel(R) Core(TM) i5 CPU       M 560  @ 2.67GHz"),
              "Intel(R) Core(TM) i5 CPU M 560 @ 2.67GHz");
    EXPECT_EQ(collapse_spaces("WDC\t \tWD40"), "WDC WD40");
    EXPECT_EQ(collapse_spaces("  ends  "), " ends ");  // callers trim
    EXPECT_EQ(collapse_spaces("caf\u00E9  \u00A0x"),
              "caf\u00E9 \u00A0x");  // ASCII white space only
    // clean_name keeps the report's own aligned separators.
    EXPECT_EQ(clean_name("L1 1MB  /  L2 2MB"), "L1 1MB  /  L2 2MB");
}

// Trailing white space is taken off from the back by whole characters; a byte that is only part
// of a character (a stray continuation, a cut sequence) is not white space.
TEST(TrimEnd, WholeCharactersFromTheBack) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"a \t\r\n", "a"},
        {"a\u00A0\u3000 ", "a"},
        {"   ", ""},
        {"", ""},
        {"a\xA0", "a\xA0"},
        {"a\xC2\xA0\xA0", "a\xC2\xA0\xA0"},
        {"a\xE2\x80", "a\xE2\x80"},
        {"\x80\x80\x80\x80 ", "\x80\x80\x80\x80"},
    };
    for (const auto& [text, want] : cases)
        EXPECT_EQ(trim_end(text), want) << text;
}

TEST(IsPlaceholder, ContainmentWholeTextAndFiller) {
    EXPECT_TRUE(is_placeholder("  To Be Filled By O.E.M.  "));
    EXPECT_TRUE(is_placeholder("OEM"));
    EXPECT_FALSE(is_placeholder("OEM Board"));
    EXPECT_TRUE(is_placeholder("0.00"));
    EXPECT_TRUE(is_placeholder("Default string"));
    EXPECT_FALSE(is_placeholder("Chassis Manufacturer"));
    EXPECT_TRUE(is_placeholder("Chassis Manufacture"));
    EXPECT_TRUE(is_placeholder(""));
    EXPECT_TRUE(is_placeholder(". . ."));
    EXPECT_TRUE(is_placeholder("--"));
    EXPECT_FALSE(is_placeholder("0001"));
    EXPECT_TRUE(is_placeholder("NOT SPECIFIED"));
}

TEST(IsPlaceholder, ValueNamingItsOwnField) {
    constexpr std::string_view socket[] = {"cpu socket", "socket"};
    constexpr std::string_view sku[] = {"product sku", "sku"};
    for (const std::string_view text : {"CPUSocket", "SOCKET 0", "Socket #1", "cpu_socket", "None"})
        EXPECT_TRUE(is_placeholder(text, socket)) << text;
    for (const std::string_view text : {"LGA1700", "Socket AM4", "SP3r2", "U3E1", "CPU1"})
        EXPECT_FALSE(is_placeholder(text, socket)) << text;
    EXPECT_TRUE(is_placeholder("SKU", sku));
    EXPECT_FALSE(is_placeholder("SKU", socket));  // only a field's own names
    EXPECT_FALSE(is_placeholder("MS-7D91-SKU01", sku));
    EXPECT_FALSE(is_placeholder("1", sku));  // an index alone is no name
}

TEST(ChassisName, TableModulo256) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {9, "Laptop"}, {1, ""}, {265, "Laptop"}, {36, "Stick PC"}, {18, ""}};
    test::expect_each(chassis_name, cases);
}

}  // namespace
}  // namespace nadrel
