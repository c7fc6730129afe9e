// tools/capture-machine: a captured machine gives the same report, with its identifiers blanked.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <regex>

#include "linux/root/sysroot.h"
#include "support/golden.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

const std::string script = std::string(NADREL_SOURCE_DIR) + "/tools/capture-machine";

int capture(const std::string& source, const std::string& dest) {
    const std::string from = source.empty() ? "" : "CAPTURE_SOURCE='" + source + "' ";
    return test::run_shell(from + "'" + script + "' '" + dest + "' >/dev/null 2>&1");
}

// The report without its generation stamp, from the machine at root ("" for this one).
std::string report(const std::string& root) {
    return test::mask_stamp(test::run_nadrel({"--print", "--detail"}, test::machine_env(root)).out);
}

// The report without what changes from second to second (uptime, load, memory in use, the
// clock now, sensor readings) and without what only the running processor tells (the
// hypervisor's CPUID signature), and without the IP addresses, which a capture leaves behind.
std::string steady(const std::string& text) {
    const std::regex moving(
        "  (Uptime|Load average|In use|Swap|Current clock|Virtual machine|CPU|GPU|GPU \\d+|"
        "Fans|│ Temperature) *: .*\n|  +│ Addresses .*\n|  Disk \\S+ *: -?[0-9.]+°C\n");
    std::string out = std::regex_replace(text, moving, "");
    // The channel table of SENSORS, whose values move.
    const std::size_t table = out.find("  Channels\n");
    if (table != std::string::npos)
        out.erase(table, out.find("\n\n", table) - table);
    return out;
}

// Used space is measured on the running machine only: the summary without it, and the detail
// but for its tables (whose columns of used space come and go), are the same.
std::string without_usage(const std::string& text) {
    static const std::regex used(R"(, [0-9.]+[KMGTPE]?B of [0-9.]+[KMGTPE]?B used)");
    static const std::regex table_line(R"(\n    [^\n]*)");
    return std::regex_replace(std::regex_replace(text, used, ""), table_line, "");
}

TEST(CaptureMachine, ThisMachineReportsTheSameAndKeepsNoAddresses) {
    test::TempDir dir;
    const std::string dest = dir.path() + "/capture";
    ASSERT_EQ(capture("", dest), 0);
    EXPECT_EQ(without_usage(steady(report(dest))), without_usage(steady(report(""))));
    const auto summary = [](const std::string& root) {
        return test::mask_stamp(test::run_nadrel({"--print"}, test::machine_env(root)).out);
    };
    EXPECT_EQ(steady(summary(dest)), without_usage(steady(summary(""))));
    for (const char* table : {"/proc/net/if_inet6", "/proc/net/fib_trie", "/proc/net/route"})
        EXPECT_FALSE(exists(SysRoot(dest), table)) << table;

    const SysRoot captured(dest);
    for (const auto& name : list_dir(captured, "/sys/class/net")) {
        const auto mac = read_text(captured, "/sys/class/net/" + name + "/address");
        if (!mac)
            continue;
        EXPECT_EQ(mac->find_first_not_of("0:"), std::string::npos) << name << ": " << *mac;
        EXPECT_EQ(mac->size(), read_text(SysRoot(), "/sys/class/net/" + name + "/address")->size());
    }
    if (const auto id = read_text(captured, "/etc/machine-id")) {
        EXPECT_EQ(id->find_first_not_of('0'), std::string::npos);
    }
    // Sysfs links stay links.
    for (const auto& name : list_dir(captured, "/sys/class/net")) {
        EXPECT_TRUE(std::filesystem::is_symlink(dest + "/sys/class/net/" + name)) << name;
    }
    // A folder that is not empty is never written into.
    EXPECT_NE(capture("", dest), 0);
}

// An option is never taken for the folder to capture into: help goes to standard output and
// anything else that starts with a hyphen is a usage error, with nothing created either way.
TEST(CaptureMachine, OptionsCreateNoFolder) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    for (const Case& c : {Case{{"--help"}, 0}, Case{{"-h"}, 0}, Case{{"out", "--help"}, 0},
                          Case{{"--jsn"}, 2}, Case{{"-"}, 2}, Case{{"out", "-x"}, 2}}) {
        test::TempDir dir;
        std::vector<std::string> args = {"-c", "cd \"$0\" && exec \"$@\"", dir.path(), script};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = test::run_nadrel(args, {"PATH=/usr/bin:/bin"}, "/bin/sh");
        const std::string what = c.args.back();
        EXPECT_EQ(r.status, c.status) << what;
        EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << what;
        if (c.status == 0) {
            EXPECT_TRUE(r.out.starts_with("Usage: capture-machine FOLDER\n")) << r.out;
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, "capture-machine: unknown option '" + what + "' (see --help)\n");
        }
    }
}

