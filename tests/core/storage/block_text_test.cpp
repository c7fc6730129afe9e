// /proc/swaps, uevent and udev database records, eMMC area names.
#include "core/storage/block_text.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

TEST(Swaps, KindsSizesEscapesAndBadLines) {
    const auto areas = parse_swaps(
        "Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n"
        "/dev/dm-3                               partition\t3985404\t\t262144\t\t-2\n"
        "/home/pat/my\\040swap                    file\t\t2097148\t\t0\t\t-3\n"
        "/dev/zram0                              partition\t8388604\t\t1024\t\t100\n"
        "/dev/sdz9 partition x 0 -1\n"
        "/dev/sdz8 tape 10 0 -1\n",
        10);
    ASSERT_EQ(areas.size(), 3u);
    EXPECT_EQ(areas[0].device, "/dev/dm-3");
    EXPECT_EQ(areas[0].kind, "partition");
    EXPECT_EQ(areas[0].size, 3985404ull * 1024);
    EXPECT_EQ(areas[0].used, 262144ull * 1024);
    EXPECT_EQ(areas[1].device, "/home/pat/my swap");
    EXPECT_EQ(areas[1].kind, "file");
    EXPECT_EQ(areas[2].kind, "zram");
    EXPECT_EQ(parse_swaps("x\n/dev/a partition 1 0 0\n/dev/b partition 1 0 0\n", 1).size(), 1u);
}

TEST(UdevRecord, ValuesAndEncodedNames) {
    const auto b = parse_udev_block(
        "S:disk/by-label/MY\\x20STICK\n"
        "E:ID_FS_LABEL=MY_STICK\n"
        "E:ID_FS_LABEL_ENC=MY\\x20STICK\\x2\n"
        "E:ID_FS_TYPE=vfat\n"
        "E:ID_FS_TYPE_OTHER=no\n"
        "E:ID_FS_UUID=3A4B-5C6D\n"
        "E:ID_PART_ENTRY_NAME=EFI\\x20system\\x20partition\n"
        "E:ID_PART_ENTRY_TYPE=0xc\n");
    EXPECT_EQ(b.filesystem, "vfat");
    EXPECT_EQ(b.label, "MY STICK\\x2");
    EXPECT_EQ(b.uuid, "3A4B-5C6D");
    EXPECT_EQ(b.part_name, "EFI system partition");
    EXPECT_EQ(b.part_type, "0xc");
    EXPECT_EQ(parse_udev_block("E:ID_FS_LABEL=plain\n").label, "plain");
    EXPECT_EQ(assignment_value("MAJOR=8\nMINOR=1\nPARTNAME=a=b\n", "PARTNAME"), "a=b");
    EXPECT_EQ(assignment_value("MAJOR=8\n", "MINOR"), std::nullopt);
}

TEST(EmmcAreas, OnlyBootAndRpmbBelongToTheirEmmc) {
    const std::pair<const char*, const char*> names[] = {
        {"mmcblk0boot0", "mmcblk0"}, {"mmcblk12boot1", "mmcblk12"},
        {"mmcblk1rpmb", "mmcblk1"},  {"mmcblk0", ""},
        {"mmcblk0p1", ""},           {"mmcblk0boot", ""},
        {"mmcblkboot0", ""},         {"sdaboot0", ""},
        {"mmcblk0rpmbx", ""},
    };
    for (const auto& [name, parent] : names)
        EXPECT_EQ(emmc_area_parent(name), parent) << name;
}

}  // namespace
}  // namespace nadrel
