// The export command's test fixture: a grid of file rows, a temporary folder to export into and
// the recording dialogs, shared by the tests of both platforms and the POSIX-only ones.
#pragma once

#include "common/memory_grid.h"
#include "export/csv_export.h"
#include "tests/support/recording_dialogs.h"
#include "tests/support/temporary_folder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel {

using testing::readFile;
using testing::RecordingDialogs;
using testing::TemporaryFolder;

constexpr std::string_view kHeaderLine =
    "Codec, File Name, Sample Rate, Date Last Modified, File Size\r\n";
constexpr std::string_view kOldBytes = "old export, keep me\r\n";

struct RowTexts {
    std::string codec, fileName, sampleRate, lastModified, fileSize;
};

class ExportCommand : public ::testing::Test {
protected:
    void addRow(const RowTexts& row) {
        const std::int32_t position = grid.Rows();
        ASSERT_TRUE(grid.AddItem("", position));
        ASSERT_TRUE(grid.SetCell(position, grid.ColIndex("Codec"), row.codec));
        ASSERT_TRUE(grid.SetCell(position, grid.ColIndex("FileName"), row.fileName));
        ASSERT_TRUE(grid.SetCell(position, grid.ColIndex("SampleRate"), row.sampleRate));
        ASSERT_TRUE(grid.SetCell(position, grid.ColIndex("LastModified"), row.lastModified));
        ASSERT_TRUE(grid.SetCell(position, grid.ColIndex("FileSize"), row.fileSize));
    }
    void addRows(int count) {
        for (int i = 0; i < count; ++i)
            addRow({"G.711 mu-law", "C:\\Corvel\\Stream Files\\" + std::to_string(i) + ".wav",
                    " 8000", "12/31/2025", " " + std::to_string(12044 + i)});
    }

    std::filesystem::path choose(std::string_view name) {
        std::filesystem::path path = folder / name;
        dialogs.saveAnswer = path.string();
        return path;
    }
    void run(CsvExportTarget target = CsvExportTarget::Greetings) {
        runCsvExportCommand(target, grid, fileSystem);
    }

    // Only what the test itself put there: no temporary file is left behind.
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // A failed export: its one message naming the chosen file, the hourglass undone (or never
    // shown, when the failure came before the writing), nothing written, no trace.
    void expectFailure(std::string_view lead, const std::vector<std::string>& entries) {
        expectFailure(std::vector<std::string_view>{lead}, entries);
    }
    // The same, where the system's description of the failure differs between platforms.
    void expectFailure(const std::vector<std::string_view>& leads,
                       const std::vector<std::string>& entries) {
        ASSERT_FALSE(dialogs.messages.empty());
        const std::string& shownText = dialogs.messages.back().text;
        EXPECT_TRUE(std::any_of(leads.begin(), leads.end(), [&](std::string_view lead) {
            return shownText == std::string(lead) + ": " + dialogs.saveAnswer.value_or("");
        })) << shownText;
        EXPECT_EQ(dialogs.messages.back().title, "Tambrel");
        for (const auto& shown : dialogs.messages)
            EXPECT_NE(shown.text, "Export complete");
        const std::size_t reports = std::count_if(
            dialogs.messages.begin(), dialogs.messages.end(),
            [](const testing::RecordedMessage& m) { return m.buttons == MessageButtons::Ok; });
        EXPECT_EQ(reports, 1u);
        if (!dialogs.pointers.empty()) {
            EXPECT_EQ(dialogs.pointers,
                      (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
        }
        EXPECT_EQ(folderEntries(), entries);
    }

    TemporaryFolder folder;
    RecordingDialogs dialogs;
    MemoryGrid grid = MemoryGrid::withFileRowColumns();
    // A prefix without drive C:, so the dialog proposes the home folder.
    FileSystemObject fileSystem{(folder / "no-prefix").string()};
};

// A grid that answers only the contract's plain Cell read, as a grid that keeps no texts of
// its own (no ViewCells) does.
class CellOnlyGrid final : public Grid {
public:
    explicit CellOnlyGrid(const MemoryGrid& inner) : inner_(inner) {}
    std::int32_t Rows() const override { return inner_.Rows(); }
    Status SetRows(std::int32_t) override { return Failure::fromErrno(EROFS); }
    std::int32_t ColIndex(std::string_view key) const override { return inner_.ColIndex(key); }
    Result<std::string> Cell(std::int32_t row, std::int32_t column) const override {
        return inner_.Cell(row, column);
    }
    Status SetCell(std::int32_t, std::int32_t, std::string_view) override {
        return Failure::fromErrno(EROFS);
    }
    Status AddItem(std::string_view, std::int32_t) override { return Failure::fromErrno(EROFS); }
    Status AutoSize(std::int32_t) override { return Failure::fromErrno(EROFS); }
    void SetRedraw(RedrawMode) override {}
    float Width() const override { return 0; }
    float Height() const override { return 0; }
    void SetWidth(float) override {}
    void SetHeight(float) override {}

private:
    const MemoryGrid& inner_;
};

} // namespace tambrel
