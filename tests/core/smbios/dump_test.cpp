// The raw SMBIOS dump text: headings, hex lines, strings and the redaction of serial numbers,
// asset tags and the system UUID.
#include <gtest/gtest.h>

#include "core/smbios/builder.h"
#include "core/smbios/smbios.h"

namespace nadrel {
namespace {

using test::StructureBuilder;

TEST(SmbiosDump, HeaderOnlyForAnEmptyList) {
    EXPECT_EQ(format_smbios_dump({}),
              "SMBIOS: 0 structures\n"
              "(serial numbers, asset tags, and the system UUID are redacted)\n");
}

TEST(SmbiosDump, SystemInformationIsRedacted) {
    StructureBuilder system(1, 0x1B);
    system.set(2, 0x01).set(4, 1).set(5, 2).set(6, 3).set(7, 4);
    for (std::size_t i = 8; i < 24; ++i)
        system.set(i, 0xA0 + i);
    system.set(0x18, 6).set(0x19, 5).set(0x1A, 0);
    system.strings({"Maker", "Model", "1.0", "SN-12345", "Family", "SKU"});
    const std::vector<DmiStructure> list = {system, StructureBuilder(127, 4).set(2, 0xFF)};
    EXPECT_EQ(format_smbios_dump(list),
              "SMBIOS: 2 structures\n"
              "(serial numbers, asset tags, and the system UUID are redacted)\n"
              "\n"
              "Type 1 (System Information), 27 bytes\n"
              "  00: 01 1B 01 00 01 02 03 04 00 00 00 00 00 00 00 00\n"
              "  10: 00 00 00 00 00 00 00 00 06 05 00\n"
              "  [1] Maker\n"
              "  [2] Model\n"
              "  [3] 1.0\n"
              "  [4] <redacted>\n"
              "  [5] Family\n"
              "  [6] <redacted>\n"  // no field points at it
              "\n"
              "Type 127, 4 bytes\n"
              "  00: 7F 04 FF 00\n");
}

TEST(SmbiosDump, ShortUuidIsZeroedOnlyAsFarAsTheArea) {
    StructureBuilder system(1, 20);
    for (std::size_t i = 4; i < 20; ++i)
        system.set(i, 0x11);
    system.set(7, 0);  // no serial number string
    const std::string text = format_smbios_dump(std::vector<DmiStructure>{system});
    EXPECT_NE(text.find("Type 1 (System Information), 20 bytes\n"
                        "  00: 01 14 00 00 11 11 11 00 00 00 00 00 00 00 00 00\n"
                        "  10: 00 00 00 00\n"),
              std::string::npos)
        << text;
    // Eight bytes: nothing to zero, nothing grows.
    StructureBuilder tiny(1, 8);
    tiny.set(7, 1).strings({"SN"});
    EXPECT_NE(format_smbios_dump(std::vector<DmiStructure>{tiny})
                  .find("  00: 01 08 00 00 00 00 00 01\n  [1] <redacted>\n"),
              std::string::npos);
}

TEST(SmbiosDump, StringFieldsNeedTheOffsetAndAValidNumber) {
    // A 33-byte processor holds its serial number (20h) but not its asset tag (21h), whose
    // string is then referenced by no field.
    StructureBuilder cpu(4, 33);
    cpu.set(4, 1).set(0x20, 2).strings({"CPU0", "SERIAL", "ASSET"});
    const std::string cpu_text = format_smbios_dump(std::vector<DmiStructure>{cpu});
    EXPECT_NE(cpu_text.find("  [1] CPU0\n  [2] <redacted>\n  [3] <redacted>\n"), std::string::npos)
        << cpu_text;

    // Serial and asset tag sharing one string; a number out of range is left alone.
    StructureBuilder board(2, 0x0F);
    board.set(4, 1).set(7, 2).set(8, 2).strings({"Vendor", "Shared"});
    StructureBuilder chassis(3, 0x15);
    chassis.set(7, 9).set(8, 1).strings({"Tag"});
    StructureBuilder dimm(17, 0x28);
    dimm.set(0x10, 1).set(0x18, 2).set(0x19, 3).set(0x1A, 4).strings({"DIMM0", "S/N", "AT", "PN"});
    const std::string text = format_smbios_dump(std::vector<DmiStructure>{board, chassis, dimm});
    EXPECT_NE(text.find("Type 2 (Baseboard), 15 bytes\n"
                        "  00: 02 0F 00 00 01 00 00 02 02 00 00 00 00 00 00\n"
                        "  [1] Vendor\n"
                        "  [2] <redacted>\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Type 3 (Chassis), 21 bytes\n"
                        "  00: 03 15 00 00 00 00 00 09 01 00 00 00 00 00 00 00\n"
                        "  10: 00 00 00 00 00\n"
                        "  [1] <redacted>\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  [1] DIMM0\n  [2] <redacted>\n  [3] <redacted>\n  [4] PN\n"),
              std::string::npos)
        << text;
    // Other types are never touched, whatever their bytes say.
    StructureBuilder oem(221, 0x1A);
    oem.set(7, 1).set(8, 1).set(0x18, 1).strings({"keep"});
    EXPECT_NE(format_smbios_dump(std::vector<DmiStructure>{oem}).find("Type 221, 26 bytes\n"),
              std::string::npos);
    EXPECT_NE(format_smbios_dump(std::vector<DmiStructure>{oem}).find("  [1] keep\n"),
              std::string::npos);
}

TEST(SmbiosDump, StringsNoFieldReferencesAreRedactedInIdentifyingTypes) {
    // An empty slot (size 0) whose serial and asset-tag fields are 0 still carries the asset
    // tag of the module that was there; the locator, bank and part number stay.
    StructureBuilder slot(17, 0x2C);
    slot.set(0x10, 1).set(0x11, 2).set(0x1A, 4).strings({"DIMM_B2", "BANK 3", "AT-0042", "PN"});
    // The chassis SKU (after two contained elements of 3 bytes) is referenced; the last is not.
    StructureBuilder chassis(3, 0x1C);
    chassis.set(4, 1).set(0x13, 2).set(0x14, 3).set(0x1B, 2).strings({"Maker", "SKU-1", "Old"});
    // A type with no serials keeps every string, referenced or not.
    StructureBuilder cache(7, 0x13);
    cache.strings({"L1", "stray"});
    const std::string text = format_smbios_dump(std::vector<DmiStructure>{slot, chassis, cache});
    EXPECT_NE(text.find("  [1] DIMM_B2\n  [2] BANK 3\n  [3] <redacted>\n  [4] PN\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  [1] Maker\n  [2] SKU-1\n  [3] <redacted>\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  [1] L1\n  [2] stray\n"), std::string::npos) << text;
}

TEST(SmbiosDump, OffsetsGrowPastTwoDigitsAndStringsStayRaw) {
    DmiStructure big;
    big.type = 200;
    big.formatted.assign(0x101, 0xEE);
    big.strings = {"  spaced  ", ""};
    const std::string text = format_smbios_dump(std::vector<DmiStructure>{big});
    EXPECT_NE(text.find("\n  F0: EE"), std::string::npos);
    EXPECT_NE(text.find("\n  100: EE\n  [1]   spaced  \n  [2] \n"), std::string::npos) << text;
    DmiStructure empty;
    empty.type = 5;
    EXPECT_TRUE(
        format_smbios_dump(std::vector<DmiStructure>{empty}).ends_with("\nType 5, 0 bytes\n"));
}

TEST(SmbiosDump, BatteryPowerSupplyAndFreeTextStructuresAreRedacted) {
    // Portable battery: the serial string (07h) and the SBDS serial word (10h, 11h).
    StructureBuilder battery(22, 0x1A);
    battery.set(4, 1).set(7, 2).set(0x10, 0x34).set(0x11, 0x12).strings({"Front", "BAT-SN"});
    // Power supply: serial number (08h) and asset tag (09h); the model (0Ah) stays.
    StructureBuilder supply(39, 0x16);
    supply.set(7, 1).set(8, 2).set(9, 3).set(0x0A, 4).strings({"Maker", "PSU-SN", "PSU-AT", "M1"});
    StructureBuilder oem(11, 5);
    oem.set(4, 2).strings({"Service Tag 7X9Q", "Disk S3Z9"});
    StructureBuilder options(12, 5);
    options.set(4, 1).strings({"Board SN 42"});
    const std::string text =
        format_smbios_dump(std::vector<DmiStructure>{battery, supply, oem, options});
    EXPECT_NE(text.find("  10: 00 00 00 00 00 00 00 00 00 00\n"
                        "  [1] Front\n  [2] <redacted>\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  [1] Maker\n  [2] <redacted>\n  [3] <redacted>\n  [4] M1\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Type 11, 5 bytes\n  00: 0B 05 00 00 02\n"
                        "  [1] <redacted>\n  [2] <redacted>\n"
                        "\nType 12, 5 bytes\n  00: 0C 05 00 00 01\n  [1] <redacted>\n"),
              std::string::npos)
        << text;
}

TEST(SmbiosDump, ControlBytesInStringsAreEscaped) {
    DmiStructure s;
    s.type = 200;
    s.strings = {"Radio\x1b]0;TITLE\a", "caf\xC3\xA9 \xC2\x9B \xFF", "a\u202Eb\u2028"};
    const std::string text = format_smbios_dump(std::vector<DmiStructure>{s});
    EXPECT_NE(text.find("  [1] Radio\\x1b]0;TITLE\\x07\n"
                        "  [2] caf\xC3\xA9 \\xc2\\x9b \\xff\n"
                        "  [3] a\\xe2\\x80\\xaeb\\xe2\\x80\\xa8\n"),
              std::string::npos)
        << text;
}

}  // namespace
}  // namespace nadrel
