#include "cli/listing_store.h"

#include "inventory/describe_file.h"

#include <cerrno>

namespace tambrel::cli {

ListingStore::ListingStore(bool keepRows) : keepRows_(keepRows) {}

void ListingStore::clear() {
    records_.clear();
    paths_.clear();
    errors_.clear();
    formats_.clear();
    formatsByHash_.clear();
    summary_ = {};
    cachedRow_ = -1;
}

void ListingStore::add(const FileFacts& facts) {
    const std::int64_t bytes = facts.hasStatus ? facts.size : 0;
    summary_.files += 1;
    summary_.bytes += bytes;
    // An unreadable file says nothing about its codec: it counts among the problems alone.
    if (facts.wav.problem != WavProblem::Unreadable) {
        SummaryCount& group = summary_.byCodecAndRate[{codecText(facts), facts.header.sampleRate}];
        group.files += 1;
        group.bytes += bytes;
    }
    if (facts.wav.problem != WavProblem::None) {
        SummaryCount& problem = summary_.byProblem[facts.wav.problem];
        problem.files += 1;
        problem.bytes += bytes;
    }
    if (!keepRows_)
        return;

    Record record;
    record.pathOffset = paths_.size();
    record.pathLength = static_cast<std::uint32_t>(facts.path.size());
    paths_.append(facts.path);
    if (!facts.readFailures.empty()) {
        std::string error;
        for (const Failure& failure : facts.readFailures) {
            if (!error.empty())
                error.append("; ");
            error.append(failure.description);
        }
        record.errorIndex = static_cast<std::int32_t>(errors_.size());
        errors_.push_back(std::move(error));
    }
    record.sampleRate = facts.header.sampleRate;
    record.size = facts.size;
    record.seconds = static_cast<std::int64_t>(facts.lastModified.tv_sec);
    record.nanoseconds = static_cast<std::int32_t>(facts.lastModified.tv_nsec);
    record.formatTag = facts.header.formatTag;
    record.isWave = facts.isWave();
    record.hasStatus = facts.hasStatus;
    record.list = facts.list;
    WavFacts format = facts.wav;
    if (const std::optional<std::uint64_t> data = format.dataBytes()) {
        record.dataBytes = *data;
        format.setDataBytes(0);
    }
    if (const std::optional<std::uint64_t> samples = format.factSamples()) {
        record.factSamples = *samples;
        format.setFactSamples(0);
    }
    record.formatIndex = formatIndex(format);
    if (!facts.problemDetail.empty()) {
        record.detailIndex = static_cast<std::int32_t>(errors_.size());
        errors_.push_back(facts.problemDetail);
    }
    records_.push_back(record);
}

FileFacts ListingStore::facts(std::int64_t index) const {
    FileFacts facts;
    if (index < 0 || index >= size())
        return facts;
    const Record& record = records_[static_cast<std::size_t>(index)];
    facts.list = record.list;
    facts.path = paths_.substr(record.pathOffset, record.pathLength);
    facts.header.kind = record.isWave ? HeaderKind::Wave : HeaderKind::NotWave;
    facts.header.formatTag = record.formatTag;
    facts.header.sampleRate = record.sampleRate;
    facts.hasStatus = record.hasStatus;
    facts.size = record.size;
    facts.lastModified.tv_sec = static_cast<std::time_t>(record.seconds);
    facts.lastModified.tv_nsec = record.nanoseconds;
    if (record.errorIndex >= 0)
        facts.readFailures.push_back({0, errors_[static_cast<std::size_t>(record.errorIndex)]});
    facts.wav = formats_[record.formatIndex];
    if (facts.wav.dataBytes())
        facts.wav.setDataBytes(record.dataBytes);
    if (facts.wav.factSamples())
        facts.wav.setFactSamples(record.factSamples);
    if (record.detailIndex >= 0)
        facts.problemDetail = errors_[static_cast<std::size_t>(record.detailIndex)];
    return facts;
}

std::uint32_t ListingStore::formatIndex(const WavFacts& format) {
    std::uint64_t hash = static_cast<std::uint64_t>(format.problem);
    const auto mix = [&hash](std::optional<std::uint64_t> value) {
        hash = hash * 1000003u + (value ? *value + 1 : 0);
    };
    mix(format.formatTag());
    mix(format.channels());
    mix(format.sampleRate());
    mix(format.byteRate());
    mix(format.blockAlign());
    mix(format.bitsPerSample());
    mix(format.subFormatTag());
    mix(format.dataBytes());
    mix(format.factSamples());
    mix(format.dataCutShort() ? 1 : 0);
    std::vector<std::uint32_t>& same = formatsByHash_[hash];
    for (const std::uint32_t index : same)
        if (formats_[index] == format)
            return index;
    const auto index = static_cast<std::uint32_t>(formats_.size());
    formats_.push_back(format);
    same.push_back(index);
    return index;
}

Status ListingStore::csvRowTexts(std::int64_t row,
                                 std::span<std::string_view, kCsvFields> texts) const {
    if (row < 0 || row >= size())
        return Failure::fromErrno(ERANGE);
    // The same texts the window's cells hold, made by the same function.
    if (cachedRow_ != row) {
        cachedCells_ = fileRowCells(facts(row));
        cachedRow_ = row;
    }
    for (std::size_t i = 0; i < kCsvFields; ++i)
        texts[i] = cachedCells_[i];
    return {};
}

} // namespace tambrel::cli
