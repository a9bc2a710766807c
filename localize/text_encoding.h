// UTF-16 texts of language libraries as the UTF-8 the rest of the program speaks.
#pragma once

#include <string>
#include <string_view>

namespace tambrel {

// Unpaired surrogates become U+FFFD, so that no library text yields invalid UTF-8.
std::string utf8FromUtf16(std::u16string_view text);

} // namespace tambrel
