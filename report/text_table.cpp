#include "report/text_table.h"

#include "platform/text/display_width.h"

#include <algorithm>

namespace tambrel::report {

namespace {
using platform::displayWidth;
} // namespace

TextTable::TextTable(std::vector<std::string_view> headings) : headings_(std::move(headings)) {
    for (std::string_view heading : headings_)
        widths_.push_back(displayWidth(heading));
}

void TextTable::measure(std::span<const std::string_view> cells) {
    for (std::size_t i = 0; i < cells.size() && i < widths_.size(); ++i)
        widths_[i] = std::max(widths_[i], displayWidth(cells[i]));
}

void TextTable::appendHeadings(std::string& out) const {
    appendLine(out, headings_);
}

void TextTable::appendLine(std::string& out, std::span<const std::string_view> cells) const {
    std::size_t last = cells.size();
    while (last > 0 && cells[last - 1].empty())
        --last;
    for (std::size_t i = 0; i < last; ++i) {
        out.append(cells[i]);
        if (i + 1 < last && i < widths_.size())
            out.append(widths_[i] - std::min(widths_[i], displayWidth(cells[i])) + 2, ' ');
    }
    out.push_back('\n');
}

} // namespace tambrel::report
