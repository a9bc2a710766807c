#include "ui/row_filter.h"

#include "common/ascii_case.h"

#include <algorithm>
#include <cstring>

namespace tambrel {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string asciiFolded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        c = asciiLower(c);
    return folded;
}

// The length of the separator at `text[i]`, or 0: ASCII blanks, the no-break space and the
// ideographic space, which a Japanese input method types between words.
std::size_t separatorLength(std::string_view text, std::size_t i) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v')
        return 1;
    if (text.substr(i, 2) == "\xC2\xA0")
        return 2;
    if (text.substr(i, 3) == "\xE3\x80\x80")
        return 3;
    return 0;
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> found;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (const std::size_t separator = separatorLength(text, i); separator > 0) {
            if (i > start)
                found.push_back(text.substr(start, i - start));
            i += separator;
            start = i;
        } else {
            ++i;
        }
    }
    if (i > start)
        found.push_back(text.substr(start, i - start));
    return found;
}

} // namespace

std::optional<RowGroup> codecAndRateGroup(const FileRowRecord& record) {
    if (!record.typed())
        return std::nullopt;
    RowGroup group;
    group.kind = RowGroup::Kind::CodecAndRate;
    group.header = record.headerKind();
    group.formatTag = group.header == HeaderKind::Wave ? record.formatTag() : std::int16_t{0};
    group.sampleRate = record.sampleRate();
    return group;
}

std::optional<RowGroup> problemGroup(const FileRowRecord& record) {
    if (!record.typed() || record.problem() == WavProblem::None)
        return std::nullopt;
    RowGroup group;
    group.kind = RowGroup::Kind::Problem;
    group.problem = record.problem();
    return group;
}

bool isInGroup(const FileRowRecord& record, const RowGroup& group) {
    const std::optional<RowGroup> own = group.kind == RowGroup::Kind::CodecAndRate
                                            ? codecAndRateGroup(record)
                                            : problemGroup(record);
    return own && *own == group;
}

RowMatcher::RowMatcher(const RowFilter& filter, UnicodeCaseFold fold)
    : problemsOnly_(filter.problemsOnly), groups_(filter.groups), fold_(fold) {
    for (std::string_view text : words(filter.text)) {
        Word& word = words_.emplace_back();
        word.ascii = isAscii(text);
        word.folded = !word.ascii && fold_ ? fold_(text) : asciiFolded(text);
        const std::size_t length = word.folded.size();
        std::fill(std::begin(word.skip), std::end(word.skip),
                  static_cast<std::uint8_t>(std::min<std::size_t>(length, 255)));
        for (std::size_t i = 0; i + 1 < length; ++i)
            word.skip[static_cast<unsigned char>(word.folded[i])] =
                static_cast<std::uint8_t>(std::min<std::size_t>(length - 1 - i, 255));
    }
}

bool RowMatcher::contains(std::string_view text, const Word& word) const {
    const std::string_view needle = word.folded;
    const std::size_t length = needle.size();
    if (length == 0)
        return true;
    // Horspool over the ASCII-folded bytes: every match it finds holds under full folding too,
    // as folding leaves the ASCII letters of a match where they are.
    if (length <= text.size()) {
        const char last = needle[length - 1];
        std::size_t at = 0;
        while (at + length <= text.size()) {
            const char tail = asciiLower(text[at + length - 1]);
            if (tail == last) {
                std::size_t i = 0;
                while (i + 1 < length && asciiLower(text[at + i]) == needle[i])
                    ++i;
                if (i + 1 >= length)
                    return true;
            }
            at += word.skip[static_cast<unsigned char>(tail)];
        }
    }
    // Only a text beyond ASCII may still hold the word once folded in full.
    if (!fold_ || isAscii(text))
        return false;
    scratch_ = fold_(text);
    return scratch_.find(needle) != std::string::npos;
}

bool RowMatcher::matches(const FileRowRecord& record, std::string_view fileName,
                         std::string_view codec, std::string_view sampleRate) const {
    if (problemsOnly_ && (!record.typed() || record.problem() == WavProblem::None))
        return false;
    if (!groups_.empty() &&
        std::none_of(groups_.begin(), groups_.end(),
                     [&record](const RowGroup& group) { return isInGroup(record, group); }))
        return false;
    for (const Word& word : words_)
        if (!contains(fileName, word) && !contains(codec, word) && !contains(sampleRate, word))
            return false;
    return true;
}

bool narrows(const RowFilter& narrower, const RowFilter& wider) {
    if (wider.problemsOnly && !narrower.problemsOnly)
        return false;
    if (!wider.groups.empty()) {
        if (narrower.groups.empty())
            return false;
        for (const RowGroup& group : narrower.groups)
            if (std::find(wider.groups.begin(), wider.groups.end(), group) == wider.groups.end())
                return false;
    }
    // A row holding each narrower word holds every word that is part of one of them.
    const std::vector<std::string_view> narrowerWords = words(narrower.text);
    for (std::string_view word : words(wider.text)) {
        const std::string folded = asciiFolded(word);
        const bool covered =
            std::any_of(narrowerWords.begin(), narrowerWords.end(), [&](std::string_view other) {
                return asciiFolded(other).find(folded) != std::string::npos;
            });
        if (!covered)
            return false;
    }
    return true;
}

} // namespace tambrel
