// The window module: the text paths map no window library, --version, and a missing or broken
// module is a reason to print instead.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/version.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

// A machine with nothing in it.
const std::vector<std::string> base_env = test::machine_env(NADREL_FIXTURES_DIR "/bare");

// The window libraries the dynamic loader reported mapping (LD_DEBUG=libs on standard error).
std::vector<std::string> window_libraries(const std::string& loader_log) {
    std::vector<std::string> found;
    for (const char* lib : {"libxcb", "libwayland", "libfreetype", "libpng", "nadrel-window"}) {
        if (loader_log.find(lib) != std::string::npos)
            found.emplace_back(lib);
    }
    return found;
}

TEST(WindowModule, TextPathsLoadNoWindowLibrary) {
    auto env = base_env;
    env.push_back("LD_DEBUG=libs");
    env.push_back("DISPLAY=:nadrel-no-such-display");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--print"}, {"--detail", "--print"}, {"--dump-smbios"}}) {
        const auto r = test::run_nadrel(args, env);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(window_libraries(r.err), std::vector<std::string>{}) << args[0];
    }
    // The same log does show them when a window is tried, so the check above can fail.
    const auto window = test::run_nadrel({}, env);
    EXPECT_NE(window_libraries(window.err), std::vector<std::string>{});
}

TEST(WindowModule, VersionOnStandardOutput) {
    const auto r = test::run_nadrel({"--print", "--version"}, base_env);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "nadrel " + std::string(version) + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::run_nadrel({"--version", "-h"}, base_env).out, "");  // help wins
}

TEST(WindowModule, MissingOrBrokenModuleIsAReasonToPrint) {
    // The program alone in a folder: no module below it or beside it.
    const test::TempDir dir;
    const std::string lone = dir.path() + "/nadrel";
    std::filesystem::copy_file(NADREL_BINARY, lone);
    auto env = base_env;
    env.push_back("DISPLAY=:nadrel-no-such-display");
    const std::string prefix = "nadrel: GUI unavailable (window module missing: ";

    const auto missing = test::run_nadrel({}, env, lone);
    EXPECT_EQ(missing.status, 0);
    EXPECT_TRUE(missing.err.starts_with(prefix)) << missing.err;
    EXPECT_TRUE(missing.err.ends_with("nadrel-window.so not found); printing instead.\n"))
        << missing.err;
    EXPECT_TRUE(missing.out.starts_with("NADREL  -  System Report\n"));

    dir.write("nadrel-window.so", "not a shared object");
    const auto broken = test::run_nadrel({}, env, lone);
    EXPECT_EQ(broken.status, 0);
    EXPECT_TRUE(broken.err.starts_with(prefix)) << broken.err;
    EXPECT_NE(broken.err.find(dir.path() + "/nadrel-window.so"), std::string::npos) << broken.err;
    EXPECT_TRUE(broken.out.starts_with("NADREL  -  System Report\n"));
}

}  // namespace
}  // namespace nadrel
