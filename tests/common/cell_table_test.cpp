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

// Lengths are stored in 7-bit groups: cells on either side of each group boundary, side by side,
// must come back whole and must not shift their neighbours.
TEST(CellTable, CellsOfEveryLengthClassKeepTheirBytes) {
    const std::size_t lengths[] = {0, 1, 127, 128, 16383, 16384, 2097151, 2097152};
    CellTable table(3);
    for (std::size_t length : lengths) {
        const std::string middle(length, static_cast<char>('a' + length % 26));
        const std::string_view row[] = {"left", middle, "right"};
        table.appendRow();
        table.setRow(table.rowCount() - 1, row);
    }
    const std::int32_t columns[] = {2, 1, 0};
    for (std::int32_t r = 0; r < table.rowCount(); ++r) {
        const std::size_t length = lengths[r];
        SCOPED_TRACE(length);
        EXPECT_EQ(table.cell(r, 0), "left");
        EXPECT_EQ(table.cell(r, 1), std::string(length, static_cast<char>('a' + length % 26)));
        EXPECT_EQ(table.cell(r, 2), "right");
        std::string_view texts[3];
        table.cells(r, columns, texts);
        EXPECT_EQ(texts[0], "right");
        EXPECT_EQ(texts[1].size(), length);
        EXPECT_EQ(texts[2], "left");
    }
}

// Rows rewritten cell by cell leave their old blocks behind; the table must copy the live ones
// out in time, keep every cell, and give the memory back when rows go.
TEST(CellTable, RewrittenAndRemovedRowsGiveTheirMemoryBack) {
    CellTable table(3);
    const int rows = 20000;
    for (int r = 0; r < rows; ++r) {
        table.appendRow();
        for (int c = 0; c < 3; ++c)
            table.setCell(r, c, std::to_string(r) + "/" + std::to_string(c) + std::string(40, 'x'));
    }
    // A long cell between short ones, in a block of its own, and then rewritten.
    table.setCell(7, 1, std::string(100000, 'L'));
    table.setCell(7, 1, table.cell(7, 1).substr(0, 50000));
    std::size_t live = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 3; ++c)
            live += table.cell(r, c).size() + 1;
    EXPECT_LE(table.bytesUsed(), 2 * live + 2 * 65536 + rows * sizeof(void*) * 2);
    for (int r : {0, 6, 8, rows - 1})
        EXPECT_EQ(table.cell(r, 2), std::to_string(r) + "/2" + std::string(40, 'x'));
    EXPECT_EQ(table.cell(7, 1), std::string(50000, 'L'));
    EXPECT_EQ(table.cell(7, 2), "7/2" + std::string(40, 'x'));

    table.truncate(1);
    EXPECT_EQ(table.cell(0, 0), "0/0" + std::string(40, 'x'));
    EXPECT_LT(table.bytesUsed(), 70000u);

    // What a table moved from holds is nothing, and it takes new rows.
    CellTable moved = std::move(table);
    EXPECT_EQ(moved.cell(0, 1), "0/1" + std::string(40, 'x'));
    table = CellTable(3);
    table.appendRow();
    table.setCell(0, 0, "fresh");
    EXPECT_EQ(table.cell(0, 0), "fresh");
    EXPECT_EQ(moved.cell(0, 0), "0/0" + std::string(40, 'x'));
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
