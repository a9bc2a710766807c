// One field of a CSV line: written as it stands unless it holds a comma, a quote, CR or LF, in
// which case it is quoted and its quotes doubled, so a path with a comma stays one field.
// Shared by the export and the grid's copy command, which must write the same lines.
#pragma once

#include <string>
#include <string_view>

namespace tambrel {

// Whether the field holds a comma, a quote, CR or LF and must therefore be quoted.
bool needsCsvQuoting(std::string_view text);
// The field as it goes into a line.
std::string csvField(std::string_view text);
// Appends the field to `line`, saving the temporary string of csvField on the hot path.
void appendCsvField(std::string& line, std::string_view text);

} // namespace tambrel
