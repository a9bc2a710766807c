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

// Copies `text` to `out` with the ASCII capitals made small, eight bytes at a time: within each
// byte, adding to its low seven bits sets the top bit exactly when the byte is at least 'A'
// (or beyond 'Z'), so the capitals are found without a branch. Returns the top bits of all
// bytes: nonzero when the text holds bytes beyond ASCII.
std::uint64_t foldAsciiInto(std::string_view text, char* out) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kTops = 0x8080808080808080u;
    std::uint64_t beyondAscii = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t bytes;
        std::memcpy(&bytes, text.data() + i, 8);
        const std::uint64_t low = bytes & ~kTops;
        const std::uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
        const std::uint64_t beyondZ = low + (0x80 - 'Z' - 1) * kOnes;
        const std::uint64_t capitals = atLeastA & ~beyondZ & ~bytes & kTops;
        beyondAscii |= bytes & kTops;
        bytes |= capitals >> 2;
        std::memcpy(out + i, &bytes, 8);
    }
    for (; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        beyondAscii |= byte & 0x80u;
        out[i] = static_cast<char>(static_cast<unsigned>(byte - 'A') < 26u ? byte | 0x20 : byte);
    }
    return beyondAscii;
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
        std::string& folded = words_.emplace_back();
        if (fold_ && !isAscii(text))
            fold_(text, folded);
        else
            folded = asciiLowercase(std::string(text));
    }
}

bool RowMatcher::holdsEveryWord(std::string_view haystack) const {
    return std::all_of(words_.begin(), words_.end(), [haystack](const std::string& word) {
        return haystack.find(word) != std::string_view::npos;
    });
}

bool RowMatcher::matches(const FileRowRecord& record, std::string_view fileName,
                         std::string_view codec, std::string_view sampleRate) const {
    if (problemsOnly_ && (!record.typed() || record.problem() == WavProblem::None))
        return false;
    if (!groups_.empty() &&
        std::none_of(groups_.begin(), groups_.end(),
                     [&record](const RowGroup& group) { return isInGroup(record, group); }))
        return false;
    if (words_.empty())
        return true;

    // The three cells folded into one buffer, a zero byte between them so that no word spans
    // two, then one search a word with the library's fast find. This runs a million times a
    // keystroke.
    const std::string_view cells[] = {fileName, codec, sampleRate};
    haystack_.resize(fileName.size() + codec.size() + sampleRate.size() + 2);
    char* out = haystack_.data();
    std::uint64_t beyondAscii = 0;
    for (std::size_t c = 0; c < 3; ++c) {
        const std::string_view cell = cells[c];
        beyondAscii |= foldAsciiInto(cell, out);
        out += cell.size();
        if (c < 2)
            *out++ = '\0';
    }
    if (holdsEveryWord(haystack_))
        return true;
    // A match among ASCII letters holds under Unicode folding too; only a row beyond ASCII may
    // still hold every word once folded letter by letter.
    if (!fold_ || beyondAscii == 0)
        return false;
    haystack_.clear();
    for (std::size_t c = 0; c < 3; ++c) {
        fold_(cells[c], scratch_);
        haystack_.append(scratch_);
        haystack_.push_back('\0');
    }
    return holdsEveryWord(haystack_);
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
        const std::string folded = asciiLowercase(std::string(word));
        const bool covered =
            std::any_of(narrowerWords.begin(), narrowerWords.end(), [&](std::string_view other) {
                return asciiLowercase(std::string(other)).find(folded) != std::string::npos;
            });
        if (!covered)
            return false;
    }
    return true;
}

} // namespace tambrel
