// Saving the report: the file's place, name, mode and text, the status messages, and that a
// failed save never destroys the report saved before.
#include "linux/export/export.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/report/report.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

using test::read_file;
using test::TempDir;

constexpr std::string_view stamp = "2026-12-07 11:33 UTC";

Report small_report(const std::string& value) {
    Report report;
    report.sections.push_back({"SYSTEM", {{RowKind::Field, "Name", value}}, SectionKind::System});
    return report;
}

std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct Machine {
    Machine(std::string_view host) { dir.write("proc/sys/kernel/hostname", host); }
    SysRoot root() const { return SysRoot(dir.path()); }
    TempDir dir;
};

TEST(Export, SavesThePrintTextUnderTheHostName) {
    const Machine box("box1\n");
    const TempDir home;
    const Report report = small_report("first");
    const std::string path = home.path() + "/box1-nadrel.txt";
    EXPECT_EQ(save_report(box.root(), home.path(), stamp, report), "Saved to " + path);
    const std::string text = read_file(path);
    EXPECT_EQ(text, render_text(title_block(stamp), report));
    EXPECT_TRUE(text.starts_with("NADREL  -  System Report\nGenerated 2026-12-07 11:33 UTC\n"));
    EXPECT_TRUE(text.ends_with("\n"));

    // Again, with another document: overwritten, and nothing else left in the folder.
    const Report detail = small_report("second, in detail");
    EXPECT_EQ(save_report(box.root(), home.path(), stamp, detail), "Saved to " + path);
    EXPECT_EQ(read_file(path), render_text(title_block(stamp), detail));
    EXPECT_EQ(entries(home.path()), std::vector<std::string>{"box1-nadrel.txt"});
}

TEST(Export, ModeIsReadWriteForAllBeforeTheUmask) {
    const Machine box("box1");
    const TempDir home;
    const mode_t old = ::umask(022);
    save_report(box.root(), home.path(), stamp, small_report("x"));
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat((home.path() + "/box1-nadrel.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(Export, PathsFromHomeAndHostName) {
    struct Case {
        std::string host;
        std::optional<std::string> home;
        std::string path;
    };
    const Case cases[] = {
        {"box1\n", "/home/user1", "/home/user1/box1-nadrel.txt"},
        {"box1\n", "", "/box1-nadrel.txt"},
        {"box1\n", std::nullopt, "./box1-nadrel.txt"},
        {"\u2003 box1 \n", "/h", "/h/box1-nadrel.txt"},  // Unicode white space trimmed
        {"\xff\xfe", "/h", "/h/system-nadrel.txt"},      // not UTF-8
        {"../../etc/cron.d/x", "/h", "/h/.._.._etc_cron.d_x-nadrel.txt"},
        {"..\n", "/h", "/h/system-nadrel.txt"},
        {".", "/h", "/h/system-nadrel.txt"},
        {"  \n", "/h", "/h/system-nadrel.txt"},
        {std::string("a\0b", 3), "/h", "/h/a_b-nadrel.txt"},
    };
    for (const Case& c : cases) {
        const Machine m(c.host);
        EXPECT_EQ(report_file_path(m.root(), c.home), c.path) << c.host;
    }
    const TempDir no_host;
    EXPECT_EQ(report_file_path(SysRoot(no_host.path()), "/h"), "/h/system-nadrel.txt");
}

TEST(Export, HostileHostNameStaysInHome) {
    const Machine evil("../escape\n");
    const TempDir home;
    std::filesystem::create_directory(home.path() + "/sub");
    EXPECT_EQ(save_report(evil.root(), home.path() + "/sub", stamp, small_report("x")),
              "Saved to " + home.path() + "/sub/.._escape-nadrel.txt");
    EXPECT_EQ(entries(home.path()), std::vector<std::string>{"sub"});
}

TEST(Export, FailuresBecomeTheMessage) {
    const Machine box("box1");
    const TempDir home;
    EXPECT_EQ(save_report(box.root(), home.path() + "/missing", stamp, small_report("x")),
              "Could not save " + home.path() +
                  "/missing/box1-nadrel.txt: No such file or directory (os error 2)");
    // sysfs refuses new files even to root (read-only in containers).
    const std::string message = save_report(box.root(), "/sys", stamp, small_report("x"));
    EXPECT_TRUE(message == "Could not save /sys/box1-nadrel.txt: Permission denied (os error 13)" ||
                message ==
                    "Could not save /sys/box1-nadrel.txt: Read-only file system (os error 30)")
        << message;
    if (::geteuid() != 0) {
        ::chmod(home.path().c_str(), 0555);
        EXPECT_EQ(
            save_report(box.root(), home.path(), stamp, small_report("x")),
            "Could not save " + home.path() + "/box1-nadrel.txt: Permission denied (os error 13)");
        ::chmod(home.path().c_str(), 0755);
    }
}

TEST(Export, FailedWriteKeepsTheEarlierReport) {
    const Machine box("box1");
    const TempDir home;
    const std::string path = home.path() + "/box1-nadrel.txt";
    ASSERT_EQ(save_report(box.root(), home.path(), stamp, small_report("kept")),
              "Saved to " + path);
    const std::string before = read_file(path);

    // A file size limit makes the next write fail midway, as a full disk would.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 200;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message =
        save_report(box.root(), home.path(), stamp, small_report(std::string(5000, 'x')));
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(message, "Could not save " + path + ": File too large (os error 27)");
    EXPECT_EQ(read_file(path), before);
    EXPECT_EQ(entries(home.path()), std::vector<std::string>{"box1-nadrel.txt"});
}

TEST(Export, WritesInPlaceWhenNoTemporaryFileCanBeMade) {
    // A name so long that the temporary name beside it is too long for the file system.
    const std::string host(240, 'h');
    const Machine box(host);
    const TempDir home;
    const std::string path = home.path() + "/" + host + "-nadrel.txt";
    EXPECT_EQ(save_report(box.root(), home.path(), stamp, small_report("x")), "Saved to " + path);
    EXPECT_EQ(read_file(path), render_text(title_block(stamp), small_report("x")));
}

}  // namespace
}  // namespace nadrel

