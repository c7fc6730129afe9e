// Installed memory: the modules, else the online blocks, else MemTotal.
#include "core/installed_memory.h"

#include <gtest/gtest.h>

#include <limits>

namespace nadrel {
namespace {

TEST(InstalledMemory, FirstSourceThatKnows) {
    constexpr std::uint64_t gib = std::uint64_t{1} << 30;
    constexpr std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
    struct Case {
        std::vector<std::uint64_t> modules;
        std::uint64_t online, total, installed;
    } const cases[] = {
        {{16 * gib, 16 * gib}, 8 * gib, 31 * gib, 32 * gib},
        {{most, gib}, 0, 0, most},  // a lying table saturates
        {{}, 8 * gib, 7 * gib, 8 * gib},
        {{}, 0, 7 * gib, 7 * gib},
        {{}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SystemSnapshot s;
        for (const std::uint64_t size : c.modules)
            s.memory_modules.emplace_back().size = size;
        s.memory_online = c.online;
        s.memory_total = c.total;
        EXPECT_EQ(installed_memory(s), c.installed) << c.online << " " << c.total;
    }
}

}  // namespace
}  // namespace nadrel
