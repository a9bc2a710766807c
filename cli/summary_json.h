// The summary of both lists as one JSON document, for scripts: what the summary table shows,
// with numbers as numbers.
#pragma once

#include "cli/listing_store.h"

#include <string>

namespace tambrel::cli {

// {"greetings": LIST, "prompts": LIST}, each LIST {"files", "bytes", "by_codec": [{"codec",
// "sample_rate", "files", "bytes"}, ...], "by_problem": [{"problem", "files", "bytes"}, ...]};
// codec is the text the rows show, problem the code. An unreadable file counts under its
// problem and under no codec.
std::string summaryJson(const ListSummary& greetings, const ListSummary& prompts);

} // namespace tambrel::cli
