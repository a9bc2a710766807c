#include "inventory/add_file_to_grid.h"

#include "common/user_dialogs.h"
#include "inventory/describe_file.h"
#include "localize/language_state.h"

#include <charconv>

namespace tambrel {
namespace {

// Each message names the file as its row shows it, so the user can find it on the server.
void report(const Failure& failure, std::string_view path) {
    reportMessage(mymyLoadString(8) + failureText(failure, path));
}

} // namespace

std::string signPositionDecimal(std::int64_t value) {
    char digits[24];
    digits[0] = ' ';
    const auto [end, error] = std::to_chars(digits + (value < 0 ? 0 : 1), std::end(digits), value);
    (void)error; // 23 characters hold every 64-bit value
    return std::string(digits, end);
}

void AddFileToGrid(const FileEntry& file, bool greetingsFlag, Grid& gridGreetings,
                   Grid& gridPrompts) {
    // Open, read the header, take the status and close, all at once: the steps that cannot
    // follow a failed open are not tried, and so not reported a second time.
    addFileRow(describeFile(file), greetingsFlag, gridGreetings, gridPrompts);
}

void addFileRow(const FileRow& row, bool greetingsFlag, Grid& gridGreetings, Grid& gridPrompts) {
    for (const Failure& failure : row.failures)
        report(failure, row.path);
    const auto reportIfFailed = [&row](const Status& status) {
        if (!status)
            report(status.failure(), row.path);
    };

    Grid& grid = greetingsFlag ? gridGreetings : gridPrompts;
    const Status typed = grid.AddFileRow(row);
    if (typed || typed.failure().code != ENOTSUP) {
        reportIfFailed(typed);
        return;
    }

    const std::array<std::string, 5> cells = fileRowCells(row);
    reportIfFailed(grid.AddItem(row.codecText, grid.Rows()));
    auto writeCell = [&grid, &cells, &reportIfFailed](std::size_t index) {
        reportIfFailed(
            grid.SetCell(grid.Rows() - 1, grid.ColIndex(kFileRowKeys[index]), cells[index]));
    };
    // The window's order of cell writes: path, codec, size, rate, date.
    constexpr std::array<std::size_t, 5> kWriteOrder = {1, 0, 4, 2, 3};
    for (std::size_t index : kWriteOrder)
        writeCell(index);
}

} // namespace tambrel
