// Mapped text inputs: what maps, what does not.
#include "linux/root/mapped_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/golden.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

TEST(MappedText, RegularFilesMapOthersGiveNothing) {
    const test::TempDir dir;
    dir.write("usr/share/misc/pci.ids", "8086  Intel\n");
    dir.write("empty", "");
    dir.mkdir("folder");
    const SysRoot root(dir.path());
    auto text = map_text(root, "/usr/share/misc/pci.ids", 64);
    ASSERT_TRUE(text);
    MappedText moved = std::move(*text);  // the mapping moves with its owner
    EXPECT_EQ(moved.view(), "8086  Intel\n");
    EXPECT_EQ(map_text(root, "/empty", 64)->view(), "");
    EXPECT_FALSE(map_text(root, "/folder", 64));
    EXPECT_FALSE(map_text(root, "/missing", 64));
    EXPECT_FALSE(map_text(root, "/usr/share/misc/pci.ids", 11));  // one byte over the limit
    EXPECT_TRUE(map_text(root, "/usr/share/misc/pci.ids", 12));
}

// Only a file nobody but root can cut short is mapped in place; the others are copies.
TEST(MappedText, SharesThePageCacheOnlyForRootOnlyFiles) {
    const test::TempDir dir;
    dir.write("root-only", "8086  Intel\n");
    dir.write("shared", "8086  Intel\n");
    ASSERT_EQ(::chmod((dir.path() + "/root-only").c_str(), 0644), 0);
    ASSERT_EQ(::chmod((dir.path() + "/shared").c_str(), 0664), 0);
    const SysRoot root(dir.path());
    const auto root_only = map_text(root, "/root-only", 64);
    const auto shared = map_text(root, "/shared", 64);
    ASSERT_TRUE(root_only && shared);
    EXPECT_EQ(shared->view(), root_only->view());
    const std::string maps = test::read_file("/proc/self/maps");
    EXPECT_EQ(maps.find(dir.path() + "/root-only") != std::string::npos, ::geteuid() == 0);
    EXPECT_EQ(maps.find(dir.path() + "/shared"), std::string::npos);
}

}  // namespace
}  // namespace nadrel
