#include "tests/support/memory_grid.h"

#include <array>
#include <gtest/gtest.h>

namespace tambrel {
namespace {

TEST(MemoryGrid, KeysAreFoundWithoutRegardToCaseAndColumnZeroHasNone) {
    MemoryGrid grid = MemoryGrid::withFileRowColumns();
    EXPECT_EQ(grid.ColIndex("filename"), 2);
    EXPECT_EQ(grid.ColIndex("FILESIZE"), 5);
    EXPECT_EQ(grid.ColIndex(""), -1);
    EXPECT_EQ(grid.ColIndex("Nothing"), -1);
}

TEST(MemoryGrid, SettingRowsToOneKeepsTheHeaderRow) {
    MemoryGrid grid = MemoryGrid::withFileRowColumns();
    ASSERT_TRUE(grid.SetCell(0, grid.ColIndex("Codec"), "Codec"));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(grid.AddItem("x", grid.Rows()));
    EXPECT_EQ(grid.Rows(), 4);
    ASSERT_TRUE(grid.SetRows(1));
    EXPECT_EQ(grid.Rows(), 1);
    EXPECT_EQ(grid.text(0, "Codec"), "Codec");
}

TEST(MemoryGrid, OutOfRangeOperationsFailInsteadOfCrashing) {
    MemoryGrid grid = MemoryGrid::withFileRowColumns();
    EXPECT_FALSE(grid.SetCell(1, 1, "no such row"));
    EXPECT_FALSE(grid.SetCell(0, -1, "no such column"));
    EXPECT_FALSE(grid.Cell(0, 6));
    EXPECT_FALSE(grid.AddItem("", 5));
    EXPECT_FALSE(grid.AutoSize(9));
    EXPECT_FALSE(grid.SetRows(0));
    std::array<std::string_view, kCsvFields> texts;
    EXPECT_FALSE(grid.csvRowTexts(0, texts));
    ASSERT_TRUE(grid.AddItem("", 1));
    EXPECT_TRUE(grid.csvRowTexts(0, texts));
    EXPECT_FALSE(grid.csvRowTexts(1, texts));
    EXPECT_FALSE(grid.csvRowTexts(-1, texts));
    MemoryGrid withoutSize({"", "Codec", "FileName", "SampleRate", "LastModified"});
    ASSERT_TRUE(withoutSize.AddItem("", 1));
    EXPECT_FALSE(withoutSize.csvRowTexts(0, texts));
}

} // namespace
} // namespace tambrel
