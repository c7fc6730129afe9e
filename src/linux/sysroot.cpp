// Bounded reads beneath a root folder. Files are opened non-blocking and anything that is not a
// regular file reads as absent, so a FIFO or device in a captured tree can never hang us.
#include "linux/sysroot.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>

#include "core/numbers.h"
#include "core/unicode.h"
#include "linux/unique_fd.h"

namespace nadrel {

namespace {

std::string_view relative_part(std::string_view path) {
    while (!path.empty() && path.front() == '/')
        path.remove_prefix(1);
    return path;
}

// openat2 with RESOLVE_IN_ROOT treats absolute links and ".." as relative to the root folder.
int open_in_root(int dirfd, std::string_view rel, int flags) {
    std::string p(rel.empty() ? std::string_view(".") : rel);
    open_how how{};
    how.flags = static_cast<__u64>(static_cast<unsigned>(flags));
    how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
    for (;;) {
        const long fd = ::syscall(SYS_openat2, dirfd, p.c_str(), &how, sizeof how);
        if (fd >= 0)
            return static_cast<int>(fd);
        if (errno == EINTR)
            continue;
        if (errno == ENOSYS || errno == EPERM) {
            // No openat2 (old kernel or a filter): plain relative open.
            return ::openat(dirfd, p.c_str(), flags);
        }
        return -1;
    }
}

template <typename Buffer>
std::optional<Buffer> read_fd(int fd, std::size_t limit) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    Buffer data;
    std::size_t cap = 4096;
    if (st.st_size > 0)
        cap = std::min(static_cast<std::size_t>(st.st_size) + 1, limit + 1);
    data.resize(cap);
    std::size_t used = 0;
    for (;;) {
        if (used == data.size()) {
            if (data.size() > limit)
                return std::nullopt;
            data.resize(std::min(data.size() * 2, limit + 1));
        }
        const ssize_t n = ::read(fd, data.data() + used, data.size() - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
        if (used > limit)
            return std::nullopt;
    }
    data.resize(used);
    return data;
}

}  // namespace

SysRoot::SysRoot() : dir_("/") {}

SysRoot::SysRoot(std::string dir) : dir_(std::move(dir)) {
    while (dir_.size() > 1 && dir_.back() == '/')
        dir_.pop_back();
    if (dir_.empty())
        dir_ = "/";
    host_ = dir_ == "/";
    if (!host_) {
        dirfd_ = std::make_shared<const UniqueFd>(
            ::open(dir_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
}

int SysRoot::open_at(std::string_view path, int flags) const {
    flags |= O_CLOEXEC;
    if (host_) {
        std::string p(path);
        return ::open(p.c_str(), flags);
    }
    if (!dirfd_ || !dirfd_->valid())
        return -1;
    return open_in_root(dirfd_->get(), relative_part(path), flags);
}

std::string SysRoot::host_path(std::string_view path) const {
    if (host_)
        return std::string(path);
    std::string out = dir_;
    out += '/';
    out += relative_part(path);
    return out;
}

std::optional<std::vector<std::uint8_t>> read_bytes(const SysRoot& root, std::string_view path,
                                                    std::size_t limit) {
    const UniqueFd fd(root.open_at(path, O_RDONLY | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return std::nullopt;
    return read_fd<std::vector<std::uint8_t>>(fd.get(), limit);
}

std::optional<std::string> read_raw_text(const SysRoot& root, std::string_view path,
                                         std::size_t limit) {
    const UniqueFd fd(root.open_at(path, O_RDONLY | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return std::nullopt;
    return read_fd<std::string>(fd.get(), limit);
}

std::optional<std::string> read_text(const SysRoot& root, std::string_view path) {
    auto text = read_raw_text(root, path);
    if (!text || !is_valid_utf8(*text))
        return std::nullopt;
    text->resize(trim_end(*text).size());
    return text;
}

std::optional<std::uint64_t> read_u64(const SysRoot& root, std::string_view path) {
    const auto text = read_text(root, path);
    if (!text)
        return std::nullopt;
    return parse_u64(*text);
}

std::optional<std::uint32_t> read_hex(const SysRoot& root, std::string_view path) {
    const auto text = read_text(root, path);
    if (!text)
        return std::nullopt;
    return parse_hex32(*text);
}

bool exists(const SysRoot& root, std::string_view path) {
    return UniqueFd(root.open_at(path, O_PATH)).valid();
}

bool has_entry(const SysRoot& root, std::string_view path) {
    return UniqueFd(root.open_at(path, O_PATH | O_NOFOLLOW)).valid();
}

std::optional<timespec> modification_time(const SysRoot& root, std::string_view path) {
    const UniqueFd fd(root.open_at(path, O_PATH));
    if (!fd.valid())
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return std::nullopt;
    return st.st_mtim;
}

std::vector<std::string> list_dir(const SysRoot& root, std::string_view path) {
    std::vector<std::string> names;
    UniqueFd fd(root.open_at(path, O_RDONLY | O_DIRECTORY | O_NONBLOCK));
    if (!fd.valid())
        return names;
    DIR* dir = ::fdopendir(fd.get());
    if (dir == nullptr)
        return names;
    fd.release();  // the DIR stream owns it now
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

std::vector<std::string> list_dir_sorted(const SysRoot& root, std::string_view path) {
    auto names = list_dir(root, path);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> canonical_path(const SysRoot& root, std::string_view path) {
    // Resolve component by component with lstat/readlink beneath the root: absolute link
    // targets restart at the root and ".." never climbs above it.
    std::vector<std::string> done;
    std::vector<std::string> todo;
    auto push_front = [&todo](std::string_view p) {
        std::vector<std::string> parts;
        std::size_t start = 0;
        while (start <= p.size()) {
            const std::size_t slash = p.find('/', start);
            const std::size_t end = slash == std::string_view::npos ? p.size() : slash;
            if (end > start)
                parts.emplace_back(p.substr(start, end - start));
            if (slash == std::string_view::npos)
                break;
            start = slash + 1;
        }
        todo.insert(todo.end(), parts.rbegin(), parts.rend());  // todo is a stack
    };
    push_front(path);
    int links = 0;
    const std::string base = root.is_host() ? std::string() : root.dir();
    while (!todo.empty()) {
        std::string part = std::move(todo.back());
        todo.pop_back();
        if (part == ".")
            continue;
        if (part == "..") {
            if (!done.empty())
                done.pop_back();
            continue;
        }
        std::string candidate = base;
        for (const auto& d : done)
            candidate += "/" + d;
        candidate += "/" + part;
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) != 0)
            return std::nullopt;
        if (!S_ISLNK(st.st_mode)) {
            done.push_back(std::move(part));
            continue;
        }
        if (++links > 40)
            return std::nullopt;
        char buf[4096];
        const ssize_t n = ::readlink(candidate.c_str(), buf, sizeof buf);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf)
            return std::nullopt;
        const std::string_view target(buf, static_cast<std::size_t>(n));
        if (target.front() == '/')
            done.clear();
        push_front(target);
    }
    std::string out;
    for (const auto& d : done)
        out += "/" + d;
    if (out.empty())
        out = "/";
    return out;
}

}  // namespace nadrel
