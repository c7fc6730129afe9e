// The block layer beneath the disks: partitions from each disk's folder, mapped devices,
// arrays and loop devices from /sys/block, their signatures from the udev database, then the
// mount table and the swap areas joined to them by device number and name.
#include "linux/collect/block_layout.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "core/storage/block_text.h"
#include "core/storage/mounts.h"
#include "core/storage/stack.h"
#include "core/text/fields.h"
#include "core/text/numbers.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

constexpr std::string_view block_dir = "/sys/block";
// Bounds on what a tree may make us walk.
constexpr std::size_t max_block_devices = 4096;
constexpr std::size_t max_partitions_per_disk = 256;
constexpr std::size_t max_partitions = 4096;
constexpr std::size_t max_links = 64;  // holders or slaves of one device
constexpr std::size_t max_mounts = 1024;
constexpr std::size_t max_mount_points = 16;  // of one device
constexpr std::size_t max_swaps = 64;
// A mount table of many thousand lines (a container host); the lines past max_mounts storage
// mounts are not kept.
constexpr std::size_t mountinfo_limit = std::size_t{16} << 20;

using DeviceNumber = std::uint64_t;

std::optional<DeviceNumber> device_number(std::string_view uevent) {
    const auto major = parse_u64(assignment_value(uevent, "MAJOR").value_or(""));
    const auto minor = parse_u64(assignment_value(uevent, "MINOR").value_or(""));
    if (!major || !minor || *major > UINT32_MAX || *minor > UINT32_MAX)
        return std::nullopt;
    return *major << 32 | *minor;
}

std::uint64_t sectors_to_bytes(std::optional<std::uint64_t> sectors) {
    return saturating_mul(sectors.value_or(0), 512);
}

std::vector<std::string> link_names(const SysRoot& root, const std::string& folder) {
    auto names = list_dir_sorted(root, folder);
    if (names.size() > max_links)
        names.resize(max_links);
    return names;
}

std::string text_or_empty(const SysRoot& root, const std::string& path) {
    return std::string(trim(read_text(root, path).value_or("")));
}

// One block device folder as the layout needs it: its number, its udev record, its holders.
struct BlockFacts {
    std::optional<DeviceNumber> number;
    std::string uevent;
    UdevBlock udev;
};

BlockFacts read_facts(const SysRoot& root, const std::string& folder, BlockContent& content) {
    BlockFacts facts;
    facts.uevent = read_text(root, folder + "/uevent").value_or("");
    facts.number = device_number(facts.uevent);
    if (facts.number) {
        const std::string record = "/run/udev/data/b" + std::to_string(*facts.number >> 32) + ":" +
                                   std::to_string(*facts.number & 0xFFFFFFFF);
        if (const auto text = read_raw_text(root, record, list_limit))
            facts.udev = parse_udev_block(*text);
    }
    content.filesystem = facts.udev.filesystem;
    content.label = facts.udev.label;
    content.uuid = facts.udev.uuid;
    content.holders = link_names(root, folder + "/holders");
    return facts;
}

