// The block device index and the bounded walks along holders and slaves.
#include "core/storage/stack.h"

#include <algorithm>

namespace nadrel {

namespace {

void add(BlockIndex& index, BlockNode node) {
    index.nodes.emplace(node.name, node);
}

// What a layer is built on: a map's slaves, an array's members.
const std::vector<std::string>* below(const BlockNode& node) {
    if (node.mapped != nullptr)
        return &node.mapped->slaves;
    if (node.raid != nullptr)
        return &node.raid->members;
    return nullptr;
}

bool in_path(const std::vector<const BlockNode*>& path, const BlockNode* node) {
    return std::find(path.begin(), path.end(), node) != path.end();
}

void walk_up(const BlockIndex& index, const BlockNode* start, const BlockNode& from,
             std::vector<const BlockNode*>& path,
             std::vector<std::vector<const BlockNode*>>& paths) {
    bool extended = false;
    if (path.size() < max_stack_depth && from.content != nullptr) {
        for (const std::string& holder : from.content->holders) {
            if (paths.size() >= max_stack_paths)
                return;
            const BlockNode* next = index.find(holder);
            if (next == nullptr || next == start || in_path(path, next))
                continue;
            extended = true;
            path.push_back(next);
            walk_up(index, start, *next, path, paths);
            path.pop_back();
        }
    }
    if (!extended && !path.empty() && paths.size() < max_stack_paths)
        paths.push_back(path);
}

}  // namespace

const BlockNode* BlockIndex::find(std::string_view name) const {
    const auto it = nodes.find(name);
    return it == nodes.end() ? nullptr : &it->second;
}

BlockIndex index_blocks(const SystemSnapshot& s) {
    BlockIndex index;
    for (const DiskInfo& d : s.disks) {
        add(index, {BlockKind::Disk, d.name, d.size, &d.content, nullptr, nullptr});
        for (const PartitionInfo& p : d.partitions)
            add(index, {BlockKind::Partition, p.name, p.size, &p.content, nullptr, nullptr});
    }
    for (const MappedDevice& m : s.device_mapper)
        add(index, {BlockKind::Mapped, m.device, m.size, &m.content, &m, nullptr});
    for (const RaidArray& r : s.arrays)
        add(index, {BlockKind::Raid, r.name, r.size, &r.content, nullptr, &r});
    for (const LoopDevice& l : s.loop_devices)
        add(index, {BlockKind::Loop, l.name, l.size, &l.content, nullptr, nullptr});
    return index;
}

std::vector<const BlockNode*> layers_below(const BlockIndex& index, std::string_view name) {
    std::vector<const BlockNode*> layers;
    const BlockNode* node = index.find(name);
    while (node != nullptr && layers.size() < max_stack_depth && !in_path(layers, node) &&
           (node->kind == BlockKind::Mapped || node->kind == BlockKind::Raid ||
            node->kind == BlockKind::Loop)) {
        layers.push_back(node);
        const auto* parts = below(*node);
        node = parts == nullptr || parts->empty() ? nullptr : index.find(parts->front());
    }
    return layers;
}

std::vector<std::vector<const BlockNode*>> paths_above(const BlockIndex& index,
                                                       std::string_view name) {
    std::vector<std::vector<const BlockNode*>> paths;
    const BlockNode* start = index.find(name);
    if (start == nullptr)
        return paths;
    std::vector<const BlockNode*> path;
    walk_up(index, start, *start, path, paths);
    return paths;
}

std::string_view mapped_kind(std::string_view uuid) {
    if (uuid.starts_with("CRYPT-"))
        return "crypt";
    if (uuid.starts_with("LVM-"))
        return "lvm";
    if (uuid.starts_with("mpath-"))
        return "multipath";
    return "other";
}

std::string_view crypt_format(std::string_view uuid) {
    if (!uuid.starts_with("CRYPT-"))
        return {};
    const std::string_view rest = uuid.substr(6);
    return rest.substr(0, std::min(rest.find('-'), rest.size()));
}

std::string_view display_name(const BlockNode& node) {
    if (node.mapped != nullptr && !node.mapped->name.empty())
        return node.mapped->name;
    return node.name;
}

}  // namespace nadrel
