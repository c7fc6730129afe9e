// Child-process runner for end-to-end tests.
#include "support/run.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace nadrel::test {

namespace {

void drain(int out_fd, int err_fd, std::string& out, std::string& err) {
    pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    int open = 2;
    char buf[65536];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                (i == 0 ? out : err).append(buf, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

}  // namespace

RunResult run_nadrel(const std::vector<std::string>& args, const std::vector<std::string>& env,
                     const std::string& binary) {
    RunResult result;
    int out_pipe[2];
    int err_pipe[2];
    if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(binary.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out_pipe[1]);
    ::close(err_pipe[1]);
    if (rc == 0)
        drain(out_pipe[0], err_pipe[0], result.out, result.err);
    ::close(out_pipe[0]);
    ::close(err_pipe[0]);
    if (rc != 0)
        return result;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::string capture_output(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    if (pipe == nullptr)
        return out;
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    ::pclose(pipe);
    return out;
}

std::vector<std::string> machine_env(const std::string& root) {
    std::vector<std::string> env = {"PATH=/usr/bin:/bin", "TZ=UTC"};
    if (!root.empty())
        env.push_back("NADREL_SYSROOT=" + root);
    return env;
}

std::vector<std::string> fixture_machines() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(NADREL_FIXTURES_DIR)) {
        if (entry.is_directory())
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string test_name(std::string machine) {
    std::replace(machine.begin(), machine.end(), '-', '_');
    return machine;
}

std::string mask_stamp(std::string text) {
    const std::size_t at = text.find("\nGenerated ");
    if (at == std::string::npos)
        return text;
    const std::size_t end = text.find('\n', at + 1);
    return text.replace(at + 1, end - at - 1, "Generated (masked)");
}

int run_shell(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status == -1)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace nadrel::test
