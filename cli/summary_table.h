// The summary of both lists as an aligned text table: per list its files and bytes, then one
// line per codec and sample rate.
#pragma once

#include "cli/listing_store.h"

#include <string>

namespace tambrel::cli {

// Headings and counts follow the chosen language; columns are aligned by the width each text
// takes on a terminal, so a wide (East Asian) character counts two.
std::string summaryTable(const ListSummary& greetings, const ListSummary& prompts);

} // namespace tambrel::cli
