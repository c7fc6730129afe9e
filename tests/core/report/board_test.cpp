// MOTHERBOARD section rows, in summary and detail form.
#include <gtest/gtest.h>

#include "core/report/sections.h"
#include "support/rows.h"

namespace nadrel {
namespace {

using test::rows_text;

SystemSnapshot desktop_board() {
    SystemSnapshot s;
    s.dmi.board_vendor = "Example Corp";
    s.dmi.board_name = "Z790 GAMING";
    s.dmi.board_version = "Rev 1.xx";
    s.dmi.sys_vendor = "Example Corp";
    s.dmi.product_name = "MS-7D91";
    s.dmi.product_sku = "Default SKU";
    s.dmi.bios_vendor = "American Megatrends International, LLC.";
    s.dmi.bios_version = "1.60";
    s.dmi.bios_date = "2023-04-12";
    s.smbios_version = "3.5";
    s.bios_rom_size = 33554432;
    s.chassis = "Desktop";
    s.cpu_socket = "LGA1700";
    s.tpm = "2.0";
    s.secure_boot = "Disabled";
    s.usb_ports = 12;
    s.ports = {{"JUSB1", "USB"}, {"LAN", "Network Port"}, {"", "Audio Port"}};
    s.slots = {{"PCIEX16_1", "PCI Express Gen4", "x16", "In use"},
               {"PCIEX16_2", "PCI Express Gen4", "x16", "Available"},
               {"PCIEX1_1", "PCI Express Gen3", "x1", "Available"},
               {"PCIEX16_3", "PCI Express Gen4", "x16", "Available"}};
    return s;
}

TEST(MotherboardRows, Summary) {
    EXPECT_EQ(rows_text(motherboard_rows(desktop_board(), false)),
              "  Board             : Example Corp Z790 GAMING (Rev 1.xx)\n"
              "  System            : Example Corp MS-7D91\n"
              "  BIOS              : American Megatrends International, LLC. 1.60 (2023-04-12)\n"
              "  Chassis           : Desktop\n"
              "  CPU socket        : LGA1700\n"
              "  TPM               : 2.0\n"
              "  Secure Boot       : Disabled\n"
              "  Expansion slots\n"
              "  \u2022 PCI Express Gen4 x16 - In use\n"
              "  \u2022 2 x PCI Express Gen4 x16 - Available\n"
              "  \u2022 PCI Express Gen3 x1 - Available\n");
}

TEST(MotherboardRows, Detail) {
    EXPECT_EQ(rows_text(motherboard_rows(desktop_board(), true)),
              "  Board             : Example Corp Z790 GAMING (Rev 1.xx)\n"
              "  System            : Example Corp MS-7D91\n"
              "  Product SKU       : Default SKU\n"
              "  BIOS              : American Megatrends International, LLC. 1.60 (2023-04-12)\n"
              "  \u2502 SMBIOS          : 3.5\n"
              "  \u2502 ROM             : 32MB\n"
              "  Chassis           : Desktop\n"
              "  CPU socket        : LGA1700\n"
              "  TPM               : 2.0\n"
              "  Secure Boot       : Disabled\n"
              "  USB ports         : 12\n"
              "  Port connectors\n"
              "    Designation  Type\n"
              "    JUSB1        USB\n"
              "    LAN          Network Port\n"
              "                 Audio Port\n"
              "  Slot inventory\n"
              "    Designation  Type              Width  Usage\n"
              "    PCIEX16_1    PCI Express Gen4  x16    In use\n"
              "    PCIEX16_2    PCI Express Gen4  x16    Available\n"
              "    PCIEX1_1     PCI Express Gen3  x1     Available\n"
              "    PCIEX16_3    PCI Express Gen4  x16    Available\n");
}

TEST(MotherboardRows, WithoutSmbiosOnlyTheBoardRowRemains) {
    const SystemSnapshot s;
    EXPECT_EQ(rows_text(motherboard_rows(s, false)),
              "  Board             : (SMBIOS data unavailable)\n");
    EXPECT_EQ(rows_text(motherboard_rows(s, true)),
              "  Board             : (SMBIOS data unavailable)\n");
    // Without DMI, the device tree names the board; its first compatible string is detail.
    SystemSnapshot dt;
    dt.devicetree_model = "Raspberry Pi 4 Model B Rev 1.4";
    dt.devicetree_compatible = "raspberrypi,4-model-b";
    EXPECT_EQ(rows_text(motherboard_rows(dt, false)),
              "  Board             : Raspberry Pi 4 Model B Rev 1.4\n");
    EXPECT_EQ(rows_text(motherboard_rows(dt, true)),
              "  Board             : Raspberry Pi 4 Model B Rev 1.4\n"
              "  \u2502 Compatible      : raspberrypi,4-model-b\n");
    dt.dmi.board_name = "X570";  // DMI wins where both exist
    EXPECT_EQ(rows_text(motherboard_rows(dt, true)), "  Board             : X570\n");
    // A board name without vendor or version, and a BIOS version without vendor or date.
    SystemSnapshot t;
    t.dmi.board_name = "X570(TM)";
    t.dmi.bios_version = "F3";
    t.dmi.product_name = "Box";
    EXPECT_EQ(rows_text(motherboard_rows(t, false)),
              "  Board             : X570\n"
              "  System            : Box\n"
              "  BIOS              : F3\n");
}

TEST(MotherboardRows, SocketCount) {
    SystemSnapshot s;
    s.cpu_socket = "LGA4677";
    s.cpu_sockets = 2;
    s.cpu_sockets_populated = 1;
    EXPECT_EQ(rows_text(motherboard_rows(s, false)),
              "  Board             : (SMBIOS data unavailable)\n"
              "  CPU sockets       : LGA4677 (1 of 2 populated)\n");
    s.cpu_sockets = 1;
    EXPECT_EQ(rows_text(motherboard_rows(s, false)),
              "  Board             : (SMBIOS data unavailable)\n"
              "  CPU socket        : LGA4677\n");
    s.cpu_socket.clear();  // the counts alone show nothing
    s.cpu_sockets = 4;
    EXPECT_EQ(rows_text(motherboard_rows(s, true)),
              "  Board             : (SMBIOS data unavailable)\n");
}

TEST(MotherboardRows, ExpansionSlotUsageCollapse) {
    struct Case {
        std::vector<SystemSlot> slots;
        std::string bullets;
    };
    const SystemSlot in_use{"S", "PCI Express", "x1", "In use"};
    const Case cases[] = {
        // All four in use: usage dropped, identical lines counted.
        {{in_use, in_use, in_use, in_use}, "  \u2022 4 x PCI Express x1\n"},
        // A single slot keeps its usage.
        {{in_use}, "  \u2022 PCI Express x1 - In use\n"},
        // No width and no usage.
        {{{"S", "M.2 Socket 3 (Key M)", "", ""}, {"S", "M.2 Socket 3 (Key M)", "", ""}},
         "  \u2022 2 x M.2 Socket 3 (Key M)\n"},
    };
    for (const auto& c : cases) {
        SystemSnapshot s;
        s.slots = c.slots;
        EXPECT_EQ(rows_text(motherboard_rows(s, false)),
                  "  Board             : (SMBIOS data unavailable)\n"
                  "  Expansion slots\n" +
                      c.bullets);
    }
    // Mixed case "In use"/"IN USE" is not the same text, so usage stays.
    SystemSnapshot s;
    s.slots = {in_use, in_use, {"S", "PCI Express", "x16", "IN USE"}, in_use};
    EXPECT_EQ(rows_text(motherboard_rows(s, false)),
              "  Board             : (SMBIOS data unavailable)\n"
              "  Expansion slots\n"
              "  \u2022 3 x PCI Express x1 - In use\n"
              "  \u2022 PCI Express x16 - IN USE\n");
    // Every slot reading "in use" in lower case still collapses.
    s.slots = {{"A", "PCI", "", "in use"}, {"B", "PCI", "", "in use"}};
    EXPECT_EQ(rows_text(motherboard_rows(s, false)),
              "  Board             : (SMBIOS data unavailable)\n"
              "  Expansion slots\n"
              "  \u2022 2 x PCI\n");
}

TEST(MotherboardRows, SummaryHasNoRawRows) {
    for (const auto& row : motherboard_rows(desktop_board(), false)) {
        EXPECT_NE(row.kind, RowKind::Raw) << row.text;
    }
}

}  // namespace
}  // namespace nadrel
