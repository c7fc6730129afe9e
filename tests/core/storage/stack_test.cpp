// Walking the block stack: layers under a volume, paths above a partition, lying links.
#include "core/storage/stack.h"

#include <gtest/gtest.h>

#include "core/report/storage_text.h"

namespace nadrel {
namespace {

MappedDevice mapped(std::string device, std::string name, std::string uuid,
                    std::vector<std::string> slaves, std::vector<std::string> holders) {
    MappedDevice m;
    m.device = std::move(device);
    m.name = std::move(name);
    m.kind = mapped_kind(uuid);
    m.crypt_format = crypt_format(uuid);
    m.uuid = std::move(uuid);
    m.slaves = std::move(slaves);
    m.content.holders = std::move(holders);
    return m;
}

std::vector<std::string> words(const std::vector<const BlockNode*>& path) {
    std::vector<std::string> out;
    for (const BlockNode* node : path)
        out.push_back(layer_text(*node, true));
    return out;
}

TEST(BlockStack, LuksUnderLvmAndRaid) {
    SystemSnapshot s;
    DiskInfo disk;
    disk.name = "sda";
    disk.partitions.push_back({});
    disk.partitions[0].name = "sda3";
    disk.partitions[0].content.holders = {"dm-0"};
    s.disks = {disk};
    s.device_mapper = {
        mapped("dm-0", "sda3_crypt", "CRYPT-LUKS2-abc-sda3_crypt", {"sda3"}, {"dm-1", "dm-2"}),
        mapped("dm-1", "vg--a-root", "LVM-xyz", {"dm-0"}, {}),
        mapped("dm-2", "vg--a-my--home", "LVM-xyw", {"dm-0"}, {"md9"})};
    RaidArray md;
    md.name = "md9";
    md.level = "raid1";
    md.members = {"dm-2"};
    s.arrays = {md};
    const BlockIndex index = index_blocks(s);

    const auto paths = paths_above(index, "sda3");
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(words(paths[0]), (std::vector<std::string>{"LUKS", "LVM vg-a/root"}));
    EXPECT_EQ(words(paths[1]), (std::vector<std::string>{"LUKS", "LVM vg-a/my-home", "RAID1 md9"}));
    EXPECT_EQ(words(layers_below(index, "md9")),
              (std::vector<std::string>{"RAID1 md9", "LVM vg-a/my-home", "LUKS"}));
    EXPECT_TRUE(layers_below(index, "sda3").empty());
    EXPECT_EQ(lvm_name("plain"), "plain");
    // The words come from the kind kept apart from the UUID, which sanitizing hides.
    s.device_mapper[0].uuid = s.device_mapper[1].uuid = "<hidden>";
    EXPECT_EQ(words(paths_above(index_blocks(s), "sda3")[0]),
              (std::vector<std::string>{"LUKS", "LVM vg-a/root"}));
    EXPECT_TRUE(paths_above(index, "nothing").empty());
}

// Holders that lead back down, a map that lists itself as its own slave and as its own
// holder, and a fan-out that would give thousands of paths: every walk ends, bounded.
TEST(BlockStack, CyclesAndFanOutEnd) {
    SystemSnapshot s;
    std::vector<std::string> all;
    for (std::size_t i = 0; i < 40; ++i)
        all.push_back("dm-" + std::to_string(i));
    for (const std::string& name : all)
        s.device_mapper.push_back(mapped(name, "m" + name, "", all, all));
    s.device_mapper.push_back(mapped("dm-99", "self", "", {"dm-99"}, {"dm-99"}));
    const BlockIndex index = index_blocks(s);

    const auto paths = paths_above(index, "dm-0");
    EXPECT_EQ(paths.size(), max_stack_paths);
    for (const auto& path : paths)
        EXPECT_LE(path.size(), max_stack_depth);
    EXPECT_LE(layers_below(index, "dm-0").size(), max_stack_depth);
    EXPECT_TRUE(paths_above(index, "dm-99").empty());
    EXPECT_EQ(layers_below(index, "dm-99").size(), 1u);
}

}  // namespace
}  // namespace nadrel
