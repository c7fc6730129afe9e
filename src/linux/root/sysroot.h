// The root every system file is read beneath, and the bounded, never-blocking file readers.
// A SysRoot of "/" reads the running machine; any other folder is a captured or fake machine
// (proc/, sys/, etc/, usr/share/...), with its symbolic links resolved inside that folder.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/numbers.h"

namespace nadrel {

class UniqueFd;
struct ResolveBudget;

// How paths beneath a non-host root are resolved: by the kernel (openat2 RESOLVE_IN_ROOT,
// when a probe on the root shows that it works) or always by the user-space walk.
enum class Resolver : std::uint8_t { Kernel, UserSpace };

// How much a reader takes from one file: a file over its reader's limit reads as absent.
// A sysfs attribute, a /proc/sys value or a one-line file of /etc: the kernel hands out at
// most a page.
inline constexpr std::size_t page_limit = std::size_t{4} << 10;
// A text list of one kind of thing: os-release, the ALSA card and PCM lists, and the procfs
// tables of fixed rows (meminfo, wireless, routes).
inline constexpr std::size_t list_limit = std::size_t{64} << 10;
// The procfs tables with a block or a line per CPU (cpuinfo, zoneinfo, stat): they admit a
// many-thousand-thread server.
inline constexpr std::size_t cpu_table_limit = std::size_t{16} << 20;
// The few big inputs: the PCI and USB ID databases and the fonts.
inline constexpr std::size_t large_file_limit = std::size_t{64} << 20;

class SysRoot {
public:
    SysRoot();  // the running machine, "/"
    explicit SysRoot(std::string dir, Resolver resolver = Resolver::Kernel);

    const std::string& dir() const { return dir_; }
    bool is_host() const { return host_; }
    // False when a non-host root names something that is not a folder (or nothing).
    bool is_folder() const;

    // Opens path (absolute, as on the machine) beneath the root; -1 on failure.
    int open_at(std::string_view path, int flags) const;
    // The host path of a machine path (for messages and lstat-based walks).
    std::string host_path(std::string_view path) const;

private:
    std::string dir_;
    bool host_ = true;
    struct State;
    // The root folder, kept open, and the resolver's budget, shared by copies of this root.
    std::shared_ptr<State> state_;
    friend std::optional<std::string> canonical_path(const SysRoot& root, std::string_view path);
};

// The regular file at path opened for reading, or -1. It is reached with O_PATH, which runs
// no driver's open, and reopened for reading only once fstat shows a regular file, so that a
// device node or FIFO in a captured tree is never opened. st receives its status.
int open_regular_file(const SysRoot& root, std::string_view path, struct stat& st);

// Reads by read_some (called as read(2) is, on the rest of a buffer) until it gives 0: a file
// may answer a page per call whatever its size, as sysfs binary attributes do. size is what
// the file claims (0 for none); nothing when more than limit bytes come or a read fails.
template <typename Buffer, typename ReadSome>
std::optional<Buffer> read_to_end(ReadSome&& read_some, std::size_t size, std::size_t limit);

// Readers: every failure (missing, unreadable, not a regular file, over the limit) gives
// nothing; a file whose size is over the limit is refused before anything is read.

// The text with every invalid UTF-8 sequence replaced by U+FFFD and trailing white space
// removed. Fields are split on ASCII bytes, which never belong to an invalid sequence, so
// each value comes out as if decoded on its own: one bad byte costs one character.
std::optional<std::string> read_text(const SysRoot& root, std::string_view path,
                                     std::size_t limit = page_limit);
// read_text of folder + "/" + each name, for the many small attribute files of one sysfs
// folder (memory blocks): on the running machine they are opened relative to the folder and
// read once each (none is over 255 bytes; a longer one reads as absent).
std::vector<std::optional<std::string>> read_texts_in(const SysRoot& root, std::string_view folder,
                                                      const std::vector<std::string>& names);
// Numbers from one attribute.
std::optional<std::uint64_t> read_u64(const SysRoot& root, std::string_view path);
std::optional<std::uint32_t> read_hex(const SysRoot& root, std::string_view path);
std::optional<std::vector<std::uint8_t>> read_bytes(const SysRoot& root, std::string_view path,
                                                    std::size_t limit = page_limit);
// The raw bytes as a string, not decoded (the caller decodes the values it keeps), without
// the copy read_bytes would need.
std::optional<std::string> read_raw_text(const SysRoot& root, std::string_view path,
                                         std::size_t limit = page_limit);
bool exists(const SysRoot& root, std::string_view path);
// True when the last component is there at all, even as a dangling or looping link.
bool has_entry(const SysRoot& root, std::string_view path);
// Entry names other than "." and "..": in the directory reader's order, or sorted by bytes.
std::vector<std::string> list_dir(const SysRoot& root, std::string_view path);
std::vector<std::string> list_dir_sorted(const SysRoot& root, std::string_view path);
// The path with every symbolic link resolved inside the root, written as on the machine
// ("/sys/devices/..."); nothing when a component is missing or links loop.
std::optional<std::string> canonical_path(const SysRoot& root, std::string_view path);
// The text of the symbolic link at path (its folder's links followed beneath the root), as
// readlink gives it; nothing when it is not a link.
std::optional<std::string> read_link(const SysRoot& root, std::string_view path);
// Modification time of a file (following links).
std::optional<timespec> modification_time(const SysRoot& root, std::string_view path);

template <typename Buffer, typename ReadSome>
std::optional<Buffer> read_to_end(ReadSome&& read_some, std::size_t size, std::size_t limit) {
    // A sparse file can claim gigabytes: refuse it from its size rather than read the limit.
    if (size > limit)
        return std::nullopt;
    Buffer data;
    // One byte past the claimed size, so that a file that is what it claims needs no growth.
    data.resize(size > 0 ? size + 1 : std::min<std::size_t>(4096, limit + 1));
    std::size_t used = 0;
    for (;;) {
        if (used == data.size()) {
            if (data.size() > limit)
                return std::nullopt;
            data.resize(std::min(data.size() * 2, limit + 1));
        }
        const ssize_t n = read_some(data.data() + used, data.size() - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    data.resize(used);
    return data;
}

}  // namespace nadrel
