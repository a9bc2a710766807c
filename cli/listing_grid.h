// A grid for the command-line tool: takes the scan's file rows typed, keeps them compactly
// when a list is to be written (never a second copy as cell texts), and counts them per codec
// and sample rate for the summary either way.
#pragma once

#include "common/grid.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tambrel::cli {

// The files of one codec at one sample rate.
struct SummaryCount {
    std::int64_t files = 0;
    std::int64_t bytes = 0;
};

struct ListSummary {
    std::int64_t files = 0;
    std::int64_t bytes = 0;
    std::map<std::pair<std::string, std::int32_t>, SummaryCount> byCodecAndRate;
};

class ListingGrid final : public Grid {
public:
    // `keepRows`: false when only the summary is wanted, so no row is held at all.
    explicit ListingGrid(bool keepRows);

    std::int32_t Rows() const override;
    Status SetRows(std::int32_t rows) override;
    std::int32_t ColIndex(std::string_view key) const override;
    Result<std::string> Cell(std::int32_t row, std::int32_t column) const override;
    // The views stay valid until the next call of ViewCells or Cell.
    Status ViewCells(std::int32_t row, std::span<const std::int32_t> columns,
                     std::span<std::string_view> texts) const override;
    Status SetCell(std::int32_t row, std::int32_t column, std::string_view text) override;
    Status AddItem(std::string_view text, std::int32_t position) override;
    Status AddFileRow(const FileRow& row) override;
    Status AutoSize(std::int32_t) override { return {}; }
    void SetRedraw(RedrawMode) override {}
    float Width() const override { return 0; }
    float Height() const override { return 0; }
    void SetWidth(float) override {}
    void SetHeight(float) override {}

    const ListSummary& summary() const { return summary_; }
    // Data row `row` (1 to Rows() - 1) as a typed row again, failures as one text each.
    FileRow row(std::int32_t row) const;

private:
    struct Record {
        std::uint64_t pathOffset = 0;
        std::uint32_t pathLength = 0;
        std::int32_t codecIndex = 0;
        std::int32_t errorIndex = -1; // into errors_, -1 for a file read whole
        std::int32_t sampleRate = 0;
        std::int64_t size = 0;
        std::int64_t seconds = 0;
        std::int32_t nanoseconds = 0;
        std::int16_t formatTag = 0;
        bool isWave = false;
        bool hasStatus = false;
    };
    Status checkRow(std::int32_t row) const;
    const std::array<std::string, 5>& cellsOf(std::int32_t row) const;

    bool keepRows_;
    std::int64_t count_ = 0;
    std::vector<Record> records_;
    std::string paths_;
    std::vector<std::string> codecs_; // each codec text once
    std::unordered_map<std::string, std::int32_t> codecIndex_;
    std::vector<std::string> errors_;
    ListSummary summary_;
    mutable std::int32_t cachedRow_ = -1;
    mutable std::array<std::string, 5> cachedCells_;
};

} // namespace tambrel::cli
