// Connected displays from DRM connector entries shaped like sysfs, with real monitors' EDIDs.
#include "linux/collect/displays.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "linux/collect/drm_tree.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

std::string corpus_edid(const char* name) {
    std::string bytes = test::read_file(std::string(NADREL_CORPUS_DIR) + "/edid/" + name);
    EXPECT_GE(bytes.size(), 128u) << name;
    return bytes;
}

constexpr const char* igpu = "pci0000:00/0000:00:02.0";
constexpr const char* dgpu = "pci0000:00/0000:00:01.0/0000:01:00.0";

TEST(CollectDisplays, ConnectedConnectorsInNameOrderOncePerMonitor) {
    test::TempDir dir;
    const std::string dell = corpus_edid("DELD0D9-BAC46CB23520.bin");  // DELL P2419H
    const std::string hp = corpus_edid("HPN36CE-A248E15E9890.bin");    // HP Z27q G3
    const std::string nec = corpus_edid("NEC674F-2D8B5B3A099A.bin");   // 6016 bytes
    test::add_drm_card(dir, "card0", igpu, {{"vendor", "0x8086\n"}});
    test::add_drm_card(dir, "card1", dgpu, {{"vendor", "0x10de\n"}});
    test::add_drm_connector(dir, "card1", dgpu, "DP-2", "connected", hp);
    test::add_drm_connector(dir, "card1", dgpu, "DP-10", "connected", nec);
    test::add_drm_connector(dir, "card0", igpu, "HDMI-A-1", "connected", dell);
    // Byte-identical EDIDs on two connectors are two monitors of one model; the same connector
    // seen through a second card node of one device (card2) is one.
    test::add_drm_connector(dir, "card1", dgpu, "DP-1", "connected", dell);
    test::add_drm_card(dir, "card2", dgpu, {});
    test::add_drm_connector(dir, "card2", dgpu, "DP-1", "connected", dell);
    std::string dell_twin = dell;
    dell_twin[12] = static_cast<char>(dell_twin[12] + 1);
    test::add_drm_connector(dir, "card1", dgpu, "HDMI-A-1", "connected", dell_twin);
    test::add_drm_connector(dir, "card0", igpu, "DP-1", "disconnected", hp);
    test::add_drm_connector(dir, "card0", igpu, "DP-2", "unknown", hp);
    test::add_drm_connector(dir, "card0", igpu, "DP-3", "connected", "");
    test::add_drm_connector(dir, "card0", igpu, "eDP-1", "connected", dell.substr(0, 127));
    // Unnamed, with an invalid manufacturer ID: not decodable, skipped.
    std::string junk = dell;
    for (const std::size_t at : {54u, 72u, 90u, 108u})
        junk[at + 3] = 0x10;
    junk[8] = 0;
    junk[9] = 0;
    test::add_drm_connector(dir, "card0", igpu, "DP-4", "connected", junk);
    // An EDID that is a FIFO is skipped without blocking.
    test::add_drm_connector(dir, "card0", igpu, "DP-5", "connected", "");
    const std::string fifo = dir.path() + "/sys/class/drm/card0-DP-5/edid";
    ASSERT_EQ(::unlink(fifo.c_str()), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A connector folder without status or EDID files.
    dir.mkdir("sys/class/drm/card0-Writeback-1");

    const auto displays = collect_displays(SysRoot(dir.path()));
    std::vector<std::string> names;
    for (const auto& d : displays)
        names.push_back(d.name);
    // card0-HDMI-A-1, card1-DP-1, card1-DP-10, card1-DP-2, card1-HDMI-A-1.
    EXPECT_EQ(names, (std::vector<std::string>{"DELL P2419H", "DELL P2419H", "EA241WM",
                                               "HP Z27q G3", "DELL P2419H"}));
    ASSERT_EQ(displays.size(), 5u);
    std::vector<std::string> where;
    for (const auto& d : displays)
        where.push_back(d.connector + " " + d.gpu_pci_address);
    EXPECT_EQ(where, (std::vector<std::string>{"HDMI-A-1 0000:00:02.0", "DP-1 0000:01:00.0",
                                               "DP-10 0000:01:00.0", "DP-2 0000:01:00.0",
                                               "HDMI-A-1 0000:01:00.0"}));
    EXPECT_EQ(displays[0].width_px, 1920u);
    EXPECT_EQ(displays[0].height_px, 1080u);
    EXPECT_EQ(displays[0].diagonal_in, 24u);
    EXPECT_EQ(displays[0].max_refresh_hz, 76u);
    EXPECT_EQ(displays[0].year, 2019);
    EXPECT_EQ(displays[0].week, 28);
}

TEST(CollectDisplays, NoDrmFolder) {
    test::TempDir dir;
    EXPECT_TRUE(collect_displays(SysRoot(dir.path())).empty());
}

}  // namespace
}  // namespace nadrel
