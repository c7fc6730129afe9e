// Control characters from devices and files never reach the report.
#include "core/text/clean_text.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

TEST(CleanText, RemovesControlsAndTurnsWhiteSpaceControlsIntoOneSpace) {
    const struct {
        std::string_view in;
        std::string_view out;
    } cases[] = {
        {"Intel  Core", "Intel  Core"},  // runs of spaces are not ours to change
        {"Radio\x1b]0;TITLE\a\x1b]52;c;QUJD\a\x1b[2J", "Radio]0;TITLE]52;c;QUJD[2J"},
        {"a\tb\r\nc\x0b\x0c d", "a b c  d"},
        {std::string_view("nul\0byte\x7f", 9), "nulbyte"},
        {"C1 \xC2\x9B"
         "1m\xC2\x85next",
         "C1 1m next"},  // CSI removed, NEL is white space
        {"caf\xC3\xA9 \xE2\x84\xA2 \xC2\xA0", "caf\xC3\xA9 \xE2\x84\xA2 \xC2\xA0"},
        {"stray \x9B byte", "stray \xEF\xBF\xBD byte"},  // never a raw C1 byte
        // Format characters go: a right-to-left override, an isolate and its end, a zero-width
        // space, a byte-order mark, a soft hyphen, a tag character; line separators are breaks.
        {"Disk \u202Egnp.exe\u2066x\u2069 \u200B\uFEFFz\u00AD\U000E0067", "Disk gnp.exex z"},
        {"one\u2028two\u2029\nthree", "one two three"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(clean_text(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace nadrel
