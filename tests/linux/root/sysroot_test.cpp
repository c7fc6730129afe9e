// The readers' parse rules and their refusal of odd files, beneath a temporary root.
#include "linux/root/sysroot.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "support/temp_dir.h"

namespace nadrel {
namespace {

TEST(ParseU64, AcceptsDigitsWithOptionalPlus) {
    EXPECT_EQ(parse_u64("42"), 42u);
    EXPECT_EQ(parse_u64("  +7\n"), 7u);
    EXPECT_EQ(parse_u64("18446744073709551615"), 18446744073709551615ull);
    EXPECT_EQ(parse_u64("0"), 0u);
}

TEST(ParseU64, RejectsSignsSpacesOverflowAndJunk) {
    for (const char* bad :
         {"", "+", "-", "-1", "++1", "1 2", "18446744073709551616", "0x10", "12Q", "1.5", " "}) {
        EXPECT_FALSE(parse_u64(bad).has_value()) << bad;
    }
}

TEST(ParseHex32, PrefixCaseAndLimit) {
    EXPECT_EQ(parse_hex32("0x10de"), 0x10DEu);
    EXPECT_EQ(parse_hex32("10DE"), 0x10DEu);
    EXPECT_EQ(parse_hex32("0x+1f"), 0x1Fu);
    EXPECT_EQ(parse_hex64("0x8000000\n"), 0x8000000u);
    EXPECT_EQ(parse_hex64("ffffffffffffffff"), 0xFFFFFFFFFFFFFFFFu);
    EXPECT_EQ(parse_hex64("10000000000000000"), std::nullopt);
    EXPECT_EQ(parse_hex32("100000000"), std::nullopt);
    EXPECT_EQ(parse_hex32(" ffffffff \n"), 0xFFFFFFFFu);
    for (const char* bad : {"", "0x", "100000000", "0xg", "-1", "+0x1", "0X10", "1 0"}) {
        EXPECT_FALSE(parse_hex32(bad).has_value()) << bad;
    }
}

TEST(ParseI64, SignedRange) {
    EXPECT_EQ(parse_i64("-1"), -1);
    EXPECT_EQ(parse_i64("+1000"), 1000);
    EXPECT_EQ(parse_i64("-9223372036854775808"), INT64_MIN);
    EXPECT_FALSE(parse_i64("9223372036854775808").has_value());
    EXPECT_FALSE(parse_i64("1e9").has_value());
}

class RootTest : public ::testing::Test {
protected:
    test::TempDir dir;
    SysRoot root() const { return SysRoot(dir.path()); }
};

TEST_F(RootTest, ReadTextTrimsTrailingSpaceOnlyAndReplacesInvalidUtf8) {
    dir.write("proc/a", "  value \t\n\n");
    dir.write("proc/b", "caf\xC3\xA9\n");
    dir.write("proc/c", "bad \xFF byte \xE2\x82\nnext\n");
    dir.write("proc/d", "");
    dir.write("proc/e", "x\u00A0\u3000");  // Unicode white space at the end
    EXPECT_EQ(read_text(root(), "/proc/a"), "  value");
    EXPECT_EQ(read_text(root(), "/proc/b"), "caf\xC3\xA9");
    // Each invalid sequence becomes one U+FFFD; the line feed after a cut one is kept.
    EXPECT_EQ(read_text(root(), "/proc/c"), "bad \uFFFD byte \uFFFD\nnext");
    EXPECT_EQ(read_text(root(), "/proc/d"), "");
    EXPECT_EQ(read_text(root(), "/proc/e"), "x");
    EXPECT_FALSE(read_text(root(), "/proc/missing").has_value());
    EXPECT_EQ(read_u64(root(), "proc/a"), std::nullopt);
}

TEST_F(RootTest, NonRegularFilesReadAsAbsentWithoutBlocking) {
    dir.mkdir("sys/dir");
    ASSERT_EQ(::mkfifo((dir.path() + "/sys/fifo").c_str(), 0600), 0);
    EXPECT_FALSE(read_bytes(root(), "/sys/fifo").has_value());
    EXPECT_FALSE(read_text(root(), "/sys/dir").has_value());
    EXPECT_TRUE(exists(root(), "/sys/dir"));
    EXPECT_TRUE(exists(root(), "/sys/fifo"));
}

TEST_F(RootTest, OversizedFilesReadAsAbsent) {
    dir.write("big", std::string(5000, 'x'));
    EXPECT_FALSE(read_bytes(root(), "/big", 4096).has_value());
    EXPECT_EQ(read_bytes(root(), "/big", 5000)->size(), 5000u);
}

// A sysfs binary attribute (the DMI table) claims its length and answers at most a page per
// read: a 4.5 KB table must come whole, whatever the size of each answer.
TEST(ReadToEnd, TakesShortReadsUntilTheEnd) {
    const std::string table(4600, 'd');
    for (const std::size_t chunk : {std::size_t{4096}, std::size_t{1}}) {
        std::size_t offset = 0;
        const auto read_some = [&](void* buffer, std::size_t n) {
            const std::size_t k = std::min({n, chunk, table.size() - offset});
            std::memcpy(buffer, table.data() + offset, k);
            offset += k;
            return static_cast<ssize_t>(k);
        };
        // Claiming its size, nothing (procfs) or a page (a sysfs text attribute).
        for (const std::size_t claim : {table.size(), std::size_t{0}, std::size_t{4096}}) {
            offset = 0;
            EXPECT_EQ(read_to_end<std::string>(read_some, claim, 1 << 20), table);
        }
        offset = 0;
        EXPECT_FALSE(read_to_end<std::string>(read_some, 0, table.size() - 1));
    }
}

TEST(ReadToEnd, KernelBinaryAttributeComesWhole) {
    struct stat st {};
    if (::stat("/sys/kernel/btf/vmlinux", &st) != 0)
        GTEST_SKIP() << "no /sys/kernel/btf/vmlinux on this kernel";
    const auto bytes = read_bytes(SysRoot(), "/sys/kernel/btf/vmlinux", large_file_limit);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), static_cast<std::size_t>(st.st_size));
}

