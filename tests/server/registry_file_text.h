// The text of a Wine registry file: Wine's header and preamble around the lines a test gives.
#pragma once

#include <string>
#include <string_view>

namespace tambrel::testing {

inline std::string registryFileText(std::string_view lines) {
    return "WINE REGISTRY Version 2\n"
           ";; All keys relative to \\\\Machine\n"
           "\n"
           "#arch=win64\n"
           "\n" +
           std::string(lines);
}

} // namespace tambrel::testing
