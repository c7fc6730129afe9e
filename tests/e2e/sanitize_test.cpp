// --sanitize: identifiers planted in a copy of a fixture machine reach none of the outputs
// (text summary and detail, JSON, the live card, the saved file and its status), while without
// it each one is there to be found, so the search cannot pass by finding nothing.
#include "core/sanitize.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/report/builder.h"
#include "linux/collect/collect.h"
#include "linux/export/export.h"
#include "linux/live/card.h"
#include "support/golden.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

// Values the snapshot carries (JSON shows them unless sanitizing).
const std::vector<std::string> snapshot_ids = {"plantedhost7",
                                               "SYSSN-PLANT-01",
                                               "4c4c4544-0050-3510-8052-b4c04f4e3432",
                                               "BRDSN-PLANT-02",
                                               "BRDTAG-PLANT-03",
                                               "CHSN-PLANT-04",
                                               "CHTAG-PLANT-05",
                                               "0123456789abcdef0123456789abcdef",
                                               "02:11:22:33:44:55",
                                               "NVMESN-PLANT-06",
                                               "BATSN-PLANT-07",
                                               "MODSN123",
                                               "TAGMOD4567",
                                               "6YY309791ZAB",  // the monitor's own serial
                                               "CN41222LW4",
                                               "00e04c680001",  // a USB adapter's "enx" name
                                               "plantedhost7 Speakers",
                                               "198.51.100.44",  // the adapter's addresses
                                               "2001:db8:5::44",
                                               "5C1D-9E2F",  // a file system's UUID
                                               "a0b1c2d3-e4f5-4a6b-8c7d-9e0f1a2b3c4d",
                                               "MY STICK",  // a label, and its mount point
                                               "/home/pat",
                                               "pat@build"};
// Values only the live card shows.
const std::vector<std::string> live_ids = {"203.0.113.77", "2001:db8::77", "13.12.11.10"};

class Planted : public testing::Test {
protected:
    void SetUp() override {
        const std::string source = std::string(NADREL_FIXTURES_DIR) + "/intel-desktop";
        ASSERT_EQ(test::run_shell("cp -a '" + source + "/.' '" + machine.path() + "/'"), 0);
        const std::pair<const char*, const char*> files[] = {
            {"proc/sys/kernel/hostname", "plantedhost7\n"},
            {"sys/class/dmi/id/product_serial", "SYSSN-PLANT-01\n"},
            {"sys/class/dmi/id/product_uuid", "4c4c4544-0050-3510-8052-b4c04f4e3432\n"},
            {"sys/class/dmi/id/board_serial", "BRDSN-PLANT-02\n"},
            {"sys/class/dmi/id/board_asset_tag", "BRDTAG-PLANT-03\n"},
            {"sys/class/dmi/id/chassis_serial", "CHSN-PLANT-04\n"},
            {"sys/class/dmi/id/chassis_asset_tag", "CHTAG-PLANT-05\n"},
            {"etc/machine-id", "0123456789abcdef0123456789abcdef\n"},
            {"sys/class/net/enp5s0/address", "02:11:22:33:44:55\n"},
            {"sys/block/nvme0n1/device/serial", "NVMESN-PLANT-06\n"},
            {"sys/class/power_supply/BAT0/type", "Battery\n"},
            {"sys/class/power_supply/BAT0/serial_number", "BATSN-PLANT-07\n"},
            {"proc/net/route",
             "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\n"
             "enp5s0\t00000000\t0A0B0C0D\t0003\t0\t0\t0\t00000000\n"
             "enp5s0\t006433C6\t00000000\t0001\t0\t0\t0\t00FFFFFF\n"},
            {"proc/net/fib_trie", "Main:\n     |-- 198.51.100.44\n        /32 host LOCAL\n"},
            {"proc/net/if_inet6", "20010db8000500000000000000000044 02 40 00 00 enp5s0\n"},
        };
        for (const auto& [path, content] : files)
            machine.write(path, content);
        // A USB Ethernet adapter pci.ids cannot name: its name is its interface's, built from
        // its MAC. A sound card named after the host.
        const std::string usb = "sys/devices/pci0000:00/0000:00:14.0/usb2/2-3/2-3:1.0";
        machine.mkdir(usb);
        machine.write(usb + "/net/enx00e04c680001/address", "00:e0:4c:68:00:01\n");
        machine.write(usb + "/net/enx00e04c680001/type", "1\n");
        machine.symlink(usb + "/net/enx00e04c680001/device", "../../../2-3:1.0");
        machine.symlink("sys/class/net/enx00e04c680001",
                        "../../" + usb.substr(4) + "/net/enx00e04c680001");
        machine.write("proc/asound/cards",
                      test::read_file(machine.path() + "/proc/asound/cards") +
                          " 2 [Speakers       ]: USB-Audio - plantedhost7 Speakers\n");
        // Each memory module's blanked serial and asset tag, same length, so offsets hold.
        const std::string table_path = machine.path() + "/sys/firmware/dmi/tables/DMI";
        std::string table = test::read_file(table_path);
        const std::string blank = std::string(
            "\0"
            "00000000\0"
            "0000000000\0",
            21);
        const std::string planted = std::string(
            "\0"
            "MODSN123\0"
            "TAGMOD4567\0",
            21);
        int modules = 0;
        for (auto at = table.find(blank); at != std::string::npos; at = table.find(blank, at)) {
            table.replace(at, blank.size(), planted);
            ++modules;
        }
        ASSERT_EQ(modules, 4);
        machine.write("sys/firmware/dmi/tables/DMI", table);
    }

