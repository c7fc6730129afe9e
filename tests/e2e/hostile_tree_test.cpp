// The whole program over hostile machine trees (tools/hostile-tree, scaled down): it finishes,
// exits 0, writes no control character, and reads nothing outside the root, with or without
// openat2.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/golden.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

const std::string tree_tool = std::string(NADREL_SOURCE_DIR) + "/tools/hostile-tree";

bool has_control(const std::string& text) {
    // C1 CSI, and the format characters the trees plant: a right-to-left override, an
    // isolate, a zero-width space, a byte-order mark, a line separator.
    const char* planted[] = {"\xC2\x9B", "\u202E", "\u2066", "\u200B", "\xEF\xBB\xBF", "\u2028"};
    return std::any_of(text.begin(), text.end(),
                       [](char c) {
                           const auto b = static_cast<unsigned char>(c);
                           return (b < 0x20 && b != '\n') || b == 0x7F;
                       }) ||
           std::any_of(std::begin(planted), std::end(planted),
                       [&](const char* s) { return text.find(s) != std::string::npos; });
}

TEST(HostileTree, EveryCaseEndsWithACleanReport) {
    for (const char* c : {"cpulist",         "alsa",
                          "disks",           "sparse",
                          "cpuinfo-lines",   "cpuinfo-flags",
                          "interfaces",      "pciids",
                          "escapes",         "cores",
                          "sizes",           "usb",
                          "blockdevs",       "connectors",
                          "dmi-modules",     "attributes",
                          "badbytes",        "hwmon",
                          "thermal",         "edac",
                          "vulnerabilities", "mounts",
                          "partitions",      "holders",
                          "labels",          "pci"}) {
        SCOPED_TRACE(c);
        test::TempDir root;
        // The trees of many thousand folders at a tenth of that: folders are slow to make.
        const std::string_view many = c;
        const char* scale = many == "usb" || many == "blockdevs" ? " 0.001" : " 0.01";
        ASSERT_EQ(test::run_shell(tree_tool + " " + c + " " + root.path() + scale), 0);
        const auto r = test::run_nadrel({"--print", "--detail"}, {"NADREL_SYSROOT=" + root.path()});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(r.out.starts_with("NADREL  -  System Report\n"));
        EXPECT_FALSE(has_control(r.out));
        if (std::string_view(c) == "escapes") {
            EXPECT_NE(r.out.find("Maker[5m Radio]0;TITLE]52;c;QUJD[2J"), std::string::npos);
            EXPECT_NE(r.out.find("Evil]0;x OS next"), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("System            : Box evil end next\n"), std::string::npos);
        }
        // Counts, sizes and diagonals that could contradict each other do not.
        if (std::string_view(c) == "cores") {
            EXPECT_NE(r.out.find("Cores / threads   : 1 physical / 94 logical\n"),
                      std::string::npos);
        }
        if (std::string_view(c) == "sizes") {
            EXPECT_NE(r.out.find("Size            : 600 x 340 mm (27\")\n"), std::string::npos);
            EXPECT_NE(r.out.find("DIMM_A1           : 1KB"), std::string::npos) << r.out;
        }
        const std::string_view name = c;
        const auto shows = [&r](const std::string& text) {
            return r.out.find(text) != std::string::npos;
        };
        // Functions with what is missing left out, none with a driver from outside the tree.
        if (name == "pci") {
            EXPECT_TRUE(shows("    0000:02:00.1  Ethernet controller  Device f001:0001\n"))
                << r.out;
            EXPECT_FALSE(shows("evil") || shows("0000:01:00.0"));
        }
        // Nothing a sensor, an error count or a vulnerability file could not mean is shown.
        if (name == "hwmon" || name == "vulnerabilities") {
            EXPECT_FALSE(shows("SENSORS") || shows("Vulnerabilities")) << r.out;
        }
        if (name == "thermal") {
            EXPECT_TRUE(shows("    loop  temp1   40\u00B0C\n")) << r.out;
        }
        if (name == "edac") {
            EXPECT_TRUE(shows("  \u2022 mc0 DIMM_0: 1 uncorrected memory error\n")) << r.out;
        }
        // Escaped and control characters in storage names: decoded, then cleaned.
        if (std::string_view(c) == "labels") {
            EXPECT_NE(r.out.find("sda1       1MB   evil [31mred  ext4        /mnt/a b[2Jc\n"),
                      std::string::npos)
                << r.out;
        }
        if (std::string_view(c) == "mounts") {
            EXPECT_NE(r.out.find("/mnt/with space"), std::string::npos);
            EXPECT_EQ(r.out.find("/bind/"), std::string::npos);
        }
        if (std::string_view(c) == "cpuinfo-flags") {
            EXPECT_NE(r.out.find("AVX2"), std::string::npos);
        }
        if (std::string_view(c) == "attributes") {  // a page-long name is cut
            EXPECT_NE(r.out.find(std::string(255, 'Q') + "\u2026"), std::string::npos);
            EXPECT_EQ(r.out.find(std::string(256, 'Q')), std::string::npos);
        }
        if (std::string_view(c) == "badbytes") {  // one bad byte costs nothing shown
            EXPECT_NE(r.out.find("Operating system  : Debian GNU/Linux 12 (bookworm)"),
                      std::string::npos);
            EXPECT_NE(r.out.find("Model             : Intel Core i7-8700 CPU"), std::string::npos);
            EXPECT_NE(r.out.find("4 physical / 4 logical"), std::string::npos);
        }
    }
}

TEST(HostileTree, AbsoluteLinksStayInsideTheRootWithoutOpenat2) {
    if (test::run_shell("command -v strace >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace is not installed (tools/install-deps)";
    test::TempDir host;
    host.write("secret", "host-secret\n");
    test::TempDir root;
    root.write("etc/os-release", "PRETTY_NAME=\"Inside\"\n");
    root.symlink("proc/sys/kernel/hostname", host.path() + "/secret");
    root.symlink("etc/hostname", "../../../../../../.." + host.path() + "/secret");
    // Kernels before 5.6 answer ENOSYS; a seccomp filter may answer anything.
    for (const char* error : {"ENOSYS", "EPERM", "EACCES", "EINVAL"}) {
        SCOPED_TRACE(error);
        const std::string command = "NADREL_SYSROOT=" + root.path() +
                                    " strace -f -o /dev/null -e inject=openat2:error=" + error +
                                    " " + NADREL_BINARY + " --print";
        const std::string out = test::capture_output(command);
        EXPECT_NE(out.find("Operating system  : Inside"), std::string::npos) << out;
        EXPECT_EQ(out.find("host-secret"), std::string::npos) << out;
        EXPECT_NE(out.find("Name              : Unknown"), std::string::npos) << out;
    }
}

}  // namespace
}  // namespace nadrel
