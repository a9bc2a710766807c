// What many servers hold, from one document each: per server and over all of them, the files
// and bytes per codec and sample rate, and per problem. Documents are taken one after another
// and their rows counted as they are read, so forty servers of a million files each need the
// memory of the totals only.
#pragma once

#include "report/document_reader.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tambrel::report {

struct Totals {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0; // sizes known; a file of unknown size adds none
};

struct CodecRateTotals {
    std::optional<std::string> codec; // none: the files could not be read
    std::optional<std::uint32_t> sampleRate;
    Totals totals;
};

struct ProblemTotals {
    std::string problem;
    Totals totals;
};

struct ServerSummary {
    std::string server;
    Totals all;
    std::vector<CodecRateTotals> codecs; // by codec, then rate
    std::vector<ProblemTotals> problems; // by problem code
};

struct CombinedReport {
    std::vector<ServerSummary> servers; // by name
    ServerSummary overall;              // server "*"
};

class Combiner {
public:
    // The rows of one document of server `name` (its host name, or the document's name when
    // the header has none); documents of one server add up. Its rows count once commit() says
    // the document was read whole; drop() forgets them.
    RowSink& begin(std::string name);
    void commit();
    void drop();
    CombinedReport report() const;

private:
    struct Tally : RowSink {
        std::map<std::pair<std::optional<std::string>, std::optional<std::uint32_t>>, Totals>
            codecs;
        std::map<std::string, Totals> problems;
        Totals all;
        void add(InventoryRow&& row) override;
        void addAll(const Tally& other);
    };
    std::map<std::string, Tally> servers_;
    std::string current_;
    Tally pending_;
};

// Server name for a document: the host in its header, else its own name.
std::string serverNameOf(const InventoryDocument& document);

} // namespace tambrel::report
