// Command line, run mode, generation stamp.
#include "app/app.h"

#include <unistd.h>

#include <cerrno>

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
    {"--help", &Flags::help},        {"-h", &Flags::help},       {"--version", &Flags::version},
    {"--dump-smbios", &Flags::dump}, {"--print", &Flags::print}, {"-p", &Flags::print},
    {"--gui", &Flags::gui},          {"-g", &Flags::gui},        {"--detail", &Flags::detail},
    {"-d", &Flags::detail},          {"--json", &Flags::json},   {"--sanitize", &Flags::sanitize},
};

}  // namespace

std::vector<std::string_view> known_options() {
    std::vector<std::string_view> names;
    for (const Option& o : options)
        names.push_back(o.name);
    return names;
}

Flags parse_args(const std::vector<std::string>& args) {
    Flags f;
    for (const auto& a : args) {
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
