// An aligned text table written in two passes, so that a million lines need no copy of their
// cells: measure every line first, then write each one padded to its columns' widths, which
// are the columns a terminal gives a text (an East Asian wide character takes two).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel::report {

class TextTable {
public:
    explicit TextTable(std::vector<std::string_view> headings);

    void measure(std::span<const std::string_view> cells);
    void appendHeadings(std::string& out) const;
    // Cells padded with blanks to their column's width, two blanks apart, the last unpadded.
    void appendLine(std::string& out, std::span<const std::string_view> cells) const;

private:
    std::vector<std::string_view> headings_;
    std::vector<std::size_t> widths_;
};

} // namespace tambrel::report
