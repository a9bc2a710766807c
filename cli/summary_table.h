// The summary of both lists as an aligned text table: per list its files and bytes, then one
// line per codec and sample rate.
#pragma once

#include "cli/listing_store.h"

#include <string>

namespace tambrel::cli {

// Headings come from the string table where it has them (list titles, Codec, Sample Rate,
// File Size), so they follow the chosen language.
std::string summaryTable(const ListSummary& greetings, const ListSummary& prompts);

} // namespace tambrel::cli