TEST_F(RootTest, LinksResolveInsideTheRoot) {
    dir.write("sys/devices/pci0/0000:01:00.0/vendor", "0x10de\n");
    dir.symlink("sys/class/drm/card0/device", "../../../devices/pci0/0000:01:00.0");
    // An absolute link target is taken beneath the root, never on the host.
    dir.symlink("sys/class/drm/card1/device", "/sys/devices/pci0/0000:01:00.0");
    dir.symlink("sys/loop", "loop");
    dir.symlink("sys/dangling", "nowhere");
    dir.mkdir("etc");
    dir.symlink("sys/escape", "../../../../../../../../etc");
    EXPECT_EQ(read_hex(root(), "/sys/class/drm/card0/device/vendor"), 0x10DEu);
    EXPECT_EQ(read_hex(root(), "/sys/class/drm/card1/device/vendor"), 0x10DEu);
    EXPECT_EQ(canonical_path(root(), "/sys/class/drm/card0/device"),
              "/sys/devices/pci0/0000:01:00.0");
    EXPECT_EQ(canonical_path(root(), "/sys/class/drm/card1/device"),
              "/sys/devices/pci0/0000:01:00.0");
    EXPECT_FALSE(canonical_path(root(), "/sys/loop").has_value());
    EXPECT_FALSE(canonical_path(root(), "/sys/dangling").has_value());
    EXPECT_FALSE(exists(root(), "/sys/dangling"));
    // The entry itself is there, dangling or looping, through a followed link before it.
    EXPECT_TRUE(has_entry(root(), "/sys/dangling"));
    EXPECT_TRUE(has_entry(root(), "/sys/loop"));
    EXPECT_TRUE(has_entry(root(), "/sys/class/drm/card1/device"));
    EXPECT_FALSE(has_entry(root(), "/sys/nothing"));
    EXPECT_EQ(canonical_path(root(), "/sys/escape"), "/etc");  // clamped at the root
    EXPECT_FALSE(exists(root(), "/sys/escape/passwd"));
}