// The kernel names its partitions after the disk: sda1, nvme0n1p1, mmcblk0p1 ("p" when the
// disk's name ends in a digit). The partition number, or nothing for another entry.
std::optional<std::uint64_t> partition_number(std::string_view disk, std::string_view entry) {
    if (!entry.starts_with(disk) || disk.empty())
        return std::nullopt;
    std::string_view rest = entry.substr(disk.size());
    if (disk.back() >= '0' && disk.back() <= '9') {
        if (!rest.starts_with('p'))
            return std::nullopt;
        rest.remove_prefix(1);
    }
    if (rest.empty() || rest.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return parse_u64(rest);
}

// Everything collected so far by kernel name: for the joins with the mount table and swaps.
struct Devices {
    std::unordered_map<DeviceNumber, std::string> by_number;
    std::unordered_map<std::string, BlockContent*> contents;
    std::unordered_map<std::string, std::string> by_map_name;  // "vg0-root" -> "dm-1"

    void add(const std::string& name, std::optional<DeviceNumber> number, BlockContent& content) {
        if (number)
            by_number.emplace(*number, name);
        contents.emplace(name, &content);
    }
};

template <typename FactsOf>
void read_partitions(const SysRoot& root, DiskInfo& disk, std::size_t& budget, FactsOf& facts_of) {
    const std::string base = std::string(block_dir) + "/" + disk.name;
    std::vector<std::pair<std::uint64_t, std::string>> found;
    for (auto& entry : list_dir(root, base)) {
        if (const auto number = partition_number(disk.name, entry))
            found.emplace_back(*number, std::move(entry));
    }
    std::sort(found.begin(), found.end());
    if (found.size() > std::min(max_partitions_per_disk, budget))
        found.resize(std::min(max_partitions_per_disk, budget));
    budget -= found.size();
    for (const auto& [number, name] : found) {
        const std::string folder = base + "/" + name;
        PartitionInfo part;
        part.name = name;
        const BlockFacts facts = facts_of(name, folder, part.content);
        if (const auto type = assignment_value(facts.uevent, "DEVTYPE");
            type && *type != "partition")
            continue;
        part.start = sectors_to_bytes(read_u64(root, folder + "/start"));
        part.size = sectors_to_bytes(read_u64(root, folder + "/size"));
        part.part_name = std::string(assignment_value(facts.uevent, "PARTNAME").value_or(""));
        if (part.part_name.empty())
            part.part_name = facts.udev.part_name;
        part.part_uuid = facts.udev.part_uuid;
        part.part_type = facts.udev.part_type;
        disk.partitions.push_back(std::move(part));
    }
}

MappedDevice read_mapped(const SysRoot& root, const std::string& name) {
    const std::string base = std::string(block_dir) + "/" + name;
    MappedDevice m;
    m.device = name;
    m.name = text_or_empty(root, base + "/dm/name");
    m.uuid = text_or_empty(root, base + "/dm/uuid");
    m.kind = std::string(mapped_kind(m.uuid));
    m.crypt_format = std::string(crypt_format(m.uuid));
    m.slaves = link_names(root, base + "/slaves");
    m.size = sectors_to_bytes(read_u64(root, base + "/size"));
    return m;
}

RaidArray read_array(const SysRoot& root, const std::string& name) {
    const std::string base = std::string(block_dir) + "/" + name;
    RaidArray r;
    r.name = name;
    r.level = text_or_empty(root, base + "/md/level");
    r.devices = saturate_u32(read_u64(root, base + "/md/raid_disks").value_or(0));
    if (const auto missing = read_u64(root, base + "/md/degraded"))
        r.missing = saturate_u32(*missing);
    r.state = text_or_empty(root, base + "/md/array_state");
    r.members = link_names(root, base + "/slaves");
    r.size = sectors_to_bytes(read_u64(root, base + "/size"));
    return r;
}

// Statvfs of a mount point. Only called for local file systems on the running machine.
std::optional<VolumeUsage> measure(const std::string& path) {
    struct statvfs st {};
    if (::statvfs(path.c_str(), &st) != 0 || st.f_blocks < st.f_bfree)
        return std::nullopt;
    const std::uint64_t unit = st.f_frsize != 0 ? st.f_frsize : st.f_bsize;
    VolumeUsage usage;
    usage.size = saturating_mul(st.f_blocks, unit);
    usage.used = saturating_mul(st.f_blocks - st.f_bfree, unit);
    usage.available = saturating_mul(st.f_bavail, unit);
    return usage;
}

// The kernel name of the block device a mount's source names, when its number does not
// (btrfs and other file systems that report a device number of their own).
std::string device_by_source(const Devices& devices, std::string_view source) {
    if (source.starts_with("/dev/mapper/")) {
        const auto it = devices.by_map_name.find(std::string(source.substr(12)));
        return it == devices.by_map_name.end() ? std::string() : it->second;
    }
    if (source.starts_with("/dev/")) {
        const std::string name(source.substr(5));
        return devices.contents.contains(name) ? name : std::string();
    }
    return {};
}

std::vector<Volume> collect_volumes(const SysRoot& root, const Devices& devices) {
    std::vector<Volume> volumes;
    const auto text = read_raw_text(root, "/proc/self/mountinfo", mountinfo_limit);
    if (!text)
        return volumes;
    const MountTable table = parse_mountinfo(*text, max_mounts);
    const std::vector<MountEntry> mounts = visible_mounts(table);
    // Never under NADREL_SYSROOT: the tree's mount points are not this machine's.
    const std::vector<bool> measurable =
        root.is_host() ? measurable_mounts(mounts, table) : std::vector<bool>(mounts.size());
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        const MountEntry& m = mounts[i];
        Volume v;
        v.source = m.source;
        v.mount_point = m.mount_point;
        v.filesystem = m.filesystem;
        v.read_only = m.read_only;
        if (m.major != 0) {
            const auto it = devices.by_number.find(std::uint64_t{m.major} << 32 | m.minor);
            if (it != devices.by_number.end())
                v.device = it->second;
        }
        if (v.device.empty() && !is_remote_filesystem(m.filesystem))
            v.device = device_by_source(devices, m.source);
        if (measurable[i])
            v.usage = measure(m.mount_point);
        volumes.push_back(std::move(v));
    }
    return volumes;
}

