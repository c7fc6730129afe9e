// GPU rows (adapters and displays) from constructed snapshots, in summary and detail form.
#include <gtest/gtest.h>

#include "core/report/sections.h"
#include "support/rows.h"

namespace nadrel {
namespace {

using test::rows_text;

GpuInfo discrete() {
    GpuInfo g;
    g.name = "AD104 [GeForce RTX 4070]";
    g.vendor = "NVIDIA";
    g.pcie_link = {16000, 16};
    g.vbios_version = "95.04.31.00.3B";
    g.vram_total = std::uint64_t{12} << 30;
    g.vendor_id = 0x10DE;
    g.device_id = 0x2786;
    g.subsystem_vendor_id = 0x1043;
    g.subsystem_device_id = 0x8902;
    g.revision = 0xA1;
    return g;
}

GpuInfo integrated() {
    GpuInfo g;
    g.name = "Intel(R) UHD Graphics 770";
    g.vendor = "Intel";
    g.vram_total = std::uint64_t{64} << 20;
    g.vendor_id = 0x8086;
    g.device_id = 0x4680;
    g.revision = 0x0C;
    return g;
}

DisplayInfo monitor(std::string name) {
    DisplayInfo d;
    d.name = std::move(name);
    d.width_px = 2560;
    d.height_px = 1440;
    d.diagonal_in = 27;
    d.width_mm = 600;
    d.height_mm = 340;
    d.max_refresh_hz = 165;
    d.year = 2022;
    d.week = 14;
    d.bits_per_color = 10;
    return d;
}

TEST(GpuRows, AdaptersInBothModes) {
    SystemSnapshot s;
    s.gpus = {discrete(), integrated()};
    EXPECT_EQ(rows_text(gpu_rows(s, false)),
              "  Adapter 1         : AD104 [GeForce RTX 4070] (NVIDIA)\n"
              "  \u2502 VRAM            : 12GB dedicated\n"
              "  \u2502 PCIe link       : PCIe 4.0 x16\n"
              "  Adapter 2         : Intel UHD Graphics 770\n"
              "  \u2502 Memory          : 64MB reserved\n");
    EXPECT_EQ(rows_text(gpu_rows(s, true)),
              "  Adapter 1         : AD104 [GeForce RTX 4070] (NVIDIA)\n"
              "  \u2502 VRAM            : 12GB dedicated\n"
              "  \u2502 PCIe link       : PCIe 4.0 x16\n"
              "  \u2502 PCI ID          : 10DE:2786 (rev A1)\n"
              "  \u2502 Subsystem       : 1043:8902\n"
              "  \u2502 VBIOS           : 95.04.31.00.3B\n"
              "  Adapter 2         : Intel UHD Graphics 770\n"
              "  \u2502 Memory          : 64MB reserved\n"
              "  \u2502 PCI ID          : 8086:4680 (rev 0C)\n");
}

TEST(GpuRows, VideoMemoryThresholds) {
    for (const auto& [bytes, line] : std::vector<std::pair<std::uint64_t, std::string>>{
             {0, ""},
             {1048575, ""},
             {1048576, "  \u2502 Memory          : 1MB reserved\n"},
             {536870911, "  \u2502 Memory          : 512MB reserved\n"},
             {536870912, "  \u2502 VRAM            : 512MB dedicated\n"},
             {std::uint64_t{8} << 30, "  \u2502 VRAM            : 8GB dedicated\n"}}) {
        SystemSnapshot s;
        GpuInfo g;
        g.name = "virtio-gpu";
        g.vendor = "Red Hat";
        g.vram_total = bytes;
        s.gpus = {g};
        EXPECT_EQ(rows_text(gpu_rows(s, true)),
                  "  Adapter 1         : virtio-gpu (Red Hat)\n" + line)
            << bytes;
    }
}

TEST(GpuRows, VendorSuffixOnlyWhenTheNameLacksIt) {
    SystemSnapshot s;
    GpuInfo g;
    g.name = "NVIDIA GeForce";
    g.vendor = "nvidia";
    s.gpus = {g};
    EXPECT_EQ(rows_text(gpu_rows(s, false)), "  Adapter 1         : NVIDIA GeForce\n");
    s.gpus[0].vendor.clear();
    s.gpus[0].name = "PCI 1234:1111";
    EXPECT_EQ(rows_text(gpu_rows(s, false)), "  Adapter 1         : PCI 1234:1111\n");
}

TEST(GpuRows, DisplaysInBothModes) {
    SystemSnapshot s;
    s.displays = {monitor("DELL U2723QE")};
    EXPECT_EQ(rows_text(gpu_rows(s, false)),
              "  Display           : DELL U2723QE (2560x1440, 27\")\n");
    EXPECT_EQ(rows_text(gpu_rows(s, true)),
              "  Display           : DELL U2723QE\n"
              "  \u2502 Native mode     : 2560x1440\n"
              "  \u2502 Max refresh     : 165Hz\n"
              "  \u2502 Size            : 600 x 340 mm (27\")\n"
              "  \u2502 Colour depth    : 10 bits per channel\n"
              "  \u2502 Manufactured    : 2022, week 14\n");

    DisplayInfo panel;
    panel.name = "AUO 0x2036";
    panel.width_mm = 344;
    panel.height_mm = 194;
    panel.year = 2019;
    DisplayInfo sized = panel;
    sized.name = "LG";
    sized.diagonal_in = 16;
    s.displays = {panel, sized};
    EXPECT_EQ(rows_text(gpu_rows(s, false)),
              "  Display\n"
              "  \u2022 AUO 0x2036\n"
              "  \u2022 LG (16\")\n");
    EXPECT_EQ(rows_text(gpu_rows(s, true)),
              "  Display 1         : AUO 0x2036\n"
              "  \u2502 Size            : 344 x 194 mm\n"
              "  \u2502 Manufactured    : 2019\n"
              "  Display 2         : LG\n"
              "  \u2502 Size            : 344 x 194 mm (16\")\n"
              "  \u2502 Manufactured    : 2019\n");
    s.displays.clear();
    EXPECT_TRUE(gpu_rows(s, true).empty());
    EXPECT_TRUE(gpu_rows(s, false).empty());
}

}  // namespace
}  // namespace nadrel
