// Value formats shared by every report section.
#include "core/report/format.h"

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
