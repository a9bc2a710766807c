// Names of the registered WAVE format tags that telephony servers use.
#pragma once

#include <cstdint>
#include <string>

namespace tambrel {

// The table's name for `iCodecID`, or string 33 followed by the tag in sign-position decimal.
std::string strCodecNameFromID(const std::int16_t& iCodecID);

// The same name in every language: string 33 always in its built-in English, for scripts.
std::string codecNameInEnglish(std::int16_t iCodecID);

} // namespace tambrel
