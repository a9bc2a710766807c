#include "cli/listing_store.h"

#include "inventory/describe_file.h"

#include <cerrno>

namespace tambrel::cli {

ListingStore::ListingStore(bool keepRows) : keepRows_(keepRows) {}

void ListingStore::clear() {
    records_.clear();
    paths_.clear();
    errors_.clear();
    summary_ = {};
    cachedRow_ = -1;
}

void ListingStore::add(const FileFacts& facts) {
    const std::int64_t bytes = facts.hasStatus ? facts.size : 0;
    summary_.files += 1;
    summary_.bytes += bytes;
    SummaryCount& group = summary_.byCodecAndRate[{codecText(facts), facts.header.sampleRate}];
    group.files += 1;
    group.bytes += bytes;
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
    return facts;
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
