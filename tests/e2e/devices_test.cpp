// The device inventory of the workstation fixture (a GPU behind a PCIe switch, a two-port NIC,
// a USB 3 disk at USB 2 speed, two identical monitors on one GPU): --json against truths
// written down from the tree by hand, and against lspci reading the same tree.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>

#include "core/text/fmt.h"
#include "support/run.h"

namespace nadrel {
namespace {

using Json = nlohmann::json;

const std::string machine = std::string(NADREL_FIXTURES_DIR) + "/workstation";

Json document() {
    const auto r = test::run_nadrel({"--json"}, test::machine_env(machine));
    EXPECT_EQ(r.err, "");
    return Json::parse(r.out);
}

// What lspci -nnk says of each function, as read from the tree's files by hand: class, ids,
// driver, and the link as current / capability / below (null where it is not judged).
struct Function {
    const char* address;
    const char* class_id;
    const char* ids;  // vendor:device subsystem-vendor:subsystem-device
    const char* driver;
    const char* link;  // "speed width / max / port max / below", or "" without one
};

TEST(Devices, PciFunctionsAsTheTreeHasThem) {
    const Function truths[] = {
        {"0000:00:00.0", "0600", "8086:3e30 1028:0870", "skl_uncore", ""},
        {"0000:00:01.0", "0604", "8086:1901 -:-", "pcieport", "8 16 / 8 16 / - - / -"},
        {"0000:00:14.0", "0c03", "8086:a36d 1028:0870", "xhci_hcd", ""},
        {"0000:00:17.0", "0106", "8086:a352 1028:0870", "ahci", ""},
        {"0000:00:1b.0", "0604", "8086:a340 -:-", "pcieport", "8 4 / 8 4 / - - / -"},
        {"0000:00:1c.0", "0604", "8086:a33c -:-", "pcieport", "5 4 / 8 4 / - - / -"},
        {"0000:00:1f.0", "0601", "8086:a306 1028:0870", "-", ""},
        {"0000:00:1f.3", "0403", "8086:a348 1028:0870", "snd_hda_intel", ""},
        {"0000:00:1f.4", "0c05", "8086:a323 1028:0870", "i801_smbus", ""},
        {"0000:00:1f.6", "0200", "8086:15bb 1028:0870", "e1000e", ""},
        // The switch: its upstream port's link is its own; its downstream ports' are not.
        {"0000:01:00.0", "0604", "10b5:8747 -:-", "pcieport", "8 16 / 8 16 / 8 16 / false"},
        {"0000:02:08.0", "0604", "10b5:8747 -:-", "pcieport", "8 8 / 8 16 / - - / -"},
        {"0000:02:10.0", "0604", "10b5:8747 -:-", "pcieport", "2.5 - / 8 16 / - - / -"},
        // A 4.0 x16 card behind a 3.0 x16 port at 3.0 x8; its second function shares the link.
        {"0000:03:00.0", "0300", "1002:73ff 1462:5022", "amdgpu", "8 8 / 16 16 / 8 16 / true"},
        {"0000:03:00.1", "0403", "1002:ab28 1462:5022", "snd_hda_intel", "8 8 / 16 16 / - - / -"},
        {"0000:04:00.0", "0200", "8086:1521 8086:00a2", "igb", "5 4 / 5 4 / 8 4 / false"},
        {"0000:04:00.1", "0200", "8086:1521 8086:00a2", "igb", "5 4 / 5 4 / - - / -"},
        // A 4.0 SSD in a 3.0 slot running 3.0 runs at what the slot can.
        {"0000:05:00.0", "0108", "144d:a80a 144d:a801", "nvme", "8 4 / 16 4 / 8 4 / false"},
    };
    const Json doc = document();
    const Json& pci = doc["pci_devices"];
    ASSERT_EQ(pci.size(), std::size(truths));
    const auto or_dash = [](const Json& v) {
        if (v.is_null())
            return std::string("-");
        if (v.is_number_float())
            return strfmt("%g", v.get<double>());
        return v.is_string() ? v.get<std::string>() : v.dump();
    };
    for (std::size_t i = 0; i < pci.size(); ++i) {
        const Json& f = pci[i];
        const Function& t = truths[i];
        SCOPED_TRACE(t.address);
        EXPECT_EQ(f["address"], t.address);
        EXPECT_EQ(f["class_id"], t.class_id);
        EXPECT_EQ(or_dash(f["vendor_id"]) + ":" + or_dash(f["device_id"]) + " " +
                      or_dash(f["subsystem_vendor_id"]) + ":" + or_dash(f["subsystem_device_id"]),
                  t.ids);
        EXPECT_EQ(or_dash(f["driver"]), t.driver);
        const Json& l = f["link"];
        const std::string link =
            l.is_null() ? ""
                        : or_dash(l["speed_gts"]) + " " + or_dash(l["width"]) + " / " +
                              or_dash(l["max_speed_gts"]) + " " + or_dash(l["max_width"]) + " / " +
                              or_dash(l["port_max_speed_gts"]) + " " +
                              or_dash(l["port_max_width"]) + " / " + or_dash(l["below_capability"]);
        EXPECT_EQ(link, t.link);
    }
    // xhci_hcd lives in the module xhci_pci; built-in drivers have none.
    EXPECT_EQ(pci[2]["module"], "xhci_pci");
    EXPECT_EQ(pci[0]["module"], nullptr);
    EXPECT_EQ(pci[13]["name"], "RX 6600 MECH 2X");  // the board, where pci.ids lists it
    EXPECT_EQ(pci[13]["device_name"], "Navi 23 [Radeon RX 6600/6600 XT/6600M]");
    EXPECT_EQ(pci[7]["low_power"], true);     // D3hot
    EXPECT_EQ(pci[8]["low_power"], nullptr);  // no power_state, runtime PM unsupported
    EXPECT_EQ(doc["audio"]["controllers"].size(), 2u);
}

// What the text report shows of these (drivers, displays' connectors, MTU, USB speeds) its
// golden pins, and a saved document renders the same text; here, what only the document holds.
TEST(Devices, AdaptersDisksAndUsbNameTheirPlaces) {
    const Json doc = document();
    EXPECT_EQ(doc["gpus"][0]["pci_address"], "0000:03:00.0");
    EXPECT_EQ(doc["gpus"][0]["connectors"], Json::parse(R"([{"name":"DP-1","connected":true},
        {"name":"DP-2","connected":true},{"name":"DP-3","connected":false},
        {"name":"HDMI-A-1","connected":false}])"));
    // Byte-identical EDIDs on two connectors: two monitors.
    ASSERT_EQ(doc["displays"].size(), 2u);
    EXPECT_EQ(doc["displays"][1]["gpu_pci_address"], "0000:03:00.0");
    std::map<std::string, std::string> disks;
    for (const Json& d : doc["disks"])
        disks[d["name"]] = d["pci_address"].dump();
    EXPECT_EQ(disks,
              (std::map<std::string, std::string>{
                  {"nvme0n1", "\"0000:05:00.0\""}, {"sda", "\"0000:00:17.0\""}, {"sdb", "null"}}));
    // Each port of the two-port card is its own entry.
    const Json& net = doc["network"];
    ASSERT_EQ(net.size(), 3u);
    EXPECT_EQ(net[1]["interface"], "enp4s0f0");
    EXPECT_EQ(net[1]["pci_address"], "0000:04:00.0");
    EXPECT_EQ(net[2]["pci_address"], "0000:04:00.1");
    EXPECT_EQ(net[1]["duplex"], "full");
    EXPECT_EQ(net[0]["duplex"], nullptr);            // "unknown"
    EXPECT_EQ(net[1]["firmware_version"], nullptr);  // live runs only
    EXPECT_EQ(net[1]["addresses"], Json::parse(R"([
        {"family":"ipv4","address":"192.168.10.20","prefix_length":24},
        {"family":"ipv6","address":"2001:db8:10::20","prefix_length":64},
        {"family":"ipv6","address":"fe80::3eec:efff:fe12:3456","prefix_length":64}])"));

    const Json& t7 = doc["usb"][0];
    EXPECT_EQ(t7["bus"], 1);
    EXPECT_EQ(t7["below_capability"], true);
    EXPECT_EQ(t7["interfaces"], Json::parse(R"([{"number":0,"class_id":"08",
        "class":"Mass Storage","driver":"usb-storage"}])"));
    EXPECT_EQ(doc["usb"][1]["interfaces"][2]["class_id"], nullptr);  // no bInterfaceClass
    EXPECT_EQ(doc["usb"][2]["below_capability"], false);             // 3.20 at 5 Gb/s
}

// lspci reads the same sysfs tree (config headers and driver links) and database.
TEST(Devices, PciFunctionsAgreeWithLspci) {
    if (test::run_shell("command -v lspci >/dev/null") != 0)
        GTEST_SKIP() << "lspci (pciutils) is not installed";
    const std::string out = test::capture_output("lspci -A linux-sysfs -O sysfs.path='" + machine +
                                                 "/sys/bus/pci' -i '" + machine +
                                                 "/usr/share/misc/pci.ids' -D -vmmnnk 2>/dev/null");
    // "Key:\tName [id]" lines, one block per function.
    std::vector<std::map<std::string, std::string>> blocks(1);
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = std::min(out.find('\n', start), out.size());
        const std::string line = out.substr(start, end - start);
        start = end + 1;
        const std::size_t tab = line.find(":\t");
        if (tab == std::string::npos) {
            if (!blocks.back().empty())
                blocks.emplace_back();
            continue;
        }
        blocks.back()[line.substr(0, tab)] = line.substr(tab + 2);
    }
    if (blocks.back().empty())
        blocks.pop_back();
    const Json pci = document()["pci_devices"];
    ASSERT_EQ(blocks.size(), pci.size()) << out;
    for (std::size_t i = 0; i < pci.size(); ++i) {
        const Json& f = pci[i];
        auto& b = blocks[i];
        SCOPED_TRACE(b["Slot"]);
        EXPECT_EQ(b["Slot"], f["address"]);
        EXPECT_EQ(b["Class"],
                  f["class"].get<std::string>() + " [" + f["class_id"].get<std::string>() + "]");
        EXPECT_EQ(b["Vendor"],
                  f["vendor"].get<std::string>() + " [" + f["vendor_id"].get<std::string>() + "]");
        EXPECT_EQ(b["Device"], f["device_name"].get<std::string>() + " [" +
                                   f["device_id"].get<std::string>() + "]");
        EXPECT_EQ(b.contains("Rev") ? b["Rev"] : "00", f["revision"]);  // 00 goes unsaid
        EXPECT_EQ(b["Driver"], f["driver"].is_null() ? "" : f["driver"].get<std::string>());
        EXPECT_EQ(b["IOMMUGroup"], std::to_string(f["iommu_group"].get<int>()));
        // lspci names a subsystem it finds, else writes "Device [id]".
        const std::string sdevice = b["SDevice"];
        if (f["subsystem_name"].is_string()) {
            EXPECT_EQ(sdevice, f["subsystem_name"].get<std::string>() + " [" +
                                   f["subsystem_device_id"].get<std::string>() + "]");
        } else if (!sdevice.empty()) {
            EXPECT_TRUE(sdevice.starts_with("Device [")) << sdevice;
        }
    }
}

}  // namespace
}  // namespace nadrel
