// Host, operating system, memory total, DMI identity, TPM and Secure Boot from small trees.
#include "linux/collect/identity.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "core/text/fields.h"
#include "linux/collect/collect.h"
#include "linux/collect/hypervisor.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

std::optional<std::uint64_t> meminfo_total(std::string_view text) {
    return meminfo_bytes(text, "MemTotal");
}

TEST(OsRelease, PrettyNameRules) {
    struct Case {
        std::string text;
        std::optional<std::string> name;
    };
    const std::vector<Case> cases = {
        {"NAME=Debian\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n",
         "Debian GNU/Linux 12 (bookworm)"},
        {"PRETTY_NAME=\"\"\n", ""},                      // empty stays empty
        {"PRETTY_NAME='Arch Linux'\n", "'Arch Linux'"},  // single quotes kept
        {"PRETTY_NAME=  \"\"Fedora\"\"  \r\nPRETTY_NAME=Second\n", "Fedora"},
        {"PRETTY_NAME=\"Say \"hi\" there\"", "Say \"hi\" there"},
        {" PRETTY_NAME=Indented\nNAME=x\n", std::nullopt},
        {"pretty_name=lower\n", std::nullopt},
        {"PRETTY_NAME\n" + std::string(300, 'x') + "\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_os_release(c.text), c.name) << c.text;
}

TEST(Meminfo, FirstMemTotalThatParses) {
    EXPECT_EQ(meminfo_total("MemTotal:       16270432 kB\nMemFree: 1 kB\n"), 16270432ull * 1024);
    EXPECT_EQ(meminfo_total("MemTotal: abc kB\nMemTotal: +2 kB\n"), 2048u);
    EXPECT_EQ(meminfo_total("MemTotal:\t\t7\n"), 7168u);
    EXPECT_EQ(meminfo_total("MemTotal: 12.5 kB\n"), std::nullopt);
    EXPECT_EQ(meminfo_total("MemTotal: -5 kB\n"), std::nullopt);
    EXPECT_EQ(meminfo_total("MemTotal: 18014398509481984 kB\n"), std::nullopt);  // * 1024
    EXPECT_EQ(meminfo_total(" MemTotal: 5 kB\nMemFree: 5 kB"), std::nullopt);
}

TEST(InstallDate, FromTheYear2000OnInLocalTime) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(install_date({946684800, 0}), "2000-01-01");
    EXPECT_EQ(install_date({946684799, 999999999}), "");
    EXPECT_EQ(install_date({1709251199, 5}), "2024-02-29");
    EXPECT_EQ(install_date({1709251199, 1000000000}), "");
    EXPECT_EQ(install_date({1709251199, -1}), "");
    EXPECT_EQ(install_date({-5, 0}), "");
    ::setenv("TZ", "Asia/Tokyo", 1);  // a local date, not the UTC one
    ::tzset();
    EXPECT_EQ(install_date({1709251199, 0}), "2024-03-01");
    ::setenv("TZ", "UTC", 1);
    ::tzset();
}

TEST(SecureBoot, AttributeWordThenOneDataByte) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(secure_boot_state(Bytes{6, 0, 0, 0, 1}), "On");
    EXPECT_EQ(secure_boot_state(Bytes{6, 0, 0, 0, 0}), "Off");
    EXPECT_EQ(secure_boot_state(Bytes{6, 0, 0, 0, 2, 1}), "Off");
    EXPECT_EQ(secure_boot_state(Bytes{6, 0, 0, 1}), "");
    EXPECT_EQ(secure_boot_state(Bytes{}), "");
}

