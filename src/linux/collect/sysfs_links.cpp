// Names from sysfs links: read as text on the running machine, whose kernel made them, and
// resolved inside the root on a captured tree, which may lie.
#include "linux/collect/sysfs_links.h"

#include <utility>
#include <vector>

#include "core/text/fields.h"

namespace nadrel {

namespace {

bool hex_digits(std::string_view text) {
    return !text.empty() &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// The last two components of a path or link text.
std::pair<std::string_view, std::string_view> last_two(std::string_view path) {
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return {{}, path};
    const std::string_view name = path.substr(slash + 1);
    const std::string_view rest = path.substr(0, slash);
    const std::size_t before = rest.rfind('/');
    return {before == std::string_view::npos ? rest : rest.substr(before + 1), name};
}

}  // namespace

bool is_pci_address(std::string_view name) {
    // dddd:bb:dd.f
    return name.size() == 12 && name[4] == ':' && name[7] == ':' && name[10] == '.' &&
           hex_digits(name.substr(0, 4)) && hex_digits(name.substr(5, 2)) &&
           hex_digits(name.substr(8, 2)) && name[11] >= '0' && name[11] <= '7';
}

std::optional<std::string> linked_name(const SysRoot& root, std::string_view path,
                                       std::string_view parent) {
    auto target = read_link(root, path);
    if (!target)
        return std::nullopt;
    // A captured tree's link must lead to something inside it: joined to its folder (reached
    // without links, so ".." means what it says) and found there.
    if (!root.is_host()) {
        target = joined(path.substr(0, path.rfind('/')), *target);
        if (!exists(root, *target))
            return std::nullopt;
    }
    const auto [folder, name] = last_two(*target);
    if (folder != parent || name.empty() || name == "." || name == "..")
        return std::nullopt;
    return std::string(name);
}

std::optional<std::string> link_destination(const SysRoot& root, std::string_view path) {
    if (!root.is_host())
        return canonical_path(root, path);
    const auto target = read_link(root, path);
    if (!target)
        return std::nullopt;
    return joined(path.substr(0, path.rfind('/')), *target);
}

std::string joined(std::string_view folder, std::string_view target) {
    std::vector<std::string_view> parts;
    // An absolute target starts again from the top.
    for (const std::string_view part : split_on(target.starts_with('/') ? "" : folder, '/')) {
        if (!part.empty())
            parts.push_back(part);
    }
    for (const std::string_view part : split_on(target, '/')) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (const std::string_view part : parts) {
        out += '/';
        out += part;
    }
    return out.empty() ? "/" : out;
}

std::optional<std::string> bound_driver(const SysRoot& root, std::string_view device_dir) {
    return linked_name(root, std::string(device_dir) + "/driver", "drivers");
}

std::string pci_function_of(std::string_view canonical) {
    std::string_view function;
    for (const std::string_view part : split_on(canonical, '/')) {
        if (is_pci_address(part)) {
            function = part;
        } else if (!function.empty() && is_numbered_name(part, "usb")) {
            function = {};  // a USB host controller's root hub: the device is on USB
            break;
        }
    }
    return std::string(function);
}

}  // namespace nadrel
