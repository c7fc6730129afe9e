// Bounded reads beneath a root folder. Only regular files are ever opened for reading, so a
// FIFO or device in a captured tree can neither hang us nor have its driver's open run.
#include "linux/root/sysroot.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <limits>
#include <unordered_map>

#include "core/text/fields.h"
#include "core/text/numbers.h"
#include "core/text/unicode.h"
#include "linux/root/in_root.h"
#include "linux/root/unique_fd.h"

namespace nadrel {

namespace {

std::string_view relative_part(std::string_view path) {
    while (!path.empty() && path.front() == '/')
        path.remove_prefix(1);
    return path;
}

// openat2 beneath the root without following any symbolic link: ".." stops at the root, and a
// link anywhere in the path fails with ELOOP (a final one is opened itself with O_PATH |
// O_NOFOLLOW). The kernel is not asked to follow links because it would walk a hostile chain
// of 40 links of 2,000 components each, for every file read through it, without limit.
int openat2_no_links(int dirfd, const std::string& rel, int flags) {
    open_how how{};
    how.flags = static_cast<__u64>(static_cast<unsigned>(flags | O_CLOEXEC));
    how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_SYMLINKS;
    for (;;) {
        const long fd =
            ::syscall(SYS_openat2, dirfd, rel.empty() ? "." : rel.c_str(), &how, sizeof how);
        if (fd >= 0)
            return static_cast<int>(fd);
        if (errno != EINTR)
            return -1;
    }
}

// Whether the kernel resolves beneath this root at all. Kernels before 5.6 answer ENOSYS, and
// a seccomp filter may answer any error, EPERM, EACCES or EINVAL among them: every refusal of
// the root itself means the walk does the work. After this, an error is the path's own.
bool kernel_resolves_beneath(int root_fd) {
    return UniqueFd(openat2_no_links(root_fd, ".", O_PATH | O_DIRECTORY)).valid();
}

// Folders reached through links, remembered so that the files of one device folder cost one
// walk; bounded so that a tree of a million links cannot grow it without end.
constexpr std::size_t max_remembered_folders = 16384;

// The descriptor of an O_PATH one, opened again for reading: /proc/self/fd/N reaches the very
// inode that was checked, which the path could no longer promise.
int reopen_for_reading(int path_fd) {
    const std::string self = "/proc/self/fd/" + std::to_string(path_fd);
    return ::open(self.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
}

template <typename Buffer>
std::optional<Buffer> read_regular(const SysRoot& root, std::string_view path, std::size_t limit) {
    struct stat st {};
    const UniqueFd fd(open_regular_file(root, path, st));
    if (!fd.valid())
        return std::nullopt;
    // A size past what size_t holds is over every limit.
    const auto size = static_cast<std::size_t>(
        std::min<std::uint64_t>(st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0,
                                std::numeric_limits<std::size_t>::max()));
    return read_to_end<Buffer>(
        [&fd](void* buffer, std::size_t n) { return ::read(fd.get(), buffer, n); }, size, limit);
}

// The text decoded with replacement, trailing white space removed.
std::string decoded_text(std::string text) {
    if (!is_valid_utf8(text))
        text = utf8_lossy(text);
    text.resize(trim_end(text).size());
    return text;
}

}  // namespace

struct SysRoot::State {
    UniqueFd dir;
    Resolver resolver = Resolver::Kernel;
    ResolveBudget budget;
    // A folder as asked for ("sys/class/net/eth0/device") and where its links lead.
    std::unordered_map<std::string, std::string> folders;

    int open_no_links(const std::string& rel, int flags) {
        if (resolver == Resolver::Kernel)
            return openat2_no_links(dir.get(), rel, flags);
        return open_beneath(dir.get(), rel, flags, budget);
    }

