// The readers' parse rules and their refusal of odd files, beneath a temporary root.
#include "linux/sysroot.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST_F(RootTest, ReadTextTrimsTrailingSpaceOnlyAndRejectsInvalidUtf8) {
    dir.write("proc/a", "  value \t\n\n");
    dir.write("proc/b", "caf\xC3\xA9\n");
    dir.write("proc/c", "bad \xFF byte\n");
    dir.write("proc/d", "");
    dir.write("proc/e", "x\u00A0\u3000");  // Unicode white space at the end
    EXPECT_EQ(read_text(root(), "/proc/a"), "  value");
    EXPECT_EQ(read_text(root(), "/proc/b"), "caf\xC3\xA9");
    EXPECT_FALSE(read_text(root(), "/proc/c").has_value());
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
