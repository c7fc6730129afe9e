// Column tables: shown columns, character widths, spacing and trailing white space.
#include "core/report/column_table.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

std::string text(const std::vector<ReportRow>& rows) {
    std::string out;
    for (const auto& row : rows) {
        EXPECT_EQ(row.kind, RowKind::Raw);
        out += row.text + "\n";
    }
    return out;
}

TEST(ColumnTable, EmptyColumnsAreDroppedAndWidthsCountCharacters) {
    const std::vector<std::string> headers = {"Designation", "Type", "Width", "Usage"};
    const std::vector<std::vector<std::string>> rows = {
        {"PCIEX16_1", "PCI Express Gen4", "", "In use"},
        {"Steckplatz für Grafik", "PCI Express", "", "Available"},
        {"M2", "", "", ""},
    };
    EXPECT_EQ(text(column_table(headers, rows)),
              "    Designation            Type              Usage\n"
              "    PCIEX16_1              PCI Express Gen4  In use\n"
              "    Steckplatz f\u00FCr Grafik  PCI Express       Available\n"
              "    M2\n");
}

TEST(ColumnTable, HeaderWiderThanCellsAndTrailingSpaceTrimmed) {
    const std::vector<std::vector<std::string>> rows = {{"A", "x"}, {"B", ""}, {"", "y "}};
    EXPECT_EQ(text(column_table({"Designation", "T"}, rows)),
              "    Designation  T\n"
              "    A            x\n"
              "    B\n"
              "                 y\n");
}

TEST(ColumnTable, NothingShownGivesNoRows) {
    EXPECT_TRUE(column_table({"Designation", "Type"}, {{"", ""}, {"", ""}}).empty());
    EXPECT_TRUE(column_table({"Designation", "Type"}, {}).empty());
    EXPECT_TRUE(column_table({}, {{"a"}}).empty());
    // A short row counts its missing cells as empty.
    EXPECT_EQ(text(column_table({"A", "B"}, {{"1"}, {"2", "3"}})),
              "    A  B\n"
              "    1\n"
              "    2  3\n");
}

}  // namespace
}  // namespace nadrel
