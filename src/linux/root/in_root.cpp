// The user-space walk beneath a root: readlinkat tells links from the rest, each directory is
// entered with O_PATH | O_NOFOLLOW, and the work is bounded per path and per root.
#include "linux/root/in_root.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "linux/root/unique_fd.h"

namespace nadrel {

namespace {

// Pushes the components of a path onto a stack, so that the first is popped first; returns
// how many there were.
std::size_t push_components(std::vector<std::string>& todo, std::string_view path) {
    const std::size_t before = todo.size();
    std::size_t end = path.size();
    while (end > 0) {
        const std::size_t slash = path.rfind('/', end - 1);
        const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
        if (end > start)
            todo.emplace_back(path.substr(start, end - start));
        if (slash == std::string_view::npos)
            break;
        end = slash;
    }
    return todo.size() - before;
}

// The rest of the walk in one call, but for its last keep components, when it is plain names
// after leading ".." (which only climb the folders already reached, so they are exact): path
// receives the canonical names. -1 with EAGAIN when the rest is not of that shape.
int try_link_free(int root_fd, const std::vector<std::string>& done,
                  const std::vector<std::string>& todo, std::size_t keep, int flags,
                  LinkFreeOpen link_free, std::vector<std::string>& path) {
    path = done;
    std::size_t i = todo.size();
    for (; i > keep && (todo[i - 1] == ".." || todo[i - 1] == "."); --i) {
        if (todo[i - 1] == ".." && !path.empty())
            path.pop_back();
    }
    std::string rel;
    for (const auto& name : path)
        rel += (rel.empty() ? "" : "/") + name;
    for (; i > keep; --i) {
        if (todo[i - 1] == ".." || todo[i - 1] == ".") {
            errno = EAGAIN;
            return -1;
        }
        rel += (rel.empty() ? "" : "/") + todo[i - 1];
        path.push_back(todo[i - 1]);
    }
    return link_free(root_fd, rel, flags);
}

int fail(int error) {
    errno = error;
    return -1;
}

// The folder at names below the root, reached again from the root one plain name at a time
// (or by link_free in one call), never through a link. A ".." is taken this way rather than
// from the folder in hand: that folder may have been renamed out of the root since it was
// entered, and its parent is then outside. -1 for the root itself is not an error: errno 0.
int reopen_by_names(int root_fd, const std::vector<std::string>& names, LinkFreeOpen link_free) {
    errno = 0;
    if (names.empty())
        return -1;
    constexpr int folder = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    if (link_free != nullptr) {
        std::string rel;
        for (const auto& name : names)
            rel += (rel.empty() ? "" : "/") + name;
        return link_free(root_fd, rel, folder);
    }
    UniqueFd current;
    for (const auto& name : names) {
        const int next = ::openat(current.valid() ? current.get() : root_fd, name.c_str(), folder);
        if (next < 0)
            return -1;
        current.reset(next);
    }
    return current.release();
}

}  // namespace

int open_beneath(int root_fd, std::string_view rel, int flags, ResolveBudget& budget,
                 std::vector<std::string>* names) {
    return open_beneath_from(root_fd, -1, {}, rel, flags, budget, names);
}

int open_beneath_from(int root_fd, int start, std::vector<std::string> start_names,
                      std::string_view rel, int flags, ResolveBudget& budget,
                      std::vector<std::string>* names, LinkFreeOpen link_free) {
    flags |= O_CLOEXEC;
    std::vector<std::string> todo;
    std::vector<std::string> done = std::move(start_names);
    push_components(todo, rel);
    UniqueFd current(start);  // invalid: the root itself
    int links = 0;
    std::size_t link_components = 0;
    // Components from link targets sit on top of the stack: these many of them are left.
    std::size_t from_links = 0;
    const auto here = [&] { return current.valid() ? current.get() : root_fd; };
    // The next component; the root pays for the link components actually walked.
    const auto take = [&](std::string& part) {
        part = std::move(todo.back());
        todo.pop_back();
        if (from_links > 0) {
            --from_links;
            if (++budget.link_components > max_link_components_per_root)
                return false;
        }
        return true;
    };
    std::string part;
    while (!todo.empty()) {
        if (!take(part))
            return fail(ELOOP);
        if (part == ".")
            continue;
        if (part == "..") {
            // Never above the root; below it, the parent by name. A run of them is taken at
            // once, so "../../.." costs one walk back down.
            for (;;) {
                if (part == ".." && !done.empty())
                    done.pop_back();
                if (todo.empty() || (todo.back() != ".." && todo.back() != "."))
                    break;
                if (!take(part))
                    return fail(ELOOP);
            }
            const int parent = reopen_by_names(root_fd, done, link_free);
            if (parent < 0 && errno != 0)
                return -1;
            current.reset(parent);
            continue;
        }
        const bool last = todo.empty();
        char target[4096];
        const ssize_t n = ::readlinkat(here(), part.c_str(), target, sizeof target);
        if (n >= 0) {
            if (last && (flags & O_NOFOLLOW) != 0) {
                const int fd = ::openat(here(), part.c_str(), flags);
                if (fd >= 0 && names != nullptr) {
                    done.push_back(part);
                    *names = std::move(done);
                }
                return fd;
            }
            if (++links > max_links_per_path || n == 0 ||
                static_cast<std::size_t>(n) >= sizeof target)
                return fail(ELOOP);
            const std::string_view link(target, static_cast<std::size_t>(n));
            const std::size_t added = push_components(todo, link);
            link_components += added;
            from_links += added;
            if (link_components > max_link_components_per_path ||
                budget.link_components > max_link_components_per_root)
                return fail(ELOOP);
            if (link.front() == '/') {
                done.clear();
                current.reset();
            }
            if (link_free != nullptr) {
                std::vector<std::string> rest;
                const int fd = try_link_free(root_fd, done, todo, 0, flags, link_free, rest);
                if (fd >= 0 || (errno != ELOOP && errno != EAGAIN)) {
                    if (fd >= 0 && names != nullptr)
                        *names = std::move(rest);
                    return fd;
                }
                // Another link on the way, nearly always among the last few components
                // ("device" of a disk reached through /sys/block): the kernel takes the
                // folder before it.
                for (std::size_t keep = 1; keep <= 3 && errno == ELOOP && keep < todo.size();
                     ++keep) {
                    const int folder = try_link_free(root_fd, done, todo, keep,
                                                     O_PATH | O_DIRECTORY, link_free, rest);
                    if (folder >= 0) {
                        current.reset(folder);
                        done = std::move(rest);
                        // The components left are the bottom of the stack: those of them
                        // from links are what lies above the path's own.
                        const std::size_t own = todo.size() - from_links;
                        from_links = keep > own ? keep - own : 0;
                        todo.resize(keep);
                        break;
                    }
                }
            }
            continue;
        }
        if (errno != EINVAL)
            return -1;  // missing, not a folder, or not allowed
        if (last) {
            const int fd = ::openat(here(), part.c_str(), flags | O_NOFOLLOW);
            if (fd >= 0 && names != nullptr) {
                done.push_back(part);
                *names = std::move(done);
            }
            return fd;
        }
        const int next =
            ::openat(here(), part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0)
            return -1;
        current.reset(next);
        done.push_back(part);
    }
    // The path ended on the root, "." or "..", or a link to a folder.
    const int fd = ::openat(here(), ".", flags);
    if (fd >= 0 && names != nullptr)
        *names = std::move(done);
    return fd;
}

}  // namespace nadrel