TEST(CaptureMachine, FixtureMachinesRoundTrip) {
    // intel-desktop has every kind of link chain: SATA ports, NVMe, a USB stick, DRM connectors;
    // laptop has LUKS and LVM, holders and slaves.
    for (const char* machine : {"intel-desktop", "laptop"}) {
        test::TempDir dir;
        const std::string source = std::string(NADREL_FIXTURES_DIR) + "/" + machine;
        ASSERT_EQ(capture(source, dir.path() + "/c"), 0);
        EXPECT_EQ(report(dir.path() + "/c"), report(source)) << machine;
        // File system, partition and volume UUIDs are blanked.
        const std::string found = test::capture_output(
            "grep -rhoE '(ID_FS_UUID|ID_PART_ENTRY_UUID)=.*|^(CRYPT|LVM)-.*' '" + dir.path() +
            "/c/run' '" + dir.path() + "/c/sys/devices/virtual' 2>/dev/null | " +
            "sed -E 's/^[A-Z_]+=//; s/^(CRYPT-LUKS2-|LVM-)//' | sort -u");
        EXPECT_FALSE(found.empty()) << machine;
        EXPECT_EQ(found.find_first_of("123456789abcdefABCDEFGHIJKLMNOPQRSTUVWXYZ"),
                  std::string::npos)
            << found;
    }
}

TEST(CaptureMachine, SerialsInTheSmbiosTableAndEdidAreBlanked) {
    const std::string corpus = NADREL_CORPUS_DIR;
    const std::string table = corpus + "/smbios/msi-ms-7816.DMI";
    const std::string edid = corpus + "/edid/DELD0D9-BAC46CB23520.bin";
    ASSERT_TRUE(std::filesystem::exists(table) && std::filesystem::exists(edid)) << corpus;
    test::TempDir source;
    const std::string original_table = test::read_file(table);
    const std::string original_edid = test::read_file(edid).substr(0, 128);
    source.write("sys/firmware/dmi/tables/DMI", original_table);
    source.write("sys/devices/drm/card0/card0-DP-1/edid", original_edid);
    source.write("sys/devices/drm/card0/card0-DP-1/status", "connected\n");
    source.symlink("sys/class/drm/card0-DP-1", "../../devices/drm/card0/card0-DP-1");
    test::TempDir dir;
    ASSERT_EQ(capture(source.path(), dir.path() + "/c"), 0);

    const std::string blank_table = test::read_file(dir.path() + "/c/sys/firmware/dmi/tables/DMI");
    ASSERT_EQ(blank_table.size(), original_table.size());
    // Memory serials and asset tags (type 17) go; part numbers and names stay.
    for (const char* secret : {"A40C03AC", "A3144331", "9876543210"}) {
        EXPECT_NE(original_table.find(secret), std::string::npos) << secret;
        EXPECT_EQ(blank_table.find(secret), std::string::npos) << secret;
    }
    for (const char* kept : {"CT102464BA160B.C16", "ChannelA-DIMM0", "H87-G43 (MS-7816)"}) {
        EXPECT_NE(blank_table.find(kept), std::string::npos) << kept;
    }

    const std::string blank_edid =
        test::read_file(dir.path() + "/c/sys/devices/drm/card0/card0-DP-1/edid");
    ASSERT_EQ(blank_edid.size(), 128u);
    EXPECT_EQ(blank_edid.substr(12, 4), std::string(4, '\0'));
    EXPECT_EQ(original_edid.find("6YY309791ZAB"), 77u);
    EXPECT_EQ(blank_edid.substr(77, 12), std::string(12, '0'));
    const unsigned sum =
        std::accumulate(blank_edid.begin(), blank_edid.end(), 0u,
                        [](unsigned a, char c) { return a + static_cast<unsigned char>(c); });
    EXPECT_EQ(sum % 256, 0u);  // the checksum is made right again
    EXPECT_EQ(blank_edid.substr(0, 12), original_edid.substr(0, 12));
    EXPECT_EQ(blank_edid.substr(89, 38), original_edid.substr(89, 38));
}

}  // namespace
}  // namespace nadrel
