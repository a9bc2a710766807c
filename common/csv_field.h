// One field of a CSV line as the export and the grid's clipboard copy write it: quoted only when
// the text would otherwise break the line apart.
#pragma once

#include <string>
#include <string_view>

namespace tambrel {

// `text` byte for byte, or, when it holds a comma, a double quote, CR or LF, enclosed in double
// quotes with every inner double quote doubled.
std::string csvField(std::string_view text);

} // namespace tambrel
