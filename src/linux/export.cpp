// Saving the report shown in the window: the print-mode text, written beside the old file and
// renamed over it, so a failed save never destroys the report saved before.
#include "linux/export.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/fmt.h"
#include "core/sanitize.h"
#include "core/unicode.h"
#include "linux/app.h"
#include "linux/unique_fd.h"

namespace nadrel {

namespace {

// An error as the status line shows it: "Permission denied (os error 13)".
std::string os_error(int error) {
    return strfmt("%s (os error %d)", std::strerror(error), error);
}

// Writes everything, retrying interrupted writes; the error text, or nothing on success.
std::optional<std::string> write_fully(int fd, std::string_view data) {
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
    const auto text = read_text(root, "/proc/sys/kernel/hostname");
    if (!text || !is_valid_utf8(*text)) {
        return "system";
    }
    return std::string(trim(*text));
}

// A fresh name beside path for the new content ("{dir}/.{name}.{pid}-{n}.tmp"), created with
// mode 0666 before the umask, like the file it replaces.
std::optional<std::pair<std::string, int>> create_temporary(const std::string& dir,
                                                            const std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = strfmt("%s/.%s.%ld-%u.tmp", dir.c_str(), name.c_str(),
                                        static_cast<long>(::getpid()), counter++);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            return std::pair(path, fd);
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// The old way: truncate and write in place.
std::optional<std::string> write_in_place(const std::string& path, std::string_view text) {
    UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        return os_error(errno);
    }
    if (auto error = write_fully(file.get(), text)) {
        return error;
    }
    if (const int error = file.close_now()) {
        return os_error(error);
    }
    return std::nullopt;
}

std::optional<std::string> write_replacing(const std::string& dir, const std::string& name,
                                           const std::string& path, std::string_view text) {
    auto temporary = create_temporary(dir, name);
    if (!temporary) {
        return write_in_place(path, text);
    }
    const std::string& temp_path = temporary->first;
    UniqueFd file(temporary->second);
    std::optional<std::string> error = write_fully(file.get(), text);
    // The data must be on disk before the old file is replaced.
    if (!error && ::fsync(file.get()) != 0) {
        error = os_error(errno);
    }
    if (const int close_error = file.close_now(); !error && close_error != 0) {
        error = os_error(close_error);
    }
    if (!error && ::rename(temp_path.c_str(), path.c_str()) != 0) {
        error = os_error(errno);
    }
    if (error) {
        ::unlink(temp_path.c_str());
    }
    return error;
}

std::string file_name(const SysRoot& root) {
    return safe_file_component(host_name(root)) + "-nadrel.txt";
}

}  // namespace

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

std::string save_report(const SysRoot& root, const std::optional<std::string>& home,
                        std::string_view stamp, const Report& report, bool sanitize) {
    const std::string text = render_text(title_block(stamp), report);
    const std::string dir = home.value_or(".");
    const std::string name = file_name(root);
    const std::string path = dir + "/" + name;
    if (const auto error = write_replacing(dir, name, path, text)) {
        return "Could not save: " + *error;
    }
    if (sanitize) {
        const std::string shown_dir = home ? std::string(hidden_text) : dir;
        return "Saved to " + shown_dir + "/" + std::string(hidden_text) + "-nadrel.txt";
    }
    return "Saved to " + path;
}

}  // namespace nadrel
