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

    // A whole row written at once, then one of its cells rewritten from its own bytes.
    const std::string_view row[] = {"first", "", std::string_view("x\0y", 3)};
    table.setRow(0, row);
    EXPECT_EQ(table.cell(0, 0), "first");
    EXPECT_EQ(table.cell(0, 1), "");
    EXPECT_EQ(table.cell(0, 2), std::string_view("x\0y", 3));
    table.setCell(0, 1, table.cell(0, 0).substr(1));
    EXPECT_EQ(table.cell(0, 1), "irst");
    EXPECT_EQ(table.cell(0, 0), "first");
}

TEST(CellTable, RowReadGivesTheCellsInTheAskedOrder) {
    CellTable table(4);
    table.appendRow();
    table.appendRow();
    table.setCell(0, 0, "zero");
    table.setCell(0, 2, "two");
    table.setCell(0, 3, std::string(300, 'y'));
    const std::int32_t columns[] = {3, 0, 1, 2, 0};
    std::string_view texts[5];
    table.cells(0, columns, texts);
    EXPECT_EQ(texts[0], std::string(300, 'y'));
    EXPECT_EQ(texts[1], "zero");
    EXPECT_EQ(texts[2], "");
    EXPECT_EQ(texts[3], "two");
    EXPECT_EQ(texts[4], "zero");
    // A row never written holds empty cells.
    table.cells(1, columns, texts);
    for (std::string_view text : texts)
        EXPECT_EQ(text, "");
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
