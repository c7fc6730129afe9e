// The command line, the run-mode choice, the generation stamp and writing to a descriptor.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nadrel {

struct Flags {
    bool help = false;
    bool version = false;
    bool dump = false;
    bool print = false;
    bool gui = false;
    bool detail = false;
    bool json = false;        // the snapshot as JSON on standard output; never a window
    bool sanitize = false;    // hide what identifies the machine or its owner, in every output
    bool prometheus = false;  // the snapshot as Prometheus metrics; never a window
    // --load FILE: the report of a saved document instead of this machine ("-": standard input).
    std::optional<std::string> load;
    // --compare OLD [NEW]: the files to compare (NEW absent: this machine, or the --load file).
    std::vector<std::string> compare;
    // Arguments that cannot be run ("--load" without a file): one line each; the run stops with
    // status 2.
    std::vector<std::string> errors;
    // One line for standard error per argument that matched no option: it is still ignored, but
    // a misspelt --json must not pass unnoticed.
    std::vector<std::string> warnings;
};

// Every option, as typed: the parser, the usage text and the man page agree on these.
std::vector<std::string_view> known_options();

// Whole, exact, case-sensitive matches; repeats change nothing; anything else (unknown,
// non-UTF-8) sets no flag and adds a warning. --load takes the next argument as its file;
// --compare the next one, and the one after when it is "-" or does not start with "-".
Flags parse_args(const std::vector<std::string>& args);

// "nadrel: ignoring unknown option '--jsn' (see --help)\n", controls and bytes that are not
// UTF-8 written as \xHH so the line stays one line of valid text.
std::string unknown_option_line(std::string_view arg);

// The usage text written to standard error for --help.
std::string_view usage_text();

struct Stamp {
    std::int32_t year = 1970;
    std::uint32_t month = 1;
    std::uint32_t day = 1;
    std::uint32_t hour = 0;
    std::uint32_t minute = 0;
    std::string zone = "UTC";
};

// Local broken-down time of t; 1970-01-01 00:00 UTC when the conversion fails.
Stamp make_stamp(std::time_t t);
// "2026-12-07 11:33 UTC" (no trailing space when the zone is empty).
std::string stamp_text(const Stamp& stamp);

enum class RunMode { Print, Window };

// Wayland first; DISPLAY or --gui open a window; --print always prints.
RunMode decide_mode(const Flags& flags, bool wayland_present, bool display_present);

// How a file is named in messages: "standard input" for "-", controls escaped otherwise.
std::string file_label(std::string_view path);

// The bytes of a file, or of standard input for "-": at most limit + 1 of them (so that a
// longer input can be told apart), whatever the file is. Nothing, and the reason as the system
// words it, when it cannot be opened or read.
std::optional<std::string> read_bounded(const std::string& path, std::size_t limit,
                                        std::string& error);

// Writes everything, looping on partial writes and EINTR; errors are ignored.
void write_all(int fd, std::string_view data);

}  // namespace nadrel
