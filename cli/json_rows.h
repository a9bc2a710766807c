// A list of files' facts as one JSON document: an array of objects with typed members, written
// row by row so that no list is ever held a second time as text.
#pragma once

#include "common/file_facts.h"

#include <string>
#include <string_view>

namespace tambrel::cli {

// `text` as a JSON string, quotes included. Bytes that are not UTF-8 become \udcXX (XX the
// byte), the lone surrogates that Python's "surrogateescape" maps back to the bytes.
void appendJsonString(std::string& out, std::string_view text);

// One row's object: codec (null for a file that could not be read, with an error member),
// format_name (the codec's name in every language; null for a file that is no WAV file or could
// not be read), format_tag, file, sample_rate, modified (ISO 8601 local time with offset), size
// (null, like modified, when the file's status could not be taken).
void appendJsonRow(std::string& out, const FileFacts& facts);

} // namespace tambrel::cli
