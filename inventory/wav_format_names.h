// Language-neutral names of the WAVE format tags: every tag of the registry the IETF republished
// for WAVE files, and the later ones the codec table and extensible files use. Unlike the Codec
// cell's text, these never change with the user interface language or the server's own names.
#pragma once

#include <cstdint>
#include <string_view>

namespace tambrel {

// The name of `formatTag` ("IMA ADPCM", "MPEG Layer 3", "IEEE float"); empty when the tag is
// not registered.
std::string_view wavFormatName(std::uint16_t formatTag);

} // namespace tambrel
