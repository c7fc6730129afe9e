// Processor identification on real captured trees, with lscpu (util-linux) as the oracle:
// threads, physical cores and, per cache kind, the instance count and total size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <sstream>

#include "core/text/names.h"
#include "core/text/unicode.h"
#include "linux/collect/cpu.h"
#include "support/golden.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

namespace fs = std::filesystem;

struct CacheTotal {
    std::uint64_t bytes = 0;
    std::uint64_t instances = 0;
    bool operator==(const CacheTotal&) const = default;
};

using CacheTotals = std::map<std::string, CacheTotal>;  // lscpu's names: L1d, L1i, L2, L2d...

struct Counts {
    std::string model;
    std::uint64_t threads = 0;
    std::uint64_t cores = 0;
    CacheTotals caches;
    std::uint64_t max_mhz = 0;  // the highest "CPU max MHz" of any core kind
};

struct Tree {
    const char* archive;
    // Expected values that legitimately differ from lscpu's, by name ("threads", "cores",
    // "L2", ...); with no lscpu answer at all (lscpu_fails) every value is given here.
    bool lscpu_fails = false;
    std::map<std::string, CacheTotal> caches_override = {};
    std::uint64_t cores_override = 0;
    std::uint64_t threads_override = 0;
    // The model where lscpu prints none ("-" for parts it does not know) or cannot run.
    const char* model_override = nullptr;
};

std::string cache_name(const CacheInfo& c) {
    std::string name = "L" + std::to_string(c.level);
    if (c.cache_type == "Data")
        name += "d";
    if (c.cache_type == "Instruction")
        name += "i";
    return name;
}

Counts ours(const CpuInfo& cpu) {
    Counts c{cpu.model, cpu.threads, cpu.cores, {}, cpu.max_mhz};
    for (const auto& cache : cpu.caches) {
        auto& t = c.caches[cache_name(cache)];
        t.instances += cache.count;
        t.bytes += std::uint64_t{cache.count} * cache.size;
    }
    return c;
}

// From lscpu --bytes: "CPU(s):  20", "L1d cache:   557056 (14 instances)", and the cores as
// cores per socket times sockets, summed over the blocks it prints per core kind.
std::optional<Counts> lscpu(const std::string& root, const test::TempDir& scratch) {
    const std::string out = scratch.path() + "/lscpu.txt";
    if (test::run_shell("LC_ALL=C lscpu --bytes --sysroot '" + root + "' >'" + out +
                        "' 2>/dev/null") != 0) {
        return std::nullopt;
    }
    Counts c;
    std::uint64_t per_socket = 0;
    std::istringstream summary(test::read_file(out));
    for (std::string line; std::getline(summary, line);) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string key = line.substr(0, colon);
        std::istringstream value(line.substr(colon + 1));
        if (key == "CPU(s)")
            value >> c.threads;
        // One "Model name" per core kind, in CPU order; "-" for a part lscpu does not know.
        if (key == "Model name") {
            const std::string name = collapse_spaces(trim(line.substr(colon + 1)));
            if (name != "-")
                c.model += (c.model.empty() ? "" : " + ") + name;
        }
        if (key == "CPU max MHz") {
            double mhz = 0;
            value >> mhz;
            c.max_mhz = std::max(c.max_mhz, static_cast<std::uint64_t>(mhz));
        }
        if (key == "Core(s) per socket" || key == "Core(s) per cluster")
            value >> per_socket;
        if (key == "Socket(s)" || key == "Cluster(s)") {
            std::uint64_t sockets = 1;  // "-" when unknown
            value >> sockets;
            c.cores += per_socket * sockets;
        }
        if (key.size() > 6 && key.ends_with(" cache")) {
            CacheTotal t;
            std::string count;
            value >> t.bytes >> count;
            t.instances = std::stoull(count.substr(1));
            c.caches[key.substr(0, key.size() - 6)] = t;
        }
    }
    return c;
}

// The folder holding proc/cpuinfo, one or two levels down.
std::optional<std::string> find_root(const std::string& dir) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (it.depth() > 2) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->path().filename() == "proc" && fs::exists(it->path() / "cpuinfo", ec)) {
            return it->path().parent_path().string();
        }
    }
    return std::nullopt;
}

