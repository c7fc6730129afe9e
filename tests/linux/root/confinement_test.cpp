// What the readers must never do, whatever a captured tree holds: open a device node or FIFO.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "linux/root/mapped_text.h"
#include "linux/root/unique_fd.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

// Every reader over path, through a kernel-resolved root, a walked root and the host root.
void read_every_way(const test::TempDir& dir, const std::string& path) {
    for (const SysRoot& root : {SysRoot(dir.path()), SysRoot(dir.path(), Resolver::UserSpace)}) {
        EXPECT_FALSE(read_text(root, path));
        EXPECT_FALSE(read_bytes(root, path));
        EXPECT_FALSE(map_text(root, path, 4096));
    }
    EXPECT_FALSE(read_text(SysRoot(), dir.path() + path));
}

TEST(Confinement, DeviceNodesAreNeverOpened) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mknod needs root";
    test::TempDir dir;
    dir.mkdir("dev");
    // The numbers of /dev/null: its open succeeds, so an open shows as an inotify event.
    const std::string node = dir.path() + "/dev/node";
    ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0644, ::makedev(1, 3)), 0);
    dir.symlink("dev/link", "node");
    const UniqueFd watch(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    ASSERT_GE(::inotify_add_watch(watch.get(), node.c_str(), IN_OPEN), 0);
    read_every_way(dir, "/dev/node");
    read_every_way(dir, "/dev/link");
    char events[4096];
    EXPECT_LT(::read(watch.get(), events, sizeof events), 0) << "a reader opened the device";
    UniqueFd(::open(node.c_str(), O_RDONLY | O_CLOEXEC));  // the watch does see an open
    EXPECT_GT(::read(watch.get(), events, sizeof events), 0);
}

TEST(Confinement, FifoWithAWaitingWriterIsNeverOpened) {
    test::TempDir dir;
    dir.mkdir("proc");
    const std::string fifo = dir.path() + "/proc/cpuinfo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // The writer's open returns once some reader opens the FIFO.
    std::atomic<bool> released{false};
    std::atomic<pid_t> writer_id{0};
    std::thread writer([&] {
        writer_id = ::gettid();
        const UniqueFd fd(::open(fifo.c_str(), O_WRONLY | O_CLOEXEC));
        released = true;
    });
    const auto writer_waits = [&] {
        const auto call = read_text(
            SysRoot(), "/proc/self/task/" + std::to_string(writer_id.load()) + "/syscall");
        return call && call->starts_with(std::to_string(SYS_openat) + " ");
    };
    for (int i = 0; i < 1000 && !writer_waits(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    read_every_way(dir, "/proc/cpuinfo");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(released) << "a reader opened the FIFO";
    const UniqueFd release(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    writer.join();
}

}  // namespace
}  // namespace nadrel
