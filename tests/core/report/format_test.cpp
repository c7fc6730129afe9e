// Shared value formats and list rows.
#include "core/report/format.h"

#include <gtest/gtest.h>

#include "core/report/column_table.h"
#include "core/report/device_text.h"
#include "support/cases.h"

namespace nadrel {
namespace {

TEST(FormatSize, BinaryMultiplesWithOneDecimal) {
    EXPECT_EQ(format_size(17179869184ull), "16GB");
    EXPECT_EQ(format_size(16663191552ull), "15.5GB");
    EXPECT_EQ(format_size(536870912ull), "512MB");
    EXPECT_EQ(format_size(1099511627776ull), "1TB");
    EXPECT_EQ(format_size(1099459198976ull), "1TB");  // 1023.95 GiB and above
    EXPECT_EQ(format_size(68719476736ull), "64GB");
    EXPECT_EQ(format_size(17448304640ull), "16.2GB");  // 16.25 exactly: ties to even
    EXPECT_EQ(format_size(1073689395ull), "1023.9MB");
    EXPECT_EQ(format_size(1073689396ull), "1GB");  // 1023.95 MiB and above is shown in GB
    // Below 1023.95 KiB in KB, below 1 KiB in bytes: a 1 KiB module is not "0MB".
    EXPECT_EQ(format_size(1024), "1KB");
    EXPECT_EQ(format_size(65536), "64KB");
    EXPECT_EQ(format_size(1048524), "1023.9KB");
    EXPECT_EQ(format_size(1048525), "1MB");
    EXPECT_EQ(format_size(0), "0B");
    EXPECT_EQ(format_size(1023), "1023B");
}

TEST(FormatCacheSize, KilobytesThenMegabytes) {
    const std::pair<std::uint32_t, const char*> cases[] = {{49152, "48KB"},
                                                           {1310720, "1.25MB"},
                                                           {33554432, "32MB"},
                                                           {1048575, "1023KB"},
                                                           {1572864, "1.5MB"}};
    test::expect_each(format_cache_size, cases);
}

TEST(FormatSpeed, MegabitsThenGigabits) {
    EXPECT_EQ(format_speed(100), "100Mb/s");
    EXPECT_EQ(format_speed(1000), "1Gb/s");
    EXPECT_EQ(format_speed(2500), "2.5Gb/s");
    EXPECT_EQ(format_speed(0), "0Mb/s");
}

TEST(ListRows, NoneOneMany) {
    EXPECT_TRUE(list_rows("Display", {}).empty());
    const auto one = list_rows("Display", {"A(R)"});
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].kind, RowKind::Field);
    EXPECT_EQ(one[0].value, "A");
    const auto many = list_rows("Display", {"A", "B"});
    ASSERT_EQ(many.size(), 3u);
    EXPECT_EQ(many[0].value, "");
    EXPECT_EQ(many[1].kind, RowKind::Bullet);
    EXPECT_EQ(many[2].text, "B");
}

TEST(SataLinkText, TheKernelsOneDecimalAndFinerRates) {
    EXPECT_EQ(sata_link_text(1500), "SATA 1.5Gb/s");
    EXPECT_EQ(sata_link_text(6000), "SATA 6.0Gb/s");
    EXPECT_EQ(sata_link_text(12000), "SATA 12.0Gb/s");
    EXPECT_EQ(sata_link_text(1250), "SATA 1.25Gb/s");
    EXPECT_EQ(sata_link_text(0), "");
}

TEST(ShownValue, CutAtTheLimitEndingInAnEllipsis) {
    const std::string fits(max_value_chars - 1, 'x');
    EXPECT_EQ(field("Name", fits + "\u00e9").value, fits + "\u00e9");  // exactly the limit
    EXPECT_EQ(field("Name", fits + "\u00e9\u00e9").value, fits + "\u2026");
    EXPECT_EQ(bullet(std::string(100000, 'y')).text, std::string(255, 'y') + "\u2026");
    const auto table = column_table({"Designation", "Type"}, {{std::string(5000, 'z'), "x"}});
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1].text, "    " + std::string(255, 'z') + "\u2026  x");
}

TEST(Join, SkipsEmptyParts) {
    EXPECT_EQ(join({"", "a", "", "b"}, ", "), "a, b");
    EXPECT_EQ(join({"", ""}, " "), "");
}

// The decimal the kernel wrote, rounded as a person rounds it (81850 m°C is 81.9 °C).
TEST(FormatSensor, UnitsAndDecimalRounding) {
    EXPECT_EQ(format_celsius(81.85), "81.9\u00B0C");
    EXPECT_EQ(format_celsius(38.85), "38.9\u00B0C");
    EXPECT_EQ(format_celsius(45.0), "45\u00B0C");
    EXPECT_EQ(format_celsius(-0.04), "0\u00B0C");
    EXPECT_EQ(format_celsius(-5.25), "-5.3\u00B0C");
    EXPECT_EQ(format_celsius(-0.5), "-0.5\u00B0C");
    EXPECT_EQ(format_sensor_value(SensorKind::Fan, 1150), "1150 RPM");
    EXPECT_EQ(format_sensor_value(SensorKind::Voltage, 1.035), "1.04V");
    EXPECT_EQ(format_sensor_value(SensorKind::Voltage, -12.1), "-12.10V");
    EXPECT_EQ(format_sensor_value(SensorKind::Power, 15.0), "15.0W");
    EXPECT_EQ(format_sensor_value(SensorKind::Current, 0.45), "0.45A");
}

TEST(FormatDuration, ZeroPartsLeftOut) {
    const std::pair<std::uint64_t, const char*> cases[] = {{0, "0m"},        {59, "0m"},
                                                           {10982, "3h 3m"}, {7200, "2h"},
                                                           {86461, "1d 1m"}, {273845, "3d 4h 4m"}};
    test::expect_each(format_duration, cases);
    EXPECT_EQ(format_share(5798205849ull, 33393852416ull), "5.4GB of 31.1GB (17%)");
    EXPECT_EQ(format_share(2, 1), "1B of 1B (100%)");  // never more than all of it
    EXPECT_EQ(format_share(0, 0), "0B of 0B (0%)");
}

}  // namespace
}  // namespace nadrel
