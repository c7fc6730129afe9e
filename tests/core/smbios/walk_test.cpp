// The SMBIOS table walk: structure boundaries, string sets and every way a table can be cut or
// damaged, plus the bounded field reads and string lookup.
#include <gtest/gtest.h>

#include "core/smbios/builder.h"
#include "core/smbios/decode.h"
#include "core/smbios/smbios.h"
#include "core/smbios/tables.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

using test::StructureBuilder;
using test::table;
using Bytes = std::vector<std::uint8_t>;

const Bytes end_of_table = test::end_of_table_bytes();

TEST(SmbiosWalk, SplitsStructuresAndStopsAfterEndOfTable) {
    const Bytes bios = StructureBuilder(0, 0x18).set(4, 1).strings({"Vendor", " 1.02 "}).bytes();
    const Bytes slot = StructureBuilder(9, 0x11).bytes();  // no strings: two NULs
    const Bytes after = StructureBuilder(2, 8).strings({"after the end"}).bytes();
    const auto list = parse_smbios_table(table({bios, slot, end_of_table, after}));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].type, 0);
    EXPECT_EQ(list[0].formatted.size(), 0x18u);
    EXPECT_EQ(list[0].strings, (std::vector<std::string>{"Vendor", " 1.02 "}));
    EXPECT_EQ(list[1].type, 9);
    EXPECT_TRUE(list[1].strings.empty());
    EXPECT_EQ(list[2].type, 127);
    EXPECT_EQ(list[2].formatted.size(), 4u);
}

TEST(SmbiosWalk, InactiveAndOemStructuresAreKept) {
    const Bytes inactive = StructureBuilder(126, 0x11).bytes();
    const Bytes oem = StructureBuilder(221, 0x1A).strings({"x"}).bytes();
    const auto list = parse_smbios_table(table({inactive, oem, end_of_table}));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].type, 126);
    EXPECT_EQ(list[1].type, 221);
}

TEST(SmbiosWalk, BadLengthsEndTheWalk) {
    const Bytes good = StructureBuilder(1, 8).strings({"a"}).bytes();
    struct Case {
        const char* what;
        Bytes data;
        std::size_t count;
    };
    const Case cases[] = {
        {"empty", {}, 0},
        {"three bytes", {1, 4, 0}, 0},
        {"first length 2", {1, 2, 0, 0, 0, 0, 0, 0}, 0},
        {"first length 3", {1, 3, 0, 0, 0, 0}, 0},
        {"length 0 after a good one", table({good, {3, 0, 0, 0, 0, 0}}), 1},
        {"length past the data", table({good, {3, 0x40, 0, 0, 0, 0}}), 1},
        {"three bytes left", table({good, {3, 4, 0}}), 1},
        {"length exactly the rest, no strings", table({good, {3, 6, 0, 0, 9, 9}}), 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parse_smbios_table(c.data).size(), c.count) << c.what;
    }
}

TEST(SmbiosWalk, UnterminatedStringSetEndsTheList) {
    Bytes cut = StructureBuilder(17, 0x12).bytes();
    cut.resize(0x12);
    for (char c : std::string("DIMM A"))
        cut.push_back(static_cast<std::uint8_t>(c));
    cut.push_back(0);
    for (char c : std::string("half a str"))
        cut.push_back(static_cast<std::uint8_t>(c));
    const auto list = parse_smbios_table(table({StructureBuilder(1, 8).bytes(), cut}));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].strings, std::vector<std::string>{"DIMM A"});  // the cut string is dropped
}

TEST(SmbiosWalk, SingleNulAfterTheAreaClosesAnEmptySet) {
    // A lone NUL followed by the next header: the set is empty and one byte long.
    const Bytes data = table({{1, 4, 0, 0, 0}, StructureBuilder(2, 4).strings({"b"}).bytes()});
    const auto list = parse_smbios_table(data);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_TRUE(list[0].strings.empty());
    EXPECT_EQ(list[1].type, 2);
    EXPECT_EQ(list[1].strings, std::vector<std::string>{"b"});
}

TEST(SmbiosWalk, InvalidUtf8IsReplaced) {
    const std::string bad =
        "A\xE2\x82"
        "B\xFF"
        "C\xC3\xA9";
    const auto list = parse_smbios_table(StructureBuilder(1, 8).strings({bad}).bytes());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].strings[0], "A\uFFFDB\uFFFDC\u00E9");
}

TEST(SmbiosFields, ReadsPastTheAreaGiveZero) {
    const DmiStructure s = StructureBuilder(17, 0x0E).word(0x0C, 0xABCD).set(0x0D, 0xAB);
    EXPECT_EQ(smbios_byte(s, 0x0C), 0xCD);
    EXPECT_EQ(smbios_word(s, 0x0C), 0xABCD);
    EXPECT_EQ(smbios_word(s, 0x0D), 0x00AB);  // high byte lies past the end
    EXPECT_EQ(smbios_dword(s, 0x0C), 0xABCDu);
    EXPECT_EQ(smbios_qword(s, 0x0C), 0xABCDu);
    EXPECT_EQ(smbios_qword(s, std::size_t{1} << 62), 0u);
    EXPECT_EQ(smbios_byte(DmiStructure{}, 0), 0);
}

TEST(SmbiosFields, StringsAreTrimmedAndNumbersChecked) {
    const DmiStructure s = StructureBuilder(2, 8).strings({"  Board \t", "", "x"});
    EXPECT_EQ(smbios_string(s, 1), "Board");
    EXPECT_EQ(smbios_string(s, 2), "");
    EXPECT_EQ(smbios_string(s, 3), "x");
    EXPECT_EQ(smbios_string(s, 0), "");
    EXPECT_EQ(smbios_string(s, 4), "");
    EXPECT_EQ(smbios_string(s, 255), "");
}

}  // namespace
}  // namespace nadrel
