// Fixture trees shaped like sysfs: links written relative, as the kernel makes them.
#include "support/sysfs_tree.h"

#include <vector>

namespace nadrel::test {

namespace {

std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        if (slash != 0)
            parts.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

}  // namespace

std::string relative_target(std::string_view link, std::string_view target) {
    auto from = components(link);
    from.pop_back();  // the link's own name
    const auto to = components(target);
    std::size_t common = 0;
    while (common < from.size() && common < to.size() && from[common] == to[common])
        ++common;
    std::string out;
    for (std::size_t i = common; i < from.size(); ++i)
        out += "../";
    for (std::size_t i = common; i < to.size(); ++i) {
        out += to[i];
        if (i + 1 < to.size())
            out += '/';
    }
    return out;
}

void kernel_link(const TempDir& dir, std::string_view link, std::string_view target) {
    dir.symlink(link, relative_target(link, target));
}

}  // namespace nadrel::test
