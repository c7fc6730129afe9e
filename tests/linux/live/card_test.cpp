// The live card's content from a machine: static rows as root and not, and a session's rows.
#include "linux/live/card.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace nadrel {
namespace {

using test::TempDir;

LocalAddresses no_addresses() {
    return {};
}

TEST(LiveCard, StaticRowsAsRootAndNot) {
    const TempDir dir;
    dir.mkdir("sys/class/net/eth0/device");
    dir.write("sys/class/net/eth0/address", "aa:bb:cc:dd:ee:ff\n");
    dir.write("sys/class/net/lo/address", "00:00:00:00:00:00\n");
    dir.mkdir("sys/class/net/wlan0/device");
    dir.write("sys/class/net/wlan0/address", "\n");
    dir.write("proc/net/route",
              "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\n"
              "eth0\t0000A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\n"
              "eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000\n");
    dir.write("sys/block/sda/device/serial", "  S3Z9NB0K\n");
    dir.write("sys/block/nvme0n1/device/device/serial", "PHBT7\n");
    dir.write("sys/block/loop0/size", "0\n");
    dir.write("sys/block/sdb/device/serial", "To Be Filled By O.E.M.\n");
    const auto probe = [] { return LocalAddresses{"192.168.1.20", "fd00::20"}; };

    const LiveStatic user = read_live_static(SysRoot(dir.path()), probe);
    const std::vector<LabelValue> user_rows = {
        {"eth0 MAC", "aa:bb:cc:dd:ee:ff"}, {"Local IP", "192.168.1.20"},
        {"Local IPv6", "fd00::20"},        {"Default gateway", "192.168.1.1"},
        {"Disk nvme0n1 serial", "PHBT7"},  {"Disk sda serial", "S3Z9NB0K"}};
    EXPECT_EQ(user.rows, user_rows);
    ASSERT_EQ(user.notes.size(), 2u);
    EXPECT_EQ(user.notes[0], "This machine exposes no system or board serial numbers.");
    EXPECT_TRUE(user.notes[1].starts_with("The public IP address is not shown"));
    // A serial file that is there but cannot be read (here a folder, as root reads any file).
    dir.mkdir("sys/class/dmi/id/board_serial");
    EXPECT_TRUE(read_live_static(SysRoot(dir.path()), probe)
                    .notes[0]
                    .starts_with("System and board serials are readable only as root"));

    dir.write("sys/class/dmi/id/product_serial", "PF1ABCDE\n");
    std::filesystem::remove(dir.path() + "/sys/class/dmi/id/board_serial");
    dir.write("sys/class/dmi/id/board_serial", "Default string\n");
    dir.write("sys/class/dmi/id/product_uuid", "4c4c4544-0031\n");
    const LiveStatic root = read_live_static(SysRoot(dir.path()), no_addresses);
    ASSERT_GE(root.rows.size(), 3u);
    EXPECT_EQ(root.rows[0], (LabelValue{"System serial", "PF1ABCDE"}));
    EXPECT_EQ(root.rows[1], (LabelValue{"System UUID", "4c4c4544-0031"}));
    EXPECT_EQ(root.rows[2].first, "eth0 MAC");
    ASSERT_EQ(root.notes.size(), 1u);
    EXPECT_TRUE(root.notes[0].starts_with("The public IP address"));
}

TEST(LiveCard, SanitizeHidesInterfaceNamesThatHoldTheirMac) {
    const TempDir dir;
    for (const std::string name : {"enx0a1b2c3d4e5f", "wlx001122334455", "enp3s0"}) {
        dir.mkdir("sys/class/net/" + name + "/device");
        dir.write("sys/class/net/" + name + "/address", "0a:1b:2c:3d:4e:5f\n");
        dir.write("sys/class/net/" + name + "/statistics/rx_bytes", "1\n");
        dir.write("sys/class/net/" + name + "/statistics/tx_bytes", "1\n");
    }
    dir.write("proc/net/wireless", "head\nhead\nwlx001122334455: 0000 70. -40. -256\n");
    const SysRoot root(dir.path());
    const auto labels = [&](bool sanitize) {
        LiveSession session = open_live_session(root, no_addresses, sanitize);
        std::string text;
        for (const LiveRow& row : sample_live_rows(session, root, Instant{}))
            text += row.label + "\n";
        return text;
    };
    EXPECT_NE(labels(false).find("enx0a1b2c3d4e5f traffic\n"), std::string::npos);
    const std::string hidden = labels(true);
    for (const std::string label : {"enx<hidden> MAC", "enx<hidden> traffic", "wlx<hidden> MAC",
                                    "wlx<hidden> network", "enp3s0 MAC", "enp3s0 traffic"}) {
        EXPECT_NE(hidden.find(label + "\n"), std::string::npos) << label << " in\n" << hidden;
    }
    EXPECT_EQ(hidden.find("0a1b2c"), std::string::npos);
    EXPECT_EQ(hidden.find("001122"), std::string::npos);
}

TEST(LiveCard, EveryMissingSourceLeavesOnlyTheNotes) {
    const TempDir dir;
    const SysRoot root(dir.path());
    LiveSession session = open_live_session(root, no_addresses, false);
    const std::vector<LiveRow> rows = sample_live_rows(session, root, Instant{});
    // The first sample always has its "CPU load" row; nothing else is known here.
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].label, "RIGHT NOW");
    EXPECT_EQ(rows[1].label, "CPU load");
    EXPECT_EQ(rows[2].label, "NOT AVAILABLE HERE");
    EXPECT_TRUE(session.counters);
}

}  // namespace
}  // namespace nadrel
