// Partitions, stacked devices, mounts and swap from fixture machines and from trees that lie.
#include "linux/collect/block_layout.h"

#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include "linux/collect/storage.h"
#include "support/sysfs_tree.h"

namespace nadrel {
namespace {

using test::kernel_link;
using test::TempDir;

SystemSnapshot layout_of(const std::string& root_dir) {
    const SysRoot root(root_dir);
    SystemSnapshot s;
    s.disks = collect_disks(root);
    collect_storage_layout(root, s);
    return s;
}

SystemSnapshot fixture(const std::string& machine) {
    return layout_of(std::string(NADREL_FIXTURES_DIR) + "/" + machine);
}

const Volume* volume_at(const SystemSnapshot& s, std::string_view point) {
    for (const Volume& v : s.volumes) {
        if (v.mount_point == point)
            return &v;
    }
    return nullptr;
}

TEST(StorageLayout, LaptopLuksAndLvm) {
    const SystemSnapshot s = fixture("laptop");
    ASSERT_EQ(s.disks.size(), 1u);
    const DiskInfo& sda = s.disks[0];
    EXPECT_EQ(sda.partition_table, "gpt");
    ASSERT_EQ(sda.partitions.size(), 3u);
    const PartitionInfo& efi = sda.partitions[0];
    EXPECT_EQ(efi.start, 2048u * 512);
    EXPECT_EQ(efi.size, 1048576u * 512);
    EXPECT_EQ(efi.part_name, "EFI System Partition");
    EXPECT_EQ(efi.content.filesystem, "vfat");
    EXPECT_EQ(efi.content.mount_points, std::vector<std::string>{"/boot/efi"});
    EXPECT_EQ(sda.partitions[2].content.filesystem, "crypto_LUKS");
    EXPECT_EQ(sda.partitions[2].content.holders, std::vector<std::string>{"dm-0"});

    ASSERT_EQ(s.device_mapper.size(), 4u);
    EXPECT_EQ(s.device_mapper[0].name, "sda3_crypt");
    EXPECT_EQ(s.device_mapper[0].slaves, std::vector<std::string>{"sda3"});
    EXPECT_EQ(s.device_mapper[0].content.holders,
              (std::vector<std::string>{"dm-1", "dm-2", "dm-3"}));
    EXPECT_EQ(s.device_mapper[3].content.filesystem, "swap");
    // Pseudo file systems and desktop FUSE plumbing are left out; nothing is measured.
    std::vector<std::string> points;
    for (const Volume& v : s.volumes) {
        points.push_back(v.mount_point);
        EXPECT_FALSE(v.usage) << v.mount_point;
    }
    EXPECT_EQ(points,
              (std::vector<std::string>{"/", "/snap/core22/1033", "/boot", "/boot/efi", "/home"}));
    EXPECT_EQ(volume_at(s, "/")->device, "dm-1");
    EXPECT_TRUE(volume_at(s, "/snap/core22/1033")->read_only);
    ASSERT_EQ(s.swap.size(), 1u);
    EXPECT_EQ(s.swap[0].device, "/dev/dm-3");
    ASSERT_EQ(s.loop_devices.size(), 1u);
    EXPECT_EQ(s.loop_devices[0].backing_file, "/var/lib/snapd/snaps/core22_1033.snap");
}

TEST(StorageLayout, ServerArraysAndBindMount) {
    const SystemSnapshot s = fixture("server");
    ASSERT_EQ(s.arrays.size(), 2u);
    const RaidArray& md0 = s.arrays[0];
    EXPECT_EQ(md0.level, "raid1");
    EXPECT_EQ(md0.devices, 2u);
    EXPECT_EQ(md0.missing, 1u);
    EXPECT_EQ(md0.members, std::vector<std::string>{"sda2"});
    EXPECT_EQ(s.arrays[1].members, (std::vector<std::string>{"sdc", "sdd", "sde"}));
    EXPECT_EQ(s.arrays[1].content.holders, std::vector<std::string>{"dm-0"});
    // The whole-disk members hold the array's signature.
    EXPECT_EQ(s.disks[1].content.filesystem, "linux_raid_member");
    EXPECT_EQ(s.disks[1].content.holders, std::vector<std::string>{"md1"});
    EXPECT_EQ(volume_at(s, "/")->device, "md0");
    EXPECT_EQ(volume_at(s, "/srv")->device, "dm-0");
    EXPECT_EQ(volume_at(s, "/srv/exports/media"), nullptr);  // a bind mount of /srv/media
}

TEST(StorageLayout, ArmBoardEmmcAreasAndCards) {
    const SystemSnapshot s = fixture("arm-board");
    ASSERT_EQ(s.disks.size(), 2u);
    EXPECT_EQ(s.disks[0].model, "SL16G");
    EXPECT_EQ(s.disks[0].bus, "SD");
    const DiskInfo& emmc = s.disks[1];
    EXPECT_EQ(emmc.bus, "MMC");
    std::vector<std::string> parts;
    for (const PartitionInfo& p : emmc.partitions)
        parts.push_back(p.name);
    EXPECT_EQ(parts, (std::vector<std::string>{"mmcblk1p1", "mmcblk1p2", "mmcblk1boot0",
                                               "mmcblk1boot1", "mmcblk1rpmb"}));
    EXPECT_EQ(emmc.partitions[2].size, 4096u * 512);
    // No udev database: the file system comes from the mount table; "/dev/root" by number.
    EXPECT_EQ(emmc.partitions[1].content.filesystem, "ext4");
    EXPECT_EQ(volume_at(s, "/")->device, "mmcblk1p2");
    EXPECT_EQ(s.disks[0].partitions[0].content.mount_points,
              std::vector<std::string>{"/media/linaro/SD CARD"});
}

// Holders that point back down, a map built on itself, an array whose member is gone, a mount
// of a device number no disk has: all end. (The bounds on counts: tools/hostile-tree.)
TEST(StorageLayout, LyingTreesEnd) {
    TempDir dir;
    const std::string sda = "sys/devices/platform/host0/target0:0:0/0:0:0:0/block/sda";
    dir.write(sda + "/size", "1000000\n");
    dir.write(sda + "/uevent", "MAJOR=8\nMINOR=0\nDEVTYPE=disk\n");
    dir.write("sys/devices/platform/host0/target0:0:0/0:0:0:0/model", "Disk\n");
    kernel_link(dir, sda + "/device", "sys/devices/platform/host0/target0:0:0/0:0:0:0");
    kernel_link(dir, "sys/block/sda", sda);
    for (int i = 1; i <= 12; ++i) {
        const std::string part = sda + "/sda" + std::to_string(i);
        dir.write(part + "/uevent",
                  "MAJOR=8\nMINOR=" + std::to_string(i) + "\nDEVTYPE=partition\n");
        dir.write(part + "/start", "2048\n");
    }
    dir.write(sda + "/sdaX/uevent", "DEVTYPE=partition\n");  // not a partition name
    kernel_link(dir, sda + "/sda1/holders/dm-0", "sys/devices/virtual/block/dm-0");
    const std::string dm = "sys/devices/virtual/block/dm-0";
    dir.write(dm + "/dm/name", "loop-me\n");
    kernel_link(dir, dm + "/slaves/dm-0", dm);
    kernel_link(dir, dm + "/holders/dm-0", dm);
    kernel_link(dir, "sys/block/dm-0", dm);
    const std::string md = "sys/devices/virtual/block/md5";
    dir.write(md + "/md/level", "raid6\n");
    dir.write(md + "/md/raid_disks", "4\n");
    dir.write(md + "/md/degraded", "4\n");
    kernel_link(dir, md + "/slaves/sdz", "sys/devices/nowhere/sdz");
    kernel_link(dir, "sys/block/md5", md);
    dir.write("proc/self/mountinfo", "1 0 8:400 / / rw - ext4 /dev/sdq1 rw\n");

    const SystemSnapshot s = layout_of(dir.path());
    ASSERT_EQ(s.disks.size(), 1u);
    ASSERT_EQ(s.disks[0].partitions.size(), 12u);
    EXPECT_EQ(s.disks[0].partitions[1].name, "sda2");  // in number order, not name order
    EXPECT_EQ(s.device_mapper[0].slaves, std::vector<std::string>{"dm-0"});
    EXPECT_EQ(s.arrays[0].members, std::vector<std::string>{"sdz"});
    ASSERT_EQ(s.volumes.size(), 1u);
    EXPECT_EQ(s.volumes[0].device, "");
}

// On the running machine a local root file system is measured as df measures it.
TEST(StorageLayout, ThisMachineMeasuresLocalRoot) {
    SystemSnapshot s;
    const SysRoot host;
    s.disks = collect_disks(host);
    collect_storage_layout(host, s);
    const Volume* root = volume_at(s, "/");
    if (root == nullptr || root->device.empty())
        GTEST_SKIP() << "/ is not on a block device here";
    ASSERT_TRUE(root->usage);
    struct statvfs st {};
    ASSERT_EQ(::statvfs("/", &st), 0);
    EXPECT_EQ(root->usage->size, static_cast<std::uint64_t>(st.f_blocks) * st.f_frsize);
}

}  // namespace
}  // namespace nadrel
