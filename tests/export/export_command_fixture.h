// The export command's test fixture: a grid of file rows, a temporary folder to export into and
// the recording dialogs, shared by the tests of both platforms and the POSIX-only ones.
#pragma once

#include "export/csv_export.h"
#include "tests/support/memory_grid.h"
#include "tests/support/recording_dialogs.h"
#include "tests/support/temporary_folder.h"

#include <algorithm>
#include <array>
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

// A row source whose texts are copies held apart from one another, as a source that keeps no
// row's texts side by side gives them: the writer cannot check a line's fields in one pass.
class CopyingRowSource final : public CsvRowSource {
public:
    explicit CopyingRowSource(const MemoryGrid& inner) : inner_(inner) {}
    std::int64_t csvRowCount() const override { return inner_.csvRowCount(); }
    Status csvRowTexts(std::int64_t row,
                       std::span<std::string_view, kCsvFields> texts) const override {
        std::array<std::string_view, kCsvFields> viewed;
        if (Status read = inner_.csvRowTexts(row, viewed); !read)
            return read;
        for (std::size_t i = 0; i < kCsvFields; ++i) {
            held_[i] = std::string(viewed[i]);
            texts[i] = held_[i];
        }
        return {};
    }

private:
    const MemoryGrid& inner_;
    mutable std::array<std::string, kCsvFields> held_;
};

} // namespace tambrel
