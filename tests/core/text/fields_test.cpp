// The one rule for lines, fields and meminfo values of procfs text.
#include "core/text/fields.h"

#include <gtest/gtest.h>

#include <string>

namespace nadrel {
namespace {

using Views = std::vector<std::string_view>;

Views split_lines(std::string_view text) {
    Views lines;
    for_each_line(text, [&lines](std::string_view line) { lines.push_back(line); });
    return lines;
}

TEST(TextFields, LinesDropOneCarriageReturnAndNoEmptyTail) {
    EXPECT_EQ(split_lines("a\r\nb\n\nc\r\r\n"), (Views{"a", "b", "", "c\r"}));
    EXPECT_EQ(split_lines(""), Views{});
    EXPECT_EQ(split_fields(" a\tb\r\n\vc\f "), (Views{"a", "b", "c"}));
    EXPECT_EQ(split_on("a::b", ':'), (Views{"a", "", "b"}));
    EXPECT_TRUE(is_numbered_name("card10", "card") && is_numbered_name("7", ""));
    EXPECT_FALSE(is_numbered_name("card", "card") || is_numbered_name("card0-DP-1", "card") ||
                 is_numbered_name("", "") || is_numbered_name("cpu+1", "cpu"));
    int seen = 0;
    for_each_line("x\ny\nz", [&seen](std::string_view) { return ++seen == 2; });
    EXPECT_EQ(seen, 2);  // a true return stops the walk
}

TEST(TextFields, SaturatingArithmetic) {
    constexpr auto max = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(saturating_add(max - 1, 5), max);
    EXPECT_EQ(saturating_mul(max / 2, 3), max);
    EXPECT_EQ(saturating_mul(0, max), 0u);
    EXPECT_EQ(saturate_u32(std::uint64_t{1} << 40), 0xFFFFFFFFu);
    EXPECT_EQ(meminfo_bytes("MemTotalX: 1 kB\nMemTotal: 2 kB\r\n", "MemTotal"), 2048u);
}

}  // namespace
}  // namespace nadrel