TEST(Identity, FallbacksAndPlaceholders) {
    test::TempDir t;
    const SysRoot root(t.path());
    // Nothing readable.
    EXPECT_EQ(collect_hostname(root), "Unknown");
    EXPECT_EQ(collect_os_name(root), "Linux");
    EXPECT_EQ(collect_kernel(root), "");
    EXPECT_EQ(collect_os_installed(root), "");
    EXPECT_EQ(collect_tpm(root), "");
    EXPECT_EQ(collect_secure_boot(root), "");
    EXPECT_EQ(collect_chassis(root), "");

    t.write("proc/sys/kernel/hostname", "\n");
    t.write("etc/hostname", "fallback\n");
    t.write("etc/os-release", "NAME=\"Nothing pretty\"\n");
    t.write("proc/sys/kernel/osrelease", "6.1.0-18-amd64\n");
    t.write("sys/class/dmi/id/board_vendor", "ASUSTeK COMPUTER INC.\n");
    t.write("sys/class/dmi/id/board_name", "To be filled by O.E.M.\n");
    t.write("sys/class/dmi/id/product_sku", "Default string\n");
    t.write("sys/class/dmi/id/bios_version", "\xff\xfe\n");  // not UTF-8: replaced
    t.write("sys/class/dmi/id/bios_date", "03/14/2023\n");
    t.write("sys/class/dmi/id/chassis_type", "259\n");  // modulo 256: 3
    t.write("sys/class/tpm/tpm0/tpm_version_major", "3\n");
    t.write("sys/firmware/efi/efivars/SecureBoot-8be4df61-93ca-11d2-aa0d-00e098032b8c",
            std::string("\x06\0\0\0", 4));
    EXPECT_EQ(collect_hostname(root), "fallback");
    EXPECT_EQ(collect_os_name(root), "Linux");
    EXPECT_EQ(collect_kernel(root), "(kernel 6.1.0-18-amd64)");
    const DmiIdentity id = collect_dmi_identity(root);
    EXPECT_EQ(id.board_vendor, "ASUSTeK COMPUTER INC.");
    EXPECT_EQ(id.board_name, "");
    EXPECT_EQ(id.product_sku, "");
    EXPECT_EQ(id.bios_version, "\uFFFD\uFFFD");
    EXPECT_EQ(id.bios_date, "03/14/2023");
    EXPECT_EQ(collect_chassis(root), "Desktop");
    EXPECT_EQ(collect_tpm(root), "");  // an unknown version is not "present"
    EXPECT_EQ(collect_secure_boot(root), "");

    t.write("proc/sys/kernel/hostname", "box\n");
    t.write("sys/class/tpm/tpm0/tpm_version_major", "v2\n");
    t.write("sys/class/dmi/id/chassis_type", "2\n");
    EXPECT_EQ(collect_hostname(root), "box");
    EXPECT_EQ(collect_tpm(root), "present");
    EXPECT_EQ(collect_chassis(root), "");
    t.write("sys/class/tpm/tpm0/tpm_version_major", "2\n");
    EXPECT_EQ(collect_tpm(root), "2.0");
    t.write("sys/class/tpm/tpm0/tpm_version_major", "1");
    EXPECT_EQ(collect_tpm(root), "1.2");
}

TEST(Identity, InstallDateFromMachineIdTime) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    test::TempDir t;
    t.write("etc/machine-id", "0123456789abcdef0123456789abcdef\n");
    const std::string path = t.path() + "/etc/machine-id";
    const timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(collect_os_installed(SysRoot(t.path())), "2023-11-14");
}

TEST(Snapshot, NothingReadable) {
    test::TempDir t;
    const SystemSnapshot s = collect_snapshot(SysRoot(t.path()));
    EXPECT_EQ(s.hostname, "Unknown");
    EXPECT_EQ(s.os_name, "Linux");
    EXPECT_EQ(s.cpu.model, "Unknown processor");
    EXPECT_EQ(s.cpu.threads, 0u);
    EXPECT_EQ(s.memory_total, 0u);
    EXPECT_EQ(s.memory_installed, 0u);
    EXPECT_TRUE(s.batteries.empty());
    EXPECT_TRUE(s.cpu.caches.empty());
}

TEST(Snapshot, InstalledFallsBackToTheOsTotal) {
    test::TempDir t;
    t.write("proc/meminfo", "MemTotal:        8000000 kB\n");
    const SystemSnapshot s = collect_snapshot(SysRoot(t.path()));
    EXPECT_EQ(s.memory_total, 8192000000u);
    EXPECT_EQ(s.memory_installed, 8192000000u);
}

TEST(Snapshot, InstalledFromOnlineMemoryBlocks) {
    test::TempDir t;
    t.write("proc/meminfo", "MemTotal:        8000000 kB\n");
    t.write("sys/devices/system/memory/block_size_bytes", "8000000\n");  // hex: 128 MiB
    for (const char* block : {"memory0", "memory1", "memory32"})
        t.write(std::string("sys/devices/system/memory/") + block + "/online", "1\n");
    t.write("sys/devices/system/memory/memory33/online", "0\n");
    t.write("sys/devices/system/memory/memoryX/online", "1\n");
    const SystemSnapshot s = collect_snapshot(SysRoot(t.path()));
    EXPECT_EQ(s.memory_installed, 3u << 27);
    EXPECT_EQ(s.memory_total, 8192000000u);
    // A block size that does not parse, or no block online: MemTotal again.
    t.write("sys/devices/system/memory/block_size_bytes", "zz\n");
    EXPECT_EQ(collect_online_memory(SysRoot(t.path())), std::nullopt);
}

