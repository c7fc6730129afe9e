// Arguments, the mode table, the usage text and the generation stamp.
#include "app/app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace nadrel {
namespace {

TEST(ParseArgs, ExactWholeArgumentsOnly) {
    const Flags f = parse_args({"--PRINT", "-pd", "--print=1", "print", "--det", "-G"});
    EXPECT_FALSE(f.print || f.detail || f.gui || f.help || f.dump);
    const Flags g = parse_args({"-p", "-d", "-g", "-h", "--dump-smbios", "-p"});
    EXPECT_TRUE(g.print && g.detail && g.gui && g.help && g.dump);
    EXPECT_FALSE(parse_args({"--print\xFF"}).print);
    EXPECT_FALSE(parse_args({"-smbios"}).dump);
}

// A misspelt option is still ignored, but said so: one line for each, shown safely.
TEST(ParseArgs, UnknownArgumentsAreNamedOnePerLine) {
    const auto line = [](const std::string& shown) {
        return "nadrel: ignoring unknown option '" + shown + "' (see --help)\n";
    };
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> warnings;
    };
    const Case cases[] = {
        {{"--print", "--jsn"}, {line("--jsn")}},
        {{"-o", "json", "--json"}, {line("-o"), line("json")}},
        {{"-pd", "-pd"}, {line("-pd"), line("-pd")}},
        {{"--json\nx",
          "\xFF\xFE"
          "a",
          "\xC3\xA9t\xC3"},
         {line("--json\\x0ax"), line("\\xff\\xfea"), line("\xC3\xA9t\\xc3")}},
        {{"\x1B[31m", ""}, {line("\\x1b[31m"), line("")}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parse_args(c.args).warnings, c.warnings) << c.args[0];
    }
    std::vector<std::string> all;
    for (const std::string_view name : known_options()) {
        all.emplace_back(name);
        if (name == "--load" || name == "--compare")
            all.emplace_back("FILE");
    }
    const Flags f = parse_args(all);
    EXPECT_TRUE(f.warnings.empty());
    EXPECT_TRUE(f.errors.empty());
    EXPECT_TRUE(f.help && f.version && f.dump && f.print && f.gui && f.detail && f.json &&
                f.sanitize && f.prometheus && f.load && f.compare.size() == 1);
}

// The options that take files take the next argument whatever it is; --compare takes a second
// one unless it is another option. What cannot run is an error of its own.
TEST(ParseArgs, FilesOfLoadAndCompare) {
    struct Case {
        std::vector<std::string> args;
        std::optional<std::string> load;
        std::vector<std::string> compare;
        std::vector<std::string> errors;
        std::size_t unknown = 0;
    };
    const Case cases[] = {
        {{"--load", "-", "--print"}, "-", {}, {}},
        {{"--load", "--print"}, "--print", {}, {}},
        {{"--compare", "a.json", "b.json", "--json"}, {}, {"a.json", "b.json"}, {}},
        {{"--compare", "a.json", "--json", "b.json"}, {}, {"a.json"}, {}, 1},
        {{"--compare", "-", "b.json"}, {}, {"-", "b.json"}, {}},
        {{"--compare", "a.json", "-"}, {}, {"a.json", "-"}, {}},
        {{"--load", "a.json", "--compare", "b.json"}, "a.json", {"b.json"}, {}},
        {{"--print", "--load"}, {}, {}, {"nadrel: --load needs a FILE (see --help)\n"}},
        {{"--compare"}, {}, {}, {"nadrel: --compare needs an OLD file (see --help)\n"}},
        {{"--load", "a", "--load", "b"}, "a", {}, {"nadrel: --load given twice\n"}},
        {{"--compare", "-", "-"},
         {},
         {"-", "-"},
         {"nadrel: standard input can be read only once\n"}},
        {{"--compare", "a", "b", "--load", "c"},
         "c",
         {"a", "b"},
         {"nadrel: --compare takes NEW or --load, not both\n"}},
    };
    for (const Case& c : cases) {
        const Flags f = parse_args(c.args);
        EXPECT_EQ(f.load, c.load) << c.args[0] << " " << c.args.size();
        EXPECT_EQ(f.compare, c.compare) << c.args[0] << " " << c.args.size();
        EXPECT_EQ(f.errors, c.errors) << c.args[0] << " " << c.args.size();
        EXPECT_EQ(f.warnings.size(), c.unknown) << c.args[0] << " " << c.args.size();
    }
}

