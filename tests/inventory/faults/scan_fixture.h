// A generated server, the in-memory grids and the recording dialogs for the fault tests of the
// scan, with the helpers that read the rows back.
#pragma once

#include "inventory/folder_scan.h"
#include "tests/inventory/scan/server_tree.h"
#include "tests/inventory/wav_fixtures.h"
#include "tests/support/grid_load.h"
#include "tests/support/memory_grid.h"
#include "tests/support/recording_dialogs.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace tambrel::testing {

inline const std::string kLoadLead = "Error in from load procedure: ";
inline const std::string kAddLead = "Error in AddFileToGrid: ";
inline const std::string kNotWave = "File not a valid WAV format";

// A failure as the scan shows it: lead, description and the folder or file concerned, as the
// scan spells it (shownPath).
inline std::string loadFailure(int error, std::string_view concerned) {
    return kLoadLead + std::strerror(error) + ": " + std::string(concerned);
}
inline std::string addFailure(int error, std::string_view concerned) {
    return kAddLead + std::strerror(error) + ": " + std::string(concerned);
}

// "Localize/Prompts/a.wav" as the scan shows it below the root "C:\Corvel".
inline std::string shownPath(std::string_view relative) {
    std::string path = "C:\\Corvel\\" + std::string(relative);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// The five cells of a file row, in the export's order.
struct Row {
    std::string codec, fileName, sampleRate, lastModified, fileSize;
    bool operator==(const Row&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << '{' << row.codec << " | " << row.fileName << " | " << row.sampleRate << " | "
               << row.lastModified << " | " << row.fileSize << '}';
}

inline std::vector<Row> rowsOf(const MemoryGrid& grid) {
    std::vector<Row> rows;
    for (std::int32_t row = 1; row < grid.Rows(); ++row)
        rows.push_back({grid.text(row, "Codec"), grid.text(row, "FileName"),
                        grid.text(row, "SampleRate"), grid.text(row, "LastModified"),
                        grid.text(row, "FileSize")});
    return rows;
}

inline std::vector<std::string> sorted(std::vector<std::string> texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
}

// Names of a folder's entries in the order the directory delivers them, which is the order
// the scan visits them in while the folder is unchanged.
inline std::vector<std::string> directoryOrder(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

class ScanFixture : public ::testing::Test {
protected:
    LoadOutcome load(const ScanProgress& progress = {}, const ScanOptions& options = {}) {
        return loadIntoGrids(fileSystem, greetings, prompts, progress, options);
    }
    // A progress that calls `change` once, when `count` files have been examined. In a serial
    // scan the file counted last is then about to be read, and every listing before it is taken.
    static ScanProgress changeAt(std::int64_t count, std::function<void()> change) {
        ScanProgress progress;
        progress.interval = 1;
        progress.filesExamined = [count, change = std::move(change)](std::int64_t examined) {
            if (examined == count)
                change();
        };
        return progress;
    }
    // Options whose seam calls `change` once the folder `relative` (below the root) has been
    // listed and before any of its files is read, in a serial scan as in an overlapped one.
    ScanOptions changeWhenListed(std::string_view relative, std::function<void()> change,
                                 ScanOptions options = {}) const {
        std::string folder = shownPath(relative);
        if (folder.back() != '\\')
            folder.push_back('\\');
        options.folderListed = [folder, change = std::move(change)](const std::string& listed) {
            if (listed == folder)
                change();
        };
        return options;
    }
    std::filesystem::path at(std::string_view relative) const { return server.root() / relative; }

    ServerTree server;
    FileSystemObject fileSystem{server.prefix().string()};
    RecordingDialogs dialogs;
    MemoryGrid greetings = MemoryGrid::withFileRowColumns();
    MemoryGrid prompts = MemoryGrid::withFileRowColumns();
};

} // namespace tambrel::testing