    // rel by the bounded walk, started where the kernel reaches without a link: the link is
    // nearly always one of the last few components ("net/eth0/device"). names receives the
    // canonical components.
    int open_resolved(const std::string& rel, int flags, std::vector<std::string>& names) {
        if (resolver == Resolver::Kernel && rel.find("/.") == std::string::npos &&
            !rel.starts_with(".")) {
            std::size_t cut = rel.size();
            for (int tries = 0; tries < 3; ++tries) {
                cut = rel.rfind('/', cut - 1);
                if (cut == std::string::npos || cut == 0)
                    break;
                const std::string prefix = rel.substr(0, cut);
                const int start = openat2_no_links(dir.get(), prefix, O_PATH | O_DIRECTORY);
                if (start >= 0) {
                    std::vector<std::string> start_names;
                    for (const auto part : split_on(prefix, '/')) {
                        if (!part.empty())
                            start_names.emplace_back(part);
                    }
                    return open_beneath_from(dir.get(), start, std::move(start_names),
                                             std::string_view(rel).substr(cut + 1), flags, budget,
                                             &names, openat2_no_links);
                }
                if (errno != ELOOP)
                    break;
            }
        }
        return open_beneath(dir.get(), rel, flags, budget, &names);
    }

    // rel with its folder taken from memory when that is resolved already ("sys/block/sda"
    // for "sys/block/sda/device"): only the last component can then be a link.
    std::string below_known(const std::string& rel) const {
        const std::size_t slash = rel.rfind('/');
        const auto parent =
            slash == std::string::npos ? folders.end() : folders.find(rel.substr(0, slash));
        if (parent == folders.end())
            return rel;
        return (parent->second.empty() ? "" : parent->second + "/") + rel.substr(slash + 1);
    }

