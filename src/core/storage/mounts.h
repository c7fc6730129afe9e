// The mount table (/proc/self/mountinfo): which mounts are storage, which are network or FUSE
// file systems that must never be asked anything, and which local ones may be measured.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nadrel {

struct MountEntry {
    std::uint32_t major = 0;  // the file system's device number; major 0 = no block device
    std::uint32_t minor = 0;
    std::string root;         // the folder of the file system mounted here: "/", "/@home"
    std::string mount_point;  // escapes decoded: "/mnt/my disk"
    std::string filesystem;   // "ext4", "nfs4", "fuse.sshfs"
    std::string source;       // escapes decoded: "/dev/sda2", "server:/export"
    bool read_only = false;   // this mount's own "ro" option
};

struct MountTable {
    std::vector<MountEntry> mounts;  // in table order, pseudo file systems left out
    bool truncated = false;          // more mounts than the limit: the rest were dropped
};

// Every line "ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [OPTIONAL...] - TYPE SOURCE
// SUPER-OPTIONS"; a malformed line is skipped, pseudo file systems (proc, sysfs, tmpfs,
// cgroup, overlay, ...) are left out while parsing, and at most limit mounts are kept.
MountTable parse_mountinfo(std::string_view text, std::size_t limit);

// The kernel's escapes of white space and backslashes in paths: "\040" is a space. Only a
// backslash followed by three octal digits is an escape; anything else is kept as it is.
std::string unescape_octal(std::string_view field);

// Virtual file systems that hold no storage of their own.
bool is_pseudo_filesystem(std::string_view type);
// Network and FUSE file systems: asking them anything can hang on a dead server or daemon.
bool is_remote_filesystem(std::string_view type);

// The mounts to report: a mount listed again (the same folder of the same file system), a
// bind mount of a folder of a block device already listed, and a mount hidden by a later one
// on the same point are left out.
std::vector<MountEntry> visible_mounts(const MountTable& table);

// Whether the space of each mount may be measured (statvfs): a local file system on a block
// device, at a point not below a network or FUSE mount (the path walk would pass through it).
// Every network mount of the table counts, listed or not; nothing is measured when the table
// was truncated, since a mount left out could be one.
std::vector<bool> measurable_mounts(const std::vector<MountEntry>& mounts, const MountTable& table);

}  // namespace nadrel