const Tree trees[] = {
    {"128arm-2pa2n8cluster4co.tar.bz2"},
    // No cpu/possible, so lscpu gives up. Four sockets of two cores with two threads, CPUs
    // 12-15 offline (no cache folders). The caches have only shared_cpu_map, no id or
    // shared_cpu_list, so every CPU's index counts as its own instance.
    {"16em64t-4s2c2t-offlines.tar.bz2",
     true,
     {{"L1d", {12 * 16384, 12}}, {"L2", {12 * 1048576, 12}}, {"L3", {12 * 4194304ull, 12}}},
     8,
     16,
     "Intel(R) Xeon(TM) CPU 2.60GHz"},
    {"20em64t-hybrid-1p6c2t+2ca4co1t.tar.bz2"},
    {"2arm-2c.tar.bz2"},
    {"5intel64-hybrid-lakefield.tar.bz2"},
    // This capture's shared_cpu_list files say "0" where shared_cpu_map says CPUs 0-1 share the
    // compute unit's L1i and L2; without id files the list is the sharing key, lscpu reads
    // the map.
    {"64amd64-4s2n4ca2co.tar.bz2",
     false,
     {{"L1i", {64 * 65536, 64}}, {"L2", {64 * 2097152ull, 64}}}},
    // No cpu/possible either; caches with only shared_cpu_map again.
    {"96em64t-4no4pa3ca2co.tar.bz2",
     true,
     {{"L1d", {96 * 32768, 96}},
      {"L1i", {96 * 32768, 96}},
      {"L2", {96 * 3145728ull, 96}},
      {"L3", {96 * 16777216ull, 96}}},
     96,
     96,
     "Genuine Intel(R) CPU @ 2.66GHz"},
    // No size files: lscpu prints no cache lines; we count the instances at size 0. This
    // lscpu predates the Cortex-X3 (0xd4e), and the Cortex-A725 (0xd87) and X925 (0xd85).
    {"arm-A510-A710-A715-X3.tar.gz",
     false,
     {{"L1d", {0, 8}}, {"L1i", {0, 8}}, {"L2", {0, 7}}, {"L3", {0, 1}}},
     0,
     0,
     "Cortex-A510 + Cortex-A715 + Cortex-A710 + Cortex-X3"},
    {.archive = "nvidia-dgx-gb10.tar.bz2", .model_override = "Cortex-A725 + Cortex-X925"},
    // The online file says CPUs 4-20 while cpuinfo still lists 24 processors with 24 distinct
    // cores; lscpu counts the online ones, we count cpuinfo's.
    {"offline-cpu0-node0.tar.bz2", false, {}, 24},
    {"vbox-win.tar.gz"},
    {"vmware_fpe.tar.gz"},
    {"x86_64-dell_e4310.tar.gz"},
    {"x86_64-epyc_7451.tar.gz"},
};

// The unpacked tree, kept in the build folder so that only the first run pays for tar.
std::optional<std::string> unpacked(const std::string& archive) {
    const std::string dir = std::string(NADREL_BUILD_DIR) + "/corpus-cpu/" + archive;
    std::error_code ec;
    if (!fs::exists(dir + "/.unpacked", ec)) {
        fs::remove_all(dir, ec);
        fs::create_directories(dir, ec);
        // Some archives hold device nodes or odd entries; what tar cannot make is skipped.
        test::run_shell("tar --no-same-owner -xf '" + std::string(NADREL_CORPUS_DIR) + "/cpu/" +
                        archive + "' -C '" + dir + "' 2>/dev/null; touch '" + dir + "/.unpacked'");
    }
    return find_root(dir);
}

class CpuCorpus : public testing::TestWithParam<Tree> {};

TEST_P(CpuCorpus, AgreesWithLscpu) {
    const Tree& tree = GetParam();
    ASSERT_TRUE(fs::exists(std::string(NADREL_CORPUS_DIR) + "/cpu")) << NADREL_CORPUS_DIR;
    const auto root = unpacked(tree.archive);
    ASSERT_TRUE(root);
    const Counts got = ours(collect_cpu(SysRoot(*root)));

    Counts want;
    if (!tree.lscpu_fails) {
        test::TempDir scratch;
        const auto oracle = lscpu(*root, scratch);
        ASSERT_TRUE(oracle) << "lscpu failed";
        want = *oracle;
    }
    if (tree.model_override != nullptr)
        want.model = tree.model_override;
    if (tree.threads_override != 0)
        want.threads = tree.threads_override;
    if (tree.cores_override != 0)
        want.cores = tree.cores_override;
    for (const auto& [name, total] : tree.caches_override)
        want.caches[name] = total;

    EXPECT_EQ(got.model, want.model);
    EXPECT_EQ(got.threads, want.threads);
    EXPECT_EQ(got.cores, want.cores);
    EXPECT_EQ(got.max_mhz, want.max_mhz);  // favoured cores boost above cpu0
    EXPECT_EQ(got.caches.size(), want.caches.size());
    for (const auto& [name, total] : want.caches) {
        ASSERT_TRUE(got.caches.contains(name)) << name;
        EXPECT_EQ(got.caches.at(name).instances, total.instances) << name;
        EXPECT_EQ(got.caches.at(name).bytes, total.bytes) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Trees, CpuCorpus, testing::ValuesIn(trees),
                         [](const testing::TestParamInfo<Tree>& param) {
                             std::string name = param.param.archive;
                             name = name.substr(0, name.find(".tar"));
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace nadrel
