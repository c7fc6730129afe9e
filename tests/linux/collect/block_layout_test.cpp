// Partitions and mounts from trees the fixtures do not cover (those: tests/json/check_storage.py),
// and the running machine's own measure.
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

const Volume* volume_at(const SystemSnapshot& s, std::string_view point) {
    for (const Volume& v : s.volumes) {
        if (v.mount_point == point)
            return &v;
    }
    return nullptr;
}

// Partitions in number order, not name order (sda2 before sda10), entries that only look like
// partitions left out, a mount of a device number no disk has. (Cycles, missing members and
// the bounds on counts: tools/hostile-tree.)
TEST(StorageLayout, PartitionOrderAndUnknownDevices) {
    TempDir dir;
    const std::string scsi = "sys/devices/platform/host0/target0:0:0/0:0:0:0";
    const std::string sda = scsi + "/block/sda";
    dir.write(sda + "/size", "1000000\n");
    dir.write(scsi + "/model", "Disk\n");
    kernel_link(dir, sda + "/device", scsi);
    kernel_link(dir, "sys/block/sda", sda);
    for (const char* n : {"1", "10", "2"})
        dir.write(sda + "/sda" + n + "/uevent", "MAJOR=8\nMINOR=" + std::string(n) + "\n");
    dir.write(sda + "/sdaX/uevent", "DEVTYPE=partition\n");
    dir.write(sda + "/sda3/uevent", "DEVTYPE=disk\n");
    dir.write("proc/self/mountinfo", "1 0 8:400 / / rw - ext4 /dev/sdq1 rw\n");

    const SystemSnapshot s = layout_of(dir.path());
    ASSERT_EQ(s.disks.size(), 1u);
    std::vector<std::string> names;
    for (const PartitionInfo& p : s.disks[0].partitions)
        names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"sda1", "sda2", "sda10"}));
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
