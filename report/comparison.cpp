#include "report/comparison.h"

#include "report/name_key.h"

#include <algorithm>
#include <utility>

namespace tambrel::report {
namespace {

struct KeyedRow {
    std::uint64_t hash;
    std::uint32_t index;
    bool operator<(const KeyedRow& other) const {
        return hash != other.hash ? hash < other.hash : index < other.index;
    }
};

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
                                const std::vector<ListKind>& lists) {
    std::vector<KeyedRow> keyed;
    keyed.reserve(document.rows.size());
    for (std::size_t i = 0; i < document.rows.size(); ++i) {
        const InventoryRow& row = document.rows[i];
        if (std::find(lists.begin(), lists.end(), row.list) != lists.end())
            keyed.push_back({rowKeyHash(row.list, row.file), static_cast<std::uint32_t>(i)});
    }
    std::sort(keyed.begin(), keyed.end());
    return keyed;
}

std::uint8_t changedFacts(const InventoryRow& before, const InventoryRow& after,
                          DocumentForm beforeForm, DocumentForm afterForm) {
    const bool beforeExport = beforeForm == DocumentForm::WindowExport;
    const bool afterExport = afterForm == DocumentForm::WindowExport;
    std::uint8_t facts = 0;
    if (before.codec != after.codec)
        facts |= kCodecChanged;
    if (!beforeExport && !afterExport && before.formatTag != after.formatTag)
        facts |= kFormatTagChanged;
    if (before.sampleRate != after.sampleRate)
        facts |= kSampleRateChanged;
    if (before.size != after.size)
        facts |= kSizeChanged;
    if (beforeExport && afterExport) {
        if (before.modifiedText != after.modifiedText)
            facts |= kModifiedChanged;
    } else if (!beforeExport && !afterExport) {
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
    const std::vector<KeyedRow> before = keyedRows(earlier, result.lists);
    const std::vector<KeyedRow> after = keyedRows(later, result.lists);

    const auto pair = [&](const InventoryRow& a, const InventoryRow& b) {
        if (const std::uint8_t facts = changedFacts(a, b, earlier.form, later.form))
            result.changed.push_back({a, b, facts});
    };
    std::size_t i = 0, k = 0;
    while (i < before.size() || k < after.size()) {
        if (k == after.size() || (i < before.size() && before[i].hash < after[k].hash)) {
            result.removed.push_back(earlier.rows[before[i++].index]);
            continue;
        }
        if (i == before.size() || after[k].hash < before[i].hash) {
            result.added.push_back(later.rows[after[k++].index]);
            continue;
        }
        // Rows of one hash on both sides: almost always one each; rows whose keys only collide,
        // or paths that differ in case within one list, are paired here one by one.
        const std::uint64_t hash = before[i].hash;
        std::size_t beforeEnd = i, afterEnd = k;
        while (beforeEnd < before.size() && before[beforeEnd].hash == hash)
            ++beforeEnd;
        while (afterEnd < after.size() && after[afterEnd].hash == hash)
            ++afterEnd;
        std::vector<bool> taken(afterEnd - k, false);
        std::vector<std::size_t> unpaired;
        const auto pairFirst = [&](std::size_t b, bool exact) {
            const InventoryRow& row = earlier.rows[before[b].index];
            for (std::size_t a = k; a < afterEnd; ++a) {
                const InventoryRow& candidate = later.rows[after[a].index];
                if (taken[a - k] || candidate.list != row.list)
                    continue;
                if (exact ? candidate.file == row.file : sameRowKey(candidate.file, row.file)) {
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
