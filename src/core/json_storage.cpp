// Partitions, volumes, arrays, mapped devices, swap and loop devices as JSON, and back.
#include "core/json_storage.h"

#include <limits>

namespace nadrel::json {

namespace {

using S = SystemSnapshot;

// A path or other text from the machine that must stay as it is (no name cleaning); null
// when empty.
template <typename T, typename P>
Field<T> path(std::string_view key, P p) {
    return Keys<T>::custom(
        key,
        [p](const T& t) {
            const std::string& value = std::invoke(p, t);
            return value.empty() ? Json(nullptr) : Json(clean_text(value));
        },
        [p](const Json& j, T& t) { return read_text(j, std::invoke(p, t), {}); });
}

template <typename T, typename P>
Field<T> paths(std::string_view key, P p) {
    return Keys<T>::custom(
        key,
        [p](const T& t) {
            Json list = Json::array();
            for (const std::string& v : std::invoke(p, t))
                list.push_back(clean_text(v));
            return list;
        },
        [p](const Json& j, T& t) { return read_text_list(j, std::invoke(p, t)); });
}

// A measured size, where 0 is a real value; null (beyond what readers hold) reads as 0.
template <typename T, typename P>
Field<T> bytes(std::string_view key, P p) {
    return Keys<T>::custom(
        key, [p](const T& t) { return optional_number(std::optional(std::invoke(p, t))); },
        [p](const Json& j, T& t) { return read_number(j, std::invoke(p, t)); });
}

// The keys of what a device holds, after the device's own: filesystem, label, uuid (or
// uuid_key), mount points and holders.
template <typename T>
void add_content(Fields<T>& f, BlockContent T::*c, std::string_view uuid_key = "uuid") {
    using K = Keys<T>;
    f.push_back(K::text("filesystem", at(c, &BlockContent::filesystem)));
    f.push_back(K::ident("label", at(c, &BlockContent::label)));
    f.push_back(K::ident(uuid_key, at(c, &BlockContent::uuid)));
    f.push_back(paths<T>("mount_points", at(c, &BlockContent::mount_points)));
    f.push_back(paths<T>("holders", at(c, &BlockContent::holders)));
}

Fields<PartitionInfo> partition_fields() {
    using K = Keys<PartitionInfo>;
    using P = PartitionInfo;
    const auto content = [](auto member) { return at(&P::content, member); };
    return {
        K::text("name", &P::name),
        K::known("start_bytes", &P::start),
        K::known("size_bytes", &P::size),
        K::ident("label", content(&BlockContent::label)),
        K::ident("uuid", content(&BlockContent::uuid)),
        K::text("filesystem", content(&BlockContent::filesystem)),
        paths<P>("mount_points", content(&BlockContent::mount_points)),
        paths<P>("holders", content(&BlockContent::holders)),
        path<P>("partition_name", &P::part_name),
        K::ident("partition_uuid", &P::part_uuid),
        K::text("partition_type", &P::part_type),
    };
}

// Usage measured or not: the three sizes are there together, or none of them.
template <typename M>
Field<Volume> usage(std::string_view key, M member) {
    return Keys<Volume>::custom(
        key,
        [member](const Volume& v) {
            return v.usage ? optional_number(std::optional((*v.usage).*member)) : Json(nullptr);
        },
        [member](const Json& j, Volume& v) -> ReadResult {
            if (j.is_null())
                return std::nullopt;
            if (!v.usage)
                v.usage.emplace();
            return read_number(j, (*v.usage).*member);
        });
}

Fields<Volume> volume_fields() {
    using K = Keys<Volume>;
    return {
        path<Volume>("source", &Volume::source),
        path<Volume>("mount_point", &Volume::mount_point),
        K::text("filesystem", &Volume::filesystem),
        K::text("device", &Volume::device),
        K::flag("read_only", &Volume::read_only),
        usage("size_bytes", &VolumeUsage::size),
        usage("used_bytes", &VolumeUsage::used),
        usage("available_bytes", &VolumeUsage::available),
    };
}

// The slots without a working device, from what the document gives: the active count where it
// is counted, else only whether there are any (beyond the slots, as no count is then shown).
ReadResult read_active(const Json& j, RaidArray& r) {
    if (j.is_null())
        return std::nullopt;
    std::uint32_t active = 0;
    if (auto error = read_number(j, active))
        return error;
    if (active > r.devices)
        return fail("is more than devices");
    r.missing = r.devices - active;
    return std::nullopt;
}

ReadResult read_degraded(const Json& j, RaidArray& r) {
    if (j.is_null()) {
        r.missing.reset();
        return std::nullopt;
    }
    bool degraded = false;
    if (auto error = read_flag(j, degraded))
        return error;
    if (!r.missing || (*r.missing > 0) != degraded) {
        const bool room = r.devices < std::numeric_limits<std::uint32_t>::max();
        r.missing = !degraded ? 0 : room ? r.devices + 1 : r.devices;
    }
    return std::nullopt;
}

Fields<RaidArray> array_fields() {
    using K = Keys<RaidArray>;
    using R = RaidArray;
    Fields<R> f = {
        K::text("name", &R::name),
        K::text("level", &R::level),
        K::known("devices", &R::devices),
        K::custom(
            "active_devices",
            [](const R& r) {
                const bool counted = r.missing && r.devices != 0 && *r.missing <= r.devices;
                return counted ? Json(r.devices - *r.missing) : Json(nullptr);
            },
            read_active),
        K::text("state", &R::state),
        K::custom(
            "degraded", [](const R& r) { return r.missing ? Json(*r.missing > 0) : Json(nullptr); },
            read_degraded),
        paths<R>("members", &R::members),
        K::known("size_bytes", &R::size),
    };
    add_content(f, &R::content);
    return f;
}

Fields<MappedDevice> mapped_fields() {
    using K = Keys<MappedDevice>;
    using M = MappedDevice;
    Fields<M> f = {
        path<M>("name", &M::name),
        K::text("device", &M::device),
        K::custom(
            "kind", [](const M& m) { return Json(m.kind.empty() ? std::string("other") : m.kind); },
            [](const Json& j, M& m) { return read_text(j, m.kind, "other"); }),
        K::text("crypt_format", &M::crypt_format),
        K::ident("uuid", &M::uuid),
        paths<M>("slaves", &M::slaves),
        K::known("size_bytes", &M::size),
    };
    add_content(f, &M::content, "filesystem_uuid");
    return f;
}

Fields<SwapArea> swap_fields() {
    using K = Keys<SwapArea>;
    return {
        path<SwapArea>("device", &SwapArea::device),
        K::text("kind", &SwapArea::kind),
        bytes<SwapArea>("size_bytes", &SwapArea::size),
        bytes<SwapArea>("used_bytes", &SwapArea::used),
    };
}

Fields<LoopDevice> loop_fields() {
    using K = Keys<LoopDevice>;
    using L = LoopDevice;
    return {
        K::text("name", &L::name),
        K::ident("backing_file", &L::backing_file),
        K::known("size_bytes", &L::size),
        K::text("filesystem", at(&L::content, &BlockContent::filesystem)),
        paths<L>("mount_points", at(&L::content, &BlockContent::mount_points)),
    };
}

}  // namespace

Fields<DiskInfo> disk_layout_fields() {
    Fields<DiskInfo> f = {Keys<DiskInfo>::text("partition_table", &DiskInfo::partition_table)};
    add_content(f, &DiskInfo::content);
    f.push_back(Keys<DiskInfo>::list("partitions", &DiskInfo::partitions, partition_fields()));
    return f;
}

Fields<S> storage_fields() {
    using K = Keys<S>;
    return {
        K::list("volumes", &S::volumes, volume_fields()),
        K::list("arrays", &S::arrays, array_fields()),
        K::list("device_mapper", &S::device_mapper, mapped_fields()),
        K::list("swap", &S::swap, swap_fields()),
        K::list("loop_devices", &S::loop_devices, loop_fields()),
    };
}

}  // namespace nadrel::json