    // The path with its folder's links resolved (by the bounded walk, once per folder).
    std::optional<std::string> resolve_folder(std::string_view rel) {
        const std::size_t slash = rel.rfind('/');
        if (slash == std::string_view::npos)
            return std::string(rel);
        const std::string folder(rel.substr(0, slash));
        const std::string_view last = rel.substr(slash + 1);
        auto known = folders.find(folder);
        if (known == folders.end()) {
            std::vector<std::string> names;
            const UniqueFd fd(open_resolved(below_known(folder), O_PATH | O_DIRECTORY, names));
            if (!fd.valid())
                return std::nullopt;
            std::string canonical;
            for (const auto& name : names)
                canonical += (canonical.empty() ? "" : "/") + name;
            if (folders.size() >= max_remembered_folders)
                return canonical.empty() ? std::string(last) : canonical + "/" + std::string(last);
            known = folders.emplace(folder, std::move(canonical)).first;
        }
        return known->second.empty() ? std::string(last) : known->second + "/" + std::string(last);
    }
};

SysRoot::SysRoot() : dir_("/"), state_(std::make_shared<State>()) {}

SysRoot::SysRoot(std::string dir, Resolver resolver)
    : dir_(std::move(dir)), state_(std::make_shared<State>()) {
    while (dir_.size() > 1 && dir_.back() == '/')
        dir_.pop_back();
    if (dir_.empty())
        dir_ = "/";
    host_ = dir_ == "/";
    if (host_)
        return;
    state_->dir.reset(::open(dir_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    state_->resolver = resolver == Resolver::Kernel && kernel_resolves_beneath(state_->dir.get())
                           ? Resolver::Kernel
                           : Resolver::UserSpace;
}

bool SysRoot::is_folder() const {
    return host_ || state_->dir.valid();
}

int SysRoot::open_at(std::string_view path, int flags) const {
    flags |= O_CLOEXEC;
    if (host_) {
        std::string p(path);
        return ::open(p.c_str(), flags);
    }
    State& state = *state_;
    if (!state.dir.valid())
        return -1;
    const std::string rel(relative_part(path));
    // Most files are reached without a link: one call. A folder already resolved is taken
    // from memory instead.
    const std::size_t slash = rel.rfind('/');
    const bool remembered =
        slash != std::string::npos && state.folders.contains(rel.substr(0, slash));
    if (state.resolver == Resolver::Kernel && !remembered) {
        const int fd = state.open_no_links(rel, flags);
        if (fd >= 0 || errno != ELOOP)
            return fd;
    }
    const auto resolved = state.resolve_folder(rel);
    if (!resolved)
        return -1;
    if (state.resolver == Resolver::UserSpace)
        return open_beneath(state.dir.get(), *resolved, flags, state.budget);
    // Only the last component can still be a link.
    const int fd = state.open_no_links(*resolved, flags);
    if (fd >= 0 || errno != ELOOP)
        return fd;
    return open_beneath(state.dir.get(), *resolved, flags, state.budget);
}

std::string SysRoot::host_path(std::string_view path) const {
    if (host_)
        return std::string(path);
    std::string out = dir_;
    out += '/';
    out += relative_part(path);
    return out;
}

int open_regular_file(const SysRoot& root, std::string_view path, struct stat& st) {
    const UniqueFd found(root.open_at(path, O_PATH));
    if (!found.valid() || ::fstat(found.get(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    return reopen_for_reading(found.get());
}

std::optional<std::vector<std::uint8_t>> read_bytes(const SysRoot& root, std::string_view path,
                                                    std::size_t limit) {
    return read_regular<std::vector<std::uint8_t>>(root, path, limit);
}

std::optional<std::string> read_raw_text(const SysRoot& root, std::string_view path,
                                         std::size_t limit) {
    return read_regular<std::string>(root, path, limit);
}

std::optional<std::string> read_text(const SysRoot& root, std::string_view path,
                                     std::size_t limit) {
    auto bytes = read_raw_text(root, path, limit);
    if (!bytes)
        return std::nullopt;
    return decoded_text(std::move(*bytes));
}

std::vector<std::optional<std::string>> read_texts_in(const SysRoot& root, std::string_view folder,
                                                      const std::vector<std::string>& names) {
    std::vector<std::optional<std::string>> texts;
    texts.reserve(names.size());
    const UniqueFd dir(root.is_host() ? root.open_at(folder, O_PATH | O_DIRECTORY) : -1);
    if (root.is_host() && !dir.valid()) {
        texts.resize(names.size());  // no folder, no files in it
        return texts;
    }
    for (const auto& name : names) {
        if (!dir.valid()) {
            texts.push_back(read_text(root, std::string(folder) + "/" + name));
            continue;
        }
        // The running machine's sysfs holds no FIFOs or devices, and its attributes answer
        // in one read: a read into a small buffer is the whole check.
        const UniqueFd fd(
            ::openat(dir.get(), name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        char buffer[256];
        const ssize_t n = fd.valid() ? ::read(fd.get(), buffer, sizeof buffer) : -1;
        if (n < 0 || static_cast<std::size_t>(n) == sizeof buffer) {
            texts.push_back(std::nullopt);
            continue;
        }
        texts.push_back(decoded_text(std::string(buffer, static_cast<std::size_t>(n))));
    }
    return texts;
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

std::optional<std::string> read_link(const SysRoot& root, std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? "." : path.substr(0, slash);
    const std::string name(path.substr(slash == std::string_view::npos ? 0 : slash + 1));
    const UniqueFd dir(root.open_at(folder.empty() ? "/" : folder, O_PATH | O_DIRECTORY));
    if (!dir.valid() || name.empty())
        return std::nullopt;
    char buffer[PATH_MAX];
    const ssize_t n = ::readlinkat(dir.get(), name.c_str(), buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer)
        return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
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
    SysRoot::State& state = *root.state_;
    if (!state.dir.valid()) {
        if (!root.is_host())
            return std::nullopt;
        state.dir.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
    const std::string rel(relative_part(path));
    if (const auto known = state.folders.find(rel); known != state.folders.end())
        return "/" + known->second;
    std::vector<std::string> names;
    const UniqueFd fd(state.open_resolved(state.below_known(rel), O_PATH, names));
    if (!fd.valid())
        return std::nullopt;
    std::string out;
    for (const auto& name : names)
        out += "/" + name;
    if (out.empty())
        out = "/";
    return out;
}

}  // namespace nadrel
