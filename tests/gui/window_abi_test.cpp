// Report documents survive the trip through the window module's plain arrays.
#include "linux/gui/window_abi.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

TEST(WindowAbi, DocumentsRoundTripAndUnknownKindsDegrade) {
    Report report;
    report.sections.push_back(
        {"CPU", {{RowKind::Field, "Model", "X"}, {RowKind::SubField, "a", ""}}, SectionKind::Cpu});
    report.sections.push_back({"", {}, SectionKind::Battery});
    report.sections.push_back(
        {"OTHER",
         {{RowKind::Bullet, std::string("nul\0inside", 10), ""}, {RowKind::Raw, "  raw", ""}},
         SectionKind::Other});
    const FlatDocument flat = flatten(report);
    const Report back = unflatten(flat.document());
    EXPECT_EQ(render_text("", back), render_text("", report));
    ASSERT_EQ(back.sections.size(), 3u);
    EXPECT_EQ(back.sections[1].kind, SectionKind::Battery);
    EXPECT_EQ(back.sections[2].rows[0].text.size(), 10u);

    std::vector<NadrelRow> rows = flat.rows;
    rows[0].kind = 200;
    std::vector<NadrelSection> sections = flat.sections;
    sections[0].kind = 8;  // never given
    sections[0].rows = rows.data();
    const Report odd = unflatten({sections.data(), 1});
    EXPECT_EQ(odd.sections[0].kind, SectionKind::Other);
    EXPECT_EQ(odd.sections[0].rows[0].kind, RowKind::Raw);
    EXPECT_TRUE(unflatten({nullptr, 5}).sections.empty());
}

}  // namespace
}  // namespace nadrel
