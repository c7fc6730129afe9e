// RAM rows from constructed snapshots, in summary and detail form.
#include <gtest/gtest.h>

#include "core/report/sections.h"
#include "support/rows.h"

namespace nadrel {
namespace {

using test::rows_text;

MemoryModule ddr5(std::string locator) {
    MemoryModule m;
    m.locator = std::move(locator);
    m.memory_type = "DDR5";
    m.form_factor = "DIMM";
    m.manufacturer = "Kingston";
    m.part_number = "KF556C40-32";
    m.size = std::uint64_t{32} << 30;
    m.speed_mts = 5600;
    m.configured_speed_mts = 4800;
    m.configured_voltage_mv = 1100;
    m.data_width = 64;
    m.total_width = 72;
    m.rank = 2;
    return m;
}

TEST(MemoryRows, WithoutSmbios) {
    SystemSnapshot s;
    s.memory_total = 16663191552ull;
    s.memory_installed = s.memory_total;
    const std::string expected =
        "  Installed         : 15.5GB\n"
        "  Modules           : (per-module SMBIOS data unavailable)\n";
    EXPECT_EQ(rows_text(memory_rows(s, false)), expected);
    EXPECT_EQ(rows_text(memory_rows(s, true)), expected);
    s.memory_total = s.memory_installed = 0;
    EXPECT_EQ(rows_text(memory_rows(s, false)),
              "  Modules           : (per-module SMBIOS data unavailable)\n");
}

TEST(MemoryRows, ModulesInDetail) {
    SystemSnapshot s;
    s.memory_modules = {ddr5("DIMM_A1"), ddr5("DIMM_B1")};
    s.memory_modules[1].data_width = 64;
    s.memory_modules[1].total_width = 64;
    s.memory_modules[1].rank = 0;
    s.memory_modules[1].configured_voltage_mv = 0;
    s.memory_modules[1].manufacturer.clear();
    s.memory_installed = std::uint64_t{64} << 30;
    s.memory_total = 66987560960ull;
    s.memory_slots = 4;
    s.memory_max_capacity = std::uint64_t{192} << 30;
    s.memory_ecc = "Multi-bit ECC";
    EXPECT_EQ(rows_text(memory_rows(s, true)),
              "  Installed         : 64GB\n"
              "  Available to OS   : 62.4GB\n"
              "  Slots             : 2 of 4 populated\n"
              "  Max supported     : 192GB\n"
              "  Error correction  : Multi-bit ECC\n"
              "  DIMM_A1           : 32GB DDR5 DIMM\n"
              "  \u2502 Base speed      : 5600MT/s\n"
              "  \u2502 Current speed   : 4800MT/s\n"
              "  \u2502 Part            : Kingston KF556C40-32\n"
              "  \u2502 Rank            : 2\n"
              "  \u2502 Data width      : 64-bit (72-bit with ECC)\n"
              "  \u2502 Voltage         : 1.10V\n"
              "  DIMM_B1           : 32GB DDR5 DIMM\n"
              "  \u2502 Base speed      : 5600MT/s\n"
              "  \u2502 Current speed   : 4800MT/s\n"
              "  \u2502 Part            : KF556C40-32\n"
              "  \u2502 Data width      : 64-bit\n");
    s.memory_slots = 1;  // fewer slots than modules: the slot count is not believed
    EXPECT_NE(rows_text(memory_rows(s, false)).find("  Slots             : 2 populated\n"),
              std::string::npos);
}

TEST(MemoryRows, SummaryGroupsIdenticalModules) {
    SystemSnapshot s;
    // Identical modules in different slots stay apart; a repeated locator joins its group.
    s.memory_modules = {ddr5("DIMM_A1"), ddr5("DIMM_B1"), ddr5("DIMM_A1")};
    s.memory_modules[2].rank = 1;  // rank, width and voltage do not split groups
    s.memory_installed = std::uint64_t{96} << 30;
    s.memory_total = s.memory_installed;
    EXPECT_EQ(rows_text(memory_rows(s, false)),
              "  Installed         : 96GB\n"
              "  DIMM_A1           : 2 x 32GB DDR5 DIMM\n"
              "  \u2502 Base speed      : 5600MT/s\n"
              "  \u2502 Current speed   : 4800MT/s\n"
              "  \u2502 Part            : Kingston KF556C40-32\n"
              "  DIMM_B1           : 32GB DDR5 DIMM\n"
              "  \u2502 Base speed      : 5600MT/s\n"
              "  \u2502 Current speed   : 4800MT/s\n"
              "  \u2502 Part            : Kingston KF556C40-32\n");
}

TEST(MemoryRows, SolderedAndBareModules) {
    MemoryModule soldered;
    soldered.locator = "Controller0-ChannelA";
    soldered.memory_type = "LPDDR5";
    soldered.form_factor = "ROW OF CHIPS";
    soldered.size = std::uint64_t{8} << 30;
    MemoryModule bare;  // no locator, type or form factor
    bare.size = std::uint64_t{512} << 20;
    SystemSnapshot s;
    s.memory_modules = {soldered, soldered, bare};
    s.memory_installed = (std::uint64_t{33} << 29);
    s.memory_total = s.memory_installed;
    EXPECT_EQ(rows_text(memory_rows(s, false)),
              "  Installed         : 16.5GB\n"
              "  Modules           : 2 x 8GB LPDDR5 (soldered)\n"
              "  DIMM              : 512MB\n");
    EXPECT_EQ(rows_text(memory_rows(s, true)),
              "  Installed         : 16.5GB\n"
              "  Controller0-ChannelA: 8GB LPDDR5 (soldered)\n"
              "  Controller0-ChannelA: 8GB LPDDR5 (soldered)\n"
              "  DIMM              : 512MB\n");
    // A form factor alone: no leading space.
    s.memory_modules = {bare};
    s.memory_modules[0].form_factor = "SODIMM";
    EXPECT_EQ(row_line(memory_rows(s, false).back()), "  DIMM              : 512MB SODIMM");
}

TEST(MemoryRows, RepeatedLocatorsCarryTheirBank) {
    // Real tables say "DIMM 0" in every channel; a unique locator stays as it is.
    SystemSnapshot s;
    s.memory_modules = {ddr5("DIMM 0"), ddr5("DIMM 0"), ddr5("DIMM 1"), ddr5("DIMM 0")};
    s.memory_modules[0].bank_locator = "P0 CHANNEL A";
    s.memory_modules[1].bank_locator = "P0 CHANNEL B";
    s.memory_modules[2].bank_locator = "P0 CHANNEL B";
    const std::string summary = rows_text(memory_rows(s, false));
    EXPECT_NE(summary.find("  P0 CHANNEL A / DIMM 0: 32GB DDR5 DIMM\n"), std::string::npos);
    EXPECT_NE(summary.find("  P0 CHANNEL B / DIMM 0: 32GB DDR5 DIMM\n"), std::string::npos);
    EXPECT_NE(summary.find("  DIMM 1            : 32GB DDR5 DIMM\n"), std::string::npos);
    EXPECT_NE(summary.find("  DIMM 0            : 32GB DDR5 DIMM\n"),
              std::string::npos);                       // no bank
    EXPECT_EQ(summary.find(" x "), std::string::npos);  // distinct places never group
    const std::string detail = rows_text(memory_rows(s, true));
    EXPECT_NE(detail.find("  P0 CHANNEL B / DIMM 0: 32GB DDR5 DIMM\n"), std::string::npos);
}

TEST(MemoryRows, InstalledTotals) {
    SystemSnapshot s;
    s.memory_modules = {ddr5("A")};
    for (const auto& [bytes, text] : std::vector<std::pair<std::uint64_t, std::string>>{
             {68719476736ull, "64GB"}, {1099511627776ull, "1TB"}}) {
        s.memory_installed = s.memory_total = bytes;
        EXPECT_EQ(row_line(memory_rows(s, false).front()), "  Installed         : " + text);
    }
}

}  // namespace
}  // namespace nadrel
