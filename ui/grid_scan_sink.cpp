#include "ui/grid_scan_sink.h"

#include "common/user_dialogs.h"
#include "inventory/describe_file.h"
#include "inventory/scan_messages.h"

#include <array>
#include <string>
#include <string_view>

namespace tambrel {
namespace {

// The load's trap around the window's own steps on its grids: a failure is shown as the
// scan's own failures are, and the next step runs.
void trap(const Status& status) {
    if (!status)
        reportMessage(loadFailureMessage(status.failure()));
}

} // namespace

void AddFileToGrid(const FileFacts& facts, Grid& gridGreetings, Grid& gridPrompts) {
    for (const Failure& failure : facts.readFailures)
        reportMessage(readFailureMessage(failure, facts.path));
    const auto reportIfFailed = [&facts](const Status& status) {
        if (!status)
            reportMessage(readFailureMessage(status.failure(), facts.path));
    };

    Grid& grid = facts.list == FileList::Greetings ? gridGreetings : gridPrompts;
    const Status typed = grid.AddFileRow(facts);
    if (typed || typed.failure().code != ENOTSUP) {
        reportIfFailed(typed);
        return;
    }

    const std::array<std::string, 5> cells = fileRowCells(facts);
    reportIfFailed(grid.AddItem(cells[0], grid.Rows()));
    auto writeCell = [&grid, &cells, &reportIfFailed](std::size_t index) {
        reportIfFailed(
            grid.SetCell(grid.Rows() - 1, grid.ColIndex(kFileRowKeys[index]), cells[index]));
    };
    // The window's order of cell writes: path, codec, size, rate, date.
    constexpr std::array<std::size_t, 5> kWriteOrder = {1, 0, 4, 2, 3};
    for (std::size_t index : kWriteOrder)
        writeCell(index);
}

void GridScanSink::listStarted(FileList list) {
    trap(grid(list).SetRows(1));
}

void GridScanSink::listFilling(FileList list) {
    grid(list).SetRedraw(RedrawMode::Suspended);
}

void GridScanSink::fileFound(const FileFacts& facts) {
    AddFileToGrid(facts, gridGreetings_, gridPrompts_);
}

void GridScanSink::loadFailed(const LoadFailure& failure) {
    reportMessage(loadFailureMessage(failure));
}

void GridScanSink::noGreetingsFound() {
    reportMessage(noGreetingsFoundMessage());
}

void GridScanSink::serverRefused() {
    reportMessage(serverRefusedMessage());
}

void GridScanSink::sizeMainColumns(WindowGrid& grid) {
    for (std::string_view key : {"FileName", "Codec", "LastModified"})
        trap(grid.AutoSize(grid.ColIndex(key)));
}

void GridScanSink::finishGrids() {
    sizeMainColumns(gridGreetings_);
    gridGreetings_.SetRedraw(RedrawMode::Buffered);
    sizeMainColumns(gridPrompts_);
    gridPrompts_.SetRedraw(RedrawMode::Buffered);
}

} // namespace tambrel
