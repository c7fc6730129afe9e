// Command line, run mode, generation stamp.
#include "app/app.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "core/text/clean_text.h"
#include "core/text/fmt.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

struct Option {
    std::string_view name;
    bool Flags::*flag;
};

constexpr Option options[] = {
    {"--help", &Flags::help},
    {"-h", &Flags::help},
    {"--version", &Flags::version},
    {"--dump-smbios", &Flags::dump},
    {"--print", &Flags::print},
    {"-p", &Flags::print},
    {"--gui", &Flags::gui},
    {"-g", &Flags::gui},
    {"--detail", &Flags::detail},
    {"-d", &Flags::detail},
    {"--json", &Flags::json},
    {"--sanitize", &Flags::sanitize},
    {"--prometheus", &Flags::prometheus},
};

// The options that take files.
constexpr std::string_view load_option = "--load";
constexpr std::string_view compare_option = "--compare";

bool is_file_argument(std::string_view arg) {
    return arg == "-" || !arg.starts_with('-');
}

}  // namespace

std::vector<std::string_view> known_options() {
    std::vector<std::string_view> names;
    for (const Option& o : options)
        names.push_back(o.name);
    names.push_back(load_option);
    names.push_back(compare_option);
    return names;
}

Flags parse_args(const std::vector<std::string>& args) {
    Flags f;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == load_option || a == compare_option) {
            const bool load = a == load_option;
            if (i + 1 == args.size()) {
                f.errors.push_back("nadrel: " + a +
                                   (load ? " needs a FILE" : " needs an OLD file") +
                                   " (see --help)\n");
            } else if (load ? f.load.has_value() : !f.compare.empty()) {
                f.errors.push_back("nadrel: " + a + " given twice\n");
                ++i;
            } else if (load) {
                f.load = args[++i];
            } else {
                f.compare.push_back(args[++i]);
                if (i + 1 < args.size() && is_file_argument(args[i + 1]))
                    f.compare.push_back(args[++i]);
            }
            continue;
        }
        bool known = false;
        for (const Option& o : options) {
            if (a == o.name) {
                f.*o.flag = true;
                known = true;
            }
        }
        if (!known)
            f.warnings.push_back(unknown_option_line(a));
    }
    if (f.compare.size() == 2 && f.load)
        f.errors.emplace_back("nadrel: --compare takes NEW or --load, not both\n");
    if (f.compare.size() == 2 && f.compare[0] == "-" && f.compare[1] == "-")
        f.errors.emplace_back("nadrel: standard input can be read only once\n");
    return f;
}

std::string unknown_option_line(std::string_view arg) {
    return "nadrel: ignoring unknown option '" + escape_controls(arg) + "' (see --help)\n";
}

std::string_view usage_text() {
    return "nadrel - system-information report (spec + live state)\n"
           "\n"
           "Usage:\n"
           "  nadrel            Open the GUI (Wayland or X11, whichever the session\n"
           "                      offers; falls back to --print with no display)\n"
           "  nadrel --print    Write the report to stdout (for piping to a file)\n"
           "  nadrel --detail   Include the diagnostic detail: granular and firmware-\n"
           "                      level data, with raw tables in place of summaries\n"
           "  nadrel --gui      Force the GUI even if no display variable is set\n"
           "  nadrel --json     Write everything the report knows, serials included, as\n"
           "                      one JSON document to stdout; never opens the GUI\n"
           "  nadrel --sanitize Hide what identifies the machine or its owner (serials,\n"
           "                      addresses, host name) in the report, JSON and GUI\n"
           "  nadrel --help     This message\n"
           "  nadrel --version  Write the version to stdout\n"
           "  -p, -d, -g, -h    Short for --print, --detail, --gui and --help\n"
           "\n"
           "Diagnostics:\n"
           "  nadrel --dump-smbios   Raw SMBIOS/DMI structures (serials and the system\n"
           "                       UUID redacted); needs sudo for the raw table\n"
           "\n"
           "Saved reports and metrics:\n"
           "  nadrel --load FILE     Everything above from a report saved by --json\n"
           "                       (FILE - reads stdin) instead of this machine\n"
           "  nadrel --compare OLD [NEW]\n"
           "                         What changed from OLD to NEW (or to this machine);\n"
           "                       exits 0 when nothing did, 1 when something did, 2 when\n"
           "                       a file cannot be read or is no nadrel report\n"
           "  nadrel --prometheus    The snapshot as Prometheus metrics for node_exporter's\n"
           "                       textfile collector; never opens the GUI\n"
           "\n"
           "Environment:\n"
           "  NADREL_SYSROOT=DIR     Report on the machine captured in DIR by\n"
           "                       nadrel-capture instead of this one\n"
           "\n"
           "GUI keys: b brightness (light/dark), d diagnostic detail, s save as TXT,\n"
           "c or Ctrl+C copy as text, l live readout, i about,\n"
           "arrows/PgUp/PgDn/Home/End scroll, q or Esc quit.\n"
           "\n"
           "Tip: run with sudo to include the SMBIOS-only fields (per-module RAM speed,\n"
           "expansion slots, USB port count), which are root-readable on Linux.\n";
}

Stamp make_stamp(std::time_t t) {
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr)
        return Stamp{};
    Stamp s;
    s.year = tm.tm_year + 1900;
    s.month = static_cast<std::uint32_t>(tm.tm_mon + 1);
    s.day = static_cast<std::uint32_t>(tm.tm_mday);
    s.hour = static_cast<std::uint32_t>(tm.tm_hour);
    s.minute = static_cast<std::uint32_t>(tm.tm_min);
    s.zone = tm.tm_zone != nullptr ? utf8_lossy(tm.tm_zone) : std::string();
    return s;
}

std::string stamp_text(const Stamp& s) {
    std::string out = strfmt("%04d-%02u-%02u %02u:%02u", s.year, s.month, s.day, s.hour, s.minute);
    if (!s.zone.empty()) {
        out += ' ';
        out += s.zone;
    }
    return out;
}

RunMode decide_mode(const Flags& flags, bool wayland_present, bool display_present) {
    if (flags.print)
        return RunMode::Print;
    if (wayland_present)
        return RunMode::Window;
    return (display_present || flags.gui) ? RunMode::Window : RunMode::Print;
}

std::string file_label(std::string_view path) {
    return path == "-" ? "standard input" : escape_controls(path);
}

std::optional<std::string> read_bounded(const std::string& path, std::size_t limit,
                                        std::string& error) {
    int fd = 0;
    if (path != "-") {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            error = std::strerror(errno);
            return std::nullopt;
        }
    }
    std::string data;
    std::array<char, 65536> buffer{};
    bool failed = false;
    while (data.size() <= limit) {
        const std::size_t want = std::min(buffer.size(), limit + 1 - data.size());
        const ssize_t n = ::read(fd, buffer.data(), want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = std::strerror(errno);
            failed = true;
        }
        if (n <= 0)
            break;
        data.append(buffer.data(), static_cast<std::size_t>(n));
    }
    if (fd != 0)
        ::close(fd);
    if (failed)
        return std::nullopt;
    return data;
}

void write_all(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (n == 0)
            return;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
}

}  // namespace nadrel
