#include "inventory/codec_names.h"

#include "inventory/describe_file.h"
#include "localize/language_state.h"
#include "localize/string_table.h"

#include <optional>
#include <string_view>

namespace tambrel {
namespace {

constexpr std::int32_t kUnknownCodec = 33;

std::optional<std::string_view> registeredName(std::int16_t iCodecID) {
    switch (iCodecID) {
    case 0x0001:
        return "PCM 16";
    case 0x0002:
        return "Microsoft ADPCM";
    case 0x0006:
        return "Microsoft ALaw";
    case 0x0007:
        return "Microsoft MuLaw";
    case 0x0010:
        return "OKI ADPCM";
    case 0x0014:
        return "Antex G723 ADPCM";
    case 0x0017:
        return "Dialogic OKI ADPCM";
    case 0x0031:
        return "Microsoft GSM 6.10";
    case 0x0032:
        return "Microsoft MSN Audio";
    case 0x0038:
        return "NMS VBXADPCM";
    case 0x0042:
        return "Microsoft MSG723";
    case 0x0050:
        return "Microsoft MPEG";
    case 0x0059:
        return "Lucent G723";
    case 0x0064:
        return "APICOM G726";
    case 0x0083:
        return "AT&T G729a";
    case 0x0085:
        return "DataFusion Systems G726";
    case 0x0111:
        return "Vivo G723";
    case 0x0123:
        return "Digital G723";
    case 0x0133:
        return "Spiro Labs G729";
    case 0x0134:
        return "Spiro Labs G729a";
    case 0x0140:
        return "Dictaphone G726ADPCM";
    case 0x0200:
        return "Creative Labs ADPCM";
    case 0x1100:
        return "L&H Codec";
    default:
        return std::nullopt;
    }
}

} // namespace

std::string strCodecNameFromID(const std::int16_t& iCodecID) {
    if (std::optional<std::string_view> name = registeredName(iCodecID))
        return std::string(*name);
    return mymyLoadString(kUnknownCodec) + signPositionDecimal(iCodecID);
}

std::string codecNameInEnglish(std::int16_t iCodecID) {
    if (std::optional<std::string_view> name = registeredName(iCodecID))
        return std::string(*name);
    return std::string(builtInString(kUnknownCodec).value_or("")) + signPositionDecimal(iCodecID);
}

} // namespace tambrel
