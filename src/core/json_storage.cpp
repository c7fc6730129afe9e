// Partitions, volumes, arrays, mapped devices, swap and loop devices as JSON.
#include "core/json_storage.h"

#include "core/storage/stack.h"

namespace nadrel::json {

namespace {

// A path or other text from the machine that must stay as it is (no name cleaning); null
// when empty.
Json path(std::string_view value) {
    if (value.empty())
        return nullptr;
    return clean_text(value);
}

Json paths(const std::vector<std::string>& values) {
    Json list = Json::array();
    for (const std::string& v : values)
        list.push_back(clean_text(v));
    return list;
}

// A measured size, where 0 is a real value.
Json bytes(std::uint64_t value) {
    if (value > max_exact_integer)
        return nullptr;
    return value;
}

Json mount_points(const BlockContent& c) {
    return paths(c.mount_points);
}

}  // namespace

void add_disk_layout(Json& disk, const DiskInfo& d, const JsonOptions& o) {
    disk["partition_table"] = text(d.partition_table);
    disk["filesystem"] = text(d.content.filesystem);
    disk["label"] = ident(d.content.label, o);
    disk["uuid"] = ident(d.content.uuid, o);
    disk["mount_points"] = mount_points(d.content);
    disk["holders"] = paths(d.content.holders);
    Json partitions = Json::array();
    for (const PartitionInfo& p : d.partitions) {
        partitions.push_back({{"name", text(p.name)},
                              {"start_bytes", known(p.start)},
                              {"size_bytes", known(p.size)},
                              {"label", ident(p.content.label, o)},
                              {"uuid", ident(p.content.uuid, o)},
                              {"filesystem", text(p.content.filesystem)},
                              {"mount_points", mount_points(p.content)},
                              {"holders", paths(p.content.holders)},
                              {"partition_name", path(p.part_name)},
                              {"partition_uuid", ident(p.part_uuid, o)},
                              {"partition_type", text(p.part_type)}});
    }
    disk["partitions"] = std::move(partitions);
}

void add_storage(Json& doc, const SystemSnapshot& s, const JsonOptions& o) {
    Json volumes = Json::array();
    for (const Volume& v : s.volumes) {
        volumes.push_back(
            {{"source", path(v.source)},
             {"mount_point", path(v.mount_point)},
             {"filesystem", text(v.filesystem)},
             {"device", text(v.device)},
             {"read_only", v.read_only},
             {"size_bytes", v.usage ? bytes(v.usage->size) : Json(nullptr)},
             {"used_bytes", v.usage ? bytes(v.usage->used) : Json(nullptr)},
             {"available_bytes", v.usage ? bytes(v.usage->available) : Json(nullptr)}});
    }
    doc["volumes"] = std::move(volumes);

    Json arrays = Json::array();
    for (const RaidArray& r : s.arrays) {
        const bool counted = r.missing && r.devices != 0 && *r.missing <= r.devices;
        arrays.push_back(
            {{"name", text(r.name)},
             {"level", text(r.level)},
             {"devices", known(r.devices)},
             {"active_devices", counted ? Json(r.devices - *r.missing) : Json(nullptr)},
             {"state", text(r.state)},
             {"degraded", r.missing ? Json(*r.missing > 0) : Json(nullptr)},
             {"members", paths(r.members)},
             {"size_bytes", known(r.size)},
             {"filesystem", text(r.content.filesystem)},
             {"label", ident(r.content.label, o)},
             {"uuid", ident(r.content.uuid, o)},
             {"mount_points", mount_points(r.content)},
             {"holders", paths(r.content.holders)}});
    }
    doc["arrays"] = std::move(arrays);

    Json mapped = Json::array();
    for (const MappedDevice& m : s.device_mapper) {
        mapped.push_back({{"name", path(m.name)},
                          {"device", text(m.device)},
                          {"kind", m.kind.empty() ? std::string("other") : m.kind},
                          {"crypt_format", text(m.crypt_format)},
                          {"uuid", ident(m.uuid, o)},
                          {"slaves", paths(m.slaves)},
                          {"size_bytes", known(m.size)},
                          {"filesystem", text(m.content.filesystem)},
                          {"label", ident(m.content.label, o)},
                          {"filesystem_uuid", ident(m.content.uuid, o)},
                          {"mount_points", mount_points(m.content)},
                          {"holders", paths(m.content.holders)}});
    }
    doc["device_mapper"] = std::move(mapped);

    Json swap = Json::array();
    for (const SwapArea& a : s.swap) {
        swap.push_back({{"device", path(a.device)},
                        {"kind", text(a.kind)},
                        {"size_bytes", bytes(a.size)},
                        {"used_bytes", bytes(a.used)}});
    }
    doc["swap"] = std::move(swap);

    Json loops = Json::array();
    for (const LoopDevice& l : s.loop_devices) {
        loops.push_back({{"name", text(l.name)},
                         {"backing_file", ident(l.backing_file, o)},
                         {"size_bytes", known(l.size)},
                         {"filesystem", text(l.content.filesystem)},
                         {"mount_points", mount_points(l.content)}});
    }
    doc["loop_devices"] = std::move(loops);
}

}  // namespace nadrel::json