TEST_F(RootTest, UserSpaceResolverStaysInsideTheRoot) {
    const SysRoot walk(dir.path(), Resolver::UserSpace);
    dir.write("etc/hostname", "inside\n");
    dir.write("sys/devices/pci0/0000:01:00.0/vendor", "0x10de\n");
    dir.symlink("sys/class/drm/card1/device", "/sys/devices/pci0/0000:01:00.0");
    dir.symlink("etc/abs", "/etc/hostname");                     // the root's, not the host's
    dir.symlink("etc/up", "../../../../../../../etc/hostname");  // ".." stops at the root
    dir.symlink("etc/loop", "loop");
    dir.symlink("sys/dangling", "nowhere");
    EXPECT_EQ(read_text(walk, "/etc/abs"), "inside");
    EXPECT_EQ(read_text(walk, "/etc/up"), "inside");
    EXPECT_EQ(read_hex(walk, "/sys/class/drm/card1/device/vendor"), 0x10DEu);
    EXPECT_EQ(read_hex(walk, "/sys/class/drm/card1/device/../0000:01:00.0/vendor"), 0x10DEu);
    EXPECT_FALSE(read_text(walk, "/etc/loop").has_value());
    EXPECT_TRUE(has_entry(walk, "/etc/loop"));
    EXPECT_TRUE(has_entry(walk, "/sys/dangling"));
    EXPECT_FALSE(exists(walk, "/sys/dangling"));
    EXPECT_EQ(list_dir_sorted(walk, "/sys/class/drm/card1/device"),
              std::vector<std::string>{"vendor"});
    EXPECT_TRUE(exists(walk, "/"));
}

TEST_F(RootTest, LinkWorkIsBoundedPerPathAndPerRoot) {
    dir.write("sys/devices/disk/size", "8\n");
    dir.mkdir("c/d");
    // Each link adds 201 components ("d/.." a hundred times, then the next link).
    std::string hop;
    for (int i = 0; i < 100; ++i)
        hop += "d/../";
    dir.symlink("c/l0", hop + "l1");
    dir.symlink("c/l1", "/sys/devices/disk");
    dir.symlink("c/long", hop + "l0");
    dir.symlink("sys/block/ok", "../../c/l0");
    dir.symlink("sys/block/bad", "../../c/long");
    const SysRoot walk(dir.path(), Resolver::UserSpace);
    EXPECT_EQ(canonical_path(walk, "/sys/block/ok"), "/sys/devices/disk");
    EXPECT_EQ(read_u64(walk, "/sys/block/ok/size"), 8u);
    EXPECT_FALSE(canonical_path(walk, "/sys/block/bad").has_value());  // over one path's share
    // Thousands of paths through the chain exhaust the root's share, and then it refuses (a
    // fresh root: this one has read the folder and answers from memory).
    const SysRoot fresh(dir.path(), Resolver::UserSpace);
    int resolved = 0;
    for (int i = 0; i < 2000; ++i)
        resolved += canonical_path(fresh, "/sys/block/ok").has_value() ? 1 : 0;
    EXPECT_GT(resolved, 100);
    EXPECT_LT(resolved, 2000);
    EXPECT_EQ(canonical_path(SysRoot(dir.path()), "/sys/block/ok"), "/sys/devices/disk");
}

TEST_F(RootTest, OversizedSparseFileIsRefusedBeforeReading) {
    dir.write("usr/share/hwdata/pci.ids", "");
    ASSERT_EQ(::truncate((dir.path() + "/usr/share/hwdata/pci.ids").c_str(), off_t{4} << 30), 0);
    // The bytes this process has read so far, as the kernel counts them.
    const auto bytes_read = [] {
        const auto io = read_text(SysRoot(), "/proc/self/io");
        const std::size_t at = io ? io->find("rchar: ") : std::string::npos;
        return at == std::string::npos ? 0 : std::stoull(io->substr(at + 7));
    };
    const auto before = bytes_read();
    EXPECT_FALSE(read_raw_text(root(), "/usr/share/hwdata/pci.ids", large_file_limit));
    EXPECT_FALSE(read_bytes(root(), "/usr/share/hwdata/pci.ids"));
    EXPECT_LT(bytes_read() - before, 65536u);
}

TEST_F(RootTest, ListingsSkipDotsAndSortByBytes) {
    dir.write("d/card10", "");
    dir.write("d/card2", "");
    dir.write("d/card1", "");
    dir.write("d/Z", "");
    EXPECT_EQ(list_dir_sorted(root(), "/d"),
              (std::vector<std::string>{"Z", "card1", "card10", "card2"}));
    EXPECT_EQ(list_dir(root(), "/d").size(), 4u);
    EXPECT_TRUE(list_dir(root(), "/missing").empty());
}

TEST(SysRootMissing, EverySourceIsAbsent) {
    const SysRoot root("/nonexistent/nadrel-root");
    EXPECT_FALSE(read_text(root, "/proc/cpuinfo").has_value());
    EXPECT_FALSE(exists(root, "/"));
    EXPECT_TRUE(list_dir(root, "/sys").empty());
}

}  // namespace
}  // namespace nadrel
