// Text rendering of report documents, byte for byte.
#include "core/report/report.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

const std::string header = "NADREL  -  System Report\nGenerated 2026-12-07 11:33 UTC\n";
const std::string rule = std::string(60, '-');

TEST(RenderText, NoSectionsIsTheHeaderAlone) {
    EXPECT_EQ(title_block("X"), "NADREL  -  System Report\nGenerated X\n");
    EXPECT_EQ(render_text(header, {}), header);
}

TEST(RenderText, SectionWithoutRowsHasTitleAndRule) {
    Report r{{ReportSection{"GPU", {}, SectionKind::Gpu}}};
    EXPECT_EQ(render_text(header, r), header + "\nGPU\n" + rule + "\n");
}

TEST(RenderText, RowKindsAndColumns) {
    Report r{{ReportSection{"SYSTEM",
                            {{RowKind::Field, "Name", "host1"},
                             {RowKind::Field, "Cache", ""},
                             {RowKind::SubField, "L1 Data", "8 x 48KB"},
                             {RowKind::SubField, "Empty", ""},
                             {RowKind::Bullet, "one", ""},
                             {RowKind::Raw, "    Designation  Type", ""},
                             {RowKind::Field, "Exactly18CharsLabl", "v"},
                             {RowKind::Field, "A label over eighteen", "v"},
                             {RowKind::Field, "Größe", "x"}},
                            SectionKind::System},
              {ReportSection{"CPU", {{RowKind::Field, "Model", "X"}}, SectionKind::Cpu}}}};
    const std::string expected = header + "\nSYSTEM\n" + rule + "\n" +
                                 "  Name              : host1\n"
                                 "  Cache\n"
                                 "  \u2502 L1 Data         : 8 x 48KB\n"
                                 "  \u2502 Empty           : \n"
                                 "  \u2022 one\n"
                                 "    Designation  Type\n"
                                 "  Exactly18CharsLabl: v\n"
                                 "  A label over eighteen: v\n"
                                 "  Gr\u00F6\u00DFe             : x\n"
                                 "\nCPU\n" +
                                 rule + "\n  Model             : X\n";
    EXPECT_EQ(render_text(header, r), expected);
    // The colon is the 21st character of a field line.
    EXPECT_EQ(row_line({RowKind::Field, "Name", "host1"}).find(':'), 20u);
}

TEST(RenderText, ValueWithLineFeedIsNotReindented) {
    EXPECT_EQ(row_line({RowKind::Field, "A", "x\ny"}), "  A                 : x\ny");
}

}  // namespace
}  // namespace nadrel
