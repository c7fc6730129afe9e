// EDAC counts joined to the modules their labels name, the rest kept by controller.
#include "core/memory_errors.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

MemoryModule module(const char* bank, const char* locator) {
    MemoryModule m;
    m.bank_locator = bank;
    m.locator = locator;
    return m;
}

TEST(MemoryErrors, JoinedByLocatorOrBankAndLocator) {
    SystemSnapshot s;
    s.memory_modules = {module("P0 CHANNEL A", "DIMM 1"), module("P0 CHANNEL B", "DIMM 1"),
                        module("BANK 2", "DIMM_A2")};
    attach_memory_errors(s, {{"mc0", "P0_CHANNEL_B_DIMM_1", 3, 1},
                             {"mc0", "dimm a2", 14, 0},
                             {"mc0", "DIMM_A2", 1, 0},  // a second DIMM naming it adds up
                             {"mc1", "DIMM 1", 5, 0},   // names two modules: neither
                             {"mc1", "mc#1csrow#0channel#0", 0, 2},
                             {"mc2", "", 7, 0}});  // a controller's totals
    EXPECT_FALSE(s.memory_modules[0].corrected_errors);
    EXPECT_EQ(s.memory_modules[1].corrected_errors, 3u);
    EXPECT_EQ(s.memory_modules[1].uncorrected_errors, 1u);
    EXPECT_EQ(s.memory_modules[2].corrected_errors, 15u);
    ASSERT_EQ(s.memory_edac.size(), 3u);
    EXPECT_EQ(s.memory_edac[0].label, "DIMM 1");
    EXPECT_EQ(s.memory_edac[1].uncorrected, 2u);
    EXPECT_EQ(s.memory_edac[2].controller, "mc2");
    EXPECT_TRUE(edac_label_names("dimm-a2", s.memory_modules[2]));
    EXPECT_FALSE(edac_label_names("__", s.memory_modules[2]));
}

}  // namespace
}  // namespace nadrel
