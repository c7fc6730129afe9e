// The PCI ID database of a root, read once per process and kept, and the name lookup over it,
// walked once per distinct vendor and device.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "core/pci_ids.h"
#include "linux/gpu.h"

namespace nadrel {

namespace {

constexpr std::string_view database_paths[] = {"/usr/share/hwdata/pci.ids",
                                               "/usr/share/misc/pci.ids"};

std::shared_ptr<const std::string> read_database(const SysRoot& root) {
    for (const std::string_view path : database_paths) {
        if (auto text = read_raw_text(root, path, large_file_limit)) {
            return std::make_shared<const std::string>(std::move(*text));
        }
    }
    return std::make_shared<const std::string>();
}

// A captured tree rarely carries the database; the host's copy still names its devices.
bool borrows_host_database(const SysRoot& root) {
    if (root.is_host())
        return false;
    for (const std::string_view path : database_paths) {
        if (exists(root, path))
            return false;
    }
    return true;
}

// One text per root for the life of the process; the process root is the one that matters,
// the others are test trees.
std::shared_ptr<const std::string> database_text(const SysRoot& root) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const std::string>> cache;
    const std::lock_guard<std::mutex> lock(mutex);
    auto& text = cache[root.dir()];
    if (text)
        return text;
    if (borrows_host_database(root)) {
        auto& host = cache["/"];
        if (!host)
            host = read_database(SysRoot());
        text = host;
    } else {
        text = read_database(root);
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
    const auto db = database_text(root);
    auto name = pci_lookup(*db, vendor_id, device_id);
    const std::lock_guard<std::mutex> lock(mutex);
    names[root.dir()].emplace(key, name);
    return name;
}

}  // namespace nadrel
