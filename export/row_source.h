// Where an export takes its rows from: the five texts of each CSV line, row by row, whatever
// holds them (the window's grids, the command-line tool's store of facts).
#pragma once

#include "common/result.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tambrel {

// Codec, FileName, SampleRate, LastModified, FileSize: the order of kFileRowKeys.
inline constexpr std::size_t kCsvFields = 5;

class CsvRowSource {
public:
    virtual ~CsvRowSource() = default;

    virtual std::int64_t csvRowCount() const = 0;
    // The texts of data row `row` (0 to csvRowCount() - 1), as views that stay valid until the
    // next call or until the source changes. The export reads a million rows this way, a row
    // per call and no string per cell.
    virtual Status csvRowTexts(std::int64_t row,
                               std::span<std::string_view, kCsvFields> texts) const = 0;
};

} // namespace tambrel
