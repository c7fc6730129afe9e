// Views for tests: the DejaVu fonts, constructed documents and a clock the test sets.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/report/report.h"
#include "linux/gui/view/view.h"

namespace nadrel::test {

// A section of n one-line Field rows.
inline ReportSection field_section(SectionKind kind, std::string title, int n) {
    ReportSection section;
    section.kind = kind;
    section.title = std::move(title);
    for (int i = 0; i < n; ++i) {
        section.rows.push_back({RowKind::Field, "Row " + std::to_string(i), "value"});
    }
    return section;
}

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf")) {
            GTEST_SKIP() << "fonts-dejavu-core is not installed";
        }
        auto fonts = load_font_set();
        ASSERT_TRUE(fonts);
        Report summary;
        summary.sections.push_back(field_section(SectionKind::System, "SYSTEM", 4));
        Report detailed;
        detailed.sections.push_back(field_section(SectionKind::System, "SYSTEM", 100));
        view =
            make_view(summary, detailed, "2026-12-07 11:33 UTC", *fonts, SysRoot(), std::nullopt);
        view.clock = [this] { return now; };
    }

    void advance(std::chrono::milliseconds ms) { now += ms; }

    ReportView view;
    Instant now = Instant{} + std::chrono::hours(1);
};

}  // namespace nadrel::test
