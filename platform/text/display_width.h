// How many columns of a terminal a text takes: East Asian wide and fullwidth characters two,
// combining marks and other zero-width characters none, everything else one.
#pragma once

#include <cstddef>
#include <string_view>

namespace tambrel::platform {

// Columns taken by `codePoint`: 0, 1 or 2.
int columnsOf(char32_t codePoint);

// Columns taken by the UTF-8 `text`; a byte that is not part of well-formed UTF-8 takes one.
std::size_t displayWidth(std::string_view text);

} // namespace tambrel::platform
