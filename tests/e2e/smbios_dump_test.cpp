// "--dump-smbios" on the real tables of the corpus: every structure printed, and every serial
// number, asset tag and UUID that dmidecode decodes from the same table is gone from the output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/text/unicode.h"
#include "support/golden.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

namespace fs = std::filesystem;

const std::string corpus = std::string(NADREL_CORPUS_DIR) + "/smbios";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        out.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

TEST(SmbiosDumpCorpus, RedactsWhatDmidecodeCallsSerialsTagsAndUuid) {
    if (test::run_shell("command -v dmidecode >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "dmidecode is not installed (tools/install-deps)";
    }
    std::vector<fs::path> tables;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() == ".DMI")
            tables.push_back(entry.path());
    }
    ASSERT_GE(tables.size(), 18u);
    std::size_t secrets = 0;
    for (const fs::path& table : tables) {
        const std::string name = table.stem().string();
        SCOPED_TRACE(name);
        test::TempDir root;
        root.write("sys/firmware/dmi/tables/DMI", test::read_file(table.string()));
        const auto r = test::run_nadrel({"--dump-smbios"}, {"NADREL_SYSROOT=" + root.path()});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");

        const std::string decoded = test::capture_output("dmidecode --from-dump '" + corpus + "/" +
                                                         name + ".dump' 2>/dev/null");
        const auto decoded_lines = lines(decoded);
        const auto handles =
            std::count_if(decoded_lines.begin(), decoded_lines.end(),
                          [](const std::string& l) { return starts_with(l, "Handle 0x"); });
        EXPECT_TRUE(r.out.starts_with("SMBIOS: " + std::to_string(handles) +
                                      " structures\n(serial numbers, asset tags, and the system "
                                      "UUID are redacted)\n\nType "))
            << r.out.substr(0, 200);
        const auto out_lines = lines(r.out);
        EXPECT_EQ(std::count_if(out_lines.begin(), out_lines.end(),
                                [](const std::string& l) { return starts_with(l, "Type "); }),
                  handles);

        // Structure i of our dump is handle i of dmidecode's decoding (the counts agree). The
        // values dmidecode decodes as serials and asset tags of types 1 to 4, 17, 22 and 39,
        // and the OEM strings and configuration options (11, 12), must not
        // survive as string lines of that structure, unless another field of it holds the same
        // text in a string of its own. dmidecode says "Not Specified" for string number 0.
        const auto split = [](const std::vector<std::string>& all, std::string_view head) {
            std::vector<std::vector<std::string>> chunks;
            for (const std::string& l : all) {
                if (starts_with(l, head))
                    chunks.emplace_back();
                if (!chunks.empty())
                    chunks.back().push_back(l);
            }
            return chunks;
        };
        const auto ours = split(out_lines, "Type ");
        const auto theirs = split(decoded_lines, "Handle 0x");
        ASSERT_EQ(ours.size(), theirs.size());
        for (std::size_t i = 0; i < ours.size(); ++i) {
            int type = -1;
            std::sscanf(theirs[i][0].c_str(), "Handle %*x, DMI type %d", &type);
            // OEM strings (11) and configuration options (12) are hidden whole.
            const bool all_hidden = type == 11 || type == 12;
            if (type != 1 && type != 2 && type != 3 && type != 4 && type != 17 && type != 22 &&
                type != 39 && !all_hidden)
                continue;
            std::vector<std::string> secret;
            std::vector<std::string> other;
            for (const std::string& l : theirs[i]) {
                const std::size_t colon = l.find(": ");
                if (!starts_with(l, "\t") || colon == std::string::npos)
                    continue;
                const std::string key = l.substr(1, colon - 1);
                const std::string value = l.substr(colon + 2);
                if (key == "SBDS Serial Number") {
                    // A word, not a string: zeroed in the hex dump (10h, 11h).
                    EXPECT_TRUE(
                        std::any_of(ours[i].begin(), ours[i].end(),
                                    [](const auto& o) { return o.starts_with("  10: 00 00 "); }))
                        << "structure " << i;
                    continue;
                }
                const bool hidden = all_hidden || key.find("Serial Number") != std::string::npos ||
                                    key.find("Asset Tag") != std::string::npos;
                (hidden ? secret : other).push_back(value);
            }
            // A string no field references (dmidecode prints none such) is hidden too: every
            // string left is the value of a field. dmidecode stops early on an empty slot.
            const bool empty_slot = std::find(theirs[i].begin(), theirs[i].end(),
                                              "\tSize: No Module Installed") != theirs[i].end();
            if (!all_hidden && !empty_slot) {
                for (const std::string& o : ours[i]) {
                    const std::size_t end = o.find("] ");
                    if (!o.starts_with("  [") || end == std::string::npos)
                        continue;
                    const std::string_view text = trim(std::string_view(o).substr(end + 2));
                    EXPECT_TRUE(text == "<redacted>" ||
                                std::any_of(other.begin(), other.end(),
                                            [&](const std::string& v) { return trim(v) == text; }))
                        << "structure " << i << ": " << o;
                }
            }
            for (const std::string& value : secret) {
                if (value == "Not Specified" || trim(value).empty())
                    continue;
                ++secrets;
                EXPECT_TRUE(
                    std::any_of(ours[i].begin(), ours[i].end(),
                                [](const std::string& o) { return o.ends_with("] <redacted>"); }))
                    << "structure " << i;
                if (std::find(other.begin(), other.end(), value) != other.end())
                    continue;
                for (const std::string& o : ours[i]) {
                    EXPECT_FALSE(o.starts_with("  [") && o.ends_with("] " + value))
                        << "structure " << i << ": " << value;
                }
            }
        }
        // The UUID (type 1, 08h..17h) is zeroed: the first dump line of type 1 ends in eight
        // zero bytes and the second starts with eight.
        const auto system = std::find_if(out_lines.begin(), out_lines.end(), [](const auto& l) {
            return starts_with(l, "Type 1 (System Information)");
        });
        ASSERT_NE(system, out_lines.end());
        ASSERT_GE(out_lines.end() - system, 3);
        EXPECT_TRUE(system[1].ends_with(" 00 00 00 00 00 00 00 00")) << system[1];
        EXPECT_TRUE(system[2].starts_with("  10: 00 00 00 00 00 00 00 00")) << system[2];
    }
    EXPECT_GT(secrets, 50u);
}

}  // namespace
}  // namespace nadrel
