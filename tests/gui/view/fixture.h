// Views for tests: the DejaVu fonts, constructed documents, a clock the test sets and a host
// that answers for the machine.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/report/report.h"
#include "linux/gui/machine_host.h"
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

// Canned live rows and save messages; it records what the view asked and when.
struct TestHost : ViewHost {
    std::vector<LiveRow> open_live(Instant now) override {
        samples.push_back(now);
        return rows;
    }
    std::vector<LiveRow> refresh_live(Instant now) override {
        samples.push_back(now);
        return rows;
    }
    std::string save_report(const Report& report, std::string_view stamp) override {
        saved = render_text(title_block(stamp), report);
        return message;
    }

    std::vector<LiveRow> rows{{true, "RIGHT NOW", ""}, {false, "CPU load", "Reading\u2026"}};
    std::string message = "Saved to /home/user1/box1-nadrel.txt";
    std::vector<Instant> samples;
    std::string saved;
};

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf")) {
            GTEST_SKIP() << "fonts-dejavu-core is not installed";
        }
        auto fonts = load_font_set(font_file_reader());
        ASSERT_TRUE(fonts);
        Report summary;
        summary.sections.push_back(field_section(SectionKind::System, "SYSTEM", 4));
        Report detailed;
        detailed.sections.push_back(field_section(SectionKind::System, "SYSTEM", 100));
        view = make_view(summary, detailed, "2026-12-07 11:33 UTC", *fonts, host);
        view.clock = [this] { return now; };
    }

    void advance(std::chrono::milliseconds ms) { now += ms; }

    std::shared_ptr<TestHost> host = std::make_shared<TestHost>();
    ReportView view;
    Instant now = Instant{} + std::chrono::hours(1);
};

}  // namespace nadrel::test
