#include "report/comparison.h"

#include "report/name_key.h"

#include <algorithm>
#include <cstring>
#include <thread>
#include <utility>

namespace tambrel::report {
namespace {

// What the comparison needs of a row, taken in one pass in the document's order: its key and a
// hash of the facts compared, so that an unchanged file is never looked at again (the rows of
// a million files, visited in key order, would each cost the processor's caches a miss).
struct KeyedRow {
    RowKey key;
    std::uint64_t facts;
    std::uint32_t index;
    bool operator<(const KeyedRow& other) const {
        if (key.hash != other.key.hash)
            return key.hash < other.key.hash;
        if (key.check != other.key.check)
            return key.check < other.key.check;
        return index < other.index;
    }
};

// Which facts two documents' forms let a comparison look at.
struct ComparedFacts {
    bool formatTag;
    bool modifiedMoment; // both documents give moments
    bool modifiedText;   // both are the window's exports, whose dates are text
};

ComparedFacts comparedFacts(DocumentForm before, DocumentForm after) {
    const bool beforeExport = before == DocumentForm::WindowExport;
    const bool afterExport = after == DocumentForm::WindowExport;
    return {!beforeExport && !afterExport, !beforeExport && !afterExport,
            beforeExport && afterExport};
}

std::uint64_t hashText(std::uint64_t hash, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, std::min<std::size_t>(8, text.size() - i));
        hash = mixHash(hash, word);
    }
    return mixHash(hash, text.size());
}

template <typename T>
std::uint64_t hashOptional(std::uint64_t hash, const std::optional<T>& value) {
    return value ? mixHash(mixHash(hash, 1), static_cast<std::uint64_t>(*value)) : mixHash(hash, 0);
}

std::uint64_t factsHash(const InventoryRow& row, const ComparedFacts& compared) {
    std::uint64_t hash = row.codec ? hashText(1, *row.codec) : 0;
    if (compared.formatTag)
        hash = hashOptional(hash, row.formatTag);
    hash = hashOptional(hash, row.sampleRate);
    hash = hashOptional(hash, row.size);
    if (compared.modifiedMoment)
        hash = row.modified
                   ? mixHash(mixHash(hash, 1), static_cast<std::uint64_t>(row.modified->utcSeconds))
                   : mixHash(hash, 0);
    if (compared.modifiedText)
        hash = hashText(hash, row.modifiedText);
    return hash;
}

std::vector<ListKind> listsOf(const InventoryDocument& document) {
    if (!document.header.lists.empty())
        return document.header.lists;
    std::vector<ListKind> lists;
    for (const InventoryRow& row : document.rows)
        if (std::find(lists.begin(), lists.end(), row.list) == lists.end())
            lists.push_back(row.list);
    return lists;
}

std::vector<KeyedRow> keyedRows(const InventoryDocument& document,
                                const std::vector<ListKind>& lists, const ComparedFacts& compared) {
    std::vector<KeyedRow> keyed;
    keyed.reserve(document.rows.size());
    for (std::size_t i = 0; i < document.rows.size(); ++i) {
        const InventoryRow& row = document.rows[i];
        if (std::find(lists.begin(), lists.end(), row.list) != lists.end())
            keyed.push_back({rowKey(row.list, row.file), factsHash(row, compared),
                             static_cast<std::uint32_t>(i)});
    }
    std::sort(keyed.begin(), keyed.end());
    return keyed;
}

std::uint8_t changedFacts(const InventoryRow& before, const InventoryRow& after,
                          const ComparedFacts& compared) {
    std::uint8_t facts = 0;
    if (before.codec != after.codec)
        facts |= kCodecChanged;
    if (compared.formatTag && before.formatTag != after.formatTag)
        facts |= kFormatTagChanged;
    if (before.sampleRate != after.sampleRate)
        facts |= kSampleRateChanged;
    if (before.size != after.size)
        facts |= kSizeChanged;
    if (compared.modifiedText && before.modifiedText != after.modifiedText)
        facts |= kModifiedChanged;
    if (compared.modifiedMoment) {
        const bool bothKnown = before.modified && after.modified;
        if (bothKnown ? before.modified->utcSeconds != after.modified->utcSeconds
                      : before.modified.has_value() != after.modified.has_value())
            facts |= kModifiedChanged;
    }
    return facts;
}

ComparedSide sideOf(const InventoryDocument& document) {
    return {document.name, document.header.host, document.header.scannedAt};
}