namespace nadrel {
namespace {

TEST(Export, WithoutATemporaryFileOnlyANewReportIsWritten) {
    const TempDir home;
    const std::string path = home.path() + "/box1-nadrel.txt";
    // Nothing there yet: written in place.
    EXPECT_EQ(write_report_file(home.path(), "box1-nadrel.txt", "first\n", TemporaryFile::Refused),
              std::nullopt);
    EXPECT_EQ(test::read_file(path), "first\n");
    // An earlier report is never truncated: the reason there was no temporary file is given.
    EXPECT_EQ(write_report_file(home.path(), "box1-nadrel.txt", "second\n", TemporaryFile::Refused),
              "No space left on device (os error 28)");
    EXPECT_EQ(test::read_file(path), "first\n");
    // Nor is a link's target written through.
    home.write("target", "outside\n");
    home.symlink("link-nadrel.txt", home.path() + "/target");
    EXPECT_EQ(write_report_file(home.path(), "link-nadrel.txt", "x\n", TemporaryFile::Refused),
              "No space left on device (os error 28)");
    EXPECT_EQ(test::read_file(home.path() + "/target"), "outside\n");
}

TEST(Export, ReplacesALinkAndKeepsTheEarlierPermissions) {
    const Machine box("box1");
    const TempDir home;
    const TempDir elsewhere;
    elsewhere.write("secret", "not ours\n");
    home.symlink("box1-nadrel.txt", elsewhere.path() + "/secret");
    EXPECT_EQ(save_report(box.root(), home.path(), stamp, small_report("x")),
              "Saved to " + home.path() + "/box1-nadrel.txt");
    EXPECT_EQ(test::read_file(elsewhere.path() + "/secret"), "not ours\n");
    struct stat st {};
    ASSERT_EQ(::lstat((home.path() + "/box1-nadrel.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));

    ASSERT_EQ(::chmod((home.path() + "/box1-nadrel.txt").c_str(), 0600), 0);
    EXPECT_EQ(save_report(box.root(), home.path(), stamp, small_report("y")),
              "Saved to " + home.path() + "/box1-nadrel.txt");
    ASSERT_EQ(::stat((home.path() + "/box1-nadrel.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(entries(home.path()), std::vector<std::string>{"box1-nadrel.txt"});
}

}  // namespace
}  // namespace nadrel
