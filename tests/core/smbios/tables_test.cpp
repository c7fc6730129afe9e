// The SMBIOS name tables, row by row against DSP0134's code assignments.
#include "core/smbios/tables.h"

#include <gtest/gtest.h>

#include <map>

#include "core/text/fmt.h"
#include "support/cases.h"

namespace nadrel {
namespace {

TEST(SmbiosTables, MemoryTypes) {
    const std::map<int, std::string> named = {
        {0x02, "Unknown"},      {0x12, "DDR"},    {0x13, "DDR2"},
        {0x14, "DDR2 FB-DIMM"}, {0x18, "DDR3"},   {0x19, "FBD2"},
        {0x1A, "DDR4"},         {0x1B, "LPDDR"},  {0x1C, "LPDDR2"},
        {0x1D, "LPDDR3"},       {0x1E, "LPDDR4"}, {0x1F, "Logical non-volatile device"},
        {0x20, "HBM"},          {0x21, "HBM2"},   {0x22, "DDR5"},
        {0x23, "LPDDR5"},       {0x24, "HBM3"}};
    for (int code = 0; code < 256; ++code) {
        const auto it = named.find(code);
        EXPECT_EQ(memory_type_name(static_cast<std::uint8_t>(code)),
                  it != named.end() ? it->second : "Other")
            << code;
    }
}

TEST(SmbiosTables, FormFactorsAndErrorCorrection) {
    const std::pair<std::uint8_t, const char*> names[] = {{0x09, "DIMM"},
                                                          {0x0A, "TSOP"},
                                                          {0x0B, "Row of chips"},
                                                          {0x0D, "SODIMM"},
                                                          {0x0F, "FB-DIMM"}};
    test::expect_each(form_factor_name, names);
    for (int code : {0x00, 0x01, 0x02, 0x0C, 0x0E, 0x10, 0xFF}) {
        EXPECT_EQ(form_factor_name(static_cast<std::uint8_t>(code)), "") << code;
    }
    const char* ecc[] = {"",    "", "", "None", "Parity", "Single-bit ECC", "Multi-bit ECC",
                         "CRC", ""};
    for (int code = 0; code < 9; ++code) {
        EXPECT_EQ(memory_ecc_name(static_cast<std::uint8_t>(code)), ecc[code]) << code;
    }
}

TEST(SmbiosTables, PortTypes) {
    const std::map<int, std::string> named = {
        {0x01, "Parallel"}, {0x02, "Parallel"}, {0x03, "Parallel"},    {0x04, "Parallel"},
        {0x05, "Parallel"}, {0x06, "Serial"},   {0x07, "Serial"},      {0x08, "Serial"},
        {0x09, "Serial"},   {0x0A, "SCSI"},     {0x0D, "Keyboard"},    {0x0E, "Mouse"},
        {0x0F, "SSA SCSI"}, {0x10, "USB"},      {0x11, "FireWire"},    {0x18, "SCSI Wide"},
        {0x1C, "Video"},    {0x1D, "Audio"},    {0x1F, "Network"},     {0x20, "SATA"},
        {0x21, "SAS"},      {0x22, "MFDP"},     {0x23, "Thunderbolt"}, {0xFF, "Other"}};
    for (int code = 0; code < 256; ++code) {
        const auto name = port_type_name(static_cast<std::uint8_t>(code));
        const auto it = named.find(code);
        if (it == named.end()) {
            EXPECT_FALSE(name.has_value()) << code;  // modem (1Eh), PCMCIA, MIDI, 8251 ...
        } else {
            EXPECT_EQ(name.value_or("(none)"), it->second) << code;
        }
    }
}

TEST(SmbiosTables, SlotTypes) {
    const std::map<int, std::string> named = {{0x01, "Other"},
                                              {0x02, "Unknown"},
                                              {0x06, "PCI"},
                                              {0x0F, "AGP"},
                                              {0x10, "AGP 2X"},
                                              {0x11, "AGP 4X"},
                                              {0x12, "PCI-X"},
                                              {0x13, "AGP 8X"},
                                              {0x14, "M.2 Socket 1-DP (Key A)"},
                                              {0x15, "M.2 Socket 1-SD (Key E)"},
                                              {0x16, "M.2 Socket 2 (Key B)"},
                                              {0x17, "M.2 Socket 3 (Key M)"},
                                              {0x1F, "PCIe Gen2 U.2"},
                                              {0x20, "PCIe Gen3 U.2"},
                                              {0x21, "PCIe Mini (mSATA)"},
                                              {0x22, "PCIe Mini (mSATA)"},
                                              {0x23, "PCIe Mini 76-pin"},
                                              {0x24, "PCIe Gen4 U.2"},
                                              {0x25, "PCIe Gen5 U.2"},
                                              {0x26, "OCP NIC"},
                                              {0x27, "OCP NIC"},
                                              {0x28, "OCP NIC"},
                                              {0xA5, "PCI Express"},
                                              {0xA6, "PCI Express x1"},
                                              {0xA7, "PCI Express x2"},
                                              {0xA8, "PCI Express x4"},
                                              {0xA9, "PCI Express x8"},
                                              {0xAA, "PCI Express x16"},
                                              {0xAB, "PCI Express Gen2"},
                                              {0xAC, "PCI Express Gen2 x1"},
                                              {0xAD, "PCI Express Gen2 x2"},
                                              {0xAE, "PCI Express Gen2 x4"},
                                              {0xAF, "PCI Express Gen2 x8"},
                                              {0xB0, "PCI Express Gen2 x16"},
                                              {0xB1, "PCI Express Gen3"},
                                              {0xB2, "PCI Express Gen3 x1"},
                                              {0xB3, "PCI Express Gen3 x2"},
                                              {0xB4, "PCI Express Gen3 x4"},
                                              {0xB5, "PCI Express Gen3 x8"},
                                              {0xB6, "PCI Express Gen3 x16"},
                                              {0xB8, "PCI Express Gen4"},
                                              {0xB9, "PCI Express Gen4 x1"},
                                              {0xBA, "PCI Express Gen4 x2"},
                                              {0xBB, "PCI Express Gen4 x4"},
                                              {0xBC, "PCI Express Gen4 x8"},
                                              {0xBD, "PCI Express Gen4 x16"},
                                              {0xBE, "PCI Express Gen5"},
                                              {0xBF, "PCI Express Gen5 x1"},
                                              {0xC0, "PCI Express Gen5 x2"},
                                              {0xC1, "PCI Express Gen5 x4"},
                                              {0xC2, "PCI Express Gen5 x8"},
                                              {0xC3, "PCI Express Gen5 x16"},
                                              {0xC4, "PCI Express Gen6+"}};
    for (int code = 0; code < 256; ++code) {
        const auto it = named.find(code);
        EXPECT_EQ(slot_type_name(static_cast<std::uint8_t>(code)),
                  it != named.end() ? it->second : strfmt("Slot type 0x%02X", code));
    }
    EXPECT_EQ(slot_type_name(0x0E), "Slot type 0x0E");
    EXPECT_EQ(slot_type_name(0xB7), "Slot type 0xB7");
}

TEST(SmbiosTables, SlotWidthsAndUsage) {
    const char* widths[] = {"x1", "x2", "x4", "x8", "x12", "x16", "x32"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(slot_width_name(static_cast<std::uint8_t>(8 + i)), widths[i]);
    EXPECT_EQ(slot_width_name(0x07), "");
    EXPECT_EQ(slot_width_name(0x0F), "");
    EXPECT_EQ(slot_usage_name(3), "Available");
    EXPECT_EQ(slot_usage_name(4), "In use");
    EXPECT_EQ(slot_usage_name(5), "Unavailable");
    EXPECT_EQ(slot_usage_name(0), "Unknown");
    EXPECT_EQ(slot_usage_name(6), "Unknown");
}

}  // namespace
}  // namespace nadrel
