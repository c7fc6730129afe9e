// Saving the report shown in the window: the print-mode text, written beside the old file and
// renamed over it, so a failed save never destroys the report saved before, and nothing is
// ever opened through a symbolic link.
#include "linux/export/export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <variant>

#include "core/report/report.h"
#include "core/text/fmt.h"
#include "core/text/unicode.h"
#include "linux/root/unique_fd.h"

namespace nadrel {

namespace {

// An error as the status line shows it: "Permission denied (os error 13)".
std::string os_error(int error) {
    return strfmt("%s (os error %d)", std::strerror(error), error);
}

// Writes everything, retrying interrupted writes.
Failure write_fully(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return os_error(errno);
        }
        if (n == 0) {
            return std::string("failed to write whole buffer");
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

std::string host_name(const SysRoot& root) {
    // Raw: a name with bytes that are not UTF-8 gives no file name of its own.
    const auto text = read_raw_text(root, "/proc/sys/kernel/hostname");
    if (!text || !is_valid_utf8(*text)) {
        return "system";
    }
    return std::string(trim(*text));
}

// A fresh name in the folder for the new content, short whatever the host name, created with
// mode 0666 before the umask, like a new report; the error number when none can be made.
struct Temporary {
    std::string name;
    UniqueFd file;
};

std::variant<Temporary, int> create_temporary(int dir) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = strfmt(".nadrel-%ld-%u.tmp", static_cast<long>(::getpid()), counter++);
        const int fd =
            ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            return Temporary{std::move(name), UniqueFd(fd)};
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// Only where nothing is there yet: an earlier report, or a link, is never opened for writing.
// When something is there, the reason there was no temporary file is the error.
Failure write_new_file(int dir, const std::string& name, std::string_view text,
                       int temporary_error) {
    UniqueFd file(
        ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!file.valid())
        return os_error(errno == EEXIST ? temporary_error : errno);
    if (Failure failure = write_fully(file.get(), text))
        return failure;
    if (const int error = file.close_now())
        return os_error(error);
    return std::nullopt;
}

Failure write_through_temporary(int dir, Temporary temporary, const std::string& name,
                                std::string_view text) {
    Failure failure;
    // An earlier report keeps its permission bits (a private 0600 report stays private); a
    // link at the name is replaced, never followed.
    struct stat old {};
    if (::fstatat(dir, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode) &&
        ::fchmod(temporary.file.get(), old.st_mode & 07777) != 0) {
        failure = os_error(errno);
    }
    if (!failure)
        failure = write_fully(temporary.file.get(), text);
    // The data must be on disk before the old file is replaced.
    if (!failure && ::fsync(temporary.file.get()) != 0)
        failure = os_error(errno);
    if (const int close_error = temporary.file.close_now(); !failure && close_error != 0)
        failure = os_error(close_error);
    if (!failure && ::renameat(dir, temporary.name.c_str(), dir, name.c_str()) != 0)
        failure = os_error(errno);
    if (failure)
        ::unlinkat(dir, temporary.name.c_str(), 0);
    return failure;
}

std::string file_name(const SysRoot& root) {
    return safe_file_component(host_name(root)) + "-nadrel.txt";
}

}  // namespace

Failure write_report_file(const std::string& dir, const std::string& name, std::string_view text,
                          TemporaryFile temporary) {
    const UniqueFd folder(::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid())
        return os_error(errno);
    auto made = temporary == TemporaryFile::Use ? create_temporary(folder.get())
                                                : std::variant<Temporary, int>(ENOSPC);
    if (auto* file = std::get_if<Temporary>(&made))
        return write_through_temporary(folder.get(), std::move(*file), name, text);
    // No temporary file (a full disk, no inodes left): a first report can still be written,
    // an earlier one stays as it was.
    return write_new_file(folder.get(), name, text, std::get<int>(made));
}

std::string report_file_path(const SysRoot& root, const std::optional<std::string>& home) {
    return home.value_or(".") + "/" + file_name(root);
}

std::string safe_file_component(std::string_view host) {
    if (host.empty() || host == "." || host == "..") {
        return "system";
    }
    std::string out(host);
    for (char& c : out) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    return out;
}

std::string unused_report_name(const std::string& dir) {
    const UniqueFd folder(::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::string name = "nadrel-report.txt";
    struct stat st {};
    // A link, even a dangling one, is something there; past 999 the last name is taken anyway
    // (the save then fails or replaces it as any save would).
    for (int n = 2; folder.valid() && n <= 999 &&
                    ::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
         ++n) {
        name = strfmt("nadrel-report-%d.txt", n);
    }
    return name;
}

std::string save_report(const SysRoot& root, const std::optional<std::string>& home,
                        std::string_view stamp, const Report& report) {
    SaveState state;
    return save_report(root, home, stamp, report, false, state);
}

std::string save_report(const SysRoot& root, const std::optional<std::string>& home,
                        std::string_view stamp, const Report& report, bool sanitize,
                        SaveState& state) {
    const std::string text = render_text(title_block(stamp), report);
    const std::string dir = home.value_or(".");
    std::string name = file_name(root);
    std::string shown = dir + "/";
    if (sanitize) {
        if (state.sanitized_name.empty()) {
            state.sanitized_name = unused_report_name(dir);
        }
        name = state.sanitized_name;
        shown = home ? "~/" : shown;
    }
    shown += name;
    if (const Failure failure = write_report_file(dir, name, text, TemporaryFile::Use)) {
        return "Could not save " + shown + ": " + *failure;
    }
    return "Saved to " + shown;
}

}  // namespace nadrel
