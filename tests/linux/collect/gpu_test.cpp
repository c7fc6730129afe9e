// Graphics adapters from DRM trees shaped like sysfs, link texts, and the per-root PCI ID
// database with its fallbacks.
#include "linux/collect/gpu.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "core/ids/pci_ids.h"
#include "core/report/device_text.h"
#include "core/text/fmt.h"
#include "linux/collect/drm_tree.h"
#include "linux/collect/pci.h"
#include "linux/collect/pci_names.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

std::string fixture_db() {
    return test::read_file(std::string(NADREL_SOURCE_DIR) + "/tests/data/pci/pci.ids");
}

TEST(PcieLinkText, GenerationsWidthsAndFallbacks) {
    struct Case {
        const char* speed;  // nullptr: no file
        const char* width;
        const char* text;
    } const cases[] = {
        {"16.0 GT/s PCIe\n", "8\n", "PCIe 4.0 x8"},
        {"2.5 GT/s\n", "8\n", "PCIe 1.0 x8"},
        {"5.0 GT/s PCIe\n", "1\n", "PCIe 2.0 x1"},
        {"8.0 GT/s PCIe\n", "16\n", "PCIe 3.0 x16"},
        {"32.0 GT/s PCIe\n", "4\n", "PCIe 5.0 x4"},
        {"64.0 GT/s PCIe\n", "16\n", "PCIe 6.0 x16"},
        {"20.0 GT/s\n", "8\n", "x8"},
        {"Unknown\n", "4\n", "x4"},
        {"16 GT/s\n", "4\n", "x4"},
        {nullptr, "16\n", "x16"},
        {"16.0 GT/s PCIe\n", "0\n", ""},
        {"16.0 GT/s PCIe\n", "Unknown\n", ""},
        {"16.0 GT/s PCIe\n", "\n", ""},
        {"16.0 GT/s PCIe\n", nullptr, ""},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        if (c.speed != nullptr)
            dir.write("dev/max_link_speed", c.speed);
        if (c.width != nullptr)
            dir.write("dev/max_link_width", c.width);
        EXPECT_EQ(pcie_link_text(read_pcie_link(SysRoot(dir.path()), "/dev")), c.text)
            << (c.speed ? c.speed : "-") << " " << (c.width ? c.width : "-");
    }
}

class GpuTree : public ::testing::Test {
protected:
    test::TempDir dir;
    SysRoot root() const { return SysRoot(dir.path()); }
    void SetUp() override { dir.write("usr/share/misc/pci.ids", fixture_db()); }
};

TEST_F(GpuTree, AdapterFieldsFromTheDeviceFolder) {
    test::add_drm_card(dir, "card0", "pci0000:00/0000:00:01.0/0000:01:00.0",
                       {{"vendor", "0x1234\n"},
                        {"device", "0xabcd\n"},
                        {"subsystem_vendor", "0x1462\n"},
                        {"subsystem_device", "0x5110\n"},
                        {"revision", "0xa1\n"},
                        {"mem_info_vram_total", "8573157376\n"},
                        {"max_link_speed", "16.0 GT/s PCIe\n"},
                        {"max_link_width", "16\n"},
                        {"vbios_version", "113-D4120100-100\n"}});
    test::add_drm_connector(dir, "card0", "pci0000:00/0000:00:01.0/0000:01:00.0", "DP-1",
                            "connected", "");
    dir.mkdir("sys/class/drm/renderD128");
    dir.write("sys/class/drm/version", "drm 1.1.0 20060810\n");
    const auto gpus = collect_gpus(root());
    ASSERT_EQ(gpus.size(), 1u);
    const GpuInfo& g = gpus[0];
    EXPECT_EQ(gpu_name(g), "Example Graphics Adapter");
    EXPECT_EQ(g.vendor, "");
    EXPECT_EQ(g.vendor_id, 0x1234);
    EXPECT_EQ(g.device_id, 0xABCD);
    EXPECT_EQ(g.subsystem_vendor_id, 0x1462);
    EXPECT_EQ(g.subsystem_device_id, 0x5110);
    EXPECT_EQ(g.revision, 0xA1);
    EXPECT_EQ(g.vram_total, 8573157376u);
    EXPECT_EQ(pcie_link_text(g.pcie_link), "PCIe 4.0 x16");
    EXPECT_EQ(g.vbios_version, "113-D4120100-100");
}