// Results in list order, then by path without regard to case, then by path.
template <typename T, typename RowOf> void sortByKey(std::vector<T>& items, RowOf rowOf) {
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        keys.emplace_back(windowsUpcase(rowOf(items[i]).file), i);
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const InventoryRow& rowA = rowOf(items[a]);
        const InventoryRow& rowB = rowOf(items[b]);
        if (rowA.list != rowB.list)
            return rowA.list < rowB.list;
        if (keys[a].first != keys[b].first)
            return keys[a].first < keys[b].first;
        return rowA.file < rowB.file;
    });
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

} // namespace

Comparison compareDocuments(const InventoryDocument& earlier, const InventoryDocument& later) {
    Comparison result;
    result.earlier = sideOf(earlier);
    result.later = sideOf(later);
    const std::vector<ListKind> laterLists = listsOf(later);
    for (ListKind list : listsOf(earlier))
        if (std::find(laterLists.begin(), laterLists.end(), list) != laterLists.end())
            result.lists.push_back(list);
    const ComparedFacts compared = comparedFacts(earlier.form, later.form);
    // Hashing and sorting a side's keys is most of a comparison's work, and the sides are
    // independent: one on a thread of its own.
    std::vector<KeyedRow> before;
    std::thread earlierKeys([&] { before = keyedRows(earlier, result.lists, compared); });
    const std::vector<KeyedRow> after = keyedRows(later, result.lists, compared);
    earlierKeys.join();

    const auto pair = [&](const InventoryRow& a, const InventoryRow& b) {
        if (const std::uint8_t facts = changedFacts(a, b, compared))
            result.changed.push_back({a, b, facts});
    };
    const auto keyLess = [](const KeyedRow& a, const KeyedRow& b) {
        return a.key.hash != b.key.hash ? a.key.hash < b.key.hash : a.key.check < b.key.check;
    };
    std::size_t i = 0, k = 0;
    while (i < before.size() || k < after.size()) {
        if (k == after.size() || (i < before.size() && keyLess(before[i], after[k]))) {
            result.removed.push_back(earlier.rows[before[i++].index]);
            continue;
        }
        if (i == before.size() || keyLess(after[k], before[i])) {
            result.added.push_back(later.rows[after[k++].index]);
            continue;
        }
        // Rows of one key on both sides: almost always one each, and then the rows are looked
        // at only when their facts differ. Paths that differ only in case within one list
        // (possible on Linux) pair with the same path first.
        const RowKey key = before[i].key;
        std::size_t beforeEnd = i, afterEnd = k;
        while (beforeEnd < before.size() && before[beforeEnd].key == key)
            ++beforeEnd;
        while (afterEnd < after.size() && after[afterEnd].key == key)
            ++afterEnd;
        if (beforeEnd == i + 1 && afterEnd == k + 1) {
            if (before[i].facts != after[k].facts)
                pair(earlier.rows[before[i].index], later.rows[after[k].index]);
            i = beforeEnd;
            k = afterEnd;
            continue;
        }
        std::vector<bool> taken(afterEnd - k, false);
        std::vector<std::size_t> unpaired;
        const auto pairFirst = [&](std::size_t b, bool exact) {
            const InventoryRow& row = earlier.rows[before[b].index];
            for (std::size_t a = k; a < afterEnd; ++a) {
                const InventoryRow& candidate = later.rows[after[a].index];
                if (taken[a - k])
                    continue;
                if (!exact || candidate.file == row.file) {
                    taken[a - k] = true;
                    pair(row, candidate);
                    return true;
                }
            }
            return false;
        };
        for (std::size_t b = i; b < beforeEnd; ++b)
            if (!pairFirst(b, true))
                unpaired.push_back(b);
        for (std::size_t b : unpaired)
            if (!pairFirst(b, false))
                result.removed.push_back(earlier.rows[before[b].index]);
        for (std::size_t a = k; a < afterEnd; ++a)
            if (!taken[a - k])
                result.added.push_back(later.rows[after[a].index]);
        i = beforeEnd;
        k = afterEnd;
    }
    const auto self = [](const InventoryRow& row) -> const InventoryRow& { return row; };
    sortByKey(result.added, self);
    sortByKey(result.removed, self);
    sortByKey(result.changed,
              [](const ChangedRow& row) -> const InventoryRow& { return row.after; });
    return result;
}

} // namespace tambrel::report
