// Mapped text inputs: what maps, what does not.
#include "linux/mapped_text.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace nadrel
