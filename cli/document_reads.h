// The documents a run names, read as the tool reads them: a document of either form or the
// window's CSV pair ("GREETINGS.csv,PROMPTS.csv"), each on a thread of its own, while a person
// at a terminal sees the live count of files read so far.
#pragma once

#include "cli/live_count.h"
#include "common/result.h"
#include "report/document_reader.h"
#include "report/inventory_document.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel::cli {

// A failure to open or read an input (a document, rules) told with the file's name; a malformed
// input's description already names the file and the place.
Failure inputFailure(std::string_view name, const Failure& failure);

// A failure's description names the file (and, for a malformed one, the place).
Result<report::InventoryDocument> readDocumentArgument(const std::string& argument,
                                                       report::RowProgress* progress = nullptr);

// Every one of `arguments` at once, in their order; `progress` keeps counting across calls, so
// that documents read one after another show one growing count.
std::vector<Result<report::InventoryDocument>>
readDocumentsCounting(std::span<const std::string> arguments, LiveCount& count,
                      report::RowProgress& progress);

} // namespace tambrel::cli
