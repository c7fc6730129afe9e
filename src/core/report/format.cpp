// Value formats shared by every report section.
#include "core/report/format.h"

#include <algorithm>
#include <cmath>

#include "core/text/clean_text.h"
#include "core/text/fmt.h"
#include "core/text/names.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

std::string drop_point_zero(std::string s) {
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, ".0") == 0)
        s.resize(s.size() - 2);
    return s;
}

// A value with a few decimals, rounded half away from zero as a person rounds the decimal the
// kernel wrote (81850 millidegrees is 81.9 °C), not the nearest binary value (81.8499...).
std::string fixed(double value, int decimals) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e12)
        return strfmt("%.*f", decimals, value);
    const long long thousandths = std::llround(value * 1000.0);
    long long step = 1;
    for (int i = decimals; i < 3; ++i)
        step *= 10;
    const long long half = step / 2;
    const long long units = (thousandths >= 0 ? thousandths + half : thousandths - half) / step;
    long long scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const long long whole = units / scale;
    const long long part = units < 0 ? -(units % scale) : units % scale;
    const char* sign = units < 0 && whole == 0 ? "-" : "";
    if (decimals == 0)
        return strfmt("%lld", units);
    return strfmt("%s%lld.%0*lld", sign, whole, decimals, part);
}

}  // namespace

std::string format_size(std::uint64_t bytes) {
    // Below 1KB a count of bytes; a 1 KiB module is not "0MB".
    if (bytes < 1024)
        return std::to_string(bytes) + "B";
    const double n = static_cast<double>(bytes);
    const double g = n / 1073741824.0;
    double value = 0;
    const char* unit = "MB";
    if (g >= 1023.95) {
        value = n / 1099511627776.0;
        unit = "TB";
    } else if (n / 1048576.0 >= 1023.95) {
        value = g;
        unit = "GB";
    } else if (n / 1024.0 >= 1023.95) {
        value = n / 1048576.0;
    } else {
        value = n / 1024.0;
        unit = "KB";
    }
    // printf rounds the exact binary value, ties to even (16.25 -> 16.2).
    return drop_point_zero(strfmt("%.1f", value)) + unit;
}

std::string format_cache_size(std::uint32_t bytes) {
    if (bytes < 1048576u)
        return strfmt("%uKB", bytes / 1024u);
    std::string s = strfmt("%.2f", static_cast<double>(bytes) / 1048576.0);
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s + "MB";
}

std::string format_speed(std::uint32_t mbps) {
    if (mbps < 1000)
        return strfmt("%uMb/s", mbps);
    return drop_point_zero(strfmt("%.1f", static_cast<double>(mbps) / 1000.0)) + "Gb/s";
}

std::string format_celsius(double celsius) {
    std::string text = drop_point_zero(fixed(celsius, 1));
    if (text == "-0")
        text = "0";
    return text + "\u00B0C";
}

std::string format_sensor_value(SensorKind kind, double value) {
    switch (kind) {
        case SensorKind::Temperature:
            return format_celsius(value);
        case SensorKind::Fan:
            return fixed(value, 0) + " RPM";
        case SensorKind::Voltage:
            return fixed(value, 2) + "V";
        case SensorKind::Power:
            return fixed(value, 1) + "W";
        case SensorKind::Current:
            return fixed(value, 2) + "A";
    }
    return strfmt("%g", value);
}

std::string format_duration(std::uint64_t seconds) {
    const std::uint64_t minutes = seconds / 60;
    const std::uint64_t d = minutes / (24 * 60);
    const std::uint64_t h = minutes / 60 % 24;
    const std::uint64_t m = minutes % 60;
    const auto part = [](std::uint64_t n, const char* unit) {
        return n == 0 ? std::string() : std::to_string(n) + unit;
    };
    const std::string text = join({part(d, "d"), part(h, "h"), part(m, "m")}, " ");
    return text.empty() ? "0m" : text;
}

std::string format_share(std::uint64_t used, std::uint64_t total) {
    used = std::min(used, total);
    const double share =
        total == 0 ? 0.0 : static_cast<double>(used) / static_cast<double>(total) * 100.0;
    return format_size(used) + " of " + format_size(total) + strfmt(" (%.0f%%)", std::round(share));
}

std::string join(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (const auto& part : parts) {
        if (part.empty())
            continue;
        if (!out.empty())
            out += separator;
        out += part;
    }
    return out;
}

std::string shown_value(std::string_view value) {
    return shorten(clean_name(clean_text(value)), max_value_chars);
}

ReportRow field(std::string label, std::string_view value) {
    return ReportRow{RowKind::Field, clean_text(label), shown_value(value)};
}

ReportRow sub_field(std::string label, std::string_view value) {
    return ReportRow{RowKind::SubField, clean_text(label), shown_value(value)};
}

ReportRow bullet(std::string_view text) {
    return ReportRow{RowKind::Bullet, shown_value(text), {}};
}

ReportRow raw(std::string text) {
    return ReportRow{RowKind::Raw, clean_text(text), {}};
}

std::vector<ReportRow> list_rows(std::string label, const std::vector<std::string>& items) {
    std::vector<ReportRow> rows;
    if (items.empty())
        return rows;
    if (items.size() == 1) {
        rows.push_back(field(std::move(label), items.front()));
        return rows;
    }
    rows.push_back(field(std::move(label), ""));
    for (const auto& item : items)
        rows.push_back(bullet(item));
    return rows;
}

void append(std::vector<ReportRow>& rows, std::vector<ReportRow> more) {
    rows.insert(rows.end(), std::make_move_iterator(more.begin()),
                std::make_move_iterator(more.end()));
}

}  // namespace nadrel
