#include "ui/text_width_estimate.h"

#include "common/text/utf16_text.h"

#include <algorithm>
#include <QString>

namespace tambrel {
namespace {

// Texts whose estimated width comes this close to the widest estimate are measured exactly.
constexpr std::size_t kExactMeasurements = 64;

bool smallerFirst(const std::pair<float, std::int32_t>& a,
                  const std::pair<float, std::int32_t>& b) {
    return a > b;
}

} // namespace

// Fractional advances: whole-pixel ones sum to less than the shaped text once a face's advances
// are not whole, and the widest texts would then be elided.
TextWidthEstimate::TextWidthEstimate(const QFont& font, QPaintDevice* device, int columns)
    : metrics_(font, device), widestEstimate_(static_cast<std::size_t>(columns), 0),
      widestRows_(static_cast<std::size_t>(columns)) {
    for (int c = 0; c < 128; ++c)
        asciiAdvance_[static_cast<std::size_t>(c)] =
            static_cast<float>(metrics_.horizontalAdvance(QChar(c)));
    for (auto& heap : widestRows_)
        heap.reserve(kExactMeasurements);
}

float TextWidthEstimate::advanceOf(char32_t code) {
    auto found = otherAdvance_.constFind(code);
    if (found != otherAdvance_.constEnd())
        return *found;
    const auto advance =
        static_cast<float>(metrics_.horizontalAdvance(QString::fromUcs4(&code, 1)));
    otherAdvance_.insert(code, advance);
    return advance;
}

void TextWidthEstimate::addRow(std::int32_t row, std::span<const std::string_view> texts) {
    const std::size_t columns = std::min(texts.size(), widestRows_.size());
    for (std::size_t column = 0; column < columns; ++column) {
        const std::string_view text = texts[column];
        float width = 0;
        for (std::size_t i = 0; i < text.size();) {
            const auto byte = static_cast<unsigned char>(text[i]);
            if (byte < 0x80) {
                width += asciiAdvance_[byte];
                ++i;
            } else {
                // A broken sequence counts as U+FFFD, as the conversion for display shows it.
                char32_t code = 0xFFFD;
                const std::size_t length = decodeUtf8Sequence(text.substr(i), code);
                width += advanceOf(length == 0 ? 0xFFFD : code);
                i += std::max<std::size_t>(length, 1);
            }
        }
        widestEstimate_[column] = std::max(widestEstimate_[column], width);
        std::vector<Estimate>& heap = widestRows_[column];
        if (heap.size() < kExactMeasurements) {
            heap.emplace_back(width, row);
            std::push_heap(heap.begin(), heap.end(), smallerFirst);
        } else if (width > heap.front().first) {
            std::pop_heap(heap.begin(), heap.end(), smallerFirst);
            heap.back() = {width, row};
            std::push_heap(heap.begin(), heap.end(), smallerFirst);
        }
    }
}

std::vector<qreal> TextWidthEstimate::widestTexts(const CellTable& cells) const {
    std::vector<qreal> widths(widestRows_.size(), 0);
    for (std::size_t column = 0; column < widths.size(); ++column) {
        const float threshold =
            widestEstimate_[column] - std::max(widestEstimate_[column] / 10, 8.0f);
        for (const auto& [estimate, row] : widestRows_[column]) {
            if (estimate < threshold || row >= cells.rowCount())
                continue;
            const std::string_view text = cells.cell(row, static_cast<int>(column));
            widths[column] =
                std::max(widths[column], metrics_.horizontalAdvance(QString::fromUtf8(
                                             text.data(), static_cast<qsizetype>(text.size()))));
        }
    }
    return widths;
}

} // namespace tambrel