// Mount points and swap become part of what each device holds.
void join_uses(SystemSnapshot& s, const Devices& devices) {
    for (const Volume& v : s.volumes) {
        const auto it = devices.contents.find(v.device);
        if (it == devices.contents.end())
            continue;
        BlockContent& content = *it->second;
        if (content.mount_points.size() < max_mount_points)
            content.mount_points.push_back(v.mount_point);
        if (content.filesystem.empty())
            content.filesystem = v.filesystem;
    }
    for (const SwapArea& area : s.swap) {
        if (!area.device.starts_with("/dev/"))
            continue;
        std::string name = device_by_source(devices, area.device);
        const auto it = devices.contents.find(name);
        if (it != devices.contents.end() && it->second->filesystem.empty())
            it->second->filesystem = "swap";
    }
}

}  // namespace

void collect_storage_layout(const SysRoot& root, SystemSnapshot& s) {
    auto names = list_dir_sorted(root, block_dir);
    if (names.size() > max_block_devices)
        names.resize(max_block_devices);
    // Device numbers by kernel name, kept until every record has its final place.
    std::unordered_map<std::string, DeviceNumber> numbers;
    const auto facts_of = [&](const std::string& name, const std::string& folder,
                              BlockContent& content) {
        BlockFacts facts = read_facts(root, folder, content);
        if (facts.number)
            numbers.emplace(name, *facts.number);
        return facts;
    };
    std::size_t budget = max_partitions;
    for (DiskInfo& disk : s.disks) {
        const std::string base = std::string(block_dir) + "/" + disk.name;
        disk.partition_table = facts_of(disk.name, base, disk.content).udev.partition_table;
        read_partitions(root, disk, budget, facts_of);
    }
    for (const std::string& name : names) {
        const std::string base = std::string(block_dir) + "/" + name;
        if (const std::string_view parent = emmc_area_parent(name); !parent.empty()) {
            const auto disk =
                std::find_if(s.disks.begin(), s.disks.end(),
                             [parent](const DiskInfo& d) { return d.name == parent; });
            if (disk == s.disks.end() || budget == 0)
                continue;
            --budget;
            PartitionInfo area;
            area.name = name;
            area.size = sectors_to_bytes(read_u64(root, base + "/size"));
            disk->partitions.push_back(std::move(area));
        } else if (name.starts_with("dm-")) {
            MappedDevice m = read_mapped(root, name);
            facts_of(name, base, m.content);
            s.device_mapper.push_back(std::move(m));
        } else if (name.starts_with("md")) {
            RaidArray r = read_array(root, name);
            facts_of(name, base, r.content);
            s.arrays.push_back(std::move(r));
        } else if (name.starts_with("loop")) {
            const auto backing = read_text(root, base + "/loop/backing_file");
            if (!backing)
                continue;  // not set up
            LoopDevice loop;
            loop.name = name;
            loop.backing_file = std::string(trim_end(*backing));
            loop.size = sectors_to_bytes(read_u64(root, base + "/size"));
            facts_of(name, base, loop.content);
            s.loop_devices.push_back(std::move(loop));
        }
    }

    // The records no longer move: index them for the joins.
    Devices devices;
    const auto add = [&](const std::string& name, BlockContent& content) {
        const auto number = numbers.find(name);
        devices.add(name, number == numbers.end() ? std::nullopt : std::optional(number->second),
                    content);
    };
    for (DiskInfo& disk : s.disks) {
        add(disk.name, disk.content);
        for (PartitionInfo& part : disk.partitions)
            add(part.name, part.content);
    }
    for (MappedDevice& m : s.device_mapper) {
        add(m.device, m.content);
        if (!m.name.empty())
            devices.by_map_name.emplace(m.name, m.device);
    }
    for (RaidArray& r : s.arrays)
        add(r.name, r.content);
    for (LoopDevice& l : s.loop_devices)
        add(l.name, l.content);

    s.volumes = collect_volumes(root, devices);
    if (const auto swaps = read_raw_text(root, "/proc/swaps", list_limit))
        s.swap = parse_swaps(*swaps, max_swaps);
    join_uses(s, devices);
}

}  // namespace nadrel
