// Reading a document back: every value the report uses returns, and every way bytes can fail
// to be a report is one short line, in bounded time.
#include <gtest/gtest.h>

#include "core/report/builder.h"
#include "core/report/report.h"
#include "core/snapshot_json.h"

namespace nadrel {
namespace test {
SystemSnapshot workstation();  // tests/core/report/golden_test.cpp
}
namespace {

const std::string head = R"({"schema_version": 1, "generated": "2026-12-09T04:38:42Z")";

std::string failure(std::string_view text) {
    const LoadResult r = load_snapshot_json(text);
    EXPECT_EQ(r.report.has_value(), r.failure.empty());
    return r.failure;
}

TEST(SnapshotLoad, ValuesTheFixturesDoNotHoldComeBack) {
    SystemSnapshot s = test::workstation();
    s.kernel = "(kernel 6.1.0-18-amd64)";
    s.secure_boot = "Off";
    s.batteries[0].cycle_count = 0;
    s.slots = {{"PCI_E1", "Unknown", "", "Unknown"}};
    s.memory_modules = {{"A1", "Unknown", "", "", "", 8589934592ull, 0, 0, 0, 0, 0, 0, "", "", ""}};
    DiskInfo& disk = s.disks.emplace_back();
    disk.name = "nvme1n1";
    disk.pcie_link = {32000, 4};
    disk.solid_state = false;
    s.gpus.emplace_back().device_id = 0x2786;  // no name in the database
    // State at its edges: a legacy boot, a taint, a pack not charging off the mains, a sensor
    // below zero, an array missing more members than it has slots, a volume never measured.
    s.boot_mode = BootMode::Bios;
    s.kernel_taint = 4097;
    s.load_average = {{0.5, 1.25, 0}};
    s.batteries[0].status = "Not charging";
    s.ac_online = false;
    s.sensors = {{"acpitz", "thermal_zone0", "temp1", SensorKind::Current, -0.5, {}, 2.5}};
    s.arrays = {{"md9", "raid1", 2, 3, "inactive", {}, 0, {}},
                {"md1", "raid5", 4, 1, "clean", {"sda1", "sdb1", "sdc1"}, 0, {}}};
    s.volumes = {{"server:/export", "/mnt/nfs", "nfs4", "", true, std::nullopt}};
    s.device_mapper.emplace_back().name = "vg0-root";
    const LoadResult r = load_snapshot_json(snapshot_json(s, {1796791122, false}));
    ASSERT_TRUE(r.report) << r.failure;
    EXPECT_EQ(r.report->generated, 1796791122);
    EXPECT_FALSE(r.report->sanitized);
    for (const bool detail : {false, true}) {
        EXPECT_EQ(render_text("", build_report(r.report->snapshot, detail)),
                  render_text("", build_report(s, detail)));
    }
    EXPECT_EQ(r.report->snapshot.batteries.at(0).cycle_count, 0u);  // present, even as 0
    EXPECT_EQ(snapshot_json(r.report->snapshot, {1796791122, false}),
              snapshot_json(s, {1796791122, false}));

    // A sanitized document hides the host name; the text says so as the live one does.
    const LoadResult hidden = load_snapshot_json(snapshot_json(s, {0, true}));
    ASSERT_TRUE(hidden.report);
    EXPECT_TRUE(hidden.report->sanitized);
    EXPECT_EQ(hidden.report->snapshot.hostname, "<hidden>");
    EXPECT_EQ(load_snapshot_json(snapshot_json(SystemSnapshot{}, {})).report->snapshot.hostname,
              "Unknown");
}

// Documents of other versions: keys this one lacks keep their defaults, keys it does not know
// are ignored, and a newer version says so.
TEST(SnapshotLoad, OlderAndNewerDocuments) {
    const LoadResult newer = load_snapshot_json(
        R"({"schema_version": 7, "generated": "2026-12-09T04:38:42Z", "sensors": [{"x": 1}],)"
        R"( "cpu": {"model": "Z80", "cores": 1, "future": {"deep": [1]}}})");
    ASSERT_TRUE(newer.report) << newer.failure;
    EXPECT_EQ(newer.report->schema_version, 7u);
    EXPECT_EQ(newer.report->snapshot.cpu.model, "Z80");
    EXPECT_EQ(newer.report->snapshot.cpu.cores, 1u);
    EXPECT_EQ(newer.report->snapshot.hostname, "Unknown");
    EXPECT_EQ(newer.report->snapshot.os_name, "Linux");
}

TEST(SnapshotLoad, WhatIsNoReportSaysWhy) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const std::string deep_objects = [] {
        std::string text;
        for (int i = 0; i < 100000; ++i)
            text += R"({"a":)";
        return text + "1" + std::string(100000, '}');
    }();
    const std::pair<std::string, std::string> cases[] = {
        {"", "empty"},
        {" \n\t", "empty"},
        {"[1, 2]", "not a JSON object"},
        {"\"text\"", "not a JSON object"},
        {R"({"generated": "2026-12-09T04:38:42Z"})", "no schema_version"},
        {R"({"schema_version": "1"})", "schema_version is not a whole number from 1"},
        {R"({"schema_version": 0})", "schema_version is not a whole number from 1"},
        {R"({"schema_version": 1.5})", "schema_version is not a whole number from 1"},
        {R"({"schema_version": 1})", "generated is not a time written as 2026-12-09T04:38:42Z"},
        {R"({"schema_version": 1, "generated": "2026-02-30T00:00:00Z"})",
         "generated is not a time written as 2026-12-09T04:38:42Z"},
        {head + R"(, "sanitized": "no"})", "sanitized is not true or false"},
        {head + R"(, "cpu": {"cores": -1}})",
         "cpu.cores is not a whole number from 0 to 4294967295"},
        {head + R"(, "cpu": {"cores": 4294967296}})",
         "cpu.cores is not a whole number from 0 to 4294967295"},
        {head + R"(, "memory": {"modules": [{}, {"rank": 256}]}})",
         "memory.modules[1].rank is not a whole number from 0 to 255"},
        {head + R"(, "gpus": [{"vendor_id": "10dex"}]})",
         "gpus[0].vendor_id is not 4 hexadecimal digits"},
        {head + R"(, "disks": {}})", "disks is not a list"},
        {head + R"(, "system": {"chassis": {"type": 3}}})",
         "system.chassis.type is not a text or null"},
        {head + R"(, "battery": []})", "battery is not an object"},
        {head + R"(, "batteries": [{"status": "Charging"}]})",
         "batteries[0].status is not one of charging, discharging, not_charging, full or null"},
        {head + R"(, "system": {"load_average": [1, 2]}})",
         "system.load_average is not a list of three numbers or null"},
        {head + R"(, "arrays": [{"devices": 2, "active_devices": 3}]})",
         "arrays[0].active_devices is more than devices"},
        {head + R"(, "bluetooth": [null, 1]})", "bluetooth[1] is not a text or null"},
        {head + R"(, "cpu": {"cores": 1e400}})", "not JSON: number overflow parsing '1e400'"},
        {head + R"(, "cpu": {"cores": )" + std::string(65, '9') + "}}",
         "a number longer than 64 characters"},
        {head + ", \"system\": {\"os\": \"a\xff\"}}",
         "not JSON: parse error at line 1, column 79: syntax error while parsing value - invalid "
         "string: ill-formed UTF-8 byte; last read: '\"a\\xff'"},
        {"\x1b[2J",
         "not JSON: parse error at line 1, column 1: syntax error while parsing value "
         "- invalid literal; last read: '<U+001B>'"},
        {deep, "nested deeper than 64 levels"},
        {deep_objects, "nested deeper than 64 levels"},
        {"[" + std::string(250'001, ',') + "]", "more than 250000 values"},
        {std::string(max_report_bytes + 1, ' '), "larger than 8 MiB"},
    };
    for (const auto& [text, reason] : cases)
        EXPECT_EQ(failure(text), reason) << text.substr(0, 80);
    // A message quotes the input, never more than a line of it.
    const std::string long_token = head + ", \"x\": \"" + std::string(100000, 'a') + "\x01\"}";
    EXPECT_LT(failure(long_token).size(), 200u);
}

TEST(SnapshotLoad, TimesAsWritten) {
    for (const std::int64_t t : {std::int64_t{0}, std::int64_t{951782400}, std::int64_t{1796791122},
                                 std::int64_t{253402300799}}) {
        EXPECT_EQ(parse_rfc3339_utc(rfc3339_utc(t)), t);
    }
    for (const char* bad :
         {"2026-12-09 04:38:42Z", "2026-12-09T04:38:42", "2026-13-01T00:00:00Z",
          "2026-12-09T24:00:00Z", "2026-12-09T04:38:42+01:00", "+026-12-09T04:38:42Z"})
        EXPECT_EQ(parse_rfc3339_utc(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace nadrel