    test::RunResult run(std::vector<std::string> args, bool sanitize) const {
        if (sanitize)
            args.push_back("--sanitize");
        return test::run_nadrel(args, test::machine_env(machine.path()));
    }

    test::TempDir machine;
};

TEST_F(Planted, NoOutputHoldsAnIdentifierWhenSanitizing) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--print"}, {"--print", "--detail"}, {"--json"}}) {
        const auto r = run(args, true);
        EXPECT_EQ(r.status, 0);
        for (const std::string& id : snapshot_ids)
            EXPECT_EQ(r.out.find(id), std::string::npos) << args.back() << ": " << id;
    }
    EXPECT_NE(run({"--json"}, true).out.find("\"sanitized\": true"), std::string::npos);
    const auto print = run({"--print"}, true);
    EXPECT_NE(print.out.find("Name              : <hidden>\n"), std::string::npos);
    EXPECT_NE(print.out.find("enx<hidden>"), std::string::npos) << print.out;
    EXPECT_NE(print.out.find("<hidden> Speakers"), std::string::npos) << print.out;
    // One line says what went. Serials: 4 modules, 2 monitors, a disk, the battery; the
    // adapter, unknown to the database, is named by its interface, which held its MAC; the
    // file system and partition UUIDs of five partitions, two labels and two GPT names, the user's
    // name in two mount points and a source. The JSON adds the DMI identifiers.
    EXPECT_EQ(print.err,
              "nadrel: hid 36 values: host name, 8 serials, 10 UUIDs, 4 asset tags, 2 MACs, "
              "interface name, 2 IP addresses, name holding the host name, 4 labels, 3 user "
              "names\n");
    EXPECT_EQ(run({"--json"}, true).err,
              "nadrel: hid 43 values: host name, 11 serials, 11 UUIDs, machine ID, 6 asset tags, "
              "2 MACs, interface name, 2 IP addresses, name holding the host name, 4 labels, 3 "
              "user names\n");
    EXPECT_EQ(run({"--json"}, false).err, "");

    const std::string json = run({"--json"}, false).out;
    for (const std::string& id : snapshot_ids)
        EXPECT_NE(json.find(id), std::string::npos) << "not planted: " << id;
    EXPECT_NE(run({"--print"}, false).out.find("plantedhost7"), std::string::npos);
}

std::string card_text(const SysRoot& root, const AddressProbe& probe, bool sanitize) {
    LiveSession session = open_live_session(root, probe, sanitize);
    std::string text;
    for (const LiveRow& row : sample_live_rows(session, root, Instant{}))
        text += row.label + ": " + row.value + "\n";
    return text;
}

TEST_F(Planted, LiveCardAndSavedFileHideThemToo) {
    const SysRoot root(machine.path());
    const auto probe = [] { return LocalAddresses{"203.0.113.77", "2001:db8::77"}; };
    const std::string shown = card_text(root, probe, false);
    const std::string hidden = card_text(root, probe, true);
    for (const std::string& id : live_ids) {
        EXPECT_NE(shown.find(id), std::string::npos) << "not planted: " << id;
        EXPECT_EQ(hidden.find(id), std::string::npos) << id;
    }
    for (const std::string id :
         {"SYSSN-PLANT-01", "02:11:22:33:44:55", "NVMESN-PLANT-06", "00e04c680001"}) {
        EXPECT_NE(shown.find(id), std::string::npos) << "not planted: " << id;
        EXPECT_EQ(hidden.find(id), std::string::npos) << id;
    }
    EXPECT_NE(hidden.find("System serial: <hidden>\n"), std::string::npos) << hidden;

    // The window's documents come from the sanitized snapshot; the file's name and the status
    // message hold neither the host name nor the home folder. Later saves of the same window
    // replace its file; another window's save does not.
    const test::TempDir home;
    const Report detail = build_report(sanitize_snapshot(collect_snapshot(root)).snapshot, true);
    SaveState window;
    for (int press = 0; press < 2; ++press) {
        EXPECT_EQ(save_report(root, home.path(), "2026-12-09 05:00 UTC", detail, true, window),
                  "Saved to ~/nadrel-report.txt");
    }
    SaveState another;
    EXPECT_EQ(save_report(root, home.path(), "2026-12-09 05:00 UTC", detail, true, another),
              "Saved to ~/nadrel-report-2.txt");
    EXPECT_FALSE(std::filesystem::exists(home.path() + "/plantedhost7-nadrel.txt"));
    const std::string saved = test::read_file(home.path() + "/nadrel-report.txt");
    EXPECT_NE(saved.find("<hidden>"), std::string::npos);
    for (const std::string& id : snapshot_ids)
        EXPECT_EQ(saved.find(id), std::string::npos) << id;
}

}  // namespace
}  // namespace nadrel