TEST_F(GpuTree, CardsSortedDeduplicatedAndNamedOrNumbered) {
    // card1, card10, card2 by bytes; card3 is a second node of card1's PCI function; card8 is
    // a second card of card10's model (a dual-GPU workstation); card4 has no vendor file.
    test::add_drm_card(dir, "card2", "pci0000:00/0000:00:02.0",
                       {{"vendor", "0x8086\n"}, {"device", "0x46a6\n"}, {"revision", "0x10c\n"}});
    test::add_drm_card(dir, "card10", "pci0000:00/0000:00:03.0",
                       {{"vendor", "0x10DE\n"}, {"device", "0x2786\n"}});
    test::add_drm_card(dir, "card1", "pci0000:00/0000:00:04.0",
                       {{"vendor", "0x1af4\n"}, {"device", "0x1050\n"}});
    test::add_drm_card(dir, "card3", "pci0000:00/0000:00:04.0",
                       {{"vendor", "0x1af4\n"}, {"device", "0x1050\n"}});
    test::add_drm_card(dir, "card8", "pci0000:00/0000:00:09.0",
                       {{"vendor", "0x10DE\n"}, {"device", "0x2786\n"}});
    test::add_drm_card(dir, "card4", "pci0000:00/0000:00:06.0", {{"device", "0x0001\n"}});
    test::add_drm_card(dir, "card5", "pci0000:00/0000:00:07.0", {{"vendor", "0x1234\n"}});
    test::add_drm_card(dir, "card6", "pci0000:00/0000:00:08.0",
                       {{"vendor", "0x1002\n"}, {"device", "bogus\n"}});
    dir.mkdir("sys/class/drm/card");
    dir.mkdir("sys/class/drm/cardX");
    dir.mkdir("sys/class/drm/card7x");
    const auto gpus = collect_gpus(root());
    std::vector<std::string> got;
    for (const auto& g : gpus)
        got.push_back(gpu_name(g) + " | " + g.vendor);
    EXPECT_EQ(got, (std::vector<std::string>{
                       "PCI 1AF4:1050 | Red Hat / VirtIO",
                       "PCI 10DE:2786 | NVIDIA",
                       "PCI 8086:46A6 | Intel",
                       "PCI 1234:0000 | ",
                       "PCI 1002:0000 | AMD",
                       "PCI 10DE:2786 | NVIDIA",
                   }));
    ASSERT_EQ(gpus.size(), 6u);
    EXPECT_EQ(gpus[2].revision, 0x0C);  // low 8 bits
    EXPECT_EQ(gpus[2].vram_total, 0u);
    EXPECT_EQ(pcie_link_text(gpus[2].pcie_link), "");
    EXPECT_EQ(gpus[2].subsystem_vendor_id, 0);
    EXPECT_EQ(gpus[2].vbios_version, "");
}

