// Reading the DMI table beneath a root.
#include "linux/collect/dmi_table.h"

#include <gtest/gtest.h>

#include "core/smbios/builder.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

using test::StructureBuilder;
using Bytes = std::vector<std::uint8_t>;

const Bytes end_of_table = test::end_of_table_bytes();

TEST(SmbiosLoad, ReadsBeneathTheRoot) {
    test::TempDir dir;
    EXPECT_TRUE(load_dmi_structures(SysRoot(dir.path())).empty());
    const Bytes data = test::table({StructureBuilder(0, 0x18).bytes(), end_of_table});
    dir.write("sys/firmware/dmi/tables/DMI", std::string(data.begin(), data.end()));
    const auto list = load_dmi_structures(SysRoot(dir.path()));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].type, 0);
}

}  // namespace
}  // namespace nadrel
