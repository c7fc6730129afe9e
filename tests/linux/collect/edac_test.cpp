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
    std::vector<std::string> counts;
    for (const auto& c : collect_edac(SysRoot(t.path())))
        counts.push_back(c.controller + " " + c.label + " " + std::to_string(c.corrected) + " " +
                         std::to_string(c.uncorrected));
    EXPECT_EQ(counts,
              (std::vector<std::string>{"mc0 DIMM_A2 14 0", "mc0 DIMM_B1 3 0",
                                        "mc1 CPU0_DIMM_A 5 2", "mc1 csrow0 ch1 0 0", "mc2  7 1"}));
}

}  // namespace
}  // namespace nadrel
