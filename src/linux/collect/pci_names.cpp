// The PCI and USB ID databases of a root, each read once per process and kept, and the name
// lookups over them; a PCI name is looked up once per distinct vendor and device.
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

std::shared_ptr<const MappedText> read_database(const SysRoot& root, Paths paths) {
    for (const std::string_view path : paths) {
        if (auto text = map_text(root, path, large_file_limit)) {
            return std::make_shared<const MappedText>(std::move(*text));
        }
    }
    return std::make_shared<const MappedText>();
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

// One text per root and database for the life of the process; the process root is the one
// that matters, the others are test trees.
std::shared_ptr<const MappedText> database_text(const SysRoot& root, Paths paths) {
    static std::mutex mutex;
    static std::map<std::pair<std::string, std::string_view>, std::shared_ptr<const MappedText>>
        cache;
    const std::lock_guard<std::mutex> lock(mutex);
    auto& text = cache[{root.dir(), paths.front()}];
    if (text)
        return text;
    if (borrows_host_database(root, paths)) {
        auto& host = cache[{"/", paths.front()}];
        if (!host)
            host = read_database(SysRoot(), paths);
        text = host;
    } else {
        text = read_database(root, paths);
    }
    return text;
}

}  // namespace

std::optional<std::string> pci_name(const SysRoot& root, std::uint16_t vendor_id,
                                    std::uint16_t device_id) {
    // A lookup walks the whole database; a thousand identical adapters need only one walk.
    static std::mutex mutex;
    static std::map<std::string, std::unordered_map<std::uint32_t, std::optional<std::string>>>
        names;
    const std::uint32_t key = std::uint32_t{vendor_id} << 16 | device_id;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        auto& known = names[root.dir()];
        if (const auto found = known.find(key); found != known.end())
            return found->second;
    }
    const auto db = database_text(root, pci_paths);
    auto name = pci_lookup(db->view(), vendor_id, device_id);
    const std::lock_guard<std::mutex> lock(mutex);
    names[root.dir()].emplace(key, name);
    return name;
}

std::optional<IdNames> usb_ids_names(const SysRoot& root, std::uint16_t vendor_id,
                                     std::uint16_t product_id) {
    const auto db = database_text(root, usb_paths);
    return id_lookup(db->view(), vendor_id, product_id);
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
