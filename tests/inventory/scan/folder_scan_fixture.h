// The scan's test fixture: a server tree, the file-system object over it, the recording dialogs
// and the two in-memory grids, with helpers that read the grids back.
#pragma once

#include "inventory/folder_scan.h"
#include "tests/inventory/scan/server_tree.h"
#include "tests/support/grid_load.h"
#include "tests/support/memory_grid.h"
#include "tests/support/recording_dialogs.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel::testing {

inline const std::string kLoadLead = "Error in from load procedure: ";
inline const std::string kNoGreetings = "No greetings files found in stream file path...";
inline const std::string kNotSupported =
    "This utility only runs on servers running Corvel 3.0(1) or later";

// A failure of the load as shown: the lead, the system's own words (which differ between
// systems) and the place concerned. The words are taken out so that one table serves both.
inline std::string loadFailure(std::string_view concerned) {
    return kLoadLead + "...: " + std::string(concerned);
}
inline std::vector<std::string> withoutSystemWords(std::vector<std::string> texts) {
    for (std::string& text : texts) {
        const std::size_t place = text.rfind(": ");
        if (text.starts_with(kLoadLead) && place != std::string::npos && place >= kLoadLead.size())
            text = kLoadLead + "..." + text.substr(place);
    }
    return texts;
}

inline std::vector<std::vector<std::string>> allCells(const MemoryGrid& grid) {
    const std::vector<std::string> keys = {"Codec", "FileName", "SampleRate", "LastModified",
                                           "FileSize"};
    std::vector<std::vector<std::string>> rows;
    for (std::int32_t row = 1; row < grid.Rows(); ++row) {
        std::vector<std::string> cells;
        for (const std::string& key : keys)
            cells.push_back(grid.text(row, key));
        rows.push_back(cells);
    }
    return rows;
}

inline std::ptrdiff_t positionOf(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) - names.begin();
}

class FolderScanTest : public ::testing::Test {
protected:
    LoadOutcome load(const ScanProgress& progress = {}) {
        return loadIntoGrids(fileSystem, greetings, prompts, progress);
    }

    ServerTree server;
    FileSystemObject fileSystem{server.prefix().string()};
    RecordingDialogs dialogs;
    MemoryGrid greetings = MemoryGrid::withFileRowColumns();
    MemoryGrid prompts = MemoryGrid::withFileRowColumns();
};

} // namespace tambrel::testing
