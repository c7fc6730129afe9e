// Link judgements: a PCI Express link against the lower of its device's and port's maximum,
// USB 3 devices at USB 2 speed, and which of them the attention list names.
#include "core/links.h"

#include <gtest/gtest.h>

#include "core/device_attention.h"

namespace nadrel {
namespace {

PciDevice function(PcieLink link, bool judged = true) {
    PciDevice d;
    d.address = "0000:03:00.0";
    d.device_name = "Example Card";
    d.subsystem_name = "Example Board";  // a subsystem name does not name the function
    d.class_code = 0x020000;
    d.link = link;
    d.link_judged = judged;
    d.low_power = false;
    return d;
}

TEST(PcieLinkJudgement, AgainstTheLowerOfDeviceAndPort) {
    struct Case {
        const char* what;
        PcieLink link;  // max, current, port max (MT/s, lanes)
        std::optional<bool> below;
    } const cases[] = {
        {"x16 card in a x4 slot", {8000, 16, 8000, 4, 8000, 4}, false},
        {"x16 card in a x16 slot at x8", {8000, 16, 8000, 8, 8000, 16}, true},
        {"4.0 card in a 3.0 slot at 3.0", {16000, 16, 8000, 16, 8000, 16}, false},
        {"4.0 card in a 4.0 slot at 2.5 GT/s", {16000, 16, 2500, 16, 16000, 16}, true},
        {"no port known: the device alone", {16000, 4, 16000, 2, 0, 0}, true},
        {"no current width or speed", {16000, 16, 0, 0, 16000, 16}, std::nullopt},
        {"only the width comparable", {0, 16, 0, 16, 0, 0}, false},
        {"nothing known", {}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(below_capability(function(c.link)), c.below) << c.what;
    // Root and downstream ports are not judged; a function without a link has none to judge.
    EXPECT_EQ(below_capability(function({8000, 16, 8000, 8, 0, 0}, false)), std::nullopt);
    PciDevice none;
    EXPECT_EQ(below_capability(none), std::nullopt);
}

TEST(PcieLinkJudgement, AttentionLeavesOutIdleDrops) {
    SystemSnapshot s;
    const PcieLink narrow{8000, 16, 8000, 8, 8000, 16};
    const PcieLink slow{16000, 4, 2500, 4, 16000, 4};
    s.pci_devices.push_back(function(narrow));  // a width drop is a fault in any state
    s.pci_devices.back().low_power = std::nullopt;
    s.pci_devices.push_back(function(slow));  // slow at full power: named
    s.pci_devices.back().address = "0000:04:00.0";
    PciDevice asleep = function(slow);  // slow while suspended: a power-saving drop
    asleep.low_power = true;
    PciDevice unknown = function(slow);  // slow, power state unknown: left out
    unknown.low_power = std::nullopt;
    PciDevice gpu = function(slow);  // a display controller slows its link at idle in D0
    gpu.class_code = 0x030000;
    PciDevice port = function(narrow, false);
    s.pci_devices.insert(s.pci_devices.end(), {asleep, unknown, gpu, port});
    const auto items = pci_link_attention(s);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].kind, "pci_link");
    EXPECT_EQ(items[0].subject, "0000:03:00.0");
    EXPECT_EQ(items[0].text,
              "Example Card (0000:03:00.0) runs at PCIe 3.0 x8, capable of PCIe 3.0 x16");
    EXPECT_EQ(items[1].text,
              "Example Card (0000:04:00.0) runs at PCIe 1.0 x4, capable of PCIe 4.0 x4");
}

TEST(UsbSpeedJudgement, Usb3DevicesAtUsb2Speed) {
    SystemSnapshot s;
    const struct {
        const char* version;
        std::uint32_t mbps;
        bool below;
    } cases[] = {{"3.20", 480, true},  {" 3.00", 12, true}, {"3.10", 5000, false},
                 {"2.10", 480, false}, {"3.20", 0, false},  {"", 480, false}};
    for (const auto& c : cases) {
        UsbDevice d;
        d.name = "Portable SSD";
        d.port_path = "2-1";
        d.version = c.version;
        d.speed_mbps = c.mbps;
        EXPECT_EQ(usb_below_capability(d), c.below) << c.version << " " << c.mbps;
        s.usb_devices.push_back(d);
    }
    const auto items = usb_speed_attention(s);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].kind, "usb_speed");
    EXPECT_EQ(items[0].text,
              "Portable SSD (2-1) runs at 480Mb/s, USB 2 speed, though it is a USB 3.20 device");
}

}  // namespace
}  // namespace nadrel
