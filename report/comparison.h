// What changed between two inventories of a server: files added, files removed, and files whose
// codec or format tag, sample rate, size or modification time differ, each with its facts
// before and after. Rows are matched by list and path, letter case ignored as Windows does,
// never by their order (Windows lists folders sorted by name, other systems do not).
#pragma once

#include "report/inventory_document.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tambrel::report {

// The facts a change concerns, as bits of ChangedRow::facts.
enum ChangedFact : std::uint8_t {
    kCodecChanged = 1,
    kFormatTagChanged = 2,
    kSampleRateChanged = 4,
    kSizeChanged = 8,
    kModifiedChanged = 16,
};

struct ChangedRow {
    InventoryRow before;
    InventoryRow after;
    std::uint8_t facts = 0;
};

// Which inventory a side of the comparison is: enough to say so in a report.
struct ComparedSide {
    std::string name;
    std::string host;
    std::string scannedAt;
};

struct Comparison {
    ComparedSide earlier;
    ComparedSide later;
    // Only the lists both documents hold are compared; a list one of them lacks is not "all
    // removed" or "all added".
    std::vector<ListKind> lists;
    // Each in the order of list, then path without regard to case.
    std::vector<InventoryRow> added;
    std::vector<InventoryRow> removed;
    std::vector<ChangedRow> changed;

    bool differs() const { return !added.empty() || !removed.empty() || !changed.empty(); }
};

// Facts one of the documents cannot hold are not compared: the window's CSV export has no
// format tag, and its regional date is compared only with another export's. Two rows of one
// list whose paths differ only in case (possible on Linux) pair with the same path first.
Comparison compareDocuments(const InventoryDocument& earlier, const InventoryDocument& later);

} // namespace tambrel::report
