// Reads an inventory document that an earlier run wrote, in either form (JSON or JSON Lines,
// told apart by the header), checking everything: a document that is cut short, malformed,
// of the wrong types, repeats a member, nests too deep, holds over-long strings or bytes that
// are not UTF-8 is refused whole with the place of the first fault, never read in part.
#pragma once

#include "common/result.h"
#include "report/chunk_source.h"
#include "report/inventory_document.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tambrel::report {

// Takes rows as they are read. A caller that streams must drop what it gathered when the read
// ends in a failure.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void add(InventoryRow&& row) = 0;
    // The reader fills the row startRow() gives and calls endRow() when it is whole; a sink
    // that keeps rows hands out its own place for one, so that a million rows are never
    // built twice.
    virtual InventoryRow& startRow() {
        pending_ = InventoryRow{};
        return pending_;
    }
    virtual void endRow() { add(std::move(pending_)); }

private:
    InventoryRow pending_;
};

class RowVector : public RowSink {
public:
    explicit RowVector(std::vector<InventoryRow>& rows) : rows_(rows) {}
    void add(InventoryRow&& row) override { rows_.push_back(std::move(row)); }
    InventoryRow& startRow() override { return rows_.emplace_back(); }
    void endRow() override {}

private:
    std::vector<InventoryRow>& rows_;
};

// Rows read so far, for a count shown while documents are read on other threads; the reader
// adds to it every few thousand rows and once at the end.
using RowProgress = std::atomic<std::uint64_t>;

// The longest string a document may hold, in bytes (a Windows path is at most 32,767 UTF-16
// units), and the deepest nesting of members the reader skips.
inline constexpr std::size_t kLongestString = 128 * 1024;
inline constexpr std::size_t kDeepestNesting = 32;

// Rows go to `rows` in the document's order; the result holds name, form and header.
Result<InventoryDocument> streamDocument(ChunkSource& source, std::string_view name, RowSink& rows,
                                         RowProgress* progress = nullptr);
Result<InventoryDocument> readDocument(ChunkSource& source, std::string_view name,
                                       RowProgress* progress = nullptr);

// Two documents read at once, each on a thread of its own: a comparison of two documents
// without a scan. Fails with the first document's failure, else the second's.
struct DocumentPair {
    InventoryDocument earlier;
    InventoryDocument later;
};
Result<DocumentPair> readDocumentPair(ChunkSource& earlier, std::string_view earlierName,
                                      ChunkSource& later, std::string_view laterName);

// A JSON document of either form when the input begins with "{", otherwise the window's CSV
// export of `exportList` when one is given.
Result<InventoryDocument> readAnyDocument(ChunkSource& source, std::string_view name,
                                          std::optional<ListKind> exportList,
                                          RowProgress* progress = nullptr);

} // namespace tambrel::report
