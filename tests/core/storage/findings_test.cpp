// Degraded arrays and nearly full file systems as attention items.
#include "core/storage/findings.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

TEST(StorageFindings, DegradedArrays) {
    SystemSnapshot s;
    s.arrays.resize(3);
    s.arrays[0] = {"md0", "raid1", 2, 1, "clean", {"sda2"}, 0, {}};
    s.arrays[1] = {"md1", "raid5", 3, 0, "clean", {}, 0, {}};
    s.arrays[2] = {"md2", "raid0", 2, std::nullopt, "clean", {}, 0, {}};
    const auto items = degraded_arrays(s);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].kind, "raid_degraded");
    EXPECT_EQ(items[0].subject, "md0");
    EXPECT_EQ(items[0].text, "RAID1 array md0 degraded: 1 of 2 disks working");
    // ATTENTION lists it, last in its order.
    ASSERT_FALSE(find_attention(s).empty());
    EXPECT_EQ(find_attention(s).back().subject, "md0");
}

// Below 5% of what users can have (used + available, root's reserve left out): 4.99% is, 5%
// is not. Read-only mounts, full-by-design images and unmeasured ones are never.
TEST(StorageFindings, NearlyFullFileSystems) {
    SystemSnapshot s;
    const auto volume = [](std::string point, std::string fs, bool ro,
                           std::optional<VolumeUsage> usage) {
        return Volume{"/dev/x", std::move(point), std::move(fs), "x", ro, usage};
    };
    s.volumes = {volume("/a", "ext4", false, VolumeUsage{1100, 9501, 499}),
                 volume("/b", "ext4", false, VolumeUsage{1000, 950, 50}),
                 volume("/c", "ext4", true, VolumeUsage{1000, 1000, 0}),
                 volume("/snap/x", "squashfs", false, VolumeUsage{1000, 1000, 0}),
                 volume("/mnt/nfs", "nfs4", false, std::nullopt),
                 volume("/d", "xfs", false, VolumeUsage{0, 0, 0}),
                 volume("/e", "xfs", false, VolumeUsage{107374182400, 106300440576, 1073741824})};
    const auto items = nearly_full_filesystems(s);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].kind, "filesystem_full");
    EXPECT_EQ(items[0].subject, "/a");
    EXPECT_EQ(items[1].subject, "/e");
    EXPECT_EQ(items[1].text, "/e nearly full: 1GB free of 100GB (1.0%)");
}

}  // namespace
}  // namespace nadrel
