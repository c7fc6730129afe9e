// The mount table: parsing mountinfo lines, sorting file systems into pseudo, remote and local,
// and choosing the mounts to list and to measure.
#include "core/storage/mounts.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>

#include "core/text/fields.h"
#include "core/text/numbers.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

// The fields of one line, split at single spaces (the kernel escapes spaces inside fields).
std::vector<std::string_view> space_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    while (!line.empty()) {
        const std::size_t end = std::min(line.find(' '), line.size());
        if (end > 0)
            fields.push_back(line.substr(0, end));
        line.remove_prefix(std::min(end + 1, line.size()));
    }
    return fields;
}

bool is_octal(char c) {
    return c >= '0' && c <= '7';
}

// "8:1": the device number; none for anything else.
std::optional<std::pair<std::uint32_t, std::uint32_t>> device_number(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const auto major = parse_u64(text.substr(0, colon));
    const auto minor = parse_u64(text.substr(colon + 1));
    if (!major || !minor || *major > UINT32_MAX || *minor > UINT32_MAX)
        return std::nullopt;
    return std::make_pair(static_cast<std::uint32_t>(*major), static_cast<std::uint32_t>(*minor));
}

bool has_option(std::string_view options, std::string_view option) {
    const auto list = split_on(options, ',');
    return std::find(list.begin(), list.end(), option) != list.end();
}

// A path at or below a mount point: "/mnt/nfs/sub" is below "/mnt/nfs", "/mnt/nfs2" is not.
bool at_or_below(std::string_view path, std::string_view point) {
    if (point == "/")
        return true;
    return path == point ||
           (path.starts_with(point) && path.size() > point.size() && path[point.size()] == '/');
}

std::optional<MountEntry> parse_line(std::string_view line) {
    const auto fields = space_fields(line);
    // ID, parent, device, root, point, options, then optional fields up to the lone "-".
    if (fields.size() < 9)
        return std::nullopt;
    const auto dash = std::find(fields.begin() + 6, fields.end(), std::string_view("-"));
    if (fields.end() - dash < 3)
        return std::nullopt;
    const auto device = device_number(fields[2]);
    if (!device)
        return std::nullopt;
    MountEntry m;
    m.major = device->first;
    m.minor = device->second;
    m.filesystem = std::string(dash[1]);
    m.root = unescape_octal(fields[3]);
    m.mount_point = unescape_octal(fields[4]);
    m.source = unescape_octal(dash[2]);
    m.read_only = has_option(fields[5], "ro");
    return m;
}

}  // namespace

std::string unescape_octal(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && is_octal(field[i + 1]) &&
            is_octal(field[i + 2]) && is_octal(field[i + 3])) {
            const int value =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            out += static_cast<char>(value & 0xFF);
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

bool is_pseudo_filesystem(std::string_view type) {
    // The kernel's virtual file systems, container layers, and desktop FUSE plumbing
    // (GVfs, the document portal, lxcfs) that holds no storage of its own.
    static constexpr std::array<std::string_view, 42> pseudo = {
        "autofs",
        "bdev",
        "binfmt_misc",
        "bpf",
        "cgroup",
        "cgroup2",
        "configfs",
        "cpuset",
        "debugfs",
        "devfs",
        "devpts",
        "devtmpfs",
        "dlmfs",
        "efivarfs",
        "fusectl",
        "hugetlbfs",
        "mqueue",
        "nfsd",
        "none",
        "nsfs",
        "overlay",
        "aufs",
        "pipefs",
        "proc",
        "pstore",
        "ramfs",
        "rootfs",
        "rpc_pipefs",
        "securityfs",
        "selinuxfs",
        "smackfs",
        "sockfs",
        "spufs",
        "sysfs",
        "tmpfs",
        "tracefs",
        "binder",
        "fuse.portal",
        "fuse.gvfs-fuse-daemon",
        "fuse.gvfsd-fuse",
        "fuse.lxcfs",
        "shiftfs",
    };
    return std::find(pseudo.begin(), pseudo.end(), type) != pseudo.end();
}

bool is_remote_filesystem(std::string_view type) {
    static constexpr std::array<std::string_view, 21> remote = {
        "nfs",  "nfs4",  "cifs",      "smb3",   "smbfs", "ncpfs",  "sshfs",
        "9p",   "ceph",  "glusterfs", "afs",    "coda",  "lustre", "gfs",
        "gfs2", "ocfs2", "virtiofs",  "beegfs", "davfs", "fuse",   "fuseblk",
    };
    return type.starts_with("fuse.") || type.starts_with("fuse3") ||
           std::find(remote.begin(), remote.end(), type) != remote.end();
}

MountTable parse_mountinfo(std::string_view text, std::size_t limit) {
    MountTable table;
    for_each_line(text, [&](std::string_view line) {
        auto entry = parse_line(line);
        if (!entry || is_pseudo_filesystem(entry->filesystem))
            return false;
        if (table.mounts.size() >= limit) {
            table.truncated = true;
            return true;
        }
        table.mounts.push_back(std::move(*entry));
        return false;
    });
    return table;
}

std::vector<MountEntry> visible_mounts(const MountTable& table) {
    const auto& all = table.mounts;
    // The last mount on each point is the one reached through it.
    std::unordered_map<std::string_view, std::size_t> last;
    for (std::size_t i = 0; i < all.size(); ++i)
        last[all[i].mount_point] = i;
    std::set<std::pair<std::uint64_t, std::string_view>> seen;
    std::set<std::uint64_t> block_devices;
    std::vector<MountEntry> out;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const MountEntry& m = all[i];
        if (last[m.mount_point] != i)
            continue;
        const std::uint64_t device = std::uint64_t{m.major} << 32 | m.minor;
        if (!seen.emplace(device, m.root).second)
            continue;
        // A folder of a disk's file system mounted elsewhere (a bind mount). Without a block
        // device (btrfs, network) another root is another subvolume or export, kept.
        if (m.major != 0 && m.root != "/" && block_devices.contains(device))
            continue;
        if (m.major != 0)
            block_devices.insert(device);
        out.push_back(m);
    }
    return out;
}

std::vector<bool> measurable_mounts(const std::vector<MountEntry>& mounts,
                                    const MountTable& table) {
    std::vector<bool> out(mounts.size(), false);
    if (table.truncated)
        return out;
    std::vector<std::string_view> remote_points;
    for (const MountEntry& m : table.mounts) {
        if (is_remote_filesystem(m.filesystem))
            remote_points.push_back(m.mount_point);
    }
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        const MountEntry& m = mounts[i];
        // ZFS datasets are local and on disks, but name their pool instead of a device.
        const bool on_disk = m.major != 0 || m.source.starts_with("/dev/") || m.filesystem == "zfs";
        if (!on_disk || is_remote_filesystem(m.filesystem) || !m.mount_point.starts_with('/'))
            continue;
        out[i] = std::none_of(remote_points.begin(), remote_points.end(),
                              [&m](std::string_view p) { return at_or_below(m.mount_point, p); });
    }
    return out;
}

}  // namespace nadrel