TEST(GpuVendors, ShortNames) {
    const std::pair<std::uint16_t, const char*> vendors[] = {
        {0x1002, "AMD"},
        {0x1022, "AMD"},
        {0x10DE, "NVIDIA"},
        {0x8086, "Intel"},
        {0x1414, "Microsoft"},
        {0x15AD, "VMware"},
        {0x1AF4, "Red Hat / VirtIO"},
        {0x1B36, "Red Hat / VirtIO"},
        {0x5333, "S3"},
        {0x1234, ""},
        {0x102B, ""},
    };
    test::TempDir dir;
    dir.write("usr/share/misc/pci.ids", "");
    for (std::size_t i = 0; i < std::size(vendors); ++i) {
        test::add_drm_card(
            dir, strfmt("card%zu", i), strfmt("pci0000:00/0000:00:%02zx.0", i),
            {{"vendor", strfmt("0x%04x\n", vendors[i].first)}, {"device", "0x0001"}});
    }
    const auto gpus = collect_gpus(SysRoot(dir.path()));
    ASSERT_EQ(gpus.size(), std::size(vendors));
    for (const auto& [id, name] : vendors) {
        const auto it = std::find_if(gpus.begin(), gpus.end(),
                                     [id = id](const GpuInfo& g) { return g.vendor_id == id; });
        ASSERT_NE(it, gpus.end()) << std::hex << id;
        EXPECT_EQ(it->vendor, name) << std::hex << id;
    }
}

TEST(PciName, DatabaseLocationsAndFallbacks) {
    // hwdata is preferred over misc.
    test::TempDir both;
    both.write("usr/share/hwdata/pci.ids", "1234  V\n\tabcd  From Hwdata\n");
    both.write("usr/share/misc/pci.ids", "1234  V\n\tabcd  From Misc\n");
    EXPECT_EQ(pci_name(SysRoot(both.path()), 0x1234, 0xABCD), "From Hwdata");

    // An unreadable hwdata file (here a folder) falls through to misc.
    test::TempDir misc;
    misc.mkdir("usr/share/hwdata/pci.ids");
    misc.write("usr/share/misc/pci.ids", "1234  V\n\tabcd  From Misc\n");
    EXPECT_EQ(pci_name(SysRoot(misc.path()), 0x1234, 0xABCD), "From Misc");

    // A tree with a database that names nothing gets no names (and no host names).
    test::TempDir empty;
    empty.write("usr/share/misc/pci.ids", "");
    EXPECT_FALSE(pci_name(SysRoot(empty.path()), 0x8086, 0x1533).has_value());
    test::TempDir odd;
    odd.mkdir("usr/share/misc/pci.ids");
    EXPECT_FALSE(pci_name(SysRoot(odd.path()), 0x8086, 0x1533).has_value());
    // A FIFO in place of the database must not block the run.
    test::TempDir fifo;
    fifo.mkdir("usr/share/hwdata");
    ASSERT_EQ(::mkfifo((fifo.path() + "/usr/share/hwdata/pci.ids").c_str(), 0600), 0);
    EXPECT_FALSE(pci_name(SysRoot(fifo.path()), 0x8086, 0x1533).has_value());

    // A captured tree without any database borrows the host's.
    test::TempDir bare;
    std::string host_text = test::read_file("/usr/share/hwdata/pci.ids");
    if (host_text.empty())
        host_text = test::read_file("/usr/share/misc/pci.ids");
    EXPECT_EQ(pci_name(SysRoot(bare.path()), 0x8086, 0x1533),
              pci_lookup(host_text, 0x8086, 0x1533));
    if (!host_text.empty()) {
        EXPECT_TRUE(pci_name(SysRoot(bare.path()), 0x8086, 0x1533).has_value());
    }
}

TEST(PciName, DatabaseIsReadOncePerRoot) {
    test::TempDir dir;
    dir.write("usr/share/misc/pci.ids", "1234  V\n\tabcd  First Read\n");
    const SysRoot root(dir.path());
    EXPECT_EQ(pci_name(root, 0x1234, 0xABCD), "First Read");
    dir.write("usr/share/misc/pci.ids", "1234  V\n\tabcd  Second Read\n");
    EXPECT_EQ(pci_name(root, 0x1234, 0xABCD), "First Read");
    EXPECT_EQ(pci_name(SysRoot(dir.path() + "/"), 0x1234, 0xABCD), "First Read");
}

}  // namespace
}  // namespace nadrel
