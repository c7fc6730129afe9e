// The root every system file is read beneath, and the bounded, never-blocking file readers.
// A SysRoot of "/" reads the running machine; any other folder is a captured or fake machine
// (proc/, sys/, etc/, usr/share/...), with its symbolic links resolved inside that folder.
#pragma once

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
// falling back to the user-space walk when the kernel lacks it or a filter refuses it), or
// always by the user-space walk.
enum class Resolver : std::uint8_t { Kernel, UserSpace };

// Attribute and procfs files; admits the cpuinfo of a many-thousand-thread server.
inline constexpr std::size_t small_file_limit = std::size_t{16} << 20;
// The few big inputs: the SMBIOS table and the PCI ID database.
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

// Readers: every failure (missing, unreadable, not a regular file, too large) gives nothing;
// a file whose size is over the limit is refused before anything is read.
std::optional<std::string> read_text(const SysRoot& root, std::string_view path);
// read_text of folder + "/" + each name, for the many small attribute files of one sysfs
// folder (memory blocks): on the running machine they are opened relative to the folder and
// read once each (none is over 255 bytes; a longer one reads as absent).
std::vector<std::optional<std::string>> read_texts_in(const SysRoot& root, std::string_view folder,
                                                      const std::vector<std::string>& names);
std::optional<std::uint64_t> read_u64(const SysRoot& root, std::string_view path);
std::optional<std::uint32_t> read_hex(const SysRoot& root, std::string_view path);
std::optional<std::vector<std::uint8_t>> read_bytes(const SysRoot& root, std::string_view path,
                                                    std::size_t limit = small_file_limit);
// The raw bytes as a string, without the copy read_bytes would need (for the big text inputs).
std::optional<std::string> read_raw_text(const SysRoot& root, std::string_view path,
                                         std::size_t limit = small_file_limit);
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

}  // namespace nadrel
