// The mount table: parsing, which mounts are listed and which may be measured.
#include "core/storage/mounts.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

std::vector<std::string> points(const std::vector<MountEntry>& mounts) {
    std::vector<std::string> out;
    for (const auto& m : mounts)
        out.push_back(m.mount_point);
    return out;
}

TEST(Mountinfo, FieldsEscapesAndBadLines) {
    const auto table = parse_mountinfo(
        // Optional fields before the "-", an escaped space and tab, a read-only mount.
        "29 1 253:1 / / rw,relatime shared:1 master:2 - ext4 /dev/mapper/vg-root rw\n"
        "70 29 8:17 / /media/pat/MY\\040STICK\\011x ro,nosuid - vfat /dev/sdb1 rw\n"
        // A backslash without three octal digits stays; \\134 is a backslash.
        "71 29 0:46 / /mnt/a\\b\\134c\\04 rw - nfs4 nas:/x\\040y rw\n"
        "25 29 0:23 / /proc rw - proc proc rw\n"  // pseudo: left out
        "bad line\n"
        "72 29 8:x / /mnt/q rw - ext4 /dev/q rw\n"  // no device number
        "73 29 8:1 / /mnt/r rw shared:3\n"          // no "-" part
        "74 29 8:1 / /mnt/s rw - ext4\n",           // no source
        100);
    ASSERT_EQ(table.mounts.size(), 3u);
    const MountEntry& root = table.mounts[0];
    EXPECT_EQ(root.major, 253u);
    EXPECT_EQ(root.minor, 1u);
    EXPECT_EQ(root.source, "/dev/mapper/vg-root");
    EXPECT_EQ(root.filesystem, "ext4");
    EXPECT_FALSE(root.read_only);
    EXPECT_EQ(table.mounts[1].mount_point, "/media/pat/MY STICK\tx");
    EXPECT_TRUE(table.mounts[1].read_only);
    EXPECT_EQ(table.mounts[2].mount_point, "/mnt/a\\b\\c\\04");
    EXPECT_EQ(table.mounts[2].source, "nas:/x y");
    EXPECT_FALSE(table.truncated);
}

TEST(Mountinfo, LimitTruncates) {
    const std::string line = "1 1 8:1 / /m rw - ext4 /dev/x rw\n";
    EXPECT_EQ(parse_mountinfo(line + line + line, 2).mounts.size(), 2u);
    EXPECT_TRUE(parse_mountinfo(line + line + line, 2).truncated);
    EXPECT_FALSE(parse_mountinfo(line + line, 2).truncated);
}

TEST(Mountinfo, VisibleMountsDropBindsDuplicatesAndHidden) {
    const auto table = parse_mountinfo(
        "1 0 8:2 / / rw - ext4 /dev/sda2 rw\n"
        "2 1 8:3 / /srv rw - xfs /dev/sda3 rw\n"
        "3 2 8:3 /media /srv/exports/media rw - xfs /dev/sda3 rw\n"  // bind of a folder
        "4 1 8:3 / /mnt/again rw - xfs /dev/sda3 rw\n"               // the same root twice
        "5 1 0:40 /@home /home rw - btrfs /dev/sdb1 rw\n"            // subvolumes stay
        "6 1 0:40 /@snap /snapshots rw - btrfs /dev/sdb1 rw\n"
        "7 1 8:17 / /mnt/usb rw - vfat /dev/sdc1 rw\n"
        "8 1 8:18 / /mnt/usb rw - ext4 /dev/sdc2 rw\n",  // hides the one before
        100);
    const auto visible = visible_mounts(table);
    EXPECT_EQ(points(visible),
              (std::vector<std::string>{"/", "/srv", "/home", "/snapshots", "/mnt/usb"}));
    EXPECT_EQ(visible.back().source, "/dev/sdc2");
}

TEST(Mountinfo, OnlyLocalDisksOutsideRemoteMountsAreMeasured) {
    const auto table = parse_mountinfo(
        "1 0 8:2 / / rw - ext4 /dev/sda2 rw\n"
        "2 1 0:46 / /mnt/nfs rw - nfs4 nas:/export rw\n"
        "3 2 8:3 / /mnt/nfs/local rw - ext4 /dev/sda3 rw\n"  // the walk passes the NFS mount
        "4 1 8:4 / /mnt/nfs2 rw - ext4 /dev/sda4 rw\n"       // a neighbour, not below
        "5 1 0:50 / /home/pat/remote rw - fuse.sshfs pat@host:/ rw\n"
        "51 1 8:6 / /mnt/ntfs rw - fuseblk /dev/sda6 rw\n"  // FUSE, if on a disk
        "6 5 8:5 / /home/pat/remote/x rw - ext4 /dev/sda5 rw\n"
        "7 1 0:40 / /data rw - btrfs /dev/sdb1 rw\n"  // major 0, but on a disk
        "8 1 0:41 / /tank rw - zfs tank rw\n"
        "9 1 0:42 / /img rw - erofs none rw\n",  // neither a disk nor a known one
        100);
    const auto visible = visible_mounts(table);
    const auto measured = measurable_mounts(visible, table);
    std::vector<std::string> yes;
    for (std::size_t i = 0; i < visible.size(); ++i) {
        if (measured[i])
            yes.push_back(visible[i].mount_point);
    }
    EXPECT_EQ(yes, (std::vector<std::string>{"/", "/mnt/nfs2", "/data", "/tank"}));

    // A remote mount at the root puts everything below it; a truncated table measures nothing.
    const auto nfs_root = parse_mountinfo(
        "1 0 0:20 / / rw - nfs 10.0.0.1:/root rw\n2 1 8:1 / /boot rw - ext4 /dev/sda1 rw\n", 10);
    EXPECT_EQ(measurable_mounts(visible_mounts(nfs_root), nfs_root),
              (std::vector<bool>{false, false}));
    auto truncated = table;
    truncated.truncated = true;
    const auto none = measurable_mounts(visible, truncated);
    EXPECT_EQ(std::count(none.begin(), none.end(), true), 0);
}

}  // namespace
}  // namespace nadrel
