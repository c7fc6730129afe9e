// Saved reports on the built binary: every fixture machine's document renders the text the machine
// printed itself (the proof that the JSON holds everything the report needs), and what is no
// report is refused with one line and status 2.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/golden.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

class RoundTrip : public testing::TestWithParam<std::string> {};

TEST_P(RoundTrip, SavedReportRendersWhatTheMachinePrinted) {
    const std::vector<std::string> env = test::machine_env(NADREL_FIXTURES_DIR "/" + GetParam());
    const test::TempDir dir;
    for (const bool sanitize : {false, true}) {
        std::vector<std::string> flags =
            sanitize ? std::vector<std::string>{"--sanitize"} : std::vector<std::string>{};
        const auto with = [&flags](std::vector<std::string> args) {
            args.insert(args.end(), flags.begin(), flags.end());
            return args;
        };
        const auto json = test::run_nadrel(with({"--json"}), env);
        ASSERT_EQ(json.status, 0);
        const std::string file = dir.path() + (sanitize ? "/sanitized.json" : "/plain.json");
        dir.write(sanitize ? "sanitized.json" : "plain.json", json.out);
        // A hidden file system label is null like a missing one, and is then shown as missing;
        // with the labels that were hidden marked, the document holds all that was shown.
        std::string shown = file;
        if (sanitize) {
            using Json = nlohmann::ordered_json;
            const Json plain = Json::parse(test::read_file(dir.path() + "/plain.json"));
            Json doc = Json::parse(json.out);
            const auto mark = [](const Json& was, Json& is) {
                if (!was["label"].is_null())
                    is["label"] = "<hidden>";
            };
            for (std::size_t i = 0; i < doc["disks"].size(); ++i) {
                mark(plain["disks"][i], doc["disks"][i]);
                for (std::size_t p = 0; p < doc["disks"][i]["partitions"].size(); ++p)
                    mark(plain["disks"][i]["partitions"][p], doc["disks"][i]["partitions"][p]);
            }
            for (const char* list : {"arrays", "device_mapper"}) {
                for (std::size_t i = 0; i < doc[list].size(); ++i)
                    mark(plain[list][i], doc[list][i]);
            }
            shown = dir.path() + "/marked.json";
            dir.write("marked.json", doc.dump());
        }
        for (const char* detail : {"--print", "--detail"}) {
            std::string live = test::run_nadrel(with({"--print", detail}), env).out;
            // Unknown and hidden are both null in a sanitized document; hidden is the one shown.
            if (const auto at = live.find("Name              : Unknown\n");
                sanitize && at != std::string::npos)
                live.replace(at + 20, 7, "<hidden>");
            const auto loaded = test::run_nadrel({"--load", shown, "--print", detail}, {});
            EXPECT_EQ(loaded.status, 0);
            EXPECT_EQ(loaded.err, "");
            // The "Generated" line is the one line a saved report may differ in.
            EXPECT_EQ(test::mask_stamp(loaded.out), test::mask_stamp(live)) << detail << sanitize;
        }
        // The document again, and the same machine is no change.
        EXPECT_EQ(test::run_nadrel({"--load", file, "--json"}, {}).out, json.out);
        const auto same = test::run_nadrel({"--compare", file}, env);
        EXPECT_EQ(same.status, 0) << same.out << same.err;
        EXPECT_EQ(same.out, "");
    }
    const auto both = test::run_nadrel(
        {"--compare", dir.path() + "/plain.json", dir.path() + "/sanitized.json"}, {});
    EXPECT_EQ(both.status, 0) << both.out;
    // The title gives the time the report was taken, in the local zone.
    const std::string doc = test::read_file(dir.path() + "/plain.json");
    const std::string taken = doc.substr(doc.find("\"generated\": \"") + 14, 16);
    const auto loaded = test::run_nadrel({"--load", dir.path() + "/plain.json"}, {"TZ=UTC"});
    EXPECT_TRUE(loaded.out.starts_with("NADREL  -  System Report\nGenerated " +
                                       taken.substr(0, 10) + " " + taken.substr(11, 5) + " UTC\n"))
        << loaded.out.substr(0, 80);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RoundTrip, testing::ValuesIn(test::fixture_machines()),
                         [](const auto& param) { return test::test_name(param.param); });

TEST(SavedReports, WhatIsNoReportEndsWithOneLineAndStatusTwo) {
    const test::TempDir dir;
    dir.write("array.json", "[]");
    dir.write("good.json",
              test::run_nadrel({"--json"}, test::machine_env(NADREL_FIXTURES_DIR "/bare")).out);
    ASSERT_EQ(test::run_shell("truncate -s 1G '" + dir.path() + "/huge.json'"), 0);
    const std::string d = dir.path() + "/";
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"--load", d + "missing.json"},
         "nadrel: cannot read " + d + "missing.json: No such file or directory\n"},
        {{"--load", dir.path()}, "nadrel: cannot read " + dir.path() + ": Is a directory\n"},
        {{"--load", d + "array.json", "--json"},
         "nadrel: " + d + "array.json is not a nadrel report: not a JSON object\n"},
        {{"--load", d + "huge.json"},
         "nadrel: " + d + "huge.json is not a nadrel report: larger than 8 MiB\n"},
        {{"--load", "-"}, "nadrel: standard input is not a nadrel report: empty\n"},
        {{"--compare", d + "good.json", d + "array.json"},
         "nadrel: " + d + "array.json is not a nadrel report: not a JSON object\n"},
        {{"--compare", d + "good.json", "--load"}, "nadrel: --load needs a FILE (see --help)\n"},
    };
    for (const Case& c : cases) {
        const auto r = test::run_nadrel(c.args, {});
        EXPECT_EQ(r.status, 2) << c.args[1];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(SavedReports, StandardInputNewerVersionsAndCompareStatus) {
    const test::TempDir dir;
    const std::string doc =
        test::run_nadrel({"--json"}, test::machine_env(NADREL_FIXTURES_DIR "/laptop")).out;
    std::string newer = doc;
    newer.replace(newer.find("\"schema_version\": 1"), 19, "\"schema_version\": 3");
    newer.insert(newer.find("\"system\""), "\"future\": {\"x\": 1},\n  ");
    dir.write("doc.json", doc);
    dir.write("newer.json", newer);
    const std::string bin = std::string(NADREL_BINARY) + " ";
    const std::string d = dir.path() + "/";
    EXPECT_EQ(test::capture_output(bin + "--load - --print <" + d + "doc.json"),
              test::run_nadrel({"--load", d + "doc.json", "--print"}, {}).out);

    const auto read = test::run_nadrel({"--load", d + "newer.json", "--print"}, {});
    EXPECT_EQ(read.status, 0);
    EXPECT_EQ(read.err, "nadrel: " + d +
                            "newer.json is from a newer nadrel (schema version 3, this one reads "
                            "1); keys it does not know are ignored\n");
    EXPECT_EQ(read.out, test::run_nadrel({"--load", d + "doc.json", "--print"}, {}).out);
    const auto changed = test::run_nadrel({"--compare", d + "doc.json", d + "newer.json"}, {});
    EXPECT_EQ(changed.status, 0) << changed.out;  // a key only one of them has is no change
    newer.replace(newer.find("\"x\": 1"), 6, "\"x\": 2");
    dir.write("newer2.json", newer);
    const auto values =
        test::run_nadrel({"--compare", d + "newer.json", d + "newer2.json", "--json"}, {});
    EXPECT_EQ(values.status, 1);
    EXPECT_NE(values.out.find("\"key\": \"x\""), std::string::npos) << values.out;
}

}  // namespace
}  // namespace nadrel
