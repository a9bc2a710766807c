#include "common/cell_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tambrel {
namespace {

TEST(CellTable, RewritingOneCellKeepsTheOthers) {
    CellTable table(3);
    table.appendRow();
    table.setCell(0, 0, "a");
    table.setCell(0, 1, "middle");
    table.setCell(0, 2, "z");
    table.setCell(0, 1, "");
    table.setCell(0, 0, std::string(70000, 'x'));
    EXPECT_EQ(table.cell(0, 0).size(), 70000u);
    EXPECT_EQ(table.cell(0, 1), "");
    EXPECT_EQ(table.cell(0, 2), "z");
}

TEST(CellTable, InsertTruncateAndPermuteMoveWholeRows) {
    CellTable table(2);
    for (int i = 0; i < 5; ++i) {
        table.appendRow();
        table.setCell(i, 1, std::to_string(i));
    }
    table.insertRow(1); // an empty row in between
    EXPECT_EQ(table.cell(1, 1), "");
    EXPECT_EQ(table.cell(2, 1), "1");

    table.permuteRows(2, std::vector<std::int32_t>{2, 0, 1});
    EXPECT_EQ(table.cell(2, 1), "3");
    EXPECT_EQ(table.cell(3, 1), "1");
    EXPECT_EQ(table.cell(4, 1), "2");

    table.truncate(2);
    EXPECT_EQ(table.rowCount(), 2);
    table.truncate(10); // more rows than held: nothing happens
    EXPECT_EQ(table.rowCount(), 2);
}

} // namespace
} // namespace tambrel
