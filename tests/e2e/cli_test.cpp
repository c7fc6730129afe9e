// The built binary: help, print mode, broken pipes and the mode choice.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/app.h"
#include "core/text/unicode.h"
#include "support/golden.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

// A machine with nothing in it.
const std::vector<std::string> base_env = test::machine_env(NADREL_FIXTURES_DIR "/bare");

TEST(Cli, HelpWinsAndGoesToStandardErrorOnly) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--print", "--help"}, {"--dump-smbios", "-h"}, {"-h"}}) {
        const auto r = test::run_nadrel(args, base_env);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, usage_text());
    }
}

// A misspelt option is named on standard error; the run is the one it was without it.
TEST(Cli, UnknownOptionsAreNamedAndIgnored) {
    const auto line = [](const std::string& shown) {
        return "nadrel: ignoring unknown option '" + shown + "' (see --help)\n";
    };
    const auto text = test::run_nadrel({"--jsn", "-pd"}, base_env);
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.err, line("--jsn") + line("-pd"));
    EXPECT_TRUE(text.out.starts_with("NADREL  -  System Report\n")) << text.out;
    const auto dump = test::run_nadrel({"-o", "json", "--dump-smbios"}, base_env);
    EXPECT_TRUE(dump.err.starts_with(line("-o") + line("json"))) << dump.err;
    EXPECT_EQ(dump.out, test::run_nadrel({"--dump-smbios"}, base_env).out);
}

TEST(Cli, PrintsTheReportWithoutADisplay) {
    const auto r = test::run_nadrel({}, base_env);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out.starts_with("NADREL  -  System Report\nGenerated ")) << r.out;
    EXPECT_TRUE(r.out.ends_with("\n"));
}

TEST(Cli, ClosedOrBrokenStandardOutputIsIgnored) {
    test::TempDir dir;
    const std::string bin = std::string(NADREL_BINARY) + " --print 2>>" + dir.path() + "/err";
    const std::string script = "export NADREL_SYSROOT=" + std::string(NADREL_FIXTURES_DIR) +
                               "/bare; cd " + dir.path() + "; " + bin +
                               " | head -c1 >/dev/null; echo ${PIPESTATUS[0]} >st1; " + bin +
                               " | true; echo ${PIPESTATUS[0]} >st2; " + bin + " >&-; echo $? >st3";
    ASSERT_EQ(test::run_shell("bash -c '" + script + "'"), 0);
    EXPECT_EQ(test::read_file(dir.path() + "/st1"), "0\n");
    EXPECT_EQ(test::read_file(dir.path() + "/st2"), "0\n");
    EXPECT_EQ(test::read_file(dir.path() + "/st3"), "0\n");
    EXPECT_EQ(test::read_file(dir.path() + "/err"), "");
}

TEST(Cli, DumpWithoutTableSaysItNeedsRoot) {
    const auto r = test::run_nadrel({"--dump-smbios", "--print"}, base_env);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "SMBIOS: 0 structures\n(serial numbers, asset tags, and the system UUID are "
              "redacted)\n");
    const std::string unprivileged =
        "nadrel: no DMI table readable; the raw table needs root (try sudo).\n";
    if (::geteuid() != 0) {
        EXPECT_EQ(r.err, unprivileged);
        return;
    }
    // Root is not told to try sudo; as nobody, the same run still is.
    EXPECT_EQ(r.err, "nadrel: this machine exposes no DMI table.\n");
    const std::string as_nobody = "NADREL_SYSROOT=" NADREL_FIXTURES_DIR
                                  "/bare setpriv --reuid=65534 --regid=65534 "
                                  "--clear-groups ";
    if (test::run_shell(as_nobody + "test -x " NADREL_BINARY) != 0) {
        GTEST_SKIP() << "nobody cannot run " NADREL_BINARY;
    }
    EXPECT_EQ(test::capture_output(as_nobody + NADREL_BINARY " --dump-smbios 2>&1 >/dev/null"),
              unprivileged);
}

TEST(Cli, MissingSysrootStillPrints) {
    const auto r = test::run_nadrel({"--print", "--detail"}, base_env);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("NADREL  -  System Report\n"));
    // A root that is not a folder is named once, then the report of nothing follows.
    const auto below_stamp = [](const std::string& text) { return text.substr(text.find("\n\n")); };
    test::TempDir dir;
    dir.write("file", "");
    for (const std::string& root : {std::string("/nonexistent/nadrel"), dir.path() + "/file"}) {
        const auto wrong = test::run_nadrel({"--print", "--detail"}, test::machine_env(root));
        EXPECT_EQ(wrong.status, 0);
        EXPECT_EQ(wrong.err, "nadrel: NADREL_SYSROOT is not a folder: " + root + "\n");
        EXPECT_EQ(below_stamp(wrong.out), below_stamp(r.out));
    }
}

}  // namespace
}  // namespace nadrel

namespace nadrel {
namespace {

TEST(Cli, UnavailableWindowSaysWhyAndPrints) {
    // A display variable that points nowhere: the window cannot open, the report is printed.
    auto env = base_env;
    env.push_back("DISPLAY=:nadrel-no-such-display");
    const auto r = test::run_nadrel({"--detail"}, env);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.starts_with("nadrel: GUI unavailable (")) << r.err;
    EXPECT_TRUE(r.err.ends_with("); printing instead.\n")) << r.err;
    EXPECT_TRUE(r.out.starts_with("NADREL  -  System Report\n"));
}

}  // namespace
}  // namespace nadrel
