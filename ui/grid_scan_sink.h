// The main window's side of a scan: each list's grid emptied as the list starts and its drawing
// suspended as its rows come, a row per file, the message boxes in the scan's order, and at the
// end the three columns fitted and drawing resumed. Qt-free, so the tests run it over in-memory
// grids exactly as the window runs it over its own.
#pragma once

#include "inventory/scan_sink.h"
#include "ui/window_grid.h"

namespace tambrel {

// The file's row in the grid of its list, and a message for each failure met reading it.
void AddFileToGrid(const FileFacts& facts, Grid& gridGreetings, Grid& gridPrompts);

class GridScanSink final : public ScanSink {
public:
    GridScanSink(WindowGrid& gridGreetings, WindowGrid& gridPrompts)
        : gridGreetings_(gridGreetings), gridPrompts_(gridPrompts) {}

    void listStarted(FileList list) override;
    void listFilling(FileList list) override;
    void fileFound(const FileFacts& facts) override;
    void loadFailed(const LoadFailure& failure) override;
    void noGreetingsFound() override;
    void serverRefused() override;

    // After a completed scan: FileName, Codec and LastModified fitted and drawing resumed,
    // greetings first.
    void finishGrids();

private:
    WindowGrid& grid(FileList list) {
        return list == FileList::Greetings ? gridGreetings_ : gridPrompts_;
    }
    void sizeMainColumns(WindowGrid& grid);

    WindowGrid& gridGreetings_;
    WindowGrid& gridPrompts_;
};

} // namespace tambrel
