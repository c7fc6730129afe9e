// Path resolution beneath a root folder in user space, one component at a time, for kernels
// without openat2 and for canonical paths: absolute links restart at the root, ".." stops there.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nadrel {

// Symbolic links followed in one path, as the kernel allows.
inline constexpr int max_links_per_path = 40;
// Components that link targets may add to one path: real sysfs links add about ten.
inline constexpr std::size_t max_link_components_per_path = 256;
// Link-target components the walk may step through over the life of one root, so that
// thousands of paths through long link chains cannot add up to minutes of work.
inline constexpr std::size_t max_link_components_per_root = 200'000;

// Opens a path of plain names beneath the root while refusing every link (openat2 with
// RESOLVE_NO_SYMLINKS): -1 with ELOOP when a link is in the way.
using LinkFreeOpen = int (*)(int root_fd, const std::string& rel, int flags);

// What one root has spent on link components so far.
struct ResolveBudget {
    std::size_t link_components = 0;
};

// Opens rel (relative to the root folder root_fd) with flags, following links inside the
// root; a final link is left unfollowed when flags hold O_NOFOLLOW. Every directory step is
// taken with O_NOFOLLOW, and ".." by walking the names above it again from the root (never
// from the folder in hand, which may have been moved), so nothing outside the root is ever
// opened. When names is given it receives the canonical components below the root. -1 on
// failure.
int open_beneath(int root_fd, std::string_view rel, int flags, ResolveBudget& budget,
                 std::vector<std::string>* names = nullptr);

// The same, starting in a folder already reached without links: start (owned) is the folder
// at the components start_names below the root, and rel is taken from there.
// After each link, link_free (when given) is tried on the rest of the path at once, which
// is where a sysfs link nearly always leads.
int open_beneath_from(int root_fd, int start, std::vector<std::string> start_names,
                      std::string_view rel, int flags, ResolveBudget& budget,
                      std::vector<std::string>* names = nullptr, LinkFreeOpen link_free = nullptr);

}  // namespace nadrel
