// A list of files' facts as one JSON document: an array of objects with typed members, written
// row by row so that no list is ever held a second time as text.
#pragma once

#include "common/file_facts.h"
#include "report/json_text.h"

#include <string>
#include <string_view>

namespace tambrel::cli {

// The rows' strings are written as the documents write theirs, so a reader takes both alike.
using report::appendJsonString;

// One row's object: codec (the window's text; null for a file that could not be read, with an
// error member), format_name and format_tag, file, sample_rate (the row's), modified (ISO 8601
// local time with offset), size (null, like modified, when the file's status could not be
// taken), then the rest of the header's facts as fact_columns.h names them, null when unknown.
void appendJsonRow(std::string& out, const FileFacts& facts);

} // namespace tambrel::cli
