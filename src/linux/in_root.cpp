// The user-space walk beneath a root: readlinkat tells links from the rest, each directory is
// entered with O_PATH | O_NOFOLLOW, and the work is bounded per path and per root.
#include "linux/in_root.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "linux/unique_fd.h"

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

int fail(int error) {
    errno = error;
    return -1;
}

}  // namespace

int open_beneath(int root_fd, std::string_view rel, int flags, ResolveBudget& budget,
                 std::vector<std::string>* names) {
    flags |= O_CLOEXEC;
    std::vector<std::string> todo;
    std::vector<std::string> done;
    push_components(todo, rel);
    UniqueFd current;  // invalid: the root itself
    int links = 0;
    std::size_t link_components = 0;
    const auto here = [&] { return current.valid() ? current.get() : root_fd; };
    while (!todo.empty()) {
        const std::string part = std::move(todo.back());
        todo.pop_back();
        if (part == ".")
            continue;
        if (part == "..") {
            // Never above the root; below it, the parent we came through.
            if (done.empty())
                continue;
            done.pop_back();
            if (done.empty()) {
                current.reset();
                continue;
            }
            const int parent = ::openat(here(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (parent < 0)
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
            budget.link_components += added;
            if (link_components > max_link_components_per_path ||
                budget.link_components > max_link_components_per_root)
                return fail(ELOOP);
            if (link.front() == '/') {
                done.clear();
                current.reset();
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
