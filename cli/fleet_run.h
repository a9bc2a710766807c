// What the tool does with inventories beyond listing them: writes the run's document, compares
// it or two documents, checks files against rules, and combines many servers' documents.
#pragma once

#include "cli/cli_options.h"
#include "cli/listing_store.h"
#include "export/export_target.h"

#include <string>

namespace tambrel::cli {

// What the header of the run's document says about the scan besides its rows.
struct ScanContext {
    std::string root;
    std::string scannedAt; // UTC, ISO 8601
    std::string toolVersion;
    std::string serverVersion; // empty when the root was given rather than read
};

// The moment now as a document's "scanned_at" gives it.
std::string utcTimeNow();

// --combine, or --compare with --with: the exit status.
int runWithoutScan(const CliOptions& options);

// --output, --compare and --expect over a finished scan: kDone, kDifferencesFound, kBadUsage
// for a document or rules that cannot be read, or kOutputNotWritten.
int runAfterScan(const CliOptions& options, const ScanContext& context,
                 const ListingStore& greetings, const ListingStore& prompts,
                 const ProtectedRoots& protectedRoots);

} // namespace tambrel::cli
