// The scan into two grids as the main window's Form_Load runs it: the window's sink around the
// core's scan, and the grids finished when the scan completes.
#pragma once

#include "inventory/folder_scan.h"
#include "ui/grid_scan_sink.h"

namespace tambrel::testing {

inline LoadOutcome loadIntoGrids(const FileSystemObject& fileSystem, WindowGrid& gridGreetings,
                                 WindowGrid& gridPrompts, const ScanProgress& progress = {},
                                 const ScanOptions& options = {}) {
    GridScanSink sink(gridGreetings, gridPrompts);
    const LoadOutcome outcome = runLoadSequence(fileSystem, sink, progress, options);
    if (outcome == LoadOutcome::Completed)
        sink.finishGrids();
    return outcome;
}

} // namespace tambrel::testing