TEST(DecideMode, Table) {
    Flags print;
    print.print = true;
    Flags gui;
    gui.gui = true;
    const Flags none;
    EXPECT_EQ(decide_mode(print, true, true), RunMode::Print);
    EXPECT_EQ(decide_mode(none, true, false), RunMode::Window);
    EXPECT_EQ(decide_mode(none, false, true), RunMode::Window);
    EXPECT_EQ(decide_mode(gui, false, false), RunMode::Window);
    EXPECT_EQ(decide_mode(none, false, false), RunMode::Print);
    Flags both = gui;
    both.print = true;
    EXPECT_EQ(decide_mode(both, false, true), RunMode::Print);
}

// The long-standing lines stay byte for byte and in order; the additions only go between them.
TEST(UsageText, KeepsTheOriginalLinesAndNamesEveryOption) {
    const std::vector<std::string_view> original = {
        "nadrel - system-information report (spec + live state)",
        "",
        "Usage:",
        "  nadrel            Open the GUI (Wayland or X11, whichever the session",
        "                      offers; falls back to --print with no display)",
        "  nadrel --print    Write the report to stdout (for piping to a file)",
        "  nadrel --detail   Include the diagnostic detail: granular and firmware-",
        "                      level data, with raw tables in place of summaries",
        "  nadrel --gui      Force the GUI even if no display variable is set",
        "  nadrel --help     This message",
        "",
        "Diagnostics:",
        "  nadrel --dump-smbios   Raw SMBIOS/DMI structures (serials and the system",
        "                       UUID redacted); needs sudo for the raw table",
        "",
        "GUI keys: b brightness (light/dark), d diagnostic detail, s save as TXT,",
        "arrows/PgUp/PgDn/Home/End scroll, q or Esc quit.",
        "",
        "Tip: run with sudo to include the SMBIOS-only fields (per-module RAM speed,",
        "expansion slots, USB port count), which are root-readable on Linux.",
    };
    const std::string_view u = usage_text();
    ASSERT_TRUE(u.ends_with('\n'));
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < u.size();) {
        const std::size_t end = u.find('\n', at);
        lines.push_back(u.substr(at, end - at));
        EXPECT_LE(lines.back().size(), 79u) << lines.back();
        at = end + 1;
    }
    std::size_t next = 0;
    for (const std::string_view line : lines) {
        if (next < original.size() && line == original[next])
            ++next;
    }
    EXPECT_EQ(next, original.size())
        << "missing or moved: " << (next < original.size() ? original[next] : "");

    // Every option the parser takes is a word of the text.
    std::set<std::string_view> words;
    for (std::size_t at = 0; at < u.size();) {
        const std::size_t end = std::min(u.find_first_of(" ,\n", at), u.size());
        words.insert(u.substr(at, end - at));
        at = end + 1;
    }
    for (const std::string_view name : known_options())
        EXPECT_TRUE(words.contains(name)) << name;
    // Option lines keep the column style: descriptions start at column 21 under "Usage:",
    // at column 26 in the blocks below it (an option too long for that has its own line).
    std::size_t column = 20;
    for (const std::string_view line : lines) {
        if (!line.empty() && line.back() == ':' && line.front() != ' ')
            column = line == "Usage:" ? 20 : 25;
        if (!line.starts_with("  nadrel --") || line.ends_with("[NEW]")) {
            continue;
        }
        const std::size_t gap = line.find("  ", 9);
        EXPECT_EQ(line.find_first_not_of(' ', gap != line.npos ? gap : line.find(' ', 9)), column)
            << line;
    }
    for (const char* part :
         {"NADREL_SYSROOT", "\nc or Ctrl+C copy", "l live readout", "i about", "b brightness"})
        EXPECT_NE(u.find(part), std::string_view::npos) << part;
}

TEST(Stamp, TextAndZone) {
    EXPECT_EQ(stamp_text(Stamp{2026, 12, 7, 11, 33, "UTC"}), "2026-12-07 11:33 UTC");
    EXPECT_EQ(stamp_text(Stamp{999, 1, 2, 3, 4, ""}), "0999-01-02 03:04");
    EXPECT_EQ(stamp_text(Stamp{}), "1970-01-01 00:00 UTC");
}

TEST(Stamp, LocalTimeFromTheZone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", "UTC0", 1);
    ::tzset();
    const Stamp s = make_stamp(1765107180);  // 2025-12-07 11:33:00 UTC
    EXPECT_EQ(stamp_text(s), "2025-12-07 11:33 UTC");
    // A zone written without an abbreviation gives none: no trailing space.
    ::setenv("TZ", "<+0530>-5:30", 1);
    ::tzset();
    EXPECT_EQ(stamp_text(make_stamp(1765107180)), "2025-12-07 17:03 +0530");
    if (old) {
        ::setenv("TZ", saved.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

}  // namespace
}  // namespace nadrel
