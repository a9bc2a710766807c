#include "cli/listing_grid.h"

#include "common/memory_grid.h"
#include "inventory/describe_file.h"

#include <algorithm>
#include <cerrno>
#include <limits>

namespace tambrel::cli {
namespace {

// Column 0 has no key, as in the window's grids.
constexpr std::int32_t kFirstKeyedColumn = 1;

} // namespace

ListingGrid::ListingGrid(bool keepRows) : keepRows_(keepRows) {}

std::int32_t ListingGrid::Rows() const {
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(count_ + 1, std::numeric_limits<std::int32_t>::max()));
}

Status ListingGrid::SetRows(std::int32_t rows) {
    if (rows != 1)
        return Failure::fromErrno(EINVAL);
    count_ = 0;
    records_.clear();
    paths_.clear();
    errors_.clear();
    codecs_.clear();
    codecIndex_.clear();
    summary_ = {};
    cachedRow_ = -1;
    return {};
}

std::int32_t ListingGrid::ColIndex(std::string_view key) const {
    for (std::size_t i = 0; i < kFileRowKeys.size(); ++i)
        if (equalsIgnoringCase(key, kFileRowKeys[i]))
            return kFirstKeyedColumn + static_cast<std::int32_t>(i);
    return -1;
}

Status ListingGrid::checkRow(std::int32_t row) const {
    if (row < 1 || static_cast<std::size_t>(row) > records_.size())
        return Failure::fromErrno(keepRows_ ? ERANGE : ENOTSUP);
    return {};
}

FileRow ListingGrid::row(std::int32_t row) const {
    FileRow typed;
    if (!checkRow(row))
        return typed;
    const Record& record = records_[static_cast<std::size_t>(row - 1)];
    typed.path = paths_.substr(record.pathOffset, record.pathLength);
    typed.codecText = codecs_[static_cast<std::size_t>(record.codecIndex)];
    typed.isWave = record.isWave;
    typed.formatTag = record.formatTag;
    typed.sampleRate = record.sampleRate;
    typed.hasStatus = record.hasStatus;
    typed.size = record.size;
    typed.lastModified.tv_sec = static_cast<std::time_t>(record.seconds);
    typed.lastModified.tv_nsec = record.nanoseconds;
    if (record.errorIndex >= 0)
        typed.failures.push_back({0, errors_[static_cast<std::size_t>(record.errorIndex)]});
    return typed;
}

const std::array<std::string, 5>& ListingGrid::cellsOf(std::int32_t row) const {
    // The same texts the window's cells hold, made by the same function.
    if (cachedRow_ != row) {
        cachedCells_ = fileRowCells(this->row(row));
        cachedRow_ = row;
    }
    return cachedCells_;
}

Result<std::string> ListingGrid::Cell(std::int32_t row, std::int32_t column) const {
    if (Status checked = checkRow(row); !checked)
        return checked.failure();
    const std::int32_t index = column - kFirstKeyedColumn;
    if (index < 0 || index >= static_cast<std::int32_t>(kFileRowKeys.size()))
        return std::string();
    return cellsOf(row)[static_cast<std::size_t>(index)];
}

Status ListingGrid::ViewCells(std::int32_t row, std::span<const std::int32_t> columns,
                              std::span<std::string_view> texts) const {
    if (Status checked = checkRow(row); !checked)
        return checked;
    const std::array<std::string, 5>& cells = cellsOf(row);
    for (std::size_t i = 0; i < columns.size() && i < texts.size(); ++i) {
        const std::int32_t index = columns[i] - kFirstKeyedColumn;
        texts[i] = index >= 0 && index < static_cast<std::int32_t>(cells.size())
                       ? std::string_view(cells[static_cast<std::size_t>(index)])
                       : std::string_view();
    }
    return {};
}

// Rows come whole through AddFileRow; texts alone would have to be parsed back.
Status ListingGrid::SetCell(std::int32_t, std::int32_t, std::string_view) {
    return Failure::fromErrno(ENOTSUP);
}

Status ListingGrid::AddItem(std::string_view, std::int32_t) {
    return Failure::fromErrno(ENOTSUP);
}

Status ListingGrid::AddFileRow(const FileRow& row) {
    ++count_;
    const std::int64_t bytes = row.hasStatus ? row.size : 0;
    summary_.files += 1;
    summary_.bytes += bytes;
    SummaryCount& group = summary_.byCodecAndRate[{row.codecText, row.sampleRate}];
    group.files += 1;
    group.bytes += bytes;
    if (!keepRows_)
        return {};

    Record record;
    record.pathOffset = paths_.size();
    record.pathLength = static_cast<std::uint32_t>(row.path.size());
    paths_.append(row.path);
    const auto [codec, added] =
        codecIndex_.try_emplace(row.codecText, static_cast<std::int32_t>(codecs_.size()));
    if (added)
        codecs_.push_back(row.codecText);
    record.codecIndex = codec->second;
    if (!row.failures.empty()) {
        std::string error;
        for (const Failure& failure : row.failures) {
            if (!error.empty())
                error.append("; ");
            error.append(failure.description);
        }
        record.errorIndex = static_cast<std::int32_t>(errors_.size());
        errors_.push_back(std::move(error));
    }
    record.sampleRate = row.sampleRate;
    record.size = row.size;
    record.seconds = static_cast<std::int64_t>(row.lastModified.tv_sec);
    record.nanoseconds = static_cast<std::int32_t>(row.lastModified.tv_nsec);
    record.formatTag = row.formatTag;
    record.isWave = row.isWave;
    record.hasStatus = row.hasStatus;
    records_.push_back(record);
    return {};
}

} // namespace tambrel::cli