// /proc/zoneinfo answers for the block states when its present pages fill the blocks to
// within one block; a gap of a whole block, or more pages than blocks, reads every state.
TEST(Snapshot, ZoneinfoSparesTheBlockStates) {
    test::TempDir t;
    t.write("sys/devices/system/memory/block_size_bytes", "8000000\n");
    for (const char* block : {"memory0", "memory1", "memory2"})
        t.write(std::string("sys/devices/system/memory/") + block + "/online", "1\n");
    t.write("sys/devices/system/memory/memory3/online", "0\n");
    const std::uint64_t block_pages =
        (std::uint64_t{1} << 27) / static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const struct {
        std::uint64_t present;
        std::uint64_t installed;
    } cases[] = {
        {4 * block_pages - 1, 4ull << 27},  // a hole under one block: all four online
        {4 * block_pages, 4ull << 27},
        {3 * block_pages, 3ull << 27},      // a whole block short: the states count
        {4 * block_pages + 1, 3ull << 27},  // more than the blocks hold: the states count
    };
    for (const auto& c : cases) {
        t.write("proc/zoneinfo",
                "Node 0, zone      DMA\n  pages free     3\n        present  1\n"
                "Node 0, zone   Normal\n        present  " +
                    std::to_string(c.present - 1) + "\n        managed  9\n");
        EXPECT_EQ(collect_online_memory(SysRoot(t.path())), c.installed) << c.present;
    }
}

TEST(Snapshot, OnlineMemoryAgreesWithLsmem) {
    const std::string vm = std::string(NADREL_FIXTURES_DIR) + "/vm";
    const std::string out =
        test::capture_output("lsmem -b --summary=only --sysroot '" + vm + "' 2>/dev/null");
    const std::size_t at = out.find("Total online memory:");
    if (at == std::string::npos)
        GTEST_SKIP() << "lsmem (util-linux) is not installed or cannot read " << vm;
    const std::uint64_t lsmem = std::stoull(out.substr(at + 20));
    EXPECT_EQ(collect_online_memory(SysRoot(vm)), lsmem);
    EXPECT_EQ(lsmem, 4ull << 30);
}

TEST(DeviceTree, BoardModelAndFirstCompatible) {
    test::TempDir t;
    t.write("sys/firmware/devicetree/base/model",
            std::string("Raspberry Pi 4 Model B Rev 1.4\0", 31));
    t.write("sys/firmware/devicetree/base/compatible",
            std::string("raspberrypi,4-model-b\0brcm,bcm2711\0", 35));
    SystemSnapshot s;
    collect_devicetree_board(SysRoot(t.path()), s);
    EXPECT_EQ(s.devicetree_model, "Raspberry Pi 4 Model B Rev 1.4");
    EXPECT_EQ(s.devicetree_compatible, "raspberrypi,4-model-b");
    const std::uint8_t unterminated[] = {' ', 'A', '\t', ' ', 'B', 0xFF};
    EXPECT_EQ(devicetree_string(unterminated), "A B\xEF\xBF\xBD");
    EXPECT_EQ(devicetree_string({}), "");
}

TEST(VirtualMachine, DmiThenHypervisorTypeThenFlag) {
    test::TempDir t;
    DmiIdentity qemu;
    qemu.sys_vendor = "QEMU";
    EXPECT_EQ(collect_virtual_machine(SysRoot(t.path()), qemu, true), "QEMU");
    EXPECT_EQ(collect_virtual_machine(SysRoot(t.path()), {}, true), "Yes");
    EXPECT_EQ(collect_virtual_machine(SysRoot(t.path()), {}, false), "");
    t.write("sys/hypervisor/type", "xen\n");
    EXPECT_EQ(collect_virtual_machine(SysRoot(t.path()), {}, false), "Xen");
}

// A captured tree never asks the processor; a PCI vendor counts only in a guest.
TEST(VirtualMachine, HypervisorVendorNamesAnUnnamedGuest) {
    test::TempDir t;
    t.write("sys/bus/pci/devices/0000:00:0f.0/vendor", "0x15ad\n");
    SystemSnapshot metal;
    collect_hypervisor(SysRoot(t.path()), metal);
    EXPECT_EQ(metal.hypervisor, "");
    EXPECT_EQ(metal.virtual_machine, "");
    SystemSnapshot guest;
    guest.cpu.hypervisor = true;
    guest.virtual_machine = "Yes";
    collect_hypervisor(SysRoot(t.path()), guest);
    EXPECT_EQ(guest.hypervisor, "VMware");
    EXPECT_EQ(guest.virtual_machine, "VMware");
    t.write("sys/devices/system/clocksource/clocksource0/current_clocksource", "kvm-clock\n");
    SystemSnapshot qemu;
    qemu.dmi.sys_vendor = "QEMU";
    qemu.virtual_machine = "QEMU";
    collect_hypervisor(SysRoot(t.path()), qemu);
    EXPECT_EQ(qemu.hypervisor, "KVM");
    EXPECT_EQ(qemu.virtual_machine, "QEMU");  // the platform's own name stays
}

}  // namespace
}  // namespace nadrel
