// The built binary on each fixture machine, in summary and detail form, against its golden text.
#include "support/golden.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

// Every machine under tests/fixtures, so that one without golden texts fails.
class GoldenReport : public testing::TestWithParam<std::string> {};

TEST_P(GoldenReport, SummaryAndDetail) {
    const std::string machine = GetParam();
    // A copy, so that the installation date comes from a fixed machine-id time, not the checkout.
    test::TempDir copy;
    const std::string source = std::string(NADREL_FIXTURES_DIR) + "/" + machine;
    ASSERT_EQ(test::run_shell("cp -a '" + source + "/.' '" + copy.path() + "/'"), 0);
    const std::string machine_id = copy.path() + "/etc/machine-id";
    const timespec times[2] = {{0, UTIME_OMIT}, {1686484800, 0}};  // 2023-06-11 12:00 UTC
    ::utimensat(AT_FDCWD, machine_id.c_str(), times, AT_SYMLINK_NOFOLLOW);

    const std::vector<std::string> env = test::machine_env(copy.path());
    for (const bool detail : {false, true}) {
        std::vector<std::string> args = {"--print"};
        if (detail)
            args.push_back("--detail");
        const auto r = test::run_nadrel(args, env);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        const std::string name = machine + (detail ? "-detail.txt" : ".txt");
        EXPECT_EQ(test::compare_golden(name, test::mask_stamp(r.out)), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, GoldenReport, testing::ValuesIn(test::fixture_machines()),
                         [](const auto& param) { return test::test_name(param.param); });

}  // namespace
}  // namespace nadrel
