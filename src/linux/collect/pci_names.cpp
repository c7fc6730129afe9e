// The PCI and USB ID databases of a root, each read and indexed once per process and kept, and
// the name lookups over them; each name is looked up once per distinct identifier.
#include "linux/collect/pci_names.h"

#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>

#include "core/ids/pci_ids.h"
#include "core/text/fields.h"
#include "linux/root/mapped_text.h"

namespace nadrel {

namespace {

using Paths = std::span<const std::string_view>;

constexpr std::string_view pci_paths[] = {"/usr/share/hwdata/pci.ids", "/usr/share/misc/pci.ids"};
constexpr std::string_view usb_paths[] = {"/usr/share/hwdata/usb.ids", "/usr/share/misc/usb.ids"};

struct Database {
    MappedText text;
    IdIndex index;
};

std::shared_ptr<const Database> read_database(const SysRoot& root, Paths paths) {
    auto db = std::make_shared<Database>();
    for (const std::string_view path : paths) {
        if (auto text = map_text(root, path, large_file_limit)) {
            db->text = std::move(*text);
            break;
        }
    }
    db->index = index_ids(db->text.view());
    return db;
}

// A captured tree rarely carries the database; the host's copy still names its devices.
bool borrows_host_database(const SysRoot& root, Paths paths) {
    if (root.is_host())
        return false;
    for (const std::string_view path : paths) {
        if (exists(root, path))
            return false;
    }
    return true;
}

std::mutex mutex;

// One database per root for the life of the process; the process root is the one that
// matters, the others are test trees.
std::shared_ptr<const Database> database(const SysRoot& root, Paths paths) {
    static std::map<std::pair<std::string, std::string_view>, std::shared_ptr<const Database>>
        cache;
    const std::lock_guard<std::mutex> lock(mutex);
    auto& db = cache[{root.dir(), paths.front()}];
    if (db)
        return db;
    if (borrows_host_database(root, paths)) {
        auto& host = cache[{"/", paths.front()}];
        if (!host)
            host = read_database(SysRoot(), paths);
        db = host;
    } else {
        db = read_database(root, paths);
    }
    return db;
}

// Lookups already made, per root: a thousand identical functions need one.
template <typename Value>
class Remembered {
public:
    template <typename Lookup>
    Value get(const SysRoot& root, std::uint64_t key, Lookup&& lookup) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            auto& known = values_[root.dir()];
            if (const auto found = known.find(key); found != known.end())
                return found->second;
        }
        Value value = lookup();
        const std::lock_guard<std::mutex> lock(mutex_);
        values_[root.dir()].emplace(key, value);
        return value;
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::unordered_map<std::uint64_t, Value>> values_;
};

std::uint64_t pair_key(std::uint16_t a, std::uint16_t b) {
    return std::uint64_t{a} << 16 | b;
}

}  // namespace

std::optional<std::string> pci_name(const SysRoot& root, std::uint16_t vendor_id,
                                    std::uint16_t device_id) {
    static Remembered<std::optional<std::string>> names;
    return names.get(root, pair_key(vendor_id, device_id), [&] {
        const auto db = database(root, pci_paths);
        auto found = id_lookup(db->text.view(), db->index, vendor_id, device_id);
        return found ? std::move(found->device) : std::nullopt;
    });
}

PciNames pci_function_names(const SysRoot& root, std::uint16_t vendor_id, std::uint16_t device_id,
                            std::uint16_t subsystem_vendor_id, std::uint16_t subsystem_device_id) {
    static Remembered<PciNames> names;
    const std::uint64_t key =
        pair_key(vendor_id, device_id) << 32 | pair_key(subsystem_vendor_id, subsystem_device_id);
    return names.get(root, key, [&] {
        const auto db = database(root, pci_paths);
        const std::string_view text = db->text.view();
        PciNames out;
        const auto found = id_lookup(text, db->index, vendor_id, device_id);
        if (!found)
            return out;
        out.vendor = found->vendor;
        out.device = found->device.value_or("");
        if (found->device) {
            out.subsystem = subsystem_lookup(text, db->index, vendor_id, device_id,
                                             subsystem_vendor_id, subsystem_device_id)
                                .value_or("");
        }
        return out;
    });
}

std::optional<std::string> pci_class_name(const SysRoot& root, std::uint32_t class_code) {
    static Remembered<std::optional<std::string>> names;
    const auto cls = static_cast<std::uint8_t>(class_code >> 16 & 0xFF);
    const auto subclass = static_cast<std::uint8_t>(class_code >> 8 & 0xFF);
    return names.get(root, pair_key(cls, subclass), [&]() -> std::optional<std::string> {
        const auto db = database(root, pci_paths);
        auto found = class_lookup(db->text.view(), db->index, cls, subclass);
        if (!found)
            return std::nullopt;
        return found->subclass ? std::move(*found->subclass) : std::move(found->name);
    });
}

std::optional<IdNames> usb_ids_names(const SysRoot& root, std::uint16_t vendor_id,
                                     std::uint16_t product_id) {
    const auto db = database(root, usb_paths);
    return id_lookup(db->text.view(), db->index, vendor_id, product_id);
}

std::optional<std::string> usb_class_name(const SysRoot& root, std::uint8_t class_id) {
    static Remembered<std::optional<std::string>> names;
    return names.get(root, class_id, [&]() -> std::optional<std::string> {
        const auto db = database(root, usb_paths);
        auto found = class_lookup(db->text.view(), db->index, class_id, 0);
        if (!found)
            return std::nullopt;
        return std::move(found->name);
    });
}

std::optional<std::string> pci_device_name(const SysRoot& root, std::string_view device_dir) {
    // Read from where the links lead: each read through a link would resolve them again.
    std::string dir(device_dir);
    if (const auto canonical = canonical_path(root, dir)) {
        dir = *canonical;
        const std::size_t slash = dir.rfind('/');
        if (slash != std::string::npos && slash != 0 &&
            is_numbered_name(std::string_view(dir).substr(slash + 1), "virtio")) {
            // A virtio device ("virtio3") is named by the PCI function above it.
            dir.resize(slash);
        }
    }
    const auto vendor = read_hex(root, dir + "/vendor");
    const auto id = read_hex(root, dir + "/device");
    if (!vendor || !id || *vendor > 0xFFFF || *id > 0xFFFF)
        return std::nullopt;
    return pci_name(root, static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*id));
}

}  // namespace nadrel
