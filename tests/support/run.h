// Runs the built nadrel binary with chosen arguments and environment, capturing its output.
#pragma once

#include <string>
#include <vector>

namespace nadrel::test {

struct RunResult {
    int status = -1;  // exit status, or 128 + signal number
    std::string out;
    std::string err;
};

// env holds "NAME=value" entries; the child gets exactly these (plus nothing else).
RunResult run_nadrel(const std::vector<std::string>& args, const std::vector<std::string>& env,
                     const std::string& binary = NADREL_BINARY);

// The environment of a run on the machine at root: PATH, TZ=UTC and NADREL_SYSROOT (left out
// for this machine when root is empty).
std::vector<std::string> machine_env(const std::string& root);

// The standard output of a shell command line (empty when it cannot be started).
std::string capture_output(const std::string& command);

// A shell command line, run with /bin/sh -c; its exit status.
int run_shell(const std::string& command);

// Every folder under tests/fixtures (a machine each), sorted.
std::vector<std::string> fixture_machines();

// A machine's name as a test name: "intel-desktop" as "intel_desktop".
std::string test_name(std::string machine);

// A text report with its generation stamp, which changes with every run, as "Generated (masked)".
std::string mask_stamp(std::string text);

}  // namespace nadrel::test
