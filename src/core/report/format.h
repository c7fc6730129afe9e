// Value formats and row helpers shared by every report section.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/report/report.h"
#include "core/snapshot.h"

namespace nadrel {

// Binary multiples with one decimal, ".0" dropped, unit glued on: 16GB, 15.5GB, 512MB, 1TB,
// 64KB; below 1KB in bytes (512B).
std::string format_size(std::uint64_t bytes);
// Cache sizes: 48KB below 1 MiB, else MB with up to two decimals (1.25MB, 32MB).
std::string format_cache_size(std::uint32_t bytes);
// Link speeds: 100Mb/s, 1Gb/s, 2.5Gb/s.
std::string format_speed(std::uint32_t mbps);

// Degrees Celsius with one decimal, ".0" dropped: 45°C, 45.1°C.
std::string format_celsius(double celsius);
// A sensor value in its unit: 45°C, 1200 RPM, 1.20V, 9.9W, 0.45A.
std::string format_sensor_value(SensorKind kind, double value);
// Days, hours and minutes, the zero ones left out: 2d 4h 5m, 3h 3m, 45m; 0m under a minute.
std::string format_duration(std::uint64_t seconds);
// A part of a whole with its share, rounded to the nearest percent: 5.4GB of 31.1GB (17%).
std::string format_share(std::uint64_t used, std::uint64_t total);

// The non-empty parts joined by the separator.
std::string join(const std::vector<std::string>& parts, std::string_view separator);

// The most characters a row shows of one value: a longer value is cut, ending in "…", so that a
// device's page-long string cannot flood the report.
inline constexpr std::size_t max_value_chars = 256;
// A value as a row shows it: cleaned of control characters and marks, and cut.
std::string shown_value(std::string_view value);

// Rows whose label, value or text pass through clean_text (no control characters), and
// values and bullets through shown_value.
ReportRow field(std::string label, std::string_view value);
ReportRow sub_field(std::string label, std::string_view value);
ReportRow bullet(std::string_view text);
ReportRow raw(std::string text);

// No items: nothing; one: a Field; more: an empty Field and one Bullet per item.
std::vector<ReportRow> list_rows(std::string label, const std::vector<std::string>& items);

// Appends rows to a section's row list.
void append(std::vector<ReportRow>& rows, std::vector<ReportRow> more);

}  // namespace nadrel
