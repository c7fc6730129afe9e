// EDAC counts per DIMM, per row and channel on older drivers, or per controller.
#include "linux/collect/edac.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace nadrel {
namespace {

TEST(Edac, DimmsRowsOrTotals) {
    test::TempDir t;
    const std::string mc = "sys/devices/system/edac/mc/";
    // DIMMs in number order (dimm2 before dimm10); one without counts is no DIMM.
    for (const auto& [dimm, label, ce] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"dimm10", "DIMM_B1", "3"}, {"dimm2", "DIMM_A2", "14"}, {"dimm3", "", ""}}) {
        if (!label.empty())
            t.write(mc + "mc0/" + dimm + "/dimm_label", label + "\n");
        if (!ce.empty()) {
            t.write(mc + "mc0/" + dimm + "/dimm_ce_count", ce + "\n");
            t.write(mc + "mc0/" + dimm + "/dimm_ue_count", "0\n");
        }
    }
    // A row with two channels: its uncorrected count goes to the first.
    t.write(mc + "mc1/csrow0/ue_count", "2\n");
    t.write(mc + "mc1/csrow0/ch0_ce_count", "5\n");
    t.write(mc + "mc1/csrow0/ch0_dimm_label", "CPU0_DIMM_A\n");
    t.write(mc + "mc1/csrow0/ch1_ce_count", "x\n");
    // No DIMMs or rows: the controller's totals.
    t.write(mc + "mc2/ce_count", "7\n");
    t.write(mc + "mc2/ue_count", "1\n");
    t.write(mc + "mc3/mc_name", "empty\n");
    const auto counts = collect_edac(SysRoot(t.path()));
    ASSERT_EQ(counts.size(), 5u);
    EXPECT_EQ(counts[0].label, "DIMM_A2");
    EXPECT_EQ(counts[0].corrected, 14u);
    EXPECT_EQ(counts[1].label, "DIMM_B1");
    EXPECT_EQ(counts[2].controller, "mc1");
    EXPECT_EQ(counts[2].label, "CPU0_DIMM_A");
    EXPECT_EQ(counts[2].uncorrected, 2u);
    EXPECT_EQ(counts[3].label, "csrow0 ch1");
    EXPECT_EQ(counts[3].corrected, 0u);
    EXPECT_EQ(counts[3].uncorrected, 0u);
    EXPECT_EQ(counts[4].controller, "mc2");
    EXPECT_EQ(counts[4].label, "");
    EXPECT_EQ(counts[4].uncorrected, 1u);
}

}  // namespace
}  // namespace nadrel
