// The PCI ID database of a root, read once per process and kept, and the name lookup over it.
#include <map>
#include <memory>
#include <mutex>

#include "core/pci_ids.h"
#include "linux/gpu.h"
#include "linux/mapped_text.h"

namespace nadrel {

namespace {

constexpr std::string_view database_paths[] = {"/usr/share/hwdata/pci.ids",
                                               "/usr/share/misc/pci.ids"};

std::shared_ptr<const MappedText> read_database(const SysRoot& root) {
    for (const std::string_view path : database_paths) {
        if (auto text = map_text(root, path, large_file_limit)) {
            return std::make_shared<const MappedText>(std::move(*text));
        }
    }
    return std::make_shared<const MappedText>();
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
std::shared_ptr<const MappedText> database_text(const SysRoot& root) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const MappedText>> cache;
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
    const auto db = database_text(root);
    return pci_lookup(db->view(), vendor_id, device_id);
}

}  // namespace nadrel
