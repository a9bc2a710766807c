// The widest text of each column of a grid, found without shaping every text: each text's width
// is estimated from the advances of its characters (each distinct character measured once) as
// its row comes, and only the few texts of a column that may be the widest are shaped whole at
// the end. Rows can be fed one at a time while a scan fills the grid, so that the fitting after
// the scan measures a few dozen texts instead of reading every row again.
#pragma once

#include "common/cell_table.h"

#include <array>
#include <cstdint>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

class QPaintDevice;

namespace tambrel {

class TextWidthEstimate {
public:
    // For texts drawn in `font` on `device`, in `columns` columns.
    TextWidthEstimate(const QFont& font, QPaintDevice* device, int columns);

    // The texts of data row `row`, one per column in column order.
    void addRow(std::int32_t row, std::span<const std::string_view> texts);
    // Each column's widest text in pixels, the candidates read back from `cells` by row.
    std::vector<qreal> widestTexts(const CellTable& cells) const;

private:
    float advanceOf(char32_t code);

    QFontMetricsF metrics_;
    std::array<float, 128> asciiAdvance_{};
    QHash<char32_t, float> otherAdvance_;
    // Per column the widest estimate, and the rows of the widest estimates as a min-heap.
    using Estimate = std::pair<float, std::int32_t>;
    std::vector<float> widestEstimate_;
    std::vector<std::vector<Estimate>> widestRows_;
};

} // namespace tambrel
