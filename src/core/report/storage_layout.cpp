// Partition tables, volumes, arrays, swap and loop devices as STORAGE rows.
#include "core/report/storage_layout.h"

#include <algorithm>

#include "core/ids/partition_types.h"
#include "core/report/column_table.h"
#include "core/report/format.h"
#include "core/report/storage_text.h"
#include "core/storage/block_text.h"
#include "core/storage/mounts.h"
#include "core/text/clean_text.h"

namespace nadrel {

namespace {

const Volume* volume_at(const SystemSnapshot& s, std::string_view mount_point) {
    for (const Volume& v : s.volumes) {
        if (v.mount_point == mount_point)
            return &v;
    }
    return nullptr;
}

// A swap area on this device: /proc/swaps names it by its node ("/dev/dm-3") or, when
// activated through one, by its map's node ("/dev/mapper/vg0-swap").
bool holds_swap(const SystemSnapshot& s, const BlockNode& node) {
    return std::any_of(s.swap.begin(), s.swap.end(), [&node](const SwapArea& a) {
        const std::string_view device = a.device;
        return (device.starts_with("/dev/") && device.substr(5) == node.name) ||
               (node.mapped != nullptr && device.starts_with("/dev/mapper/") &&
                device.substr(12) == node.mapped->name);
    });
}

std::string mounted_text(const SystemSnapshot& s, const BlockNode& node) {
    if (node.content != nullptr && !node.content->mount_points.empty())
        return join(node.content->mount_points, ", ");
    return holds_swap(s, node) ? "[SWAP]" : "";
}

std::string used_text(const SystemSnapshot& s, const BlockNode& node) {
    if (node.content == nullptr || node.content->mount_points.empty())
        return {};
    const Volume* v = volume_at(s, node.content->mount_points.front());
    return v != nullptr && v->usage ? usage_text(*v->usage) : "";
}

std::string type_label(const PartitionInfo& p, std::string_view disk) {
    if (emmc_area_parent(p.name) == disk)
        return p.name.ends_with("rpmb") ? "eMMC RPMB" : "eMMC boot";
    const std::string label = p.content.label.empty() ? p.part_name : p.content.label;
    return join({std::string(partition_type_name(p.part_type)), label}, " / ");
}

// One line per stack above the device, or one line with its own content.
void add_table_lines(std::vector<std::vector<std::string>>& cells, const SystemSnapshot& s,
                     const BlockIndex& index, const BlockNode& node,
                     std::vector<std::string> head) {
    const auto paths = paths_above(index, node.name);
    if (paths.empty()) {
        head.push_back(filesystem_text(node.content->filesystem));
        head.push_back(mounted_text(s, node));
        head.push_back(used_text(s, node));
        cells.push_back(std::move(head));
        return;
    }
    for (const auto& path : paths) {
        std::vector<std::string> layers;
        for (const BlockNode* layer : path)
            layers.push_back(layer_text(*layer, true));
        const BlockNode& top = *path.back();
        layers.push_back(filesystem_text(top.content->filesystem));
        std::vector<std::string> line = head;
        line.push_back(join(layers, " \u2192 "));
        line.push_back(mounted_text(s, top));
        line.push_back(used_text(s, top));
        cells.push_back(std::move(line));
        std::fill(head.begin(), head.end(), std::string());
    }
}

// "ext4 on LVM on LUKS": the file system and the layers under its device.
std::string volume_kind(const Volume& v, const BlockIndex& index) {
    std::vector<std::string> words = {v.filesystem};
    for (const BlockNode* layer : layers_below(index, v.device))
        words.push_back(layer_text(*layer, false));
    return join(words, " on ");
}

// Package images mounted from files (snaps): not storage a user manages.
bool image_mount(const Volume& v) {
    return v.device.starts_with("loop") &&
           (v.filesystem == "squashfs" || v.filesystem == "erofs" || v.filesystem == "cramfs");
}

std::string volume_item(const Volume& v, const BlockIndex& index) {
    const std::string notes =
        join({volume_kind(v, index), v.device.empty() ? v.source : "",
              v.usage ? usage_text(*v.usage) + " used" : "", v.read_only ? "read-only" : ""},
             ", ");
    return notes.empty() ? v.mount_point : v.mount_point + " (" + notes + ")";
}

std::vector<ReportRow> volume_table(const SystemSnapshot& s, const BlockIndex& index) {
    std::vector<std::vector<std::string>> cells;
    for (const Volume& v : s.volumes) {
        cells.push_back(
            {clean_text(v.mount_point), clean_text(volume_kind(v, index)), clean_text(v.source),
             v.usage ? format_size(v.usage->size) : "", v.usage ? format_size(v.usage->used) : "",
             v.usage ? format_size(v.usage->available) : "", v.read_only ? "read-only" : ""});
    }
    return column_table({"Mounted on", "Filesystem", "Source", "Size", "Used", "Free", "Access"},
                        cells);
}

std::string swap_item(const SystemSnapshot& s, const SwapArea& area, const BlockIndex& index) {
    std::string name = area.device;
    std::string kind = area.kind;
    if (area.device.starts_with("/dev/")) {
        std::string_view device = std::string_view(area.device).substr(5);
        const BlockNode* node = index.find(device);
        for (const MappedDevice& m : s.device_mapper) {
            if (node == nullptr && device.starts_with("mapper/") && device.substr(7) == m.name)
                node = index.find(m.device);
        }
        name = std::string(device);
        if (node != nullptr) {
            const auto layers = layers_below(index, node->name);
            std::vector<std::string> words;
            for (const BlockNode* layer : layers)
                words.push_back(layer_text(*layer, false));
            if (!words.empty())
                kind = join(words, " on ");
            name = node->mapped != nullptr && node->mapped->kind == "lvm"
                       ? lvm_name(node->mapped->name)
                       : std::string(display_name(*node));
        }
    }
    return name + " (" +
           join({kind, format_size(area.size), format_size(area.used) + " used"}, ", ") + ")";
}

void add_arrays(std::vector<ReportRow>& rows, const SystemSnapshot& s, bool detail) {
    if (!detail) {
        std::vector<std::string> items;
        for (const RaidArray& r : s.arrays)
            items.push_back(array_item(r));
        append(rows, list_rows("Arrays", items));
        return;
    }
    for (const RaidArray& r : s.arrays) {
        rows.push_back(field(
            "Array " + r.name,
            join({raid_level_text(r.level), array_disks_text(r), array_state_text(r)}, ", ")));
        if (r.size != 0)
            rows.push_back(sub_field("Capacity", format_size(r.size)));
        if (!r.members.empty())
            rows.push_back(sub_field("Members", join(r.members, ", ")));
    }
}

std::vector<ReportRow> loop_table(const SystemSnapshot& s) {
    std::vector<std::vector<std::string>> cells;
    for (const LoopDevice& l : s.loop_devices) {
        cells.push_back({l.name, l.size != 0 ? format_size(l.size) : "", clean_text(l.backing_file),
                         filesystem_text(l.content.filesystem),
                         clean_text(join(l.content.mount_points, ", "))});
    }
    return column_table({"Device", "Size", "Backing file", "Filesystem", "Mounted on"}, cells);
}

}  // namespace

std::vector<ReportRow> partition_rows(const SystemSnapshot& s, const BlockIndex& index,
                                      const DiskInfo& disk) {
    std::vector<std::vector<std::string>> cells;
    for (const PartitionInfo& p : disk.partitions) {
        const BlockNode* node = index.find(p.name);
        if (node == nullptr)
            continue;
        add_table_lines(cells, s, index, *node,
                        {p.name, p.size != 0 ? format_size(p.size) : "", type_label(p, disk.name)});
    }
    const BlockContent& own = disk.content;
    const bool holds = !own.filesystem.empty() || !own.holders.empty() || !own.mount_points.empty();
    if (disk.partitions.empty() && holds) {
        if (const BlockNode* node = index.find(disk.name)) {
            add_table_lines(cells, s, index, *node,
                            {disk.name, disk.size != 0 ? format_size(disk.size) : "", own.label});
        }
    }
    for (auto& line : cells) {
        for (std::string& cell : line)
            cell = clean_text(cell);
    }
    return column_table({"Partition", "Size", "Type/Label", "Filesystem", "Mounted on", "Used"},
                        cells);
}

std::vector<ReportRow> layout_rows(const SystemSnapshot& s, const BlockIndex& index, bool detail) {
    std::vector<ReportRow> rows;
    if (detail && !s.volumes.empty()) {
        rows.push_back(field("Volumes", ""));
        append(rows, volume_table(s, index));
    } else if (!detail) {
        std::vector<std::string> items;
        for (const Volume& v : s.volumes) {
            if (!image_mount(v))
                items.push_back(volume_item(v, index));
        }
        append(rows, list_rows("Volumes", items));
    }
    add_arrays(rows, s, detail);
    std::vector<std::string> swaps;
    for (const SwapArea& area : s.swap)
        swaps.push_back(swap_item(s, area, index));
    append(rows, list_rows("Swap", swaps));
    if (detail && !s.loop_devices.empty()) {
        rows.push_back(field("Loop devices", ""));
        append(rows, loop_table(s));
    }
    return rows;
}

}  // namespace nadrel
