// The view's host on the machine, for what it adds to the live card and the save.
#include "linux/gui/machine_host.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace nadrel {
namespace {

TEST(MachineHost, ACapturedMachineShowsNoAddressesOfThisOne) {
    const test::TempDir machine;
    machine.write("proc/net/route", "Iface Destination Gateway\neth0 00000000 0101A8C0 0003\n");
    MachineHost host(SysRoot(machine.path()), std::nullopt, false);
    std::string labels;
    for (const LiveRow& row : host.open_live(Instant{})) {
        labels += row.label + "\n";
    }
    EXPECT_NE(labels.find("Default gateway\n"), std::string::npos);  // the tree's own data
    EXPECT_EQ(labels.find("Local IP"), std::string::npos);
}

}  // namespace
}  // namespace nadrel
